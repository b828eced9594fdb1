#!/usr/bin/env bash
# Cross-builds the Windows tests and runs them under Wine. MLD_WINDOWS_TESTS names the test
# programs to build and MLD_WINDOWS_TEST_LABEL the ctest labels to run headless (for now the
# model's, the command line's and the window tests that pass under Wine); then the window tests (label windows-window) run on Qt's
# Windows platform plugin under Xvfb when MLD_WINDOWS_TESTS names them.
set -euo pipefail
cd "$(dirname "$0")/.."
window_tests=window_message_end_to_end_tests
headless_tests="model_tests startup_file_name_tests display_form_tests"
read -r -a programs <<<"${MLD_WINDOWS_TESTS:-$headless_tests $window_tests}"
scripts/build-windows.sh "${programs[@]}"
source scripts/wine-env.sh

# One wineserver for the whole run, instead of one started and stopped for each test; it goes,
# with anything left running in the prefix, when the run ends.
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  "$WINE" wineboot.exe --init >/dev/null 2>&1
  # A crash in a test must print its report, never wait in a dialog.
  "$WINE" reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
fi
wineserver -p
# Wine's background services start with the first program and keep its output open; started
# here, they cannot hold ctest's pipes open after a test has ended.
"$WINE" wineboot.exe >/dev/null 2>&1
ctest --test-dir "${MLD_WINDOWS_BUILD_DIR:-build-windows}" --output-on-failure -j2 \
  -L "${MLD_WINDOWS_TEST_LABEL:-^(model|app|window)\$}"

[[ " ${programs[*]} " == *" $window_tests "* ]] || exit 0
# Wine's desktop takes the X display of the program that starts it, so Wine starts afresh on
# the X server of xvfb-run; Wine drops QT_ variables, so the tests also name their platform.
wineserver -k
wineserver -w
xvfb-run -a env QT_QPA_PLATFORM=windows bash -c '
  wineserver -p
  "$WINE" wineboot.exe >/dev/null 2>&1
  ctest --test-dir "${MLD_WINDOWS_BUILD_DIR:-build-windows}" --output-on-failure -L windows-window'
