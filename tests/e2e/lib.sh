# Helpers for the end-to-end tests; every tests/e2e/*_test.sh sources it:
#
#   source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
#   begin_case "no arguments shows the usage"
#   run_tool
#   expect_exit 1
#   expect_stdout_file "$DATA_DIR/usage.txt"
#   ...
#   finish
#
# Each script gets a fresh temporary directory (removed on exit): the tool
# runs in its work/ (WORK_DIR, also the script's current directory) with
# TMPDIR at its tmp/, so backups and staging files never land outside it and
# the captured output never mixes with what the tool writes. The first failed
# expectation ends the script with exit code 1.

set -u

E2E_NAME=$(basename "$0" .sh)
DATA_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/data" && pwd)
TOOL=${SB_BUILD_DIR:-}/sbconfigtool
if [ -z "${SB_BUILD_DIR:-}" ] || [ ! -x "$TOOL" ]; then
  echo "FAIL: $E2E_NAME: no tool binary at '$TOOL' (set SB_BUILD_DIR)"
  exit 1
fi

TEST_DIR=$(mktemp -d "${TMPDIR:-/tmp}/$E2E_NAME.XXXXXX") || exit 1
WORK_DIR=$TEST_DIR/work
mkdir "$WORK_DIR" "$TEST_DIR/tmp" && cd "$WORK_DIR" || exit 1

E2E_CASE="(setup)"
E2E_CASES=0
E2E_FINISHED=0
# Figures for scripts/reliability.sh: runs of the tool, faults a suite
# injected, and, when a check fails, what kind of failure ended the suite.
E2E_RUNS=0
E2E_FAULTS=0
E2E_GUARDS_DATA=
OUT="$TEST_DIR/.stdout"
ERR="$TEST_DIR/.stderr"
EXIT_CODE=

# A script that ends without calling finish (a typo, an unset variable) must
# not pass by accident.
e2e_on_exit() {
  local code=$?
  if declare -F e2e_cleanup >/dev/null; then e2e_cleanup; fi
  rm -rf "$TEST_DIR"
  if [ "$E2E_FINISHED" != 1 ] && [ "$code" = 0 ]; then
    echo "FAIL: $E2E_NAME: ended before finish"
    exit 1
  fi
}
trap e2e_on_exit EXIT

begin_case() {
  E2E_CASE=$1
  E2E_CASES=$((E2E_CASES + 1))
}

# Prints what the last run did, then ends the script.
fail() {
  echo "FAIL: $E2E_NAME: $E2E_CASE: $*"
  if [ -n "$EXIT_CODE" ]; then
    echo "--- exit code: $EXIT_CODE; stdout:"
    head -c 4000 "$OUT"
    echo "--- stderr:"
    head -c 4000 "$ERR"
  fi
  e2e_figures "$(e2e_failure_kind)"
  exit 1
}

# A failed check that guards data (a file, a backup, the headset's
# document) counts as data lost.
fail_lost() {
  E2E_GUARDS_DATA=1
  fail "$@"
}

e2e_failure_kind() {
  if [ -n "$E2E_GUARDS_DATA" ]; then
    echo lost
  elif [ -n "$EXIT_CODE" ] && grep -qE "Sanitizer|runtime error" "$ERR" 2>/dev/null; then
    echo sanitizer
  elif [ "$EXIT_CODE" = 124 ] || [ "$EXIT_CODE" = 137 ]; then
    echo hang
  elif [ -n "$EXIT_CODE" ] && [ "$EXIT_CODE" -gt 1 ]; then
    echo crash
  else
    echo other
  fi
}

# One line scripts/reliability.sh adds up; a suite ends at its first
# failure, so a failing one shows that failure's kind and nothing else.
e2e_figures() {
  local kind=${1:-} k line="FIGURES: $E2E_NAME runs=$E2E_RUNS faults=$E2E_FAULTS"
  for k in crashes:crash hangs:hang sanitizer:sanitizer lost:lost other:other; do
    line="$line ${k%%:*}=$([ "$kind" = "${k#*:}" ] && echo 1 || echo 0)"
  done
  echo "$line"
}

# Runs the tool with the given arguments; stdout and stderr are kept in
# files so that byte-exact comparisons see trailing line ends.
run_tool() {
  E2E_RUNS=$((E2E_RUNS + 1))
  TMPDIR="$TEST_DIR/tmp" "$TOOL" "$@" >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
}

expect_exit() {
  [ "$EXIT_CODE" = "$1" ] || fail "exit code $EXIT_CODE, expected $1"
}

expect_stdout_file() {
  cmp -s "$OUT" "$1" || fail "stdout differs from $1:
$(diff <(cat -A "$1") <(cat -A "$OUT") | head -20)"
}

# The text is compared byte for byte; write line ends into it ($'...\n').
expect_stdout_equals() {
  printf '%s' "$1" >"$TEST_DIR/.expected"
  expect_stdout_file "$TEST_DIR/.expected"
}

expect_stdout_contains() {
  grep -qF -- "$1" "$OUT" || fail "stdout lacks '$1'"
}

expect_stderr_empty() {
  [ ! -s "$ERR" ] || fail "stderr is not empty"
}

finish() {
  E2E_FINISHED=1
  e2e_figures
  echo "PASS: $E2E_NAME ($E2E_CASES cases)"
  exit 0
}
