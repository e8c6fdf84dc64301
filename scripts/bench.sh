#!/usr/bin/env bash
# Builds the benchmarks in Release mode (in build-release/) and runs them:
# jkrescale-bench, the time of a scale run on a large synthetic level beside
# the time of copying the same bytes, and again for a level twice as large
# (arguments go to it: an optional folder to build the archives in); then
# jkrescale-progress-bench, the cost of the desktop program's progress
# window; and jkrescale-player-report-bench, the time of the player report
# on a large synthetic level.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
scripts/install-packages.sh cmake ninja-build g++ qt6-base-dev
quietly build-release/configure.log cmake -S . -B build-release -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DJKRESCALE_BUILD_TESTS=OFF
cmake --build build-release -j"$jobs" --target jkrescale-bench jkrescale-progress-bench \
  jkrescale-player-report-bench
build-release/jkrescale-bench "$@"
echo
echo "== the player report"
build-release/jkrescale-player-report-bench
echo
echo "== the desktop program's progress window"
build-release/jkrescale-progress-bench
