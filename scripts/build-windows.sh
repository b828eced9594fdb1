#!/usr/bin/env bash
# Cross-builds for Windows into build-windows/ (or $MLD_WINDOWS_BUILD_DIR) against the Qt that
# scripts/build-qt-windows.sh makes once. Arguments name the targets to build; none builds all.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${MLD_SKIP_DEPS:-0}" = 1 ] || scripts/install-deps-windows.sh
MLD_SKIP_DEPS=1 scripts/build-qt-windows.sh
qt=${MLD_CACHE_DIR:-$HOME/.cache/message-log-display}/qt6-mingw
build=${MLD_WINDOWS_BUILD_DIR:-build-windows}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${MLD_BUILD_TYPE:-Release}" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_FIND_ROOT_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/wine-run.sh" \
  -DMLD_WERROR="${MLD_WERROR:-OFF}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
