#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time (default 60
# seconds, or $1) from its seed corpus in fuzz/corpus/. A crash, a leak, a
# sanitizer report or a hang fails the script; the input that caused it is
# left in build-fuzz/artifacts/ to become a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
seconds="${1:-60}"

scripts/install-packages.sh clang-14 libclang-rt-14-dev cmake ninja-build

flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -g -O1"
quietly build-fuzz/configure.log cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS="$flags" -DJKRESCALE_FUZZ=ON -DJKRESCALE_BUILD_TESTS=OFF
quietly build-fuzz/build.log cmake --build build-fuzz -j"$jobs"

mkdir -p build-fuzz/artifacts
status=0
for fuzzer in build-fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=fuzz/corpus/${name%_fuzzer}
  echo "fuzz: $name for ${seconds}s"
  if ! "$fuzzer" "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix=build-fuzz/artifacts/"$name"- -print_final_stats=1 \
      >build-fuzz/"$name".log 2>&1; then
    echo "fuzz: $name FAILED; see build-fuzz/$name.log"
    tail -n 40 build-fuzz/"$name".log
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" build-fuzz/"$name".log | sed "s/^/fuzz: $name /"
  fi
done
exit $status
