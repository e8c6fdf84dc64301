#!/usr/bin/env bash
# Makes the README's screenshots: real captures of jkrescale's windows on a
# demo game folder, drawn offscreen, into docs/*.png; and the progress
# window again on a display scaled to 200%, docs/progress-window-200.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Outside the build folder, so the paths in the pictures are short.
demo="${TMPDIR:-/tmp}/jkrescale-demo"
rm -rf "$demo"
build/jkrescale-demo "$demo/jk" --expansion "$demo/mots"
cp build/jkrescale-stand-in-game "$demo/jk/JK"
cp build/jkrescale-stand-in-game "$demo/mots/JKM"
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/jkrescale-screenshots "$demo/jk" "$demo/mots" docs
mkdir -p "$demo/200"
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 build/jkrescale-screenshots "$demo/jk" "$demo/mots" \
  "$demo/200"
cp "$demo/200/progress-window.png" docs/progress-window-200.png
rm -rf "$demo"
