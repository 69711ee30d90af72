#!/usr/bin/env bash
# Sets up, builds and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
