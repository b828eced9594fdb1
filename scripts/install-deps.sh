#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian or Ubuntu, skipping what is present.
# Elsewhere it names what to install and stops.
set -euo pipefail

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

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
