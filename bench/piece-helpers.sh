# shellcheck shell=bash
# Sourced by the benchmark pieces: the steps that several of them take alike.

# generated_log PATH GENERATE-LOG-ARGUMENT...: makes PATH with generate-log unless it is there
# already, the argument OUTPUT standing for the file. Written under a temporary name first, so
# that an interrupted run never leaves a short log behind.
generated_log() {
  local path=$1
  shift
  [[ -s $path ]] && return 0
  mkdir -p "$(dirname "$path")"
  echo "generating $path ..." >&2
  "$MLD_GENERATE_LOG" "${@/#OUTPUT/$path.part}" >&2
  mv "$path.part" "$path"
}

# measure COMMAND [ARG...]: prints "wall_seconds peak_rss_kib" of the command, run through
# bench-runner; fails when the command does.
measure() {
  local wall rss status
  read -r wall rss status < <("$MLD_BENCH_RUNNER" "$@")
  if [[ $status != 0 ]]; then
    echo "$(basename "$0"): '$*' exited with status $status" >&2
    return 1
  fi
  echo "$wall $rss"
}

# gui MODE FILE: prints "milliseconds peak_rss_kib" of one gui-bench run.
gui() {
  "$MLD_GUI_BENCH" "$1" "$2" 2>/dev/null | sed -E 's/ms=([0-9.]+) max_rss_kib=([0-9]+)/\1 \2/'
}
