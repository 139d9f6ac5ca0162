# Sourced by the scripts: runs their set-up steps quietly.  Each step's
# output (package manager, cmake, ninja, ctest) goes to the log file $STEP_LOG
# and one line is printed per step; a failing step prints the end of the log
# and its path.  MIRELLE_VERBOSE=1 shows every step's output as it comes.
step() {
  local title=$1; shift
  if [ -n "${MIRELLE_VERBOSE:-}" ]; then
    echo "== $title"
    "$@"
    return
  fi
  mkdir -p "$(dirname "$STEP_LOG")"
  printf '%s ... ' "$title"
  printf '\n== %s: %s\n' "$title" "$*" >>"$STEP_LOG"
  local start rc=0 began=$SECONDS
  start=$(wc -c <"$STEP_LOG")
  "$@" >>"$STEP_LOG" 2>&1 || rc=$?
  if [ "$rc" -eq 0 ]; then
    echo "ok ($((SECONDS - began)) s)"
    return 0
  fi
  echo "FAILED (exit $rc, $((SECONDS - began)) s)"
  tail -c +"$((start + 1))" "$STEP_LOG" | tail -n 40 | sed 's/^/  | /'
  echo "the full log: $STEP_LOG"
  return "$rc"
}
