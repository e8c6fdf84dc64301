#!/usr/bin/env bash
# compare-builds.sh REFERENCE_CLI [ARGS...]: scales the demo archives and the
# synthetic samples with a reference jkrescale-cli (an earlier build, say)
# and with build/jkrescale-cli, ARGS added to the latter's scale commands,
# and says for each case whether both wrote the same files, byte for byte,
# with the same exit status. Exits non-zero when a case differs.
#
# For a change that must not change what a scale run writes:
#   git stash; scripts/setup.sh; cp build/jkrescale-cli /tmp/before; git stash pop
#   scripts/setup.sh; scripts/compare-builds.sh /tmp/before
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: $0 REFERENCE_CLI [ARGS...]" >&2; exit 2; }
reference=$(realpath "$1")
shift
extra=("$@")
scripts/setup.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/jkrescale-demo "$work/demo" >/dev/null
build/jkrescale-samples "$work/samples" >/dev/null
res="$work/samples/Resource/res2.gob"

cases=0
different=0
# check NAME ARCHIVE LEVEL FACTOR --resource FILE [OPTIONS...]
check() {
  local name=$1
  shift
  local a="$work/reference/$name" b="$work/new/$name" sa=0 sb=0
  "$reference" scale "$@" --out "$a" >"$a.log" 2>&1 || sa=$?
  build/jkrescale-cli scale "$@" "${extra[@]}" --out "$b" >"$b.log" 2>&1 || sb=$?
  cases=$((cases + 1))
  if [ "$sa" != "$sb" ]; then
    echo "  DIFFERENT  $name: exit status $sa, now $sb"
    different=$((different + 1))
  elif { [ -e "$a" ] || [ -e "$b" ]; } && ! diff -r "$a" "$b" >"$b.diff" 2>&1; then
    echo "  DIFFERENT  $name:"
    head -20 "$b.diff" | sed 's/^/    /'
    different=$((different + 1))
  else
    echo "  same       $name"
    cmp -s "$a.log" "$b.log" || echo "             (its messages differ: $(head -c 200 "$b.log"))"
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
