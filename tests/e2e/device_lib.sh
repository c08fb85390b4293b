# Helpers for end-to-end tests that run the tool against simulated headsets
# and the rigconf commands; source it after lib.sh:
#
#   source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
#   source "$DATA_DIR/../device_lib.sh"
#
# The tool loads the simulated HID library, whose headsets live in the
# test's own directory; the rigconf commands of the build are first on PATH
# and keep their store in the test's directory too. Every HID call is traced
# to $TRACE, so a test can tell whether the device was read or written.

SIM=$SB_BUILD_DIR/sbheadset-sim
EXAMPLES=$SB_SOURCE_DIR/examples
TRACE=$TEST_DIR/trace
export SBHEADSET_SIM_DIR=$TEST_DIR/sim
export SBHEADSET_SIM_TRACE=$TRACE
export LD_LIBRARY_PATH=$SB_BUILD_DIR/headsetsim/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
export SBCONFIG_RIGCONF_DIR=$TEST_DIR/rigconf
export PATH=$SB_BUILD_DIR:$PATH
mkdir -p "$SBHEADSET_SIM_DIR"

# sbheadset-sim; a failure ends the script.
sim() {
  "$SIM" "$@" >"$TEST_DIR/.sim" 2>&1 || fail "sbheadset-sim $*: $(cat "$TEST_DIR/.sim")"
}

# Starts a case from scratch: no headset, an empty trace, nothing in the
# working directory, the temporary directory or the local store.
fresh_case() {
  begin_case "$1"
  rm -rf "$SBHEADSET_SIM_DIR" "$SBCONFIG_RIGCONF_DIR"
  mkdir "$SBHEADSET_SIM_DIR"
  find "$WORK_DIR" "$TEST_DIR/tmp" -mindepth 1 -delete
  : >"$TRACE"
}

# The document that the tool writes for `file` read without edits: the
# same text as any output of that run, revision raised by one.
expected_output_of() {
  TMPDIR="$TEST_DIR/tmp" "$TOOL" /InputFile "$1" /OutputFile "$2" >/dev/null 2>&1 ||
    fail "cannot make the expected output of $1"
}

expect_headset_holds() {
  "$SIM" inspect "$1" >"$TEST_DIR/.held" 2>&1 || fail "headset $1 holds no readable configuration"
  cmp -s "$TEST_DIR/.held" "$2" || fail "headset $1 does not hold $2"
}

expect_headset_empty() {
  ! "$SIM" inspect "$1" >/dev/null 2>&1 || fail "headset $1 holds a configuration"
}

expect_same_file() {
  [ -f "$1" ] || fail "no file $1"
  cmp -s "$1" "$2" || fail "$1 differs from $2"
}

expect_no_file() {
  [ ! -e "$1" ] && [ ! -L "$1" ] || fail "$1 exists"
}

expect_trace_lacks() {
  ! grep -q -- "$1" "$TRACE" || fail "the device saw '$1': $(grep -- "$1" "$TRACE" | head -3)"
}

expect_trace_has() {
  grep -q -- "$1" "$TRACE" || fail "the device never saw '$1'"
}

# run_tool with TMPDIR as given (set, maybe empty).
run_tool_in_tmpdir() {
  local tmp=$1
  shift
  E2E_RUNS=$((E2E_RUNS + 1))
  TMPDIR="$tmp" "$TOOL" "$@" >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
}
