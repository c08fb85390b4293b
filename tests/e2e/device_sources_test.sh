#!/usr/bin/env bash
# What a run takes from the connected headset: the connected-serial print,
# the choice of the one headset, the base document, the serial number and
# mfg_build_info; each against simulated headsets.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$DATA_DIR/../device_lib.sh"

NOT_FOUND=$'Could not find connected skybeacon device. Make sure device is connected and ready\n'
MULTIPLE=$'Multiple connected skybeacon devices. Make sure only a single device is connected\n'

fresh_case "/PrintSentinelSerial prints the serial and ignores every other option"
sim create hmd1 serial=SBH-7-0001 interfaces=2
sim create periph vendor_id=0xF3B2
run_tool /PrintSentinelSerial /OutputFile out.json /Help /Bogus
expect_exit 0
expect_stdout_equals $'connectedserial: SBH-7-0001\n'
expect_no_file out.json
run_tool /printconnectedserial /InputFile missing.json
expect_exit 0
expect_stdout_equals $'connectedserial: SBH-7-0001\n'

fresh_case "/PrintSentinelSerial without a headset: exit 1, nothing printed, never the usage"
sim create periph vendor_id=0xF3B2
run_tool /PrintSentinelSerial /Help
expect_exit 1
expect_stdout_equals ""
# Parsing stops at an unknown option, so a print behind it is never seen.
run_tool /Bogus /PrintSentinelSerial
expect_exit 1
{ printf 'Command line error: /Bogus /PrintSentinelSerial\n\n'; cat "$DATA_DIR/usage.txt"; } >"$TEST_DIR/want"
expect_stdout_file "$TEST_DIR/want"

fresh_case "/PrintSentinelSerial with two headsets: exit 1, nothing printed"
sim create hmd1
sim create hmd2
run_tool /PrintSentinelSerial
expect_exit 1
expect_stdout_equals ""

fresh_case "a headset without a serial number is known by its device path"
sim create hmd1
sim unset hmd1 serial
run_tool /PrintSentinelSerial
expect_exit 0
expect_stdout_equals $'connectedserial: sim:hmd1:0\n'

fresh_case "/InputSentinel loads the headset's configuration"
sim create hmd1 serial=SBH-1903-0311
sim store hmd1 "$EXAMPLES/hmd_legacy.json"
expected_output_of "$EXAMPLES/hmd_legacy.json" "$TEST_DIR/expected.json"
run_tool /InputSentinel /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Wrote \'out.json\'\n'
expect_same_file out.json "$TEST_DIR/expected.json"
expect_trace_lacks "^send"

fresh_case "/InputSentinel with no headset or two of them stops in the device choice"
run_tool /InputSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals "$NOT_FOUND"
sim create hmd1
sim create hmd2
run_tool /InputDevice /OutputFile out.json
expect_exit 1
expect_stdout_equals "$MULTIPLE"
expect_no_file out.json

fresh_case "/InputSentinel and an input file conflict before any headset is looked for"
sim create hmd1
run_tool /InputSentinel /InputFile a.json /Help
expect_exit 1
expect_stdout_equals $'You cannot specify both /InputDevice and an input file\n'
[ ! -s "$TRACE" ] || fail "the headsets were enumerated"

fresh_case "/InputSentinel on a headset without configuration or with a dead link"
sim create hmd1
run_tool /InputSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Error reading USB configuration from skybeacon device\n'
expect_no_file out.json
sim store hmd1 "$EXAMPLES/hmd_latest.json"
sim set hmd1 get_fail=all
run_tool /InputSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Error reading USB configuration from skybeacon device\n'
sim clear-faults hmd1
sim set hmd1 announce_size=0x2001
run_tool /InputSentinel
expect_exit 1
expect_stdout_equals $'Error reading USB configuration from skybeacon device\n'

fresh_case "/InputSentinel on a headset whose configuration does not load"
sim create hmd1
printf '{ "device_class" : "hmd" }' >bad.json
sim store hmd1 bad.json
run_tool /InputSentinel /OutputFile out.json
expect_exit 1
expect_stdout_contains "Error reading configuration from device. Error: "
expect_no_file out.json
printf '{ "a" : ' >broken.json
sim store hmd1 broken.json
run_tool /InputSentinel
expect_exit 1
expect_stdout_contains "Error reading configuration from device. Error: "

fresh_case "/SerialSentinel takes the headset's serial, announced in quiet mode too"
sim create hmd1 serial=SBH-9-0009
run_tool /InputFile "$EXAMPLES/hmd_latest.json" /SerialSentinel /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Using Serial From Connected Device: SBH-9-0009\nWrote \'out.json\'\n'
grep -qF '"device_serial_number" : "SBH-9-0009"' out.json || fail "serial not taken"
run_tool /InputFile "$EXAMPLES/hmd_latest.json" /SerialDevice /OutputFile out2.json /PrintModelNumber
expect_exit 0
expect_stdout_contains $'Using Serial From Connected Device: SBH-9-0009\n'
expect_stdout_lacks "Wrote 'out2.json'"
expect_same_file out2.json out.json

fresh_case "/SerialSentinel without a headset stops before any file is read"
sim create periph vendor_id=0xF3B2
run_tool /InputFile missing.json /SerialFile missing-too.json /SerialSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals "$NOT_FOUND"
expect_no_file out.json
run_tool /InputFile missing.json /SerialSentinel /PrintSerial
expect_exit 1
expect_stdout_equals ""

fresh_case "/SerialSentinel with two headsets stops before any file is read"
sim create hmd1
sim create hmd2
run_tool /InputFile missing.json /SerialSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals "$MULTIPLE"
expect_no_file out.json

fresh_case "/MfgBuildInfoSentinel replaces mfg_build_info whole"
sim create hmd1 serial=SBH-2417-0042
sed -e '/"build_date"/d' -e '/"operator"/d' -e 's/"A7"/"B9"/' -e 's/"cal-03"/"dev-1"/' \
  "$EXAMPLES/hmd_latest.json" >device.json
grep -qF '"line" : "B9"' device.json || fail "test document not made"
sim store hmd1 device.json
run_tool /InputFile "$EXAMPLES/hmd_latest.json" /MfgBuildInfoSentinel /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Using mfg_build_info From Connected Device: SBH-2417-0042\nWrote \'out.json\'\n'
grep -qF '"line" : "B9"' out.json || fail "line not taken"
grep -qF '"station" : "dev-1"' out.json || fail "station not taken"
! grep -qF '"operator"' out.json || fail "a member only the base had survived"
grep -qF '"model_number" : "PO Vista"' out.json || fail "the rest of the base was lost"
run_tool /InputFile "$EXAMPLES/hmd_latest.json" /MfgBuildInfoDevice /OutputFile out2.json /PrintSerial
expect_exit 0
expect_stdout_lacks "Using mfg_build_info"
expect_same_file out2.json out.json

fresh_case "/MfgBuildInfoSentinel on a headset without a readable configuration"
sim create hmd1
run_tool /MfgBuildInfoSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Error, connected device does not have readable configuration. (Cannot /MfgBuildInfoSentinel)\n'
expect_no_file out.json
sim store hmd1 "$EXAMPLES/hmd_latest.json"
sim set hmd1 corrupt_stream=5
run_tool /MfgBuildInfoSentinel /PrintSerial
expect_exit 1
expect_stdout_equals $'Error, connected device does not have readable configuration. (Cannot /MfgBuildInfoSentinel)\n'

fresh_case "/MfgBuildInfoSentinel on a headset with an empty or unloadable configuration"
sim create hmd1
: >empty.json
sim store hmd1 empty.json
run_tool /MfgBuildInfoSentinel /OutputFile out.json
expect_exit 1
expect_stdout_equals "Error, connected device has empty configuration. (Cannot /MfgBuildInfoSentinel)"
expect_no_file out.json
printf '[ 1, 2 ]' >array.json
sim store hmd1 array.json
run_tool /MfgBuildInfoSentinel /OutputFile out.json
expect_exit 1
expect_stdout_contains "Error reading configuration from device. Error: "
expect_no_file out.json

fresh_case "the device sources together: one open, one headset"
sim create hmd1 serial=SBH-1903-0311
sim store hmd1 "$EXAMPLES/hmd_legacy.json"
run_tool /InputSentinel /SerialSentinel /MfgBuildInfoSentinel /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Using Serial From Connected Device: SBH-1903-0311\nUsing mfg_build_info From Connected Device: SBH-1903-0311\nWrote \'out.json\'\n'
[ "$(grep -c "^open .* ok" "$TRACE")" = 1 ] || fail "the headset was opened more than once: $(cat "$TRACE")"

finish
