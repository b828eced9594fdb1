#!/usr/bin/env bash
# Makes the Windows zip and NSIS installer into build-windows/ (or $MLD_WINDOWS_BUILD_DIR): the
# viewer, the Qt and runtime DLLs it imports, Qt's Windows platform and style plugins, and the
# sample log. Builds the viewer first; Qt for Windows comes from scripts/build-qt-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh message-log-display
build=${MLD_WINDOWS_BUILD_DIR:-build-windows}
(cd "$build" && cpack -G "ZIP;NSIS" -B "$PWD")
ls -l "$build"/message-log-display-*-windows-x64.{zip,exe}
