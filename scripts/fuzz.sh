#!/usr/bin/env bash
# Fuzzes the log parser for the given number of seconds (default 60) with libFuzzer, in a clang
# build in build-fuzz/. New inputs collect in build-fuzz/corpus; a crash leaves its input in
# build-fuzz/findings: copy it to tests/fuzz/corpus/regressions/ so that it stays a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
MLD_WITH_FUZZING=1 scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMLD_FUZZ=ON >/dev/null
cmake --build build-fuzz --target parser_fuzzer
mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/tests/fuzz/parser_fuzzer build-fuzz/corpus tests/fuzz/corpus/parser \
  -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix=build-fuzz/findings/ -print_final_stats=1
