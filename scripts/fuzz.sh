#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs every one for SECONDS (default 60) on its
# seed corpus, as many at a time as there are processors, each with its own log in
# build/fuzz/logs (inputs that fail land there too). An input may not make a target hold
# more than 1 GB or ask for more than 512 MB at once, nor keep it busy for more than 5
# seconds. Inputs grow up to 4 MB for the picture readers and 1 MB for the text files, so
# that work a long file multiplies shows as a timeout. Fails when any target fails, after
# showing that target's log.
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

logs=build/fuzz/logs
rm -rf "$logs"
mkdir -p "$logs"

# Runs one target; its exit status goes to its own file, since the runs end in any order.
fuzz_one() {
  local target=$1 name=${1#fuzz_}
  local work=build/fuzz/corpus/$name seeds=fuzz/seeds/$name
  mkdir -p "$work"
  [ -d "$seeds" ] || seeds=
  local max_len=$((1 << 20))
  case $name in
    tiff | gif | bmp | jpeg | grey) max_len=$((4 << 20)) ;;
  esac
  local status=0
  build/fuzz/fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=512 \
    -max_len="$max_len" -timeout=5 -artifact_prefix="$logs/$name-" "$work" $seeds \
    > "$logs/$name.log" 2>&1 || status=$?
  echo "$status" > "$logs/$name.status"
}

slots=$(nproc)
for t in $targets; do
  while [ "$(jobs -rp | wc -l)" -ge "$slots" ]; do wait -n || true; done
  echo "Fuzzing $t for ${seconds}s"
  fuzz_one "$t" &
done
wait

failed=0
for t in $targets; do
  name=${t#fuzz_}
  status=$(cat "$logs/$name.status" 2> /dev/null || echo missing)
  if [ "$status" != 0 ]; then
    echo "==== $t failed (exit status $status); its log, $logs/$name.log:"
    cat "$logs/$name.log"
    failed=1
  fi
done
if [ "$failed" != 0 ]; then exit 1; fi
echo "Every fuzz target ran clean for ${seconds}s."
