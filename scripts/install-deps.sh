#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian or Ubuntu, skipping what is present.
# Elsewhere it names what to install and stops.
set -euo pipefail
cd "$(dirname "$0")"

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev
          xvfb xauth)
if [ "${MLD_WITH_FUZZING:-0}" = 1 ]; then packages+=(clang libclang-rt-dev); fi

if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
  cat >&2 <<'TXT'
This script installs packages only on Debian or Ubuntu. On other systems install:
  a C++20 compiler (GCC >= 12 or Clang >= 14), CMake >= 3.25, Ninja,
  Qt 6 (>= 6.4) base development files (Core, Gui, Widgets, Network, Test),
  GoogleTest, and Xvfb (only for the window tests under a real X server),
then run the same command again with MLD_SKIP_DEPS=1.
TXT
  exit 1
fi

./install-packages.sh "${packages[@]}"
