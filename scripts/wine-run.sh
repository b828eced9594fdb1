#!/usr/bin/env bash
# Runs a Windows program of this project under Wine; the Windows build's test launcher.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
exec "$WINE" "$@"
