#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on its
# seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/deps.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANDREL_FUZZ=ON -DVANDREL_WERROR=OFF > /dev/null
targets=$(cmake --build build/fuzz --target help | sed -n 's/^\.\.\. \(fuzz_[a-z0-9_]*\).*/\1/p')
if [ -z "$targets" ]; then
  echo "No fuzz targets."
  exit 0
fi
cmake --build build/fuzz -j"$(nproc)" --target $targets
for t in $targets; do
  seeds=fuzz/seeds/${t#fuzz_}
  work=build/fuzz/corpus/${t#fuzz_}
  mkdir -p "$work"
  echo "Fuzzing $t for ${seconds}s"
  build/fuzz/fuzz/$t -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 "$work" "$seeds"
done
