#!/usr/bin/env bash
# compare-builds.sh [--ignore-comments] REFERENCE [ARGS...]: scales the demo
# archives and the synthetic samples with a reference jkrescale-cli and with
# build/jkrescale-cli, ARGS added to the latter's scale commands, and says
# for each case whether both wrote the same files, byte for byte, with the
# same exit status. Exits non-zero when a case differs.
#
# REFERENCE is a jkrescale-cli program, or a git revision of this project
# (a commit, a tag), which is then built for the comparison in a temporary
# worktree. With --ignore-comments, lines whose first non-blank character
# is "#" are left out of the comparison.
#
#   scripts/compare-builds.sh HEAD~1                 # a change that keeps the output
#   scripts/compare-builds.sh --ignore-comments 7891cff --classic
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
ignore_comments=0
if [ "${1:-}" = "--ignore-comments" ]; then
  ignore_comments=1
  shift
fi
[ $# -ge 1 ] || { echo "usage: $0 [--ignore-comments] REFERENCE [ARGS...]" >&2; exit 2; }
reference=$1
shift
extra=("$@")
scripts/setup.sh

work=$(mktemp -d)
cleanup() {
  [ -d "$work/source" ] && git worktree remove --force "$work/source" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
if [ ! -x "$reference" ]; then
  echo "compare-builds: building revision $reference for the comparison"
  git worktree add --detach "$work/source" "$reference" >/dev/null 2>&1
  quietly "$work/configure.log" cmake -S "$work/source" -B "$work/build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJKRESCALE_BUILD_TESTS=OFF -DJKRESCALE_BUILD_DESKTOP=OFF
  quietly "$work/build.log" cmake --build "$work/build" -j"$jobs" --target jkrescale-cli
  reference="$work/build/jkrescale-cli"
fi
reference=$(realpath "$reference")

build/jkrescale-demo "$work/demo" >/dev/null
build/jkrescale-samples "$work/samples" >/dev/null
res="$work/samples/Resource/res2.gob"

# The files of a folder, comment lines left out, in a copy.
without_comments() {
  local from=$1 to=$2 f
  mkdir -p "$to"
  (cd "$from" && find . -type f) | while IFS= read -r f; do
    mkdir -p "$to/$(dirname "$f")"
    grep -av '^[[:space:]]*#' "$from/$f" >"$to/$f" || true
  done
}

cases=0
different=0
# check NAME ARCHIVE LEVEL FACTOR --resource FILE [OPTIONS...]
check() {
  local name=$1
  shift
  local a="$work/reference/$name" b="$work/new/$name" sa=0 sb=0
  "$reference" scale "$@" --out "$a" >"$a.log" 2>&1 || sa=$?
  build/jkrescale-cli scale "$@" "${extra[@]}" --out "$b" >"$b.log" 2>&1 || sb=$?
  if [ "$ignore_comments" = 1 ]; then
    [ -e "$a" ] && without_comments "$a" "$a.nc" && a="$a.nc"
    [ -e "$b" ] && without_comments "$b" "$b.nc" && b="$b.nc"
  fi
  cases=$((cases + 1))
  if [ "$sa" != "$sb" ]; then
    echo "  DIFFERENT  $name: exit status $sa, now $sb"
    different=$((different + 1))
  elif { [ -e "$a" ] || [ -e "$b" ]; } && ! diff -r "$a" "$b" >"$work/$name.diff" 2>&1; then
    echo "  DIFFERENT  $name:"
    head -20 "$work/$name.diff" | sed 's/^/    /'
    different=$((different + 1))
  else
    echo "  same       $name"
  fi
}
mkdir -p "$work/reference" "$work/new"

check demo "$work/demo/Episode/demo.gob" 'jkl\demo.jkl' 2 --resource \
  "$work/demo/Resource/res2.gob" --gravity --extra "$work/demo/extras.gob"
check demo-half "$work/demo/Episode/demo.gob" 'jkl\demo.jkl' 0.5 --resource \
  "$work/demo/Resource/res2.gob"
check lines "$work/samples/lines.gob" 'jkl\lines.jkl' 3 --resource "$res" --gravity
check lines-third "$work/samples/lines.gob" 'jkl\lines.jkl' 0.333333333 --resource "$res"
check big "$work/samples/big.gob" 'jkl\big.jkl' 1e2 --resource "$res" --gravity
check deep "$work/samples/deep.goo" 'jkl\sub\deep.jkl' 1.5 --resource \
  "$work/samples/Resource/jkmres.goo"
check unicode "$work/samples/Jeux é/Épisode ü.gob" 'jkl\unicode.jkl' 2 --resource "$res" \
  --extra "$work/samples/Jeux é/extra ü.gob"
check unicode-first "$work/samples/Jeux é/Épisode ü.gob" 'jkl\first.jkl' 4 --resource "$res" \
  --gravity
check damaged "$work/samples/damaged.gob" 'jkl\x.jkl' 2 --resource "$res"

echo "compare-builds: $((cases - different)) of $cases cases the same"
[ "$different" = 0 ]
