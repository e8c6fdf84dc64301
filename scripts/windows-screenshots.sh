#!/usr/bin/env bash
# Makes the README's screenshots of the Windows program: its real windows
# under Wine, in a Wine desktop (where Wine draws the window frames as
# Windows does) on an Xvfb display, on a demo game folder:
#   docs/windows-main-window-archives.png  the main window, episode archives
#   docs/windows-main-window-levels.png    an archive opened, a level picked
#   docs/windows-first-start-finds.png     the installed games offered on the first start
#   docs/windows-progress-window.png       the progress window
# Builds what it needs in build/ and build-windows/ (as scripts/windows-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
root=$PWD
scripts/setup.sh
scripts/install-packages.sh --no-recommends g++-mingw-w64-x86-64-posix googletest wine wine64 \
  fonts-wine xvfb imagemagick
build=build-windows
quietly "$build/configure.log" cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DJKRESCALE_BUILD_DESKTOP=ON
cmake --build "$build" -j"$jobs" --target jkrescale-win32-screenshots jkrescale-stand-in-game

export WINEPREFIX="$root/$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
# Outside the build folder, so the paths in the pictures are short.
demo="${TMPDIR:-/tmp}/jkrescale-demo"
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true;
  rm -rf "$display_file" "$demo"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$display_file")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

rm -rf "$demo"
build/jkrescale-demo "$demo/jk" --expansion "$demo/mots"
cp "$build/jkrescale-stand-in-game.exe" "$demo/jk/JK.EXE"
cp "$build/jkrescale-stand-in-game.exe" "$demo/mots/JKM.EXE"
mkdir -p "$demo/shots" docs
winpath() { printf 'Z:%s' "$(realpath -m -- "$1" | tr '/' '\\')"; }
wine explorer /desktop=jkrescale,1024x640 "$(winpath "$build/jkrescale-win32-screenshots.exe")" \
  "$(winpath "$demo/jk")" "$(winpath "$demo/mots")" "$(winpath "$demo/shots")"
wineserver -w
for name in windows-main-window-archives windows-main-window-levels windows-first-start-finds \
  windows-progress-window; do
  convert "$demo/shots/$name.bmp" "docs/$name.png"
  echo "windows-screenshots: docs/$name.png ($(identify -format '%wx%h' "docs/$name.png"))"
done
