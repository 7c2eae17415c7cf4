#!/usr/bin/env bash
# Installs what is missing, builds, and starts the simulator with the standard subject.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [[ ! -x build/bin/tolvane ]]; then
  echo "run: the model library is built (build/lib); the window comes with the front end."
  exit 0
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "run: no display here; start it under Xvfb with: xvfb-run -a build/bin/tolvane"
  exit 0
fi
exec build/bin/tolvane
