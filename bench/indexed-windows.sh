#!/usr/bin/env bash
# Memory on Windows, run under Wine from a Windows build: the peak commit charge of
# `message-log-display-cli --list` on a generated 1 GiB log against the file size, once indexed
# (--in-memory-limit 0: per run only its fields and byte ranges) and once held in memory. Commit
# charge rather than resident memory, since on Windows memory only reserved costs nothing and
# memory committed counts even once paged out. Wine keeps no commit charge of its own: it
# reports a running process's anonymous resident memory and swap as its page file usage, so
# under Wine the figure is the largest of those that bench-runner samples every 10 ms, and it
# counts the program's DLLs too, which Wine copies into memory of their own. What every run costs
# so shows on a 1 MiB log, and indexed_growth_vs_file is what the 1 GiB log adds to it, against
# its size. Ends with
#   bench: indexed_commit_vs_file=R1 indexed_growth_vs_file=R2 in_memory_commit_vs_file=R3
# MLD_WINDOWS_BUILD_DIR is the Windows build (default build-windows; it needs the targets
# message-log-display-cli, bench-runner and generate-log of scripts/build-windows.sh),
# MLD_BENCH_DATA the folder for the log (default bench-data in that build), MLD_WINEPREFIX the
# Wine prefix (default wine-bench in the cache folder).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${MLD_WINDOWS_BUILD_DIR:-build-windows}")
data=${MLD_BENCH_DATA:-$build/bench-data}
log=$data/bench-1G-seed1.log
small_log=$data/bench-1M-seed1.log
export MLD_WINEPREFIX=${MLD_WINEPREFIX:-${MLD_CACHE_DIR:-$HOME/.cache/message-log-display}/wine-bench}
source scripts/wine-env.sh
source bench/piece-helpers.sh

# The helpers call their programs by these names; here they are Windows programs, which take Unix
# paths as paths on Wine's drive Z:, the root. Their lines end in CR LF.
windows_generate_log() { "$WINE" "$build/generate-log.exe" "$@"; }
windows_bench_runner() { "$WINE" "$build/bench-runner.exe" "$@" | tr -d '\r'; }
MLD_GENERATE_LOG=windows_generate_log
MLD_BENCH_RUNNER=windows_bench_runner

# One wineserver for all the runs; it goes, with anything left running in the prefix, at the end.
trap 'wineserver -k 2>/dev/null || true' EXIT
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "creating the Wine prefix $WINEPREFIX ..." >&2
  "$WINE" wineboot.exe --init >/dev/null 2>&1
  wineserver -w
fi
wineserver -p
"$WINE" wineboot.exe >/dev/null 2>&1

generated_log "$log" OUTPUT 1G 1
generated_log "$small_log" OUTPUT 1M 1
cat "$log" "$small_log" >/dev/null
viewer=$build/message-log-display-cli.exe
echo "--list, indexed ..." >&2
indexed=$(measure "$viewer" --list "$log" --in-memory-limit 0)
small=$(measure "$viewer" --list "$small_log" --in-memory-limit 0)
echo "--list, in memory ..." >&2
in_memory=$(measure "$viewer" --list "$log")

# measure prints "wall_seconds peak_kib"; the peaks count here.
awk -v size="$(stat -c %s "$log")" -v indexed="${indexed#* }" -v small="${small#* }" \
  -v in_memory="${in_memory#* }" '
BEGIN {
  mib = 1024 * 1024
  indexed_ratio = indexed * 1024 / size
  growth_ratio = (indexed - small) * 1024 / size
  in_memory_ratio = in_memory * 1024 / size
  printf "%-34s %10.1f MiB\n", "log size", size / mib
  printf "%-34s %10.1f MiB\n", "--list indexed, peak commit", indexed / 1024
  printf "%-34s %12.3f  <= 0.02 %s\n", "indexed_commit_vs_file", indexed_ratio,
         indexed_ratio <= 0.02 ? "ok" : "MISSED"
  printf "%-34s %10.1f MiB\n", "the same on a 1 MiB log", small / 1024
  printf "%-34s %12.3f\n", "indexed_growth_vs_file", growth_ratio
  printf "%-34s %10.1f MiB\n", "--list in memory, peak commit", in_memory / 1024
  printf "%-34s %12.3f  about 1\n", "in_memory_commit_vs_file", in_memory_ratio
  printf "bench: indexed_commit_vs_file=%.3f indexed_growth_vs_file=%.3f", indexed_ratio,
         growth_ratio
  printf " in_memory_commit_vs_file=%.3f\n", in_memory_ratio
}'
