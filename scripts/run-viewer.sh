#!/usr/bin/env bash
# Sets up, builds and opens the viewer on the bundled sample log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build=${MLD_BUILD_DIR:-build}
sample=examples/sample.log
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window"
  echo "cannot open here. This is the sample's runs table, as the window would list it:"
  echo
  exec "$build/message-log-display" --list "$sample"
fi
exec "$build/message-log-display" "$sample"
