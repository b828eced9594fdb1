#!/usr/bin/env bash
# Cross-builds the viewer and its tests for Windows, checks the AVX2 scan's stack moves
# (scripts/check-avx2-stack.sh) and runs the tests under Wine: every test but the
# window-message ones on Qt's offscreen platform, then those (label windows-window) on Qt's
# Windows platform plugin under Xvfb. For a quicker round while working on a few tests,
# MLD_WINDOWS_TESTS names the programs to build and MLD_WINDOWS_TEST_REGEX the tests to run.
set -euo pipefail
cd "$(dirname "$0")/.."
read -r -a programs <<<"${MLD_WINDOWS_TESTS:-}"
scripts/build-windows.sh "${programs[@]}"
scripts/check-avx2-stack.sh
build=${MLD_WINDOWS_BUILD_DIR:-build-windows}
regex=(-R "${MLD_WINDOWS_TEST_REGEX:-.}")
source scripts/wine-env.sh

# Under Wine the offscreen platform finds no fonts but those in Qt's own lib/fonts, and the
# text pane's tests measure a fixed-pitch font; with one font there, every family falls back
# to it.
mkdir -p "$cache/qt6-mingw/lib/fonts"
cp -u /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$cache/qt6-mingw/lib/fonts/"

# One wineserver for the whole run, instead of one started and stopped for each test; it goes,
# with anything left running in the prefix, when the run ends.
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  "$WINE" wineboot.exe --init >/dev/null 2>&1
  # A crash in a test must print its report, never wait in a dialog.
  "$WINE" reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  # The server these started stays a while; a persistent one can start only after it.
  wineserver -w
fi
wineserver -p
# Wine's background services start with the first program and keep its output open; started
# here, they cannot hold ctest's pipes open after a test has ended.
"$WINE" wineboot.exe >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -j2 -LE windows-window "${regex[@]}"

# Wine's desktop takes the X display of the program that starts it, so Wine starts afresh on
# the X server of xvfb-run; Wine drops QT_ variables, so the tests also name their platform.
wineserver -k
wineserver -w
xvfb-run -a bash -c '
  wineserver -p
  "$WINE" wineboot.exe >/dev/null 2>&1
  ctest --test-dir "$1" --output-on-failure -L windows-window "${@:2}"' \
  window-tests "$build" "${regex[@]}"
