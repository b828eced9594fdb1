#!/usr/bin/env bash
# Runs every benchmark piece on one large generated log and ends with a single line that
# gathers the results of all pieces:
#   bench: list_vs_wc=2.41 rss_vs_file=1.02
#
# A piece is a program or script that reads the environment below, prints its table rows on
# standard output (progress on standard error) and, as its last line, "bench: key=value ...".
# To add one, append it to `pieces`.
#
# Environment (the `bench` build target sets all but the last three):
#   MLD_VIEWER        the message-log-display binary
#   MLD_GENERATE_LOG  the generate-log binary
#   MLD_BENCH_RUNNER  the bench-runner binary
#   MLD_COMPARE_BENCH the compare-bench binary
#   MLD_BENCH_DATA    folder for generated logs, outside the source tree
#   MLD_BENCH_SIZE    size of the large log (default 1G)
#   MLD_BENCH_SEED    its seed (default 1)
#   MLD_BENCH_ROUNDS  timed rounds per measurement, the best one counts (default 3)
# Pieces also get MLD_BENCH_LOG, the path of the large log.
set -euo pipefail

: "${MLD_VIEWER:?}" "${MLD_GENERATE_LOG:?}" "${MLD_BENCH_RUNNER:?}" "${MLD_BENCH_DATA:?}"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/piece-helpers.sh"
pieces=("$here/list-vs-wc.sh" "$here/gui-bench.sh" "$here/findlogs-vs-findruns.sh"
  "$here/indexed-bench.sh" "$here/big-run-bench.sh" "$here/stop-bench.sh" "$here/compare-bench.sh")

size=${MLD_BENCH_SIZE:-1G}
seed=${MLD_BENCH_SEED:-1}
export MLD_BENCH_LOG="$MLD_BENCH_DATA/bench-$size-seed$seed.log"
export MLD_BENCH_ROUNDS=${MLD_BENCH_ROUNDS:-3}

generated_log "$MLD_BENCH_LOG" OUTPUT "$size" "$seed"

fields=()
for piece in "${pieces[@]}"; do
  output=$("$piece")
  while IFS= read -r line; do
    if [[ $line == "bench: "* ]]; then
      fields+=("${line#bench: }")
    else
      printf '%s\n' "$line"
    fi
  done <<<"$output"
done
echo "bench: ${fields[*]}"
