#!/usr/bin/env bash
# How `message-log-display --list` on the large log compares with `wc -l` on the same file, with
# the page cache warm: wall time as a ratio (best of MLD_BENCH_ROUNDS rounds each, interleaved so
# that both see the same machine load), and the viewer's peak resident memory against the file
# size (it streams the file through an index). Ratios, not seconds, since the machine is shared. Ends with
#   bench: list_vs_wc=R1 rss_vs_file=R2
set -euo pipefail

: "${MLD_VIEWER:?}" "${MLD_BENCH_RUNNER:?}" "${MLD_BENCH_LOG:?}" "${MLD_BENCH_ROUNDS:?}"
source "$(dirname "$0")/piece-helpers.sh"
log=$MLD_BENCH_LOG

echo "warming the page cache with $log ..." >&2
cat "$log" >/dev/null

results=()
for ((round = 1; round <= MLD_BENCH_ROUNDS; round++)); do
  echo "round $round of $MLD_BENCH_ROUNDS ..." >&2
  results+=("wc $(measure wc -l "$log")")
  results+=("list $(measure "$MLD_VIEWER" --list "$log")")
done

printf '%s\n' "${results[@]}" | awk -v size="$(stat -c %s "$log")" '
  function best(kind, wall) { if (!(kind in fastest) || wall < fastest[kind]) fastest[kind] = wall }
  { best($1, $2); if ($1 == "list" && $3 > peak) peak = $3 }
  END {
    mib = 1024 * 1024
    rss = peak * 1024
    ratio = fastest["list"] / fastest["wc"]
    printf "%-34s %12s  %s\n", "measure", "value", "target"
    printf "%-34s %10.1f MiB\n", "log size", size / mib
    printf "%-34s %10.3f s\n", "wc -l, best wall time", fastest["wc"]
    printf "%-34s %10.3f s\n", "--list, best wall time", fastest["list"]
    printf "%-34s %12.2f  <= 2.5 %s\n", "list_vs_wc", ratio, ratio <= 2.5 ? "ok" : "MISSED"
    printf "%-34s %10.1f MiB\n", "--list, peak resident memory", rss / mib
    printf "%-34s %12.3f  <= 0.06 %s\n", "rss_vs_file", rss / size,
           rss / size <= 0.06 ? "ok" : "MISSED"
    printf "bench: list_vs_wc=%.2f rss_vs_file=%.3f\n", ratio, rss / size
  }'
