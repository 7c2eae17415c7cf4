#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Configures and builds the release tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
