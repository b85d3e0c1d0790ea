#!/usr/bin/env bash
# Retakes docs/screenshot.png (or the path given): builds varnel if needed and shows its window with
# sample content on a virtual X display (Xvfb), where it saves a picture of itself and ends.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
varnel_install
varnel_build run varnel
out="${1:-$VARNEL_ROOT/docs/screenshot.png}"
mkdir -p "$(dirname "$out")"
# A private runtime folder keeps Qt quiet and away from the user's own instance lock.
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$VARNEL_BUILD/src/ui/varnel" --screenshot "$out"
echo "Saved $out"
