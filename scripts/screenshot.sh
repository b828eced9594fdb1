#!/usr/bin/env bash
# Takes the README's screenshots: the real program under Xvfb, showing the sample log with run 4
# selected by a run-selection request, then Find in runs for "pump a" with the next run with
# matches selected (F4), Find in logs over a folder of generated logs (the build's
# generate-log) with its first result shown (F4), and last a second viewer on
# examples/compare.log comparing its failed run 3 with the run before it that finished (Ctrl+D),
# at its first difference (F7), and that viewer again on the failed run at its first alert line
# (F8) with Find on "well A", to show the highlight rules' colours and the marks beside the
# scroll bars. Needs xvfb, x11-apps, xdotool and netpbm.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MLD_BUILD_DIR:-build}
out=${1:-docs/screenshot.png}
find_out=${2:-docs/find-in-runs.png}
logs_out=${3:-docs/find-in-logs.png}
compare_out=${4:-docs/compare.png}
highlight_out=${5:-docs/highlight.png}
display=:77
runtime=$(mktemp -d)
chmod 700 "$runtime"
Xvfb "$display" -screen 0 1100x700x24 -nolisten tcp &
xvfb=$!
compared=
trap 'kill "$viewer" $compared "$xvfb" 2>/dev/null; rm -rf "$runtime"' EXIT
sleep 1
# Settings of its own, so that the user's (shown columns, recent files) do not show.
export DISPLAY=$display XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime
"$build/message-log-display" examples/sample.log &
viewer=$!
sleep 2
"$build/message-log-display" --select-run 4
sleep 1
window=$(xdotool search --sync --onlyvisible --pid "$viewer" --name "Message Log Display" | head -n 1)

capture() {  # capture FILE: the viewer's window as it is on screen
  eval "$(xdotool getwindowgeometry --shell "$window")"
  mkdir -p "$(dirname "$1")"
  xwd -root -silent | xwdtopnm 2>/dev/null | pamcut -left "$X" -top "$Y" -width "$WIDTH" \
    -height "$HEIGHT" | pnmtopng >"$1"
  echo "wrote $1 (${WIDTH}x${HEIGHT})"
}

capture "$out"
# Wide enough for the "Matches" column after the long file names.
xdotool windowmove --sync "$window" 20 20 windowsize --sync "$window" 1060 560
xdotool windowfocus --sync "$window" key ctrl+shift+f
sleep 0.5
xdotool type --delay 50 "pump a"
sleep 1
xdotool key F4
sleep 1
capture "$find_out"

# Two instruments, a log a day each, in subfolders of one folder.
logs="$runtime/logs"
for instrument in 1 2; do
  mkdir -p "$logs/Reader $instrument"
  for day in 01 02 03; do
    "$build/bench/generate-log" "$logs/Reader $instrument/2026-12-$day.log" 60K \
      "$instrument$day" >/dev/null
  done
done
xdotool windowfocus --sync "$window" key Escape key ctrl+shift+l
sleep 1
dialog=$(xdotool search --name "^Find in Logs$" | head -n 1)
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$logs"
xdotool key alt+s alt+t
xdotool type --delay 50 "Read absorbance"
xdotool key Return
sleep 2
xdotool key F4
sleep 1
xdotool windowfocus --sync "$dialog"
sleep 0.5
# The dialog alone, wherever it is on the screen.
xwd -id "$dialog" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$logs_out"
echo "wrote $logs_out"

xdotool windowfocus --sync "$window" key Escape
"$build/message-log-display" examples/compare.log &
compared=$!
sleep 2
"$build/message-log-display" --select-run 3 --pid "$compared"
sleep 1
second=$(xdotool search --all --sync --onlyvisible --pid "$compared" --name "compare.log" |
  head -n 1)
xdotool windowfocus --sync "$second" key ctrl+d
sleep 2
# The window of that viewer (--all: xdotool matches any one of the conditions otherwise) whose
# caption starts as a comparison's.
comparison=$(xdotool search --all --sync --onlyvisible --pid "$compared" --name "^Compare run 3" |
  head -n 1)
xdotool windowmove --sync "$comparison" 30 30 windowsize --sync "$comparison" 1040 600
xdotool windowfocus --sync "$comparison" key F7
sleep 1
window=$comparison
capture "$compare_out"

# The comparison out of the way (there is no window manager to raise the viewer over it).
xdotool windowunmap --sync "$comparison"
window=$second
xdotool windowmove --sync "$window" 20 20 windowsize --sync "$window" 1060 560
xdotool windowfocus --sync "$window" key F8
sleep 0.5
xdotool key ctrl+f
xdotool type --delay 50 "well A"
sleep 1
capture "$highlight_out"
