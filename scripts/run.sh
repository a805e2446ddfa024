#!/usr/bin/env bash
# Builds Vandrel and starts it from its program folder. Without a display it starts it on a
# virtual X display under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVANDREL_SANITIZE=OFF > /dev/null
cmake --build build/release -j"$(nproc)" --target Vandrel
program=build/release/program
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Vandrel on a virtual X display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$program/Vandrel" "$@"
fi
exec "$program/Vandrel" "$@"
