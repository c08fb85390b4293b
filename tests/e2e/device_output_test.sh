#!/usr/bin/env bash
# /OutputSentinel against simulated headsets: the automatic backup (its
# name, its counter, what stops the run before the headset is written), the
# write itself, and earlier outputs that stay when it fails.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$DATA_DIR/../device_lib.sh"

LATEST=$EXAMPLES/hmd_latest.json
LEGACY=$EXAMPLES/hmd_legacy.json
EXPECTED=$TEST_DIR/expected.json
expected_output_of "$LATEST" "$EXPECTED"
NOT_WRITTEN="The device was not written. (/NoBackup to disable)"

fresh_case "the headset's configuration is backed up, then replaced"
sim create hmd1 serial=SBH-1903-0311
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 0
expect_stdout_equals $'Backed up original configuration to SBH-1903-0311-0.json. (/NoBackup to disable)\nWrote configuration to device\n'
expect_same_file SBH-1903-0311-0.json "$LEGACY"
expect_headset_holds hmd1 "$EXPECTED"
[ "$(ls -A)" = SBH-1903-0311-0.json ] || fail "left-overs in the working directory: $(ls -A)"

fresh_case "the backup takes the first free counter: 0 to 4 taken gives 5"
sim create hmd1 serial=SBH-1903-0311
sim store hmd1 "$LEGACY"
for i in 0 1 2 3 4; do echo "old $i" >"SBH-1903-0311-$i.json"; done
run_tool /InputFile "$LATEST" /OutputDevice
expect_exit 0
expect_stdout_contains "Backed up original configuration to SBH-1903-0311-5.json. (/NoBackup to disable)"
expect_same_file SBH-1903-0311-5.json "$LEGACY"
for i in 0 1 2 3 4; do [ "$(cat "SBH-1903-0311-$i.json")" = "old $i" ] || fail "backup $i changed"; done
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 0
expect_same_file SBH-1903-0311-6.json "$EXPECTED"

fresh_case "a headset without configuration: the backup is skipped"
sim create hmd1 serial=SBH-1
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 0
expect_stdout_equals $'Device has no configuration. Skipping backup.\nWrote configuration to device\n'
[ -z "$(ls -A)" ] || fail "a backup was written: $(ls -A)"
expect_headset_holds hmd1 "$EXPECTED"

fresh_case "/NoBackup never reads the headset"
sim create hmd1 serial=SBH-1 get_fail=all
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel /NoBackup
expect_exit 0
expect_stdout_equals $'Wrote configuration to device\n'
expect_trace_lacks "^get"
expect_trace_has "^store hmd1"
[ -z "$(ls -A)" ] || fail "a backup was written: $(ls -A)"
expect_headset_holds hmd1 "$EXPECTED"

fresh_case "a headset that cannot be read for the backup is not written"
sim create hmd1 serial=SBH-1 get_fail=all
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 1
expect_stdout_equals $'Error reading USB configuration from skybeacon device for backup purposes. Error 1102\n'
expect_trace_lacks "^send"
expect_headset_holds hmd1 "$LEGACY"
sim set hmd1 get_fail=0 announce_size=0x2001
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 1
expect_stdout_equals $'Error reading USB configuration from skybeacon device for backup purposes. Error 1104\n'
expect_headset_holds hmd1 "$LEGACY"

fresh_case "a backup that cannot be written stops the run before the headset is written"
sim create hmd1 serial=SBH-1
sim store hmd1 "$LEGACY"
mkdir "$WORK_DIR/gone"
(cd "$WORK_DIR/gone" && rmdir "$WORK_DIR/gone" && run_tool /InputFile "$LATEST" /OutputSentinel
 echo "$EXIT_CODE" >"$TEST_DIR/.code")
EXIT_CODE=$(cat "$TEST_DIR/.code")
expect_exit 1
expect_stdout_equals "Error backing up original configuration to SBH-1-0.json: No such file or directory. $NOT_WRITTEN"$'\n'
expect_trace_lacks "^send"
expect_headset_holds hmd1 "$LEGACY"

fresh_case "a backup that cannot be written completely stops the run, leaving no part of it"
sim create hmd1 serial=SBH-1
sim store hmd1 "$LEGACY"
# One kilobyte fits the messages, not the backup.
(trap '' XFSZ; ulimit -f 1; run_tool /InputFile "$LATEST" /OutputSentinel
 echo "$EXIT_CODE" >"$TEST_DIR/.code")
EXIT_CODE=$(cat "$TEST_DIR/.code")
expect_exit 1
expect_stdout_equals "Error backing up original configuration to SBH-1-0.json: File too large. $NOT_WRITTEN"$'\n'
[ -z "$(ls -A)" ] || fail "a part of the backup remains: $(ls -A)"
expect_headset_holds hmd1 "$LEGACY"

fresh_case "all 100 backup names taken: stop, overwrite nothing, leave the headset"
sim create hmd1 serial=SBH-1
sim store hmd1 "$LEGACY"
for i in $(seq 0 99); do echo "old $i" >"SBH-1-$i.json"; done
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 1
expect_stdout_equals "Error backing up original configuration: SBH-1-0.json to SBH-1-99.json all exist. $NOT_WRITTEN"$'\n'
[ "$(cat SBH-1-99.json)" = "old 99" ] || fail "the last backup was overwritten"
[ "$(ls -A | wc -l)" = 100 ] || fail "files appeared: $(ls -A | grep -v '^SBH-1-[0-9]*\.json$')"
expect_trace_lacks "^send"
expect_headset_holds hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel /NoBackup
expect_exit 0
expect_headset_holds hmd1 "$EXPECTED"

fresh_case "a serial that is a path or holds shell syntax names a file in the working directory"
sim create hmd1 "serial=../../x/y z\$(touch pwned)"
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 0
expect_stdout_contains "Backed up original configuration to .._.._x_y_z__touch_pwned_-0.json. (/NoBackup to disable)"
expect_same_file ".._.._x_y_z__touch_pwned_-0.json" "$LEGACY"
[ "$(ls -A)" = ".._.._x_y_z__touch_pwned_-0.json" ] || fail "other files: $(ls -A)"
[ -z "$(ls -A "$TEST_DIR/tmp")" ] || fail "a file outside the working directory"

fresh_case "a headset without a serial number is backed up under its device path"
sim create hmd1
sim unset hmd1 serial
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel
expect_exit 0
expect_stdout_contains "Backed up original configuration to sim_hmd1_0-0.json. (/NoBackup to disable)"
expect_same_file sim_hmd1_0-0.json "$LEGACY"

fresh_case "a failed write to the headset keeps the outputs written before it"
sim create hmd1 serial=SBH-1 send_fail=all
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputFile out.json /OutputStdout /OutputSentinel
expect_exit 1
{ printf "Wrote 'out.json'\n"; cat "$EXPECTED"; printf '\nBacked up original configuration to SBH-1-0.json. (/NoBackup to disable)\nError writing new configuration to device.\n'; } >"$TEST_DIR/want"
expect_stdout_file "$TEST_DIR/want"
expect_same_file out.json "$EXPECTED"
expect_same_file SBH-1-0.json "$LEGACY"
expect_headset_holds hmd1 "$LEGACY"
sim set hmd1 send_fail=0 disconnect_after=3
run_tool /InputFile "$LATEST" /OutputFile out2.json /OutputSentinel /NoBackup
expect_exit 1
expect_stdout_equals $'Wrote \'out2.json\'\nError writing new configuration to device.\n'
expect_same_file out2.json "$EXPECTED"

fresh_case "a backup failure keeps the outputs written before it"
sim create hmd1 serial=SBH-1
sim store hmd1 "$LEGACY"
for i in $(seq 0 99); do : >"SBH-1-$i.json"; done
run_tool /InputFile "$LATEST" /OutputFile out.json /OutputSentinel
expect_exit 1
expect_stdout_contains "Wrote 'out.json'"
expect_same_file out.json "$EXPECTED"

fresh_case "quiet mode: no progress messages, the same backup and write"
sim create hmd1 serial=SBH-1
sim store hmd1 "$LEGACY"
run_tool /InputFile "$LATEST" /OutputSentinel /PrintModelNumber
expect_exit 0
expect_stdout_lacks "Backed up"
expect_stdout_lacks "Wrote configuration"
expect_same_file SBH-1-0.json "$LEGACY"
expect_headset_holds hmd1 "$EXPECTED"
sim erase hmd1
run_tool /InputFile "$LATEST" /OutputSentinel /PrintSerial
expect_exit 0
expect_stdout_lacks "Skipping backup"
sim set hmd1 send_fail=all
run_tool /InputFile "$LATEST" /OutputSentinel /PrintSerial /NoBackup
expect_exit 1
expect_stdout_equals $'Error writing new configuration to device.\n'

fresh_case "no headset, or two: nothing is written anywhere"
run_tool /InputFile "$LATEST" /OutputFile out.json /OutputSentinel
expect_exit 1
expect_stdout_equals $'Could not find connected skybeacon device. Make sure device is connected and ready\n'
expect_no_file out.json
sim create hmd1
sim create hmd2
run_tool /InputFile "$LATEST" /OutputFile out.json /OutputSentinel
expect_exit 1
expect_stdout_equals $'Multiple connected skybeacon devices. Make sure only a single device is connected\n'
expect_no_file out.json
expect_headset_empty hmd1
expect_headset_empty hmd2

fresh_case "read from the headset and write it back"
sim create hmd1 serial=SBH-1903-0311
sim store hmd1 "$LEGACY"
expected_output_of "$LEGACY" "$TEST_DIR/legacy-out.json"
run_tool /InputSentinel /OutputSentinel
expect_exit 0
expect_same_file SBH-1903-0311-0.json "$LEGACY"
expect_headset_holds hmd1 "$TEST_DIR/legacy-out.json"

finish
