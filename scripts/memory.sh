#!/usr/bin/env bash
# Measures the peak memory of jkrescale-cli scale on a level of about 200 MB
# (the benchmark's workload four times over) with /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
scripts/install-packages.sh cmake ninja-build g++ time
quietly build-release/configure.log cmake -S . -B build-release -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DJKRESCALE_BUILD_TESTS=OFF
quietly build-release/build.log cmake --build build-release -j"$jobs" \
  --target jkrescale-bench jkrescale-cli
folder=$(mktemp -d "${TMPDIR:-/tmp}/jkrescale-memory.XXXXXX")
trap 'rm -rf "$folder"' EXIT
read -r level entry factor option resource < <(build-release/jkrescale-bench --build-only 4 "$folder")
/usr/bin/time -v build-release/jkrescale-cli scale "$level" "$entry" "$factor" \
  "$option" "$resource" --out "$folder/work" 2> "$folder/time.txt"
grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$folder/time.txt"
longest=$(tr -d '\r' < "$folder/work/jkl/bench.jkl" | awk '{ if (length($0) > m) m = length($0) } END { print m }')
echo "longest level line: $longest bytes"
