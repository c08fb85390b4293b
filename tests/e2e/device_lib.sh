# Helpers for end-to-end tests that run the tool against simulated headsets
# and the rigconf commands; source it after lib.sh. The simulated HID library
# comes first on the library path and the build's commands on PATH; the
# headsets and the local store live in the test's directory, and every HID
# call is traced to $TRACE.

SIM=$SB_BUILD_DIR/sbheadset-sim EXAMPLES=$SB_SOURCE_DIR/examples TRACE=$TEST_DIR/trace
export SBHEADSET_SIM_DIR=$TEST_DIR/sim SBHEADSET_SIM_TRACE=$TRACE SBCONFIG_RIGCONF_DIR=$TEST_DIR/rigconf
export LD_LIBRARY_PATH=$SB_BUILD_DIR/headsetsim/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} PATH=$SB_BUILD_DIR:$PATH
mkdir -p "$SBHEADSET_SIM_DIR"

# sbheadset-sim; a failure ends the script.
sim() { "$SIM" "$@" >"$TEST_DIR/.sim" 2>&1 || fail "sbheadset-sim $*: $(cat "$TEST_DIR/.sim")"; }

# Starts a case from scratch: no headset, an empty trace, nothing in the
# working directory, the temporary directory or the local store.
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
