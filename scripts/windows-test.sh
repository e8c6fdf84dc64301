#!/usr/bin/env bash
# Builds jkrescale for Windows with MinGW-w64 and tests it under Wine:
#   1. the Windows test suite (build-windows/jkrescale_tests.exe, through ctest);
#   2. jkrescale-cli.exe against the Linux build's jkrescale-cli: both scale
#      the demo archives and synthetic samples, and must write the same files
#      byte for byte, exit with the same status and say the same things.
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
# and Wine for 64-bit programs.
scripts/install-packages.sh --no-recommends g++-mingw-w64-x86-64-posix googletest wine wine64

# --- The Windows build -----------------------------------------------------
# Everything but the desktop program, which needs Qt for Windows.
build=build-windows
quietly "$build/configure.log" cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DJKRESCALE_BUILD_DESKTOP=OFF
cmake --build "$build" -j"$jobs"

# --- Wine: a prefix of its own, no windows, no messages --------------------
export WINEPREFIX="$root/$build/wine-prefix"
export WINEDEBUG=-all
# Arguments pass from Linux to Windows programs in the locale's character
# set: UTF-8, so that names outside ASCII reach them intact.
export LC_ALL=C.UTF-8
# No Mono or Gecko install prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# The Wine server of this prefix ends with the script, whatever happens.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
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

# --- Summary -----------------------------------------------------------------
same=$((cases - ${#different[@]}))
suite_passed=$((suite_total - suite_skipped - suite_failed))
echo
say "Windows test suite under Wine: $suite_passed passed, $suite_skipped skipped," \
  "$suite_failed failed"
say "jkrescale-cli.exe against the Linux build: $same of $cases cases the same"
for name in "${different[@]}"; do say "  different: $name (files in $work)"; done
restarts=$(wc -l <"$JKRESCALE_WINE_RESTARTS")
if [ "$restarts" != 0 ]; then
  say "Wine failed $restarts times to start a program, which was then started again:"
  sed 's/^/  /' "$JKRESCALE_WINE_RESTARTS"
fi
failed=$((suite_failed + ${#different[@]}))
if [ "$failed" = 0 ]; then say "PASSED"; else say "FAILED"; fi
echo "windows-test: $((suite_passed + same)) passed, $failed failed"
[ "$failed" = 0 ]
