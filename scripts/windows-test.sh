#!/usr/bin/env bash
# Builds jkrescale for Windows with MinGW-w64 and tests it under Wine:
#   0. jkrescale.exe is a GUI-subsystem program that needs no DLL but
#      Windows' own (objdump);
#   1. the Windows test suites (build-windows/jkrescale_tests.exe, and
#      jkrescale_win32_tests.exe on the real windows), through ctest;
#   2. jkrescale-cli.exe against the Linux build's jkrescale-cli: both scale
#      the demo archives and synthetic samples, and must write the same files
#      byte for byte, exit with the same status and say the same things;
#   3. a whole run of jkrescale.exe on the demo, driven with the keyboard
#      (xdotool): pick the archive and the level, Scale and play; the
#      stand-in game (JK.EXE) must see the scaled level; then Save as
#      mod..., which must write Episode\demo-x2.gob holding the level; the
#      work folder must hold only the program and its settings afterwards.
# Windows get an X display of their own: an Xvfb started here and stopped
# at the end.
# Installs what it needs (Debian packages, only those missing), builds the
# Linux reference in build/ (scripts/setup.sh) and the Windows programs in
# build-windows/, and keeps its own Wine prefix in build-windows/wine-prefix,
# created on the first run and reused. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
root=$PWD
say() { echo "windows-test: $*"; }

# --- What it needs ---------------------------------------------------------
scripts/setup.sh
# The MinGW-w64 compiler (its posix-threads variant), GoogleTest's sources,
# Wine for 64-bit programs and its fonts (Tahoma, and Marlett for the
# window frames); an X server without a screen, and xdotool to type into
# the windows.
scripts/install-packages.sh --no-recommends g++-mingw-w64-x86-64-posix googletest wine wine64 \
  fonts-wine xvfb xdotool

# --- The Windows build -----------------------------------------------------
# Everything, the desktop program on Win32 included.
build=build-windows
quietly "$build/configure.log" cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DJKRESCALE_BUILD_DESKTOP=ON
cmake --build "$build" -j"$jobs"

# --- 0. What jkrescale.exe needs to run ---------------------------------------
# A program of the GUI subsystem (no console window), and no DLL to carry
# along: only those every Windows has.
windows_dlls="advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 shell32 user32"
headers=$(x86_64-w64-mingw32-objdump -p "$build/jkrescale.exe")
subsystem=$(grep -E '^Subsystem' <<<"$headers" | sed 's/.*(\(.*\))/\1/')
dlls=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sed 's/\.dll$//' | sort -u)
foreign=$(comm -23 <(echo "$dlls") <(tr ' ' '\n' <<<"$windows_dlls" | sort -u) | tr '\n' ' ')
say "jkrescale.exe: subsystem $subsystem; DLLs:" $dlls
exe_problems=0
if [ "$subsystem" != "Windows GUI" ]; then
  say "jkrescale.exe is not a GUI-subsystem program"
  exe_problems=$((exe_problems + 1))
fi
if [ -n "$foreign" ]; then
  say "jkrescale.exe needs DLLs that Windows does not have: $foreign"
  exe_problems=$((exe_problems + 1))
fi

# --- Wine: a prefix of its own, no windows, no messages --------------------
export WINEPREFIX="$root/$build/wine-prefix"
export WINEDEBUG=-all
# Arguments pass from Linux to Windows programs in the locale's character
# set: UTF-8, so that names outside ASCII reach them intact.
export LC_ALL=C.UTF-8
# No Mono or Gecko install prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
# An X display for the windows, on the first free number; it and the Wine
# server of this prefix end with the script, whatever happens.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" \
  >"$build/xvfb.log" 2>&1 &
xvfb_pid=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true;
  rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { say "Xvfb did not start (see $build/xvfb.log)"; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Wine's own fonts where Windows programs find them, whatever Wine was
# built to look for.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# One Wine server for every test program, rather than one started for each,
# and Wine's own background programs started now: started by the first test
# program instead, they would hold on to its output and ctest would wait.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1

# Every Windows program starts through scripts/wine-run.sh (ctest's test
# launcher too), which starts it again when Wine failed to start it at all
# and notes each time here.
export JKRESCALE_WINE_RESTARTS="$root/$build/wine-restarts.log"
: >"$JKRESCALE_WINE_RESTARTS"

# --- 1. The Windows test suite ---------------------------------------------
suite_log="$build/windows-tests.log"
suite_status=0
ctest --test-dir "$build" -j"$jobs" --output-on-failure >"$suite_log" 2>&1 || suite_status=$?
cat "$suite_log"
# A test skipped on Windows (it needs what only POSIX systems have) says why
# in the log and counts as neither passed nor failed.
suite_total=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#' "$suite_log" || true)
suite_skipped=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#.*\*\*\*Skipped' "$suite_log" || true)
suite_failed=$(grep -E '^ *[0-9]+/[0-9]+ Test +#.*\*\*\*' "$suite_log" |
  grep -cv '\*\*\*Skipped' || true)
if [ "$suite_status" != 0 ] && [ "$suite_failed" = 0 ]; then
  suite_failed=1  # ctest failed before running a test (discovery, say)
fi

# --- 2. jkrescale-cli.exe against the Linux build --------------------------
work="$build/compare"
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
work=$(realpath "$work")
build/jkrescale-demo "$work/demo"
build/jkrescale-samples "$work/samples"

# The Windows form of a Linux path: Wine's drive Z: is the Linux root.
winpath() {
  local p
  p=$(realpath -m -- "$1")
  printf 'Z:%s' "${p//\//\\}"
}

# What a message says once paths are written alike: every "\" as "/", and
# the Windows form of a path (Z: and the Linux path) as the Linux path.
normalise() {
  tr -d '\r' | tr '\\' '/' | W="Z:$work" L="$work" awk '
    { while ((i = index($0, ENVIRON["W"])) > 0)
        $0 = substr($0, 1, i - 1) ENVIRON["L"] substr($0, i + length(ENVIRON["W"]))
      print }'
}

cases=0
different=()

# check CASE COMMAND ARGS...: runs `jkrescale-cli COMMAND ARGS` with both
# builds; "@path" in ARGS stands for the path of the comparison folder's
# "path"; "--out" gets the case's own output folder (the same one again when
# a case name comes twice: the second run replaces the first's files);
# "--gob" gets the archive "mod.gob" in that folder.
check() {
  local name=$1
  shift
  local linux_args=() windows_args=() a
  for a in "$@"; do
    if [ "$a" = "--out" ]; then
      linux_args+=(--out "$work/linux/$name")
      windows_args+=(--out "$(winpath "$work/windows/$name")")
    elif [ "$a" = "--gob" ]; then
      mkdir -p "$work/linux/$name" "$work/windows/$name"
      linux_args+=(--gob "$work/linux/$name/mod.gob")
      windows_args+=(--gob "$(winpath "$work/windows/$name/mod.gob")")
    elif [ "${a:0:1}" = "@" ]; then
      linux_args+=("$work/${a:1}")
      windows_args+=("$(winpath "$work/${a:1}")")
    else
      linux_args+=("$a")
      windows_args+=("$a")
    fi
  done
  local l="$work/linux/$name" w="$work/windows/$name" ls=0 ws=0 problems=()
  build/jkrescale-cli "${linux_args[@]}" >"$l.out" 2>"$l.err" || ls=$?
  scripts/wine-run.sh "$build/jkrescale-cli.exe" "${windows_args[@]}" >"$w.out" 2>"$w.err" || ws=$?
  [ "$ls" = "$ws" ] || problems+=("exit status $ls on Linux, $ws on Windows")
  cmp -s <(normalise <"$l.out") <(normalise <"$w.out") || problems+=("standard output differs")
  cmp -s <(normalise <"$l.err") <(normalise <"$w.err") || problems+=("standard error differs")
  if [ -e "$l" ] || [ -e "$w" ]; then
    diff -r "$l" "$w" >"$w.diff" 2>&1 || problems+=("files differ (see $w.diff)")
  fi
  cases=$((cases + 1))
  if [ ${#problems[@]} -eq 0 ]; then
    printf '  same       %s\n' "$name"
  else
    printf '  DIFFERENT  %s: %s\n' "$name" "$(IFS=';'; echo "${problems[*]}")"
    different+=("$name")
  fi
}

say "jkrescale-cli.exe under Wine against build/jkrescale-cli:"
res=@samples/Resource/res2.gob
check "demo levels" levels @demo/Episode/demo.gob
check demo scale @demo/Episode/demo.gob 'jkl\demo.jkl' 2 --resource @demo/Resource/res2.gob \
  --out --gravity --extra @demo/extras.gob
check "demo half" scale @demo/Episode/demo.gob 'jkl\demo.jkl' ' 0.5 ' --resource \
  @demo/Resource/res2.gob --out
check lines scale @samples/lines.gob 'jkl\lines.jkl' 3 --resource "$res" --out --gravity
check "lines third" scale @samples/lines.gob 'jkl\lines.jkl' 0.333333333 --resource "$res" --out
check big scale @samples/big.gob 'jkl\big.jkl' 1e2 --resource "$res" --out --gravity
check "deep levels" levels @samples/deep.goo
check deep scale @samples/deep.goo 'jkl\sub\deep.jkl' 1.5 --resource \
  @samples/Resource/jkmres.goo --out
check "unicode levels" levels "@samples/Jeux é/Épisode ü.gob"
check "unicode ✓ é" scale "@samples/Jeux é/Épisode ü.gob" 'jkl\unicode.jkl' 2 --resource "$res" \
  --out --extra "@samples/Jeux é/extra ü.gob"
check "unicode ✓ é" scale "@samples/Jeux é/Épisode ü.gob" 'jkl\first.jkl' 4 --resource "$res" \
  --out --gravity --extra "@samples/Jeux é/extra ü.gob"
check "demo mod" scale @demo/Episode/demo.gob 'jkl\demo.jkl' ' 2 ' --resource \
  @demo/Resource/res2.gob --gob --gravity
check "deep mod" scale @samples/deep.goo 'jkl\sub\deep.jkl' 1.5 --resource \
  @samples/Resource/jkmres.goo --gob
check "unicode mod ✓" scale "@samples/Jeux é/Épisode ü.gob" 'jkl\unicode.jkl' 2 --resource "$res" \
  --gob
check "negative factor" scale @samples/lines.gob 'jkl\lines.jkl' -2 --resource "$res" --out
check "unknown level" scale @samples/lines.gob 'jkl\none.jkl' 2 --resource "$res" --out
check "damaged archive" scale @samples/damaged.gob 'jkl\x.jkl' 2 --resource "$res" --out
check "missing archive" levels @samples/none.gob
check usage scale @samples/lines.gob

# --- 3. A whole run of jkrescale.exe ---------------------------------------------
# The demo game with the stand-in game as JK.EXE, and jkrescale.exe in a
# folder of its own (its work folder) with settings naming the demo. The
# program runs in a Wine desktop window, where Wine draws the window frames
# and passes on the keys typed into it.
whole="$build/whole-run"
rm -rf "$whole"
mkdir -p "$whole/work"
whole=$(realpath "$whole")
scripts/wine-run.sh "$build/jkrescale-demo.exe" "$(winpath "$whole/game")" --settings \
  "$(winpath "$whole/work")" >"$whole/demo.log" 2>&1
cp "$build/jkrescale-stand-in-game.exe" "$whole/game/JK.EXE"
cp "$build/jkrescale.exe" "$whole/work/"
settings=$(cd "$whole/work" && ls config.*)
whole_problems=()
# key KEYS...: typed into the program, a moment apart.
key() {
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
}
JKRESCALE_STAND_IN_SECONDS=1 scripts/wine-run.sh explorer /desktop=jkrescale,1024x768 \
  "$(winpath "$whole/work/jkrescale.exe")" >"$whole/jkrescale.log" 2>&1 &
program_pid=$!
window=""
for _ in $(seq 60); do
  window=$(xdotool search --onlyvisible --name '^jkrescale$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
if [ -z "$window" ]; then
  whole_problems+=("its window did not show")
else
  sleep 1
  # A click on the title bar gives the window the keyboard; then the
  # archive list (Alt+A), its first archive opened (Home, Enter), its first
  # level picked (Home), the factor 2 (Alt+F) and Scale and play (Alt+S).
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 200)) $((Y + 8)) click 1
  sleep 0.5
  key alt+a Home Return Home alt+f 2 alt+s
  for _ in $(seq 120); do
    [ -s "$whole/game/stand-in-game.txt" ] && break
    sleep 0.5
  done
  # The clean-up follows the game's end.
  sleep 2
  # Then Save as mod... (Alt+O): the save dialog proposes demo-x2.gob in
  # the game's Episode folder (Enter saves), and a box says where the mod
  # went (Enter closes it).
  key alt+o
  sleep 2
  key Return
  for _ in $(seq 60); do
    [ -s "$whole/game/Episode/demo-x2.gob" ] && break
    sleep 0.5
  done
  sleep 1
  key Return
  key alt+F4
fi
for _ in $(seq 60); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$program_pid" 2>/dev/null; then
  whole_problems+=("it did not end with Alt+F4")
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p
fi
report="$whole/game/stand-in-game.txt"
if [ ! -s "$report" ]; then
  whole_problems+=("the game was not started")
else
  # The work folder as the game is given it: in its short form, which the
  # game can open.
  grep -qxE 'argument: Z:\\.*\\work' "$report" ||
    whole_problems+=("the game was not given the work folder")
  for line in "argument: -path" "work folder: episode.jk" "work folder: jkl/demo.jkl" \
    "jkl/demo.jkl| World Gravity 4.000000" "jkl/demo.jkl| 0: 0 -2 0"; do
    grep -qxF -- "$line" "$report" || whole_problems+=("the game's report lacks '$line'")
  done
fi
mod="$whole/game/Episode/demo-x2.gob"
if [ ! -s "$mod" ]; then
  whole_problems+=("Save as mod... wrote no Episode\\demo-x2.gob")
else
  build/jkrescale-cli levels "$mod" | grep -qxF 'jkl\demo.jkl' ||
    whole_problems+=("the mod demo-x2.gob does not hold jkl\\demo.jkl")
fi
left=$(cd "$whole/work" && find . -mindepth 1 | sed 's|^\./||' | sort | tr '\n' ' ')
[ "$left" = "$settings jkrescale.exe " ] ||
  whole_problems+=("the work folder holds $left")
if [ ${#whole_problems[@]} -eq 0 ]; then
  say "whole run of jkrescale.exe: the game saw the level scaled by 2; the mod was saved;" \
    "the work folder is clean"
else
  for problem in "${whole_problems[@]}"; do say "whole run of jkrescale.exe: $problem"; done
  say "  (files in $whole)"
fi

# --- Summary -----------------------------------------------------------------
same=$((cases - ${#different[@]}))
suite_passed=$((suite_total - suite_skipped - suite_failed))
echo
say "Windows test suite under Wine: $suite_passed passed, $suite_skipped skipped," \
  "$suite_failed failed"
say "jkrescale-cli.exe against the Linux build: $same of $cases cases the same"
say "jkrescale.exe: $exe_problems problems with what it needs; whole run:" \
  "${#whole_problems[@]} problems"
for name in "${different[@]}"; do say "  different: $name (files in $work)"; done
restarts=$(wc -l <"$JKRESCALE_WINE_RESTARTS")
if [ "$restarts" != 0 ]; then
  say "Wine failed $restarts times to start a program, which was then started again:"
  sed 's/^/  /' "$JKRESCALE_WINE_RESTARTS"
fi
failed=$((suite_failed + ${#different[@]} + exe_problems + ${#whole_problems[@]}))
if [ "$failed" = 0 ]; then say "PASSED"; else say "FAILED"; fi
checks=$((suite_passed + same + 2 - exe_problems + 1))
[ ${#whole_problems[@]} -eq 0 ] || checks=$((checks - 1))
echo "windows-test: $checks passed, $failed failed"
[ "$failed" = 0 ]
