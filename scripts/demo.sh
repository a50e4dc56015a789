#!/usr/bin/env bash
# The main job: build the suite and start each program once on the default machine root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for program in install update uninstall; do
  set +e
  build/bin/$program --silent 3.0.1 >/dev/null 2>&1
  code=$?
  set -e
  echo "$program: exit code $code"
done
