#!/usr/bin/env bash
# Installs what building jkrescale needs (Debian packages, only those that
# are missing) and builds it in build/. Used by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh cmake ninja-build g++ libgtest-dev libgmock-dev

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
