# Helpers for the end-to-end tests; every tests/e2e/*_test.sh sources it, runs its
# cases (begin_case, run_tool, expect_*, fail) and ends with finish. Each script gets
# a fresh temporary directory (removed on exit): the tool runs in its work/ (WORK_DIR,
# the current directory) with TMPDIR at its tmp/ (TMP_DIR), so nothing it writes lands
# outside it or in the captured output. The first failed check ends the script, exit 1.
set -u
E2E_NAME=$(basename "$0" .sh)
DATA_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/data" && pwd)
TOOL=${SB_BUILD_DIR:-}/sbconfigtool EXAMPLES=${SB_SOURCE_DIR:-}/examples
[ -x "$TOOL" ] || { echo "FAIL: $E2E_NAME: no tool binary at '$TOOL' (set SB_BUILD_DIR)"; exit 1; }
TEST_DIR=$(mktemp -d "${TMPDIR:-/tmp}/$E2E_NAME.XXXXXX") || exit 1
WORK_DIR=$TEST_DIR/work TMP_DIR=$TEST_DIR/tmp OUT=$TEST_DIR/.stdout ERR=$TEST_DIR/.stderr
mkdir "$WORK_DIR" "$TMP_DIR" && cd "$WORK_DIR" || exit 1
# E2E_RUNS and E2E_FAULTS: runs of the tool and faults injected, for scripts/reliability.sh.
E2E_CASE="(setup)" E2E_CASES=0 E2E_FINISHED=0 EXIT_CODE='' E2E_LOST='' E2E_RUNS=0 E2E_FAULTS=0

# A script that ends without calling finish (a typo, an unset variable) must not pass by accident.
e2e_on_exit() {
  local code=$?
  ! declare -F e2e_cleanup >/dev/null || e2e_cleanup
  rm -rf "$TEST_DIR"
  [ "$E2E_FINISHED" = 1 ] || [ "$code" != 0 ] || { echo "FAIL: $E2E_NAME: ended before finish"; exit 1; }
}
trap e2e_on_exit EXIT

begin_case() { E2E_CASE=$1; E2E_CASES=$((E2E_CASES + 1)); }

# Prints what the last run did and the figures, with the kind of failure
# that ended the suite, then ends the script.
fail() {
  local kind=other
  echo "FAIL: $E2E_NAME: $E2E_CASE: $*"
  if [ -n "$EXIT_CODE" ]; then
    printf -- '--- exit code: %s; stdout:\n%s\n--- stderr:\n%s\n' "$EXIT_CODE" "$(head -c 4000 "$OUT")" "$(head -c 4000 "$ERR")"
    case $EXIT_CODE in 0 | 1) ;; 124 | 137) kind=hang ;; *) kind=crash ;; esac
    ! grep -qsE "Sanitizer|runtime error" "$ERR" || kind=sanitizer
  fi
  e2e_figures "${E2E_LOST:-$kind}"
  exit 1
}

# A failed check that guards data (a file, a backup, a headset's document) counts as data lost.
fail_lost() { E2E_LOST=lost; fail "$@"; }

# The one line scripts/reliability.sh adds up; a suite ends at its first
# failure, so a failing one counts that failure's kind and nothing else.
e2e_figures() {
  printf 'FIGURES: %s runs=%s faults=%s crashes=%s hangs=%s sanitizer=%s lost=%s other=%s\n' "$E2E_NAME" "$E2E_RUNS" \
    "$E2E_FAULTS" $(for k in crash hang sanitizer lost other; do [ "${1:-}" = $k ] && echo 1 || echo 0; done)
}

# Runs the tool, TMPDIR at TMP_DIR; stdout and stderr go to files: comparisons see line ends.
run_tool() {
  E2E_RUNS=$((E2E_RUNS + 1))
  TMPDIR=$TMP_DIR "$TOOL" "$@" >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
}

expect_exit() { [ "$EXIT_CODE" = "$1" ] || fail "exit code $EXIT_CODE, expected $1"; }

expect_stdout_file() {
  cmp -s "$OUT" "$1" || fail "stdout differs from $1:
$(diff <(cat -A "$1") <(cat -A "$OUT") | head -20)"
}

finish() {
  E2E_FINISHED=1
  e2e_figures
  echo "PASS: $E2E_NAME ($E2E_CASES cases)"
  exit 0
}

# For the tests against simulated headsets and the rigconf commands: the
# simulated HID library first on the library path, the build's commands on
# PATH; the headsets, the local store and the trace of every HID call
# ($TRACE) in the test's directory.
use_devices() {
  SIM=$SB_BUILD_DIR/sbheadset-sim TRACE=$TEST_DIR/trace
  export SBHEADSET_SIM_DIR=$TEST_DIR/sim SBHEADSET_SIM_TRACE=$TRACE SBCONFIG_RIGCONF_DIR=$TEST_DIR/rigconf
  export LD_LIBRARY_PATH=$SB_BUILD_DIR/headsetsim/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} PATH=$SB_BUILD_DIR:$PATH
  mkdir -p "$SBHEADSET_SIM_DIR"
}

# sbheadset-sim; a failure ends the script.
sim() { "$SIM" "$@" >"$TEST_DIR/.sim" 2>&1 || fail "sbheadset-sim $*: $(cat "$TEST_DIR/.sim")"; }

# A case from scratch: no headset, an empty trace, nothing in WORK_DIR, TMP_DIR or the local store.
fresh_case() {
  begin_case "$1"
  rm -rf "$SBHEADSET_SIM_DIR" "$SBCONFIG_RIGCONF_DIR" && mkdir "$SBHEADSET_SIM_DIR"
  find "$WORK_DIR" "$TMP_DIR" -mindepth 1 -delete
  : >"$TRACE"
}

# expected_output_of FILE OUTPUT: the document the tool writes for FILE read
# without edits, the same text as any output of that run, revision raised.
expected_output_of() {
  TMPDIR=$TMP_DIR "$TOOL" /InputFile "$1" /OutputFile "$2" >/dev/null 2>&1 ||
    fail "cannot make the expected output of $1"
}

# The options of the usage text, with their placeholders ("/Name <a> <b>"), or their names alone.
usage_option_placeholders() {
  "$TOOL" /Help </dev/null 2>/dev/null | sed -n 's|^  \(/[A-Za-z]*\)\(\( <[a-z_]*>\)*\).*|\1\2|p'
}
usage_option_names() { usage_option_placeholders | cut -d' ' -f1; }

# Of the names read, those the usage text lists and those the tool takes as an option, as it
# does synonyms and /Help: given "NAME /Bogus", it does not stop on NAME as a command-line error.
known_option_names() {
  while read -r name; do
    if usage_option_names | grep -qxF -- "$name" ||
      ! "$TOOL" "$name" /Bogus </dev/null 2>/dev/null | grep -qF "Command line error: $name "; then
      echo "$name"
    fi
  done
}
