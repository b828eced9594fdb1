#!/usr/bin/env bash
# Builds the model and document tests with ThreadSanitizer into build-tsan/ (or $MLD_BUILD_DIR)
# and runs them: the loader, the searches and the index run threads of their own there. Qt is not
# built with ThreadSanitizer, so what Qt's own locks order (a report posted to the GUI thread) is
# invisible to it: tests/tsan.supp passes over races seen through Qt's frames, and nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${MLD_SKIP_DEPS:-0}" = 1 ] || scripts/install-deps.sh
build=${MLD_BUILD_DIR:-build-tsan}
targets=(model_tests log_document_tests document_interleaving_tests)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMLD_TSAN=ON \
  -DMLD_WERROR="${MLD_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
export QT_QPA_PLATFORM=offscreen
# Some kernels place memory where ThreadSanitizer does not expect it unless the layout is fixed.
run() { setarch "$(uname -m)" -R "$@"; }
run "$build/tests/model/model_tests" --gtest_brief=1
run "$build/tests/document/log_document_tests"
run "$build/tests/document/document_interleaving_tests"
