#!/usr/bin/env bash
# How `message-log-display --find-in-logs` over a folder of generated logs compares with
# `--list --find` on the one large log of about the same bytes, same needle, page cache warm:
# wall time as a ratio (best of MLD_BENCH_ROUNDS rounds each, interleaved). Ends with
#   bench: findlogs_vs_findruns=R
# MLD_BENCH_FILES (default 200) is the number of logs the folder holds; MLD_BENCH_NEEDLE the
# text to find.
set -euo pipefail

: "${MLD_VIEWER:?}" "${MLD_GENERATE_LOG:?}" "${MLD_BENCH_RUNNER:?}" "${MLD_BENCH_DATA:?}"
: "${MLD_BENCH_LOG:?}" "${MLD_BENCH_ROUNDS:?}"
source "$(dirname "$0")/piece-helpers.sh"
log=$MLD_BENCH_LOG
files=${MLD_BENCH_FILES:-200}
needle=${MLD_BENCH_NEEDLE:-Read absorbance}
size=$(stat -c %s "$log")
folder="$MLD_BENCH_DATA/logs-$files-of-$size"

if [[ ! -e $folder/done ]]; then
  rm -rf "$folder"
  mkdir -p "$folder"
  echo "generating $files logs in $folder ..." >&2
  for ((k = 1; k <= files; k++)); do
    "$MLD_GENERATE_LOG" "$folder/log-$k.log" $((size / files)) "$k" >/dev/null
  done
  touch "$folder/done"
fi

echo "warming the page cache ..." >&2
cat "$log" "$folder"/*.log >/dev/null

# measure fails on any status but 0, and --find-in-logs exits with 1 when nothing matched, which
# the needle is chosen to avoid.
results=()
for ((round = 1; round <= MLD_BENCH_ROUNDS; round++)); do
  echo "round $round of $MLD_BENCH_ROUNDS ..." >&2
  results+=("findruns $(measure "$MLD_VIEWER" --list "$log" --find "$needle")")
  results+=("findlogs $(measure "$MLD_VIEWER" --find-in-logs "$folder" "$needle")")
done

printf '%s\n' "${results[@]}" | awk -v size="$size" -v folder="$(du -sb --exclude=done "$folder" | cut -f1)" '
  function best(kind, wall) { if (!(kind in fastest) || wall < fastest[kind]) fastest[kind] = wall }
  { best($1, $2); if ($3 > peak[$1]) peak[$1] = $3 }
  END {
    mib = 1024 * 1024
    ratio = fastest["findlogs"] / fastest["findruns"]
    printf "%-34s %10.1f MiB\n", "one log", size / mib
    printf "%-34s %10.1f MiB\n", "folder of logs", folder / mib
    printf "%-34s %10.3f s\n", "--list --find, best wall time", fastest["findruns"]
    printf "%-34s %10.3f s\n", "--find-in-logs, best wall time", fastest["findlogs"]
    printf "%-34s %10.1f MiB\n", "--find-in-logs, peak resident", peak["findlogs"] / 1024
    printf "%-34s %12.2f  <= 1.2 %s\n", "findlogs_vs_findruns", ratio, ratio <= 1.2 ? "ok" : "MISSED"
    printf "bench: findlogs_vs_findruns=%.2f\n", ratio
  }'
