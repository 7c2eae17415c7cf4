#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds, and runs every test: the release build
# (with the page's tests in Node.js and Chromium; the packages in a fresh
# Debian root last), then the layers without a toolkit (the model, the host,
# the session and its C interface) again under AddressSanitizer and UBSan,
# and the same tree with its benchmarks (which the sanitizer build leaves
# out).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh web
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE debootstrap
# The packages in a fresh Debian root: skipped where debootstrap cannot work
# (no root, no network).
ctest --test-dir build --output-on-failure -L debootstrap

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVANE_MODEL_ONLY=ON -DTOLVANE_SANITIZE=ON
cmake --build build-sanitize -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"

cmake -S . -B build-model-only -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_MODEL_ONLY=ON
cmake --build build-model-only -j"$(nproc)"
