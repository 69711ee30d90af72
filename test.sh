#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each
# fuzz target. Exits non-zero on any failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh clang libclang-rt-14-dev
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build and test"
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -G Ninja -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFAREPROBE_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

if [ -x fuzz/run.sh ]; then
    echo "== fuzz targets, short run"
    FUZZ_SECONDS=${FUZZ_SECONDS:-5} fuzz/run.sh
fi
