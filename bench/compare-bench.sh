#!/usr/bin/env bash
# Comparing two runs of 100,000 log lines each (a generated run and a copy of it with other
# numbers and time stamps in every line, and about one line in 200 added or removed), from
# reading both runs from the store to the finished diff, MLD_BENCH_ROUNDS rounds, the best one
# counting (5 unless set), with the store in memory and indexed:
#   compare_100k_ms          the store in memory, <= 200 ms
#   compare_100k_indexed_ms  the runs read from the file
# Ends with
#   bench: compare_100k_ms=T compare_100k_indexed_ms=T
set -euo pipefail

: "${MLD_COMPARE_BENCH:?}" "${MLD_GENERATE_LOG:?}" "${MLD_BENCH_DATA:?}"
source "$(dirname "$0")/piece-helpers.sh"

one=$MLD_BENCH_DATA/run-lines-100k.log
generated_log "$one" --run-lines 100000 OUTPUT
"$MLD_COMPARE_BENCH" "$one" "$MLD_BENCH_DATA/compare-100k.log" "${MLD_BENCH_ROUNDS:-5}"
