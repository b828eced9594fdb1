#!/usr/bin/env bash
# Takes the README's screenshot: the real program under Xvfb, showing the sample log with run 4
# selected by a run-selection request. Needs xvfb, x11-apps, xdotool and netpbm.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MLD_BUILD_DIR:-build}
out=${1:-docs/screenshot.png}
display=:77
runtime=$(mktemp -d)
chmod 700 "$runtime"
Xvfb "$display" -screen 0 1100x700x24 -nolisten tcp &
xvfb=$!
trap 'kill "$viewer" "$xvfb" 2>/dev/null; rm -rf "$runtime"' EXIT
sleep 1
export DISPLAY=$display XDG_RUNTIME_DIR=$runtime
"$build/message-log-display" examples/sample.log &
viewer=$!
sleep 2
"$build/message-log-display" --select-run 4
sleep 1
window=$(xdotool search --sync --onlyvisible --pid "$viewer" --name "Message Log Display" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
mkdir -p "$(dirname "$out")"
xwd -root -silent | xwdtopnm 2>/dev/null | pamcut -left "$X" -top "$Y" -width "$WIDTH" -height "$HEIGHT" \
  | pnmtopng >"$out"
echo "wrote $out (${WIDTH}x${HEIGHT})"
