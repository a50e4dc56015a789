#!/usr/bin/env bash
# Pictures of every window state in Chinese and English, taken on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
scripts/deps.sh
scripts/build.sh build
mkdir -p "$out"
for shots in vx_shots vx_shots_update vx_shots_uninstall; do
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "build/tests/shots/$shots" "$out"
done
