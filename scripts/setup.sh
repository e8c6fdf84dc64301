#!/usr/bin/env bash
# Installs what building jkrescale needs (Debian packages, only those that
# are missing) and builds it in build/. Used by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

# qt6-base-dev: the desktop program and its Qt tests; fonts-dejavu-core: text
# in offscreen windows (tests, screenshots).
scripts/install-packages.sh cmake ninja-build g++ libgtest-dev libgmock-dev \
  qt6-base-dev fonts-dejavu-core

quietly build/configure.log cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
