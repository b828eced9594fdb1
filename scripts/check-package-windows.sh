#!/usr/bin/env bash
# Checks the Windows packages that scripts/package-windows.sh made, as a user gets them, under
# Wine in a prefix of their own and with no DLLs but the package's: the viewer is a GUI program
# and its twin a console one, both with their manifest; the zip's viewer and twin list the
# sample log; the installer installs silently (programs, Start-menu entry, "Open with" for .log
# files through our ProgID under HKLM\Software\Classes, the .log type's default program left
# alone); the installed viewer and twin list the sample log and the viewer, started on it on
# Xvfb, shows it and takes a run selection by window message from the twin; the installer, run
# again while that viewer runs, and the uninstaller, fail with exit code 32 and leave the
# installed files and the viewer alone; run once more, with an earlier install in another folder beside the first, it
# first runs the uninstallers of both; the uninstaller takes it all away again.
# With MLD_SIGN_CERT set (see scripts/package-windows.sh), every program and DLL in the zip and
# the installed folder, the installer and the uninstaller must carry a valid signature by that
# certificate. Both packages carry the
# third-party notices beside the viewer; the installer shows no placeholder license page and no
# NSIS branding, and carries the program's version resource. MLD_PACKAGE_SCREENSHOT names an
# X window dump of the screen after the selection.
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


# The subsystem in a program's PE header: 2 is a GUI program, 3 a console one.
subsystem() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '$1 == "Subsystem" { print $2 + 0 }'
}
# The manifest resource (1, of type 24) as windres writes it back as resource script.
manifest() {
  x86_64-w64-mingw32-windres -i "$1" -O rc | sed -n '/^1 24 /,/^END/p'
}
# Both programs of a package folder: the viewer, the twin; each run on the sample log.
check_programs() {
  local bin=$1 sample=$2 where=$3 listed
  [ "$(subsystem "$bin/message-log-display.exe")" = 2 ] || fail "$where viewer is no GUI program"
  [ "$(subsystem "$bin/message-log-display-cli.exe")" = 3 ] ||
    fail "$where console twin is no console program"
  for program in message-log-display message-log-display-cli; do
    manifest "$bin/$program.exe" | grep -qF '>true</longPathAware>' ||
      fail "$where $program.exe has no long-path-aware manifest"
    listed=$("$WINE" "$bin/$program.exe" --list "$sample") || fail "$where $program.exe did not run"
    [ "$listed" = "$expected" ] || fail "$where $program.exe lists the sample log otherwise"
  done
}
# The notices of what the package ships: Qt's license and its third-party parts, the compiler
# runtime and winpthreads.
notices() {
  local file=$1/THIRD-PARTY-NOTICES.txt
  [ -f "$file" ] || fail "no $file"
  for text in "GNU LESSER GENERAL PUBLIC LICENSE" "Qt third-party part: Data Compression Library" \
    "GCC RUNTIME LIBRARY EXCEPTION" "winpthreads" "replace them" "qt6-base"; do
    grep -qF "$text" "$file" || fail "$file does not contain \"$text\""
  done
}
# File properties: the version resource names the program and its version.
versioned() {
  local resource
  resource=$(x86_64-w64-mingw32-windres -i "$1" -O rc | sed -n '/VERSIONINFO/,/^END/p')
  for text in "FILEVERSION ${version//./, }" '"ProductName", "Message Log Display"'; do
    grep -qF "$text" <<<"$resource" || fail "the version resource of $1 lacks $text"
  done
}
signed() {
  [ -z "${MLD_SIGN_CERT:-}" ] || osslsigncode verify -CAfile "$MLD_SIGN_CERT" -in "$1" >/dev/null ||
    fail "$1 carries no valid signature by $MLD_SIGN_CERT"
}
# The programs and DLLs of a folder, by their names there.
programs_and_dlls() {
  (cd "$1" && find . -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
}
# Every program and DLL of a folder, signed.
all_signed() {
  local file
  [ "$(programs_and_dlls "$1" | grep -ci '\.dll$')" -gt 0 ] || fail "no DLLs in $1"
  [ -z "${MLD_SIGN_CERT:-}" ] || while read -r file; do signed "$1/$file"; done < <(programs_and_dlls "$1")
}
registered() {
  "$WINE" reg.exe query "$@" >/dev/null 2>&1
}

# A prefix of this check's own, so that it shares no wineserver with other builds' tests.
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$WINE" wineboot.exe --init >/dev/null 2>&1
# What the build's own viewer lists, with the build's DLLs, is what each package must list.
expected=$("$WINE" "$build/message-log-display.exe" --list "$(winepath -w examples/sample.log)")
[ -n "$expected" ] || fail "the build's viewer lists nothing"
unset WINEPATH

unzip -q "$package.zip" -d "$work"
zipped=$(basename "$package")
check_programs "$work/$zipped/bin" "$(winepath -w "$work/$zipped/examples/sample.log")" "the zip's"
notices "$work/$zipped/bin"
all_signed "$work/$zipped"
echo "The zip's viewer and console twin are what they should be and list the sample log."

# The installer's own texts are in its compressed header; the script CPack made them from says
# what they are. Its file properties are a resource of the installer itself.
script=$build/_CPack_Packages/win64/NSIS/project.nsi
! grep -qE "GenericLicense|No license provided" "$script" || fail "the installer shows CPack's license"
if [ -f LICENSE ]; then
  grep -qF "MUI_PAGE_LICENSE \"$PWD/LICENSE\"" "$script" || fail "the installer does not show LICENSE"
else
  ! grep -qF MUI_PAGE_LICENSE "$script" || fail "the installer has a license page without a license"
fi
grep -qF 'BrandingText "Message Log Display' "$script" || fail "the installer has NSIS's branding"
# An installer that runs elevated writes HKCR into the administrator's own classes at times,
# and starts what it starts elevated: "Open with" goes to HKLM, the viewer starts through
# Explorer, as the user.
! grep -q 'HKCR' "$script" || fail "the installer writes HKCR"
grep -qF 'MUI_FINISHPAGE_RUN_FUNCTION StartViewerAsUser' "$script" &&
  grep -qF "Exec '\"\$WINDIR\\explorer.exe\" \"\$INSTDIR\\bin\\message-log-display.exe\"'" "$script" ||
  fail "the installer's last page does not start the viewer through Explorer"
versioned "$package.exe"

signed "$package.exe"
# As on Windows, .log files have a default program; the installer must leave it alone.
classes='HKLM\Software\Classes'
"$WINE" reg.exe add "$classes\.log" /ve /d txtfile /f >/dev/null 2>&1
log_default() {
  "$WINE" reg.exe query "$classes\.log" /ve 2>/dev/null | grep -q 'REG_SZ[[:space:]]*txtfile' ||
    fail "the default program of .log files was changed $1"
}
folder='C:\Program Files\Message Log Display'
installed="$WINEPREFIX/drive_c/Program Files/Message Log Display"
# What an install gives: the Start-menu entry, "Open with" for every user, the .log default
# untouched.
check_install() {
  [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Message Log Display/Message Log Display.lnk" ] ||
    fail "no Start-menu entry $1"
  for key in "$classes\MessageLogDisplay.log" "$classes\Applications\message-log-display.exe"; do
    "$WINE" reg.exe query "$key\shell\open\command" 2>/dev/null |
      grep -qF "\"$folder\\bin\\message-log-display.exe\" \"%1\"" ||
      fail "$key does not open a file with the installed viewer $1"
  done
  registered "$classes\.log\OpenWithProgids" /v MessageLogDisplay.log ||
    fail "our ProgID is not among the programs that open .log files $1"
  registered "$classes\Applications\message-log-display.exe\SupportedTypes" /v .log ||
    fail "the viewer does not say that it opens .log files $1"
  ! registered 'HKCU\Software\Classes\MessageLogDisplay.log' ||
    fail "our ProgID is in the installing user's own classes $1"
  log_default "$1"
}
"$WINE" "$package.exe" /S || fail "the installer failed"
check_install "by the installer"
check_programs "$installed/bin" "$folder\\examples\\sample.log" "the installed"
notices "$installed/bin"
[ "$(programs_and_dlls "$installed")" = "$({ programs_and_dlls "$work/$zipped"; echo ./Uninstall.exe; } | sort)" ] ||
  fail "the installed programs and DLLs are not the zip's and the uninstaller"
all_signed "$installed"
versioned "$installed/Uninstall.exe"
echo "The installer installed the viewer, its twin, its Start-menu entry and \"Open with\" for" \
  ".log files."

# Wine's desktop takes the X display of the program that starts it.
wineserver -k
wineserver -w
xvfb-run -a bash -c '
  "$WINE" "$1/bin/message-log-display.exe" "$2\\examples\\sample.log" &
  # The viewer answers once its window is up; until then there is no window to send to. A
  # script in a console sends through the twin.
  ok=1
  for attempt in $(seq 60); do
    "$WINE" "$1/bin/message-log-display-cli.exe" --select-run 3 2>/dev/null && ok=0 && break
    sleep 1
  done
  [ $ok = 0 ] || echo "the installed viewer took no run selection" >&2
  # Its caption names the file it was started on: the name with blanks, which Wine put in
  # quotes on the command line, arrived whole.
  caption="Message Log Display - \"$2\\examples\\sample.log\""
  xwininfo -root -tree | grep -qF "$caption" || { echo "no window \"$caption\"" >&2; ok=1; }
  [ -z "${MLD_PACKAGE_SCREENSHOT:-}" ] || xwd -root -silent >"$MLD_PACKAGE_SCREENSHOT"
  # Installed over the running viewer, the installer must stop before it touches a file. Its
  # files are the same as those installed, so what tells is the change time of each, which any
  # write sets.
  touched() { find "$1" -type f -printf "%P %i %C@\n" | sort; }
  if [ $ok = 0 ]; then
    files=$(touched "$1")
    "$WINE" "$3" /S
    code=$?
    [ $code = 32 ] || { echo "the installer over the running viewer ended with $code, not 32" >&2; ok=1; }
    [ "$(touched "$1")" = "$files" ] ||
      { echo "the installer changed the files of the running viewer" >&2; ok=1; }
    # So must the uninstaller, run where it is (_?=) so that its exit code is its own. NSIS takes
    # the rest of the command line as that folder, quotes and all, and Wine quotes an argument
    # with blanks: the folder goes in blank-free words, which Wine joins with blanks.
    read -ra in_place <<<"_?=$2"
    "$WINE" "$1/Uninstall.exe" /S "${in_place[@]}"
    code=$?
    [ $code = 32 ] || { echo "the uninstaller beside the running viewer ended with $code, not 32" >&2; ok=1; }
    [ "$(touched "$1")" = "$files" ] ||
      { echo "the uninstaller changed the files of the running viewer" >&2; ok=1; }
    "$WINE" "$1/bin/message-log-display-cli.exe" --select-run 2 2>/dev/null ||
      { echo "the viewer did not outlive the installer and the uninstaller" >&2; ok=1; }
  fi
  # Wine goes before its X server does.
  wineserver -k
  wineserver -w
  exit $ok' running-viewer "$installed" "$folder" "$package.exe" ||
  fail "the installed viewer, or the installer over it, failed (see above)"
echo "The installed viewer showed the sample log and took a run selection by window message;" \
  "the installer over it and the uninstaller beside it ended with exit code 32 and left it and" \
  "its files alone."

# An earlier install in a folder of its own, as an earlier version left it: an entry in
# "Installed apps" named with its version, its uninstaller and a file that uninstaller removes.
uninstall_entries='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
earlier_entry="$uninstall_entries\Message Log Display 2.2.0.1"
earlier="$WINEPREFIX/drive_c/Program Files/Message Log Display 2.2"
mkdir -p "$earlier/examples"
cp "$installed/Uninstall.exe" "$earlier/"
cp "$installed/examples/sample.log" "$earlier/examples/"
"$WINE" reg.exe add "$earlier_entry" /v Publisher /d Vantrel /f >/dev/null 2>&1
"$WINE" reg.exe add "$earlier_entry" /v UninstallString \
  /d "\"C:\\Program Files\\Message Log Display 2.2\\Uninstall.exe\"" /f >/dev/null 2>&1
# A second name for a file of the first install: its uninstaller deletes that file, and the
# installer writes a new one, where an installer copying over it would write into the same file.
ln "$installed/examples/sample.log" "$work/first-install-sample.log"
"$WINE" "$package.exe" /S || fail "the installer failed over the earlier installs"
[ "$(stat -c %h "$work/first-install-sample.log")" = 1 ] ||
  fail "the installer did not run the uninstaller of the install before it"
[ ! -e "$earlier" ] || fail "the installer left the earlier install in another folder"
! registered "$earlier_entry" || fail "the installer left the earlier install's entry"
check_install "by the second install"
[ "$("$WINE" "$installed/bin/message-log-display-cli.exe" --list "$folder\\examples\\sample.log")" = \
  "$expected" ] || fail "the twin of the second install lists the sample log otherwise"
echo "The installer, run again, first uninstalled the install before it and an earlier one in" \
  "another folder, then installed the viewer again."

"$WINE" "$folder\\Uninstall.exe" /S
# The uninstaller copies itself away and goes on from there.
wineserver -w
[ ! -e "$installed/bin/message-log-display.exe" ] || fail "the uninstaller left the viewer"
! registered "$classes\MessageLogDisplay.log" || fail "the uninstaller left our ProgID"
! registered "$classes\.log\OpenWithProgids" /v MessageLogDisplay.log ||
  fail "the uninstaller left our ProgID among the programs that open .log files"
! registered "$classes\Applications\message-log-display.exe" ||
  fail "the uninstaller left the viewer's \"Open with\" entry"
! registered "$uninstall_entries\Message Log Display" ||
  fail "the uninstaller left its entry in \"Installed apps\""
log_default "by the uninstaller"
echo "The uninstaller removed the viewer and its \"Open with\" entries."
