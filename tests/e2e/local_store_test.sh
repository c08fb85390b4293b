#!/usr/bin/env bash
# The local canonical copy as a source and a destination: /InputLocal,
# /SerialLocal and /OutputLocal with the rigconf commands of the build and
# with stubs that fail, and the staging file in TMPDIR.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$DATA_DIR/../device_lib.sh"

LATEST=$EXAMPLES/hmd_latest.json
LEGACY=$EXAMPLES/hmd_legacy.json
EXPECTED=$TEST_DIR/expected.json
expected_output_of "$LATEST" "$EXPECTED"
STORED=$SBCONFIG_RIGCONF_DIR/device.json

store_locally() {
  "$SB_BUILD_DIR/rigconf_write" device "$1" || fail "cannot store $1 locally"
}

fresh_case "/InputLocal loads the local copy and names it"
store_locally "$LATEST"
run_tool /InputLocal /OutputFile out.json
expect_exit 0
expect_stdout_equals "Input File '$STORED'"$'\n'"Wrote 'out.json'"$'\n'
expect_same_file out.json "$EXPECTED"
run_tool /InputLocal /OutputFile out2.json /PrintModelNumber
expect_exit 0
expect_stdout_lacks "Input File"
expect_same_file out2.json "$EXPECTED"

fresh_case "/InputLocal with nothing stored stops before any document is loaded"
run_tool /InputLocal /OutputFile out.json
expect_exit 1
expect_stdout_equals "Error running rigconf_path: no local device configuration at '$STORED' (store one with rigconf_write device FILE)"$'\n'
expect_no_file out.json

fresh_case "/InputLocal with a failing rigconf_path quotes its trimmed output"
stub_command rigconf_path 3 $'cannot reach the station \t\r\n\n'
run_tool_with_stubs /InputLocal /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Error running rigconf_path: cannot reach the station\n'
expect_no_file out.json
[ "$(cat "$STUB_DIR/rigconf_path.args")" = device ] || fail "rigconf_path got: $(cat "$STUB_DIR/rigconf_path.args")"

fresh_case "/InputLocal naming a file that is not there fails as the file input does"
stub_command rigconf_path 0 $'missing.json\r\n'
run_tool_with_stubs /InputLocal /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Input File \'missing.json\'\nError reading \'missing.json\': Error: file is empty or does not exist\n'
expect_no_file out.json

fresh_case "/InputSentinel /InputLocal: rigconf_path still runs, the headset wins"
sim create hmd1
sim store hmd1 "$LEGACY"
expected_output_of "$LEGACY" "$TEST_DIR/legacy-out.json"
store_locally "$LATEST"
run_tool /InputSentinel /InputLocal /OutputFile out.json
expect_exit 0
expect_stdout_equals "Input File '$STORED'"$'\n'"Wrote 'out.json'"$'\n'
expect_same_file out.json "$TEST_DIR/legacy-out.json"
stub_command rigconf_path 1 "broken"
run_tool_with_stubs /InputSentinel /InputLocal /OutputFile out2.json
expect_exit 1
expect_stdout_equals $'Error running rigconf_path: broken\n'
expect_no_file out2.json

fresh_case "/SerialLocal takes the serial that rigconf_serial prints"
store_locally "$LEGACY"
run_tool /InputFile "$LATEST" /SerialLocal /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Using Serial From Local Device: SBH-1903-0311\nWrote \'out.json\'\n'
grep -qF '"device_serial_number" : "SBH-1903-0311"' out.json || fail "serial not taken"
run_tool /InputFile "$LATEST" /SerialLocal /OutputFile out2.json /PrintModelNumber
expect_exit 0
expect_stdout_lacks "Using Serial From Local Device"
expect_same_file out2.json out.json

fresh_case "/SerialLocal wins over /SerialFile and /SerialSentinel"
sim create hmd1 serial=SBH-FROM-DEVICE
stub_command rigconf_serial 0 $'SBH-LOCAL \n'
run_tool_with_stubs /InputFile "$LATEST" /SerialLocal /SerialFile "$LEGACY" /SerialSentinel /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Serial: SBH-1903-0311\nUsing Serial From Connected Device: SBH-FROM-DEVICE\nUsing Serial From Local Device: SBH-LOCAL\nWrote \'out.json\'\n'
grep -qF '"device_serial_number" : "SBH-LOCAL"' out.json || fail "the local serial did not win"
[ -z "$(cat "$STUB_DIR/rigconf_serial.args")" ] || fail "rigconf_serial got arguments"

fresh_case "/SerialLocal with a failing rigconf_serial stops the run"
stub_command rigconf_serial 1 $'no station configured\n'
run_tool_with_stubs /InputFile "$LATEST" /SerialLocal /OutputFile out.json /PrintSerial
expect_exit 1
expect_stdout_equals $'Error running rigconf_serial: no station configured\n'
expect_no_file out.json
run_tool /InputFile "$LATEST" /SerialLocal
expect_exit 1
expect_stdout_contains "Error running rigconf_serial: cannot read the local device configuration '$STORED'"

fresh_case "/OutputLocal stores the result through the staging file"
run_tool /InputFile "$LATEST" /OutputLocal
expect_exit 0
expect_stdout_equals $'Wrote configuration to device\n'
expect_same_file "$STORED" "$EXPECTED"
expect_no_file "$TEST_DIR/tmp/configtool.json"
run_tool /InputFile "$LEGACY" /OutputLocal /PrintSerial
expect_exit 0
expect_stdout_lacks "Wrote configuration"
grep -qF '"device_serial_number" : "SBH-1903-0311"' "$STORED" || fail "second write not stored"

fresh_case "/OutputLocal with a failing rigconf_write keeps the staging file"
echo "stale" >"$TEST_DIR/tmp/configtool.json"
stub_command rigconf_write 1 "refused"
run_tool_with_stubs /InputFile "$LATEST" /OutputFile out.json /OutputLocal
expect_exit 1
expect_stdout_equals $'Wrote \'out.json\'\nError writing new configuration to device.\n'
expect_same_file "$TEST_DIR/tmp/configtool.json" "$EXPECTED"
expect_same_file out.json "$EXPECTED"
printf 'device\n%s\n' "$TEST_DIR/tmp/configtool.json" >"$TEST_DIR/want-args"
expect_same_file "$STUB_DIR/rigconf_write.args" "$TEST_DIR/want-args"

fresh_case "/OutputLocal stores the edited result"
run_tool /InputFile "$LATEST" /SetMfgBuildInfo line string B9 /OutputLocal
expect_exit 0
grep -qF '"line" : "B9"' "$STORED" || fail "the edit was not stored"
expect_no_file "$TEST_DIR/tmp/configtool.json"

fresh_case "/OutputLocal after /OutputSentinel: a local failure leaves the headset written"
sim create hmd1 serial=SBH-1
stub_command rigconf_write 2 ""
run_tool_with_stubs /InputFile "$LATEST" /OutputSentinel /OutputLocal
expect_exit 1
expect_stdout_equals $'Device has no configuration. Skipping backup.\nWrote configuration to device\nError writing new configuration to device.\n'
expect_headset_holds hmd1 "$EXPECTED"

fresh_case "a staging file that cannot be written stops the run"
run_tool_in_tmpdir "$TEST_DIR/missing-dir" /InputFile "$LATEST" /OutputLocal
expect_exit 1
expect_stdout_equals "Error writing new configuration to staging location $TEST_DIR/missing-dir/configtool.json."$'\n'
expect_no_file "$STORED"

fresh_case "TMPDIR set but empty: the staging file is configtool.json in the working directory"
stub_command rigconf_write 1 ""
PATH="$STUB_DIR:$PATH" run_tool_in_tmpdir "" /InputFile "$LATEST" /OutputLocal
expect_exit 1
expect_same_file configtool.json "$EXPECTED"
printf 'device\nconfigtool.json\n' >"$TEST_DIR/want-args"
expect_same_file "$STUB_DIR/rigconf_write.args" "$TEST_DIR/want-args"
rm configtool.json
run_tool_in_tmpdir "" /InputFile "$LATEST" /OutputLocal
expect_exit 0
expect_same_file "$STORED" "$EXPECTED"
expect_no_file configtool.json

fresh_case "TMPDIR with blanks, quotes and \$(...) is one word and runs nothing"
ODD="$TEST_DIR/tmp/a b'c \$(touch pwned) \`touch pwned2\`;x"
mkdir -p "$ODD"
run_tool_in_tmpdir "$ODD" /InputFile "$LATEST" /OutputLocal
expect_exit 0
expect_stdout_equals $'Wrote configuration to device\n'
expect_same_file "$STORED" "$EXPECTED"
expect_no_file "$ODD/configtool.json"
expect_no_file pwned
expect_no_file pwned2
stub_command rigconf_write 1 ""
PATH="$STUB_DIR:$PATH" run_tool_in_tmpdir "$ODD" /InputFile "$LATEST" /OutputLocal
expect_exit 1
printf 'device\n%s\n' "$ODD/configtool.json" >"$TEST_DIR/want-args"
expect_same_file "$STUB_DIR/rigconf_write.args" "$TEST_DIR/want-args"
expect_same_file "$ODD/configtool.json" "$EXPECTED"

finish
