#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the page web/dist/tolvane.html: one file with the simulator inside it
# as WebAssembly, to open from disk or from any static web server. Installs
# what is missing first (--no-install skips that): emscripten, Node.js with
# npm and Chromium from Debian, and the npm packages that web/package-lock.json
# pins. The WebAssembly build lives in build-web/ and is incremental.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ "${1:-}" == --no-install ]] || bash scripts/setup.sh web
# Debian's emscripten finds its Node.js modules here, and its loader needs
# Node's own fetch switched off on Node 18 and later.
export NODE_PATH=/usr/share/nodejs
if [[ ! -f web/node_modules/.package-lock.json || web/package-lock.json -nt web/node_modules/.package-lock.json ]]; then
  (cd web && npm ci --no-audit --no-fund)
fi
[[ -f build-web/build.ninja ]] || emcmake cmake -S web/wasm -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-web
(cd web && npx tsc --noEmit -p . && node build.mjs ../build-web/tolvane_wasm.js dist/tolvane.html)
echo "web: web/dist/tolvane.html ($(stat -c %s web/dist/tolvane.html) bytes); open it in a browser, e.g. xdg-open web/dist/tolvane.html"
