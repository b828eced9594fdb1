#!/usr/bin/env bash
# What the in-memory limit costs a user either way: for generated logs of 8 MiB, 64 MiB, 256 MiB
# and 1 GiB (MLD_LIMIT_BENCH_SIZES), each ending with a run of 100,000 log lines, the window with
# the text held in memory and with the log indexed, best of MLD_BENCH_ROUNDS rounds:
#   open      opening the log until the table is complete and row 1's panes have painted (ms),
#             and the peak resident memory of that (MiB)
#   select    selecting the run of 100,000 lines until both panes have painted (ms)
#   findruns  Find in runs of a word in about 1.5% of the runs until every run is searched (ms)
#   follow    taking in 4 KiB appended to the followed log until it has painted (ms, median)
# Prints one row per size and way; the figures choose the default limit. Not part of `bench`:
#   cmake --build build --target bench-limit
set -euo pipefail

: "${MLD_GUI_BENCH:?}" "${MLD_GENERATE_LOG:?}" "${MLD_BENCH_DATA:?}"
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/piece-helpers.sh"
rounds=${MLD_BENCH_ROUNDS:-3}
sizes=(${MLD_LIMIT_BENCH_SIZES:-8M 64M 256M 1G})

long_run=$MLD_BENCH_DATA/run-lines-100k.log
generated_log "$long_run" --run-lines 100000 OUTPUT
scratch=$MLD_BENCH_DATA/limit-scratch.log
trap 'rm -f "$scratch"' EXIT

# best MODE FILE: the best "ms rss_kib" of `rounds` gui-bench runs (the least time, the most
# memory).
best() {
  for ((round = 1; round <= rounds; round++)); do gui "$1" "$2"; done |
    awk '!n++ || $1 < ms { ms = $1 } $2 > rss { rss = $2 } END { print ms, rss }'
}

printf '%-6s %-9s %9s %9s %9s %11s %9s\n' size way open_ms open_MiB select_ms findruns_ms \
  follow_ms
for size in "${sizes[@]}"; do
  log=$MLD_BENCH_DATA/limit-$size.log
  if [[ ! -s $log ]]; then
    generated_log "$log.base" OUTPUT "$size" 1
    cat "$log.base" "$long_run" >"$log.part" && mv "$log.part" "$log" && rm "$log.base"
  fi
  cat "$log" >/dev/null
  for way in held indexed; do
    echo "$size $way ..." >&2
    read -r open_ms open_kib < <(best "$way-open" "$log")
    read -r select_ms _ < <(best "$way-select" "$log")
    read -r findruns_ms _ < <(best "$way-findruns" "$log")
    cp "$log" "$scratch"
    read -r follow_ms _ < <(gui "$way-follow" "$scratch")
    printf '%-6s %-9s %9.0f %9.0f %9.1f %11.0f %9.1f\n' "$size" "$way" "$open_ms" \
      "$((open_kib / 1024))" "$select_ms" "$findruns_ms" "$follow_ms"
  done
done
