#!/usr/bin/env bash
# Fuzzes for the given number of seconds (default 60) with libFuzzer, in a clang build in
# build-fuzz/: the log parser, or with "request" as the second argument the viewer's
# run-selection socket. New inputs collect in build-fuzz/corpus-<target>; a crash leaves its
# input in build-fuzz/findings: copy a parser finding to tests/fuzz/corpus/parser/ so that it
# stays a test (model_tests reads every file there).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
target=${2:-parser}
MLD_WITH_FUZZING=1 scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMLD_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "${target}_fuzzer"
mkdir -p "build-fuzz/corpus-$target" build-fuzz/findings
"build-fuzz/tests/fuzz/${target}_fuzzer" "build-fuzz/corpus-$target" "tests/fuzz/corpus/$target" \
  -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix=build-fuzz/findings/ -print_final_stats=1
