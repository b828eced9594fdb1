#!/usr/bin/env bash
# The viewer on a log larger than it would hold in memory, with --in-memory-limit 0 so that it
# indexes the log: it keeps per run only its fields and byte ranges and reads a run's text from
# the file when needed. The log is generated MLD_INDEXED_BENCH_SIZE large (default 4G) when the
# disk has room for it and 1 GiB more. Page cache warm, best of MLD_BENCH_ROUNDS rounds,
# interleaved so that all see the same machine load:
#   indexed_rss_vs_file       peak resident memory of `--list --in-memory-limit 0` against the
#                             file size
#   indexed_list_vs_wc        wall time of `--list --in-memory-limit 0` against `wc -l`
#   indexed_findruns_vs_list  the search alone of `--list --find timeout --in-memory-limit 0`,
#                             that is its wall time less that of `--list --in-memory-limit 0`,
#                             against the latter (findruns_vs_list likewise counts the search in
#                             a window that has loaded the log); "timeout" is in about 1.5% of
#                             the runs
#   indexed_list_under_as_limit    with the address space limited to half the file size
#                             (prlimit --as), whether `--list --in-memory-limit 0` succeeds:
#                             ok or FAILED
#   in_memory_list_under_as_limit  the same without the option, where the log is below the
#                             in-memory limit but its text cannot have the memory: ok (the
#                             viewer indexed it instead), refused (it ended with a message about
#                             memory) or UNCLEAR (it ended otherwise, as by a crash); either of
#                             the first two will do
#   indexed_open_ms           opening the log in the window, indexed, until the load has
#                             finished and row 1's panes have painted
#   indexed_open_rss_vs_file  the window's peak resident memory in that, against the file size
#                             (its target, 0.05 plus the text of the run shown, is judged
#                             without that text: stricter)
#   indexed_pane_1m_ms        selecting a run of 1,000,000 log lines, read from the file, until
#                             both panes have painted
# A key that could not be measured (no room for the log, no prlimit) says "skipped". Ends with
#   bench: indexed_rss_vs_file=R1 indexed_list_vs_wc=R2 indexed_findruns_vs_list=R3
#          indexed_list_under_as_limit=W1 in_memory_list_under_as_limit=W2 indexed_open_ms=T1
#          indexed_open_rss_vs_file=R4 indexed_pane_1m_ms=T2
set -euo pipefail
# The rows are gathered with $(...), and a measurement that fails there must stop the piece too.
shopt -s inherit_errexit

: "${MLD_VIEWER:?}" "${MLD_GUI_BENCH:?}" "${MLD_GENERATE_LOG:?}" "${MLD_BENCH_RUNNER:?}"
: "${MLD_BENCH_DATA:?}" "${MLD_BENCH_ROUNDS:?}"
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/piece-helpers.sh"

size=${MLD_INDEXED_BENCH_SIZE:-4G}
seed=${MLD_BENCH_SEED:-1}
log=$MLD_BENCH_DATA/bench-$size-seed$seed.log
long_run=$MLD_BENCH_DATA/run-lines-1M.log
indexed=(--in-memory-limit 0)
large_log_keys=(indexed_rss_vs_file indexed_list_vs_wc indexed_findruns_vs_list
  indexed_list_under_as_limit in_memory_list_under_as_limit indexed_open_ms
  indexed_open_rss_vs_file)

room_for_log() {
  [[ -s $log ]] && return 0
  mkdir -p "$MLD_BENCH_DATA"
  local available
  available=$(df --output=avail -B1 "$MLD_BENCH_DATA" | tail -n 1)
  ((available >= $(numfmt --from=iec "$size") + (1 << 30)))
}

# list_under_as_limit [ARG...]: "ok" when `--list` of the log with the arguments succeeds in half
# the file size of address space; else its exit status and the last line it wrote on stderr.
list_under_as_limit() {
  local said status=0
  said=$(prlimit --as=$(($(stat -c %s "$log") / 2)) "$MLD_VIEWER" --list "$log" "$@" 2>&1 \
    >/dev/null) || status=$?
  if ((status == 0)); then
    echo ok
  else
    echo "status $status: ${said##*$'\n'}"
  fi
}

# as_limit_rows: the table rows of both runs in little address space and their keys' values.
as_limit_rows() {
  if ! command -v prlimit >/dev/null; then
    printf '%-34s %12s  (no prlimit)\n' "under an address space limit" skipped
    echo "bench: indexed_list_under_as_limit=skipped in_memory_list_under_as_limit=skipped"
    return
  fi
  local indexed_said in_memory_said indexed_word in_memory_word
  indexed_said=$(list_under_as_limit "${indexed[@]}")
  in_memory_said=$(list_under_as_limit)
  indexed_word=FAILED
  [[ $indexed_said == ok ]] && indexed_word=ok
  if [[ $in_memory_said == ok ]]; then
    in_memory_word=ok
  elif [[ ${in_memory_said,,} == *memory* ]]; then
    in_memory_word=refused
  else
    in_memory_word=UNCLEAR
  fi
  printf '%-34s %12s  expected ok  %s\n' "--list indexed, address space /2" "$indexed_word" \
    "${indexed_said#ok}"
  printf '%-34s %12s  ok or refused  %s\n' "--list, no option, the same" "$in_memory_word" \
    "${in_memory_said#ok}"
  echo "bench: indexed_list_under_as_limit=$indexed_word in_memory_list_under_as_limit=$in_memory_word"
}

# large_log_rows: the table rows of the figures on the large log, and their keys' values.
large_log_rows() {
  local results=()
  for ((round = 1; round <= MLD_BENCH_ROUNDS; round++)); do
    echo "round $round of $MLD_BENCH_ROUNDS ..." >&2
    results+=("wc $(measure wc -l "$log")")
    results+=("list $(measure "$MLD_VIEWER" --list "$log" "${indexed[@]}")")
    results+=("find $(measure "$MLD_VIEWER" --list "$log" --find timeout "${indexed[@]}")")
    results+=("open $(gui indexed-open "$log")")
  done
  printf '%s\n' "${results[@]}" | awk -v size="$(stat -c %s "$log")" '
    { if (!($1 in best) || $2 < best[$1]) best[$1] = $2; if ($3 > peak[$1]) peak[$1] = $3 }
    END {
      mib = 1024 * 1024
      rss_ratio = peak["list"] * 1024 / size
      list_vs_wc = best["list"] / best["wc"]
      find_vs_list = (best["find"] - best["list"]) / best["list"]
      open_rss_ratio = peak["open"] * 1024 / size
      printf "%-34s %10.1f MiB\n", "log size", size / mib
      printf "%-34s %10.1f MiB\n", "--list indexed, peak resident", peak["list"] / 1024
      printf "%-34s %12.3f  <= 0.02 %s\n", "indexed_rss_vs_file", rss_ratio,
             rss_ratio <= 0.02 ? "ok" : "MISSED"
      printf "%-34s %10.3f s\n", "wc -l, best wall time", best["wc"]
      printf "%-34s %10.3f s\n", "--list indexed, best wall time", best["list"]
      printf "%-34s %12.2f  <= 3.0 %s\n", "indexed_list_vs_wc", list_vs_wc,
             list_vs_wc <= 3.0 ? "ok" : "MISSED"
      printf "%-34s %10.3f s\n", "--list --find indexed, best", best["find"]
      printf "%-34s %12.2f  <= 0.5 %s\n", "indexed_findruns_vs_list", find_vs_list,
             find_vs_list <= 0.5 ? "ok" : "MISSED"
      printf "%-34s %10.1f ms\n", "indexed_open_ms", best["open"]
      printf "%-34s %10.1f MiB\n", "window open indexed, peak", peak["open"] / 1024
      printf "%-34s %12.3f  <= 0.05 + row 1 text %s\n", "indexed_open_rss_vs_file",
             open_rss_ratio, open_rss_ratio <= 0.05 ? "ok" : "MISSED"
      printf "bench: indexed_rss_vs_file=%.3f indexed_list_vs_wc=%.2f", rss_ratio, list_vs_wc
      printf " indexed_findruns_vs_list=%.2f indexed_open_ms=%.0f indexed_open_rss_vs_file=%.3f\n",
             find_vs_list, best["open"], open_rss_ratio
    }'
  as_limit_rows
}

# pane_rows: the table row of the selection of the long run, and its key's value.
pane_rows() {
  local results=()
  for ((round = 1; round <= MLD_BENCH_ROUNDS; round++)); do
    results+=("$(gui indexed-select "$long_run")")
  done
  printf '%s\n' "${results[@]}" | awk '
    NR == 1 || $1 < best { best = $1 }
    END {
      printf "%-34s %10.1f ms  <= 30 %s\n", "indexed_pane_1m_ms", best, best <= 30 ? "ok" : "MISSED"
      printf "bench: indexed_pane_1m_ms=%.0f\n", best
    }'
}

generated_log "$long_run" --run-lines 1000000 OUTPUT
if room_for_log; then
  generated_log "$log" OUTPUT "$size" "$seed"
  echo "warming the page cache with $log ..." >&2
  cat "$log" "$long_run" >/dev/null
  rows=$(large_log_rows; pane_rows)
else
  skipped=$(printf ' %s=skipped' "${large_log_keys[@]}")
  rows=$(printf '%-34s %12s  (no room for a %s log in %s)\n' "large log" skipped "$size" \
    "$MLD_BENCH_DATA"; echo "bench:$skipped"; pane_rows)
fi
# The rows, then one line of all the keys.
grep -v '^bench: ' <<<"$rows"
echo "bench: $(sed -n 's/^bench: //p' <<<"$rows" | paste -sd ' ')"
