#!/usr/bin/env bash
# Checks that every C++ source of the project follows .clang-format; lists
# the files that do not. `scripts/check-format.sh --fix` reformats them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh clang-format
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cc' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
[ $# -eq 0 ] || { echo "usage: $0 [--fix]" >&2; exit 2; }
unformatted=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "check-format: these files do not follow .clang-format (scripts/check-format.sh --fix):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "check-format: ${#files[@]} files follow .clang-format"
