#!/usr/bin/env bash
# Sets up, builds and opens Fare Probe against the bundled demo fare server
# on 127.0.0.1:7000; the server stops when the window closes.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: run it as 'xvfb-run -a ./run.sh' (Debian package xvfb) or from a desktop session."
    exit 1
fi
server_pid=
if [ -x build/server/fareprobe-server ]; then
    build/server/fareprobe-server --host 127.0.0.1 --port 7000 &
    server_pid=$!
    trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true' EXIT
fi
build/fareprobe
