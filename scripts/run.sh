#!/usr/bin/env bash
# Sets everything up, builds, and starts the desktop program jkrescale.
#
# The first time (no settings file yet), its settings are pointed at a demo
# game folder made of synthetic archives, with a stand-in game program that
# shows what it was started with, so that the whole flow can be tried
# without the game. Browse to your own JK.EXE and the settings remember it.
#
# Without a display it says so, runs the same scale of the demo level with
# jkrescale-cli instead, shows what that wrote and where, and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
demo=build/demo-game
mots=build/demo-expansion

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  work=build/demo-work
  echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop"
  echo "program cannot open its window. Running the same scale with jkrescale-cli:"
  echo
  rm -rf "$work"
  build/jkrescale-demo "$demo"
  echo "Levels of $demo/Episode/demo.gob:"
  build/jkrescale-cli levels "$demo/Episode/demo.gob"
  build/jkrescale-cli scale "$demo/Episode/demo.gob" 'jkl\demo.jkl' 2 \
    --resource "$demo/Resource/res2.gob" --out "$work" --gravity --extra "$demo/extras.gob"
  echo
  echo "Scaled the demo level by 2 into $(pwd)/$work:"
  (cd "$work" && find . -type f | sort)
  echo
  echo "--- $work/jkl/demo.jkl ---"
  tr -d '\r' < "$work/jkl/demo.jkl"
  echo
  echo "--- $work/cog/door.cog (the door's speed and sound range, scaled) ---"
  tr -d '\r' < "$work/cog/door.cog"
  exit 0
fi

if [ ! -x build/jkrescale ]; then
  echo "run: build/jkrescale was not built (is Qt 6, qt6-base-dev, installed?)" >&2
  exit 1
fi
# The demo game: archives, and the stand-in game under the names JK and JKM
# (no ".exe", so it is started directly rather than through Wine). The
# settings are written only when jkrescale has none yet.
build/jkrescale-demo "$demo" --expansion "$mots" --settings build
cp build/jkrescale-stand-in-game "$demo/JK"
cp build/jkrescale-stand-in-game "$mots/JKM"
# The stand-in stays a few seconds, like a game being played.
export JKRESCALE_STAND_IN_SECONDS="${JKRESCALE_STAND_IN_SECONDS:-3}"
exec build/jkrescale
