#!/usr/bin/env bash
# Sets up (unless MLD_SKIP_DEPS=1) and builds into build/ (or $MLD_BUILD_DIR); MLD_WERROR=ON
# makes every warning an error.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${MLD_SKIP_DEPS:-0}" = 1 ] || scripts/install-deps.sh
build=${MLD_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${MLD_BUILD_TYPE:-Release}" \
  -DMLD_WERROR="${MLD_WERROR:-OFF}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
