# Sourced by the other scripts.

# As many build and test jobs as the machine has processors.
jobs=$(nproc 2>/dev/null || echo 2)

# quietly LOG COMMAND...: runs COMMAND with its output kept in LOG rather
# than on the terminal; when it fails, the output is shown, so that a
# compiler's error is never lost.
quietly() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "failed: $* (its output is above, and in $log)" >&2
    return 1
  fi
}
