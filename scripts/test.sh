#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite; then the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz
# target for 60 seconds. With --quick, only the ordinary build and suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest --test-dir build -j2 --output-on-failure
[ "${1:-}" = "--quick" ] && exit 0
echo "== sanitizers"
scripts/sanitize.sh
echo "== fuzzing"
scripts/fuzz.sh 60
