# Sourced first by every shell test and by the Wine harness, so that none fails in silence: whatever
# ends a test says on standard error which step failed and with which exit code.
set -eEuo pipefail
harness=$(basename "$0" .sh)
failed() { # exit-code line command
  echo "$harness: line $2: \"${3%%$'\n'*}\" failed with exit code $1" >&2
}
trap 'failed $? $LINENO "$BASH_COMMAND"' ERR

# A test may define on_failure to say more, or end what it started, before it exits (the real-window
# tests do, in xsession.sh).
fail() {
  echo "$harness: $*" >&2
  if declare -F on_failure >/dev/null; then on_failure >&2 || true; fi
  exit 1
}

# Runs a step whose output matters only when it fails: then its last lines follow the line that names
# the step and its exit code.
step() { # what command [arguments...]
  local what=$1 log code=0
  shift
  log=$(mktemp)
  "$@" >"$log" 2>&1 || code=$?
  if [ "$code" != 0 ]; then
    echo "$harness: $what failed with exit code $code; its last lines:" >&2
    tail -n 15 "$log" | sed 's/^/  /' >&2
  fi
  rm -f "$log"
  return "$code"
}
