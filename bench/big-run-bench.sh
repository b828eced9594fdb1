#!/usr/bin/env bash
# Find in runs in the window on an indexed log of one run of about 256 MiB (4,450,000 log lines),
# on the offscreen platform, MLD_BENCH_ROUNDS rounds, the worst of them counting:
#   cancel_block_ms               the longest a key typed into Find in runs, or the close of its
#                                 bar, keeps the GUI thread while the search of the run goes on
#                                 (each cancels that search)
#   findruns_big_run_rss_vs_file  the peak resident memory the search adds to the window's,
#                                 against the file size
# Ends with
#   bench: cancel_block_ms=T findruns_big_run_rss_vs_file=R
set -euo pipefail
shopt -s inherit_errexit

: "${MLD_GUI_BENCH:?}" "${MLD_GENERATE_LOG:?}" "${MLD_BENCH_DATA:?}" "${MLD_BENCH_ROUNDS:?}"
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/piece-helpers.sh"

log=$MLD_BENCH_DATA/run-lines-4450k.log
generated_log "$log" --run-lines 4450000 OUTPUT
cat "$log" >/dev/null
file_kib=$(($(stat -c %s "$log") / 1024))

worst_ms=0
worst_rss=0
for ((round = 1; round <= MLD_BENCH_ROUNDS; round++)); do
  said=$("$MLD_GUI_BENCH" cancelruns "$log" 2>/dev/null)
  ms=$(sed -E 's/.*ms=([0-9.]+) .*/\1/' <<<"$said")
  cancels=$(sed -E 's/.*cancels=([0-9]+).*/\1/' <<<"$said")
  rss=$(sed -E 's/.*search_rss_kib=(-?[0-9]+).*/\1/' <<<"$said")
  printf '%-34s %10s ms  (%s cancels)  search adds %8s KiB\n' "cancel, round $round" "$ms" \
    "$cancels" "$rss"
  worst_ms=$(awk -v a="$worst_ms" -v b="$ms" 'BEGIN { print (b > a ? b : a) }')
  ((rss > worst_rss)) && worst_rss=$rss
done
ratio=$(awk -v r="$worst_rss" -v f="$file_kib" 'BEGIN { printf "%.3f", r / f }')
echo "bench: cancel_block_ms=$worst_ms findruns_big_run_rss_vs_file=$ratio"
