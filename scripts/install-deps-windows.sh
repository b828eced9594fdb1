#!/usr/bin/env bash
# Installs what the Windows cross-build and its tests under Wine need, on top of the Linux
# build's packages: the mingw-w64 compiler, Wine, the installer maker, what it takes to fetch
# and configure Debian's Qt source, a fixed-pitch font for the widget tests, osslsigncode and
# openssl for signing the package (with a throw-away certificate in CI), and unzip and xwininfo
# for the package check.
set -euo pipefail
cd "$(dirname "$0")"
./install-deps.sh
./install-packages.sh g++-mingw-w64-x86-64-posix wine wine64 nsis dpkg-dev perl googletest \
  fonts-dejavu-core osslsigncode openssl python3 unzip x11-utils
