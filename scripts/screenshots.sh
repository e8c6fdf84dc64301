#!/usr/bin/env bash
# Makes the README's screenshots: real captures of jkrescale's windows on a
# demo game folder, drawn offscreen, into docs/*.png.
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
rm -rf "$demo"
