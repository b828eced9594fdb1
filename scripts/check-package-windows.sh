#!/usr/bin/env bash
# Checks the Windows packages that scripts/package-windows.sh made, as a user gets them, under
# Wine in a prefix of their own and with no DLLs but the package's: the zip's viewer lists the
# sample log; the installer installs silently (program, Start-menu entry, "Open with" for .log
# files); the installed viewer lists the sample log and, started on it on Xvfb, shows it and
# takes a run selection by window message from a second process; the uninstaller takes it all
# away again. MLD_PACKAGE_SCREENSHOT names an X window dump of the screen after the selection.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MLD_WINDOWS_BUILD_DIR:-build-windows}
version=$(sed -n 's/^project(MessageLogDisplay VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package=$build/message-log-display-$version-windows-x64
source scripts/wine-env.sh

fail() {
  echo "check-package-windows: $*" >&2
  exit 1
}

# What the build's own viewer lists, with the build's DLLs, is what each package must list.
expected=$("$WINE" "$build/message-log-display.exe" --list "$(winepath -w examples/sample.log)")
[ -n "$expected" ] || fail "the build's viewer lists nothing"

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix
unset WINEPATH
"$WINE" wineboot.exe --init >/dev/null 2>&1

unzip -q "$package.zip" -d "$work"
zipped=$(basename "$package")
listed=$("$WINE" "$work/$zipped/bin/message-log-display.exe" --list \
  "$(winepath -w "$work/$zipped/examples/sample.log")") || fail "the zip's viewer did not run"
[ "$listed" = "$expected" ] || fail "the zip's viewer lists the sample log otherwise"
echo "The zip's viewer lists the sample log."

"$WINE" "$package.exe" /S || fail "the installer failed"
folder='C:\Program Files\Message Log Display'
installed="$WINEPREFIX/drive_c/Program Files/Message Log Display"
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Message Log Display/Message Log Display.lnk" ] ||
  fail "no Start-menu entry"
"$WINE" reg.exe query 'HKCR\.log\OpenWithList\message-log-display.exe' >/dev/null 2>&1 ||
  fail "no \"Open with\" entry for .log files"
"$WINE" reg.exe query 'HKCR\Applications\message-log-display.exe\shell\open\command' 2>/dev/null |
  grep -qF "\"$folder\\bin\\message-log-display.exe\" \"%1\"" ||
  fail "\"Open with\" does not start the installed viewer on the file"
listed=$("$WINE" "$installed/bin/message-log-display.exe" --list "$folder\\examples\\sample.log") ||
  fail "the installed viewer did not run"
[ "$listed" = "$expected" ] || fail "the installed viewer lists the sample log otherwise"
echo "The installer installed the viewer, its Start-menu entry and \"Open with\" for .log files."

# Wine's desktop takes the X display of the program that starts it.
wineserver -k
wineserver -w
xvfb-run -a bash -c '
  viewer="$1/bin/message-log-display.exe"
  "$WINE" "$viewer" "$2\\examples\\sample.log" &
  # The viewer answers once its window is up; until then there is no window to send to.
  answered=1
  for attempt in $(seq 60); do
    "$WINE" "$viewer" --select-run 3 2>/dev/null && answered=0 && break
    sleep 1
  done
  # Its caption names the file it was started on: the name with blanks, which Wine put in
  # quotes on the command line, arrived whole.
  caption="Message Log Display - \"$2\\examples\\sample.log\""
  xwininfo -root -tree | grep -qF "$caption" || { echo "no window \"$caption\"" >&2; answered=1; }
  [ -z "${MLD_PACKAGE_SCREENSHOT:-}" ] || xwd -root -silent >"$MLD_PACKAGE_SCREENSHOT"
  # Wine goes before its X server does.
  wineserver -k
  wineserver -w
  exit $answered' select-run "$installed" "$folder" || fail "the installed viewer took no run selection"
echo "The installed viewer showed the sample log and took a run selection by window message."

"$WINE" "$folder\\Uninstall.exe" /S
# The uninstaller copies itself away and goes on from there.
wineserver -w
[ ! -e "$installed/bin/message-log-display.exe" ] || fail "the uninstaller left the viewer"
! "$WINE" reg.exe query 'HKCR\.log\OpenWithList\message-log-display.exe' >/dev/null 2>&1 ||
  fail "the uninstaller left the \"Open with\" entry"
echo "The uninstaller removed the viewer and its \"Open with\" entry."
