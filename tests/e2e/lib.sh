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
OUT="$TEST_DIR/.stdout"
ERR="$TEST_DIR/.stderr"
EXIT_CODE=

# A script that ends without calling finish (a typo, an unset variable) must
# not pass by accident.
e2e_on_exit() {
  local code=$?
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
  exit 1
}

# Runs the tool with the given arguments; stdout and stderr are kept in
# files so that byte-exact comparisons see trailing line ends.
run_tool() {
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

expect_stdout_lacks() {
  ! grep -qF -- "$1" "$OUT" || fail "stdout has '$1'"
}

expect_stderr_empty() {
  [ ! -s "$ERR" ] || fail "stderr is not empty"
}

finish() {
  E2E_FINISHED=1
  echo "PASS: $E2E_NAME ($E2E_CASES cases)"
  exit 0
}
