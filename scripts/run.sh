#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds, and starts the simulator with the standard subject.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [[ ! -x build/bin/tolvane ]]; then
  echo "run: build/bin/tolvane was not built; see the build output above." >&2
  exit 1
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "run: no display here; start it under Xvfb with: xvfb-run -a -s \"-screen 0 1280x1024x24\" build/bin/tolvane"
  exit 0
fi
exec build/bin/tolvane
