#!/usr/bin/env bash
# Sets up, builds and runs every test. MLD_SANITIZE=1 builds into build-sanitize/ with
# AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${MLD_SANITIZE:-0}" = 1 ]; then
  export MLD_BUILD_DIR=${MLD_BUILD_DIR:-build-sanitize} MLD_BUILD_TYPE=RelWithDebInfo
  scripts/build.sh -DMLD_SANITIZE=ON
else
  scripts/build.sh
fi
ctest --test-dir "${MLD_BUILD_DIR:-build}" --output-on-failure -j2
