#!/usr/bin/env bash
# Builds jkrescale-bench in Release mode (in build-release/) and runs it:
# the time of a scale run on a large synthetic level beside the time of
# copying the same bytes, and again for a level twice as large. Arguments go
# to the benchmark (an optional folder to build the archives in).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh cmake ninja-build g++
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DJKRESCALE_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j2 --target jkrescale-bench
build-release/jkrescale-bench "$@"
