#!/usr/bin/env bash
# How fast a load or a Find in logs stops, and what reloads in quick succession hold, on the
# large log, offscreen; the worst of MLD_BENCH_ROUNDS rounds counts for the times:
#   close_during_load_ms     closing the window 100 ms into a load, until the window and its
#                            reader are gone
#   reload_storm_rss_vs_one  the peak resident memory of four loads 30 ms apart against one load
#   findlogs_cancel_ms       stopping Find in logs over the large log 100 ms in, until the search
#                            has ended
# with the default settings (a large log is indexed), and the same with the log's text held in
# memory, keys prefixed "held_". Ends with
#   bench: close_during_load_ms=T1 reload_storm_rss_vs_one=R1 findlogs_cancel_ms=T2 held_...
set -euo pipefail

: "${MLD_GUI_BENCH:?}" "${MLD_BENCH_LOG:?}" "${MLD_BENCH_ROUNDS:?}"
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/piece-helpers.sh"
cat "$MLD_BENCH_LOG" >/dev/null

results=()
for ((round = 1; round <= MLD_BENCH_ROUNDS; round++)); do
  echo "stop round $round of $MLD_BENCH_ROUNDS ..." >&2
  for prefix in "" held-; do
    results+=("${prefix}close $(gui "${prefix}close" "$MLD_BENCH_LOG")")
    results+=("${prefix}one $(gui "${prefix}open" "$MLD_BENCH_LOG")")
    results+=("${prefix}storm $(gui "${prefix}reload-storm" "$MLD_BENCH_LOG")")
    results+=("${prefix}cancel $(gui "${prefix}findlogs-cancel" "$MLD_BENCH_LOG")")
  done
done

printf '%s\n' "${results[@]}" | awk '
  { if ($2 > worst[$1]) worst[$1] = $2; if ($3 > peak[$1]) peak[$1] = $3 }
  END {
    for (i = 0; i < 2; i++) {
      p = i ? "held-" : ""
      k = i ? "held_" : ""
      ratio[k] = peak[p "storm"] / peak[p "one"]
      printf "%-34s %10.1f ms  <= 150 %s\n", k "close_during_load_ms", worst[p "close"],
             worst[p "close"] <= 150 ? "ok" : "MISSED"
      printf "%-34s %10.1f MiB\n", "  one load, peak resident", peak[p "one"] / 1024
      printf "%-34s %10.1f MiB\n", "  four reloads, peak resident", peak[p "storm"] / 1024
      printf "%-34s %12.2f  <= 1.2 %s\n", k "reload_storm_rss_vs_one", ratio[k],
             ratio[k] <= 1.2 ? "ok" : "MISSED"
      printf "%-34s %10.1f ms  <= 50 %s\n", k "findlogs_cancel_ms", worst[p "cancel"],
             worst[p "cancel"] <= 50 ? "ok" : "MISSED"
    }
    printf "bench: close_during_load_ms=%.0f reload_storm_rss_vs_one=%.2f findlogs_cancel_ms=%.0f",
           worst["close"], ratio[""], worst["cancel"]
    printf " held_close_during_load_ms=%.0f held_reload_storm_rss_vs_one=%.2f",
           worst["held-close"], ratio["held_"]
    printf " held_findlogs_cancel_ms=%.0f\n", worst["held-cancel"]
  }'
