#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe ARGS...: runs a Windows program under Wine as
# `wine PROGRAM.exe ARGS...` does, for ctest (the Windows build's test
# launcher) and for scripts/windows-test.sh.
#
# Now and then (twice in some 10,000 starts on the build machine) Wine
# fails to start a program at all: the run ends at once with a failure
# status and not a byte on either stream. Every program run this way (the test suite and
# jkrescale-cli.exe) prints something whenever it runs, so a run that failed
# in silence never reached the program; it is started again, up to twice.
# Each silent failure is noted in the file named by JKRESCALE_WINE_RESTARTS,
# when that is set, so that the caller can say how often it happened.
#
# The program's standard output and error are kept in files while it runs
# and passed on when it ends, each to its own stream, with its exit status.
# (The silent failures were seen when the program wrote straight into
# ctest's pipes; with its output going to files they have not been seen in
# some 8,000 starts, but the second start stays as the safeguard.)
set -u

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

for attempt in 1 2 3; do
  status=0
  wine "$@" >"$out" 2>"$err" || status=$?
  if [ "$status" = 0 ] || [ -s "$out" ] || [ -s "$err" ]; then
    break
  fi
  if [ -n "${JKRESCALE_WINE_RESTARTS:-}" ]; then
    printf 'exit status %s and no output from: %s\n' "$status" "$*" >>"$JKRESCALE_WINE_RESTARTS"
  fi
done

cat "$out"
cat "$err" >&2
exit "$status"
