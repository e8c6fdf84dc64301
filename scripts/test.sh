#!/usr/bin/env bash
# Sets everything up, builds, checks the code's layout and runs the whole
# test suite; then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzz target for 30 seconds, and the
# Windows build under Wine (its test suite, and jkrescale-cli.exe against the
# Linux build). With --quick, only the layout check, the ordinary build and
# its suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
quick=0
for argument in "$@"; do
  case "$argument" in
    --quick) quick=1 ;;
    *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
  esac
done
scripts/check-format.sh
scripts/setup.sh
ctest --test-dir build -j"$jobs" --output-on-failure
[ "$quick" = 1 ] && exit 0
echo "== sanitizers"
scripts/sanitize.sh
echo "== fuzzing"
scripts/fuzz.sh 30
echo "== Windows"
scripts/windows-test.sh
