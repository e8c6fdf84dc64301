#!/usr/bin/env bash
# Sets everything up, builds, and runs the program's main job on a demo game
# folder made of synthetic archives: scales the demo level by 2 with
# jkrescale-cli and shows what it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
demo=build/demo-game
work=build/demo-work
rm -rf "$work"
build/jkrescale-demo "$demo"
echo "Levels of $demo/Episode/demo.gob:"
build/jkrescale-cli levels "$demo/Episode/demo.gob"
build/jkrescale-cli scale "$demo/Episode/demo.gob" 'jkl\demo.jkl' 2 \
  --resource "$demo/Resource/res2.gob" --out "$work" --gravity --extra "$demo/extras.gob"
echo
echo "Scaled the demo level by 2 into $work:"
(cd "$work" && find . -type f | sort)
echo
echo "--- $work/jkl/demo.jkl ---"
tr -d '\r' < "$work/jkl/demo.jkl"
