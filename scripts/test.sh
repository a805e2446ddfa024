#!/usr/bin/env bash
# Builds Vandrel and every test with AddressSanitizer and UndefinedBehaviorSanitizer, then
# runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVANDREL_SANITIZE=ON > /dev/null
cmake --build build/asan -j"$(nproc)"
cd build/asan
ctest --output-on-failure -j"$(nproc)"
