#!/usr/bin/env bash
# The sibling commands rigconf_path, rigconf_serial and rigconf_write: where
# the local canonical copy lives, what each prints, and that a bad document
# or a failed write never replaces a good copy.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXAMPLES=$SB_SOURCE_DIR/examples
STORE=$TEST_DIR/station/a
export SBCONFIG_RIGCONF_DIR=$STORE

run_cmd() {
  "$@" >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
}

begin_case "nothing stored yet: rigconf_path and rigconf_serial fail and say why"
run_cmd "$SB_BUILD_DIR/rigconf_path" device
expect_exit 1
expect_stdout_equals "no local device configuration at '$STORE/device.json' (store one with rigconf_write device FILE)"$'\n'
run_cmd "$SB_BUILD_DIR/rigconf_serial"
expect_exit 1
expect_stdout_contains "cannot read the local device configuration '$STORE/device.json'"

begin_case "rigconf_write refuses what is not a configuration document"
printf '{ "device_class" : "hmd" }' >hmd-without-device.json
printf '{ "a" : ' >broken.json
: >empty.json
for bad in hmd-without-device.json broken.json empty.json missing.json; do
  run_cmd "$SB_BUILD_DIR/rigconf_write" device "$bad"
  expect_exit 1
  grep -qF "rigconf_write: '$bad' is not a configuration document: " "$ERR" || fail "no reason for $bad"
  [ ! -e "$STORE" ] || fail "$bad created the store"
done

begin_case "rigconf_write stores the file, creating the store directory"
run_cmd "$SB_BUILD_DIR/rigconf_write" device "$EXAMPLES/hmd_latest.json"
expect_exit 0
expect_stdout_equals ""
cmp -s "$STORE/device.json" "$EXAMPLES/hmd_latest.json" || fail "stored copy differs"
[ "$(ls -A "$STORE")" = device.json ] || fail "left-overs in the store: $(ls -A "$STORE")"

begin_case "rigconf_path and rigconf_serial read the stored copy"
run_cmd "$SB_BUILD_DIR/rigconf_path" device
expect_exit 0
expect_stdout_equals "$STORE/device.json"$'\n'
run_cmd "$SB_BUILD_DIR/rigconf_serial"
expect_exit 0
expect_stdout_equals $'SBH-2417-0042\n'

begin_case "a refused document leaves the stored copy as it was"
run_cmd "$SB_BUILD_DIR/rigconf_write" device broken.json
expect_exit 1
cmp -s "$STORE/device.json" "$EXAMPLES/hmd_latest.json" || fail "stored copy changed"

begin_case "a second write replaces the copy"
run_cmd "$SB_BUILD_DIR/rigconf_write" device "$EXAMPLES/controller.json"
expect_exit 0
run_cmd "$SB_BUILD_DIR/rigconf_serial"
expect_stdout_equals $'SBC-2417-0107\n'

begin_case "a copy without a serial number gives no serial"
printf '{ "device_class" : "controller" }\n' >no-serial.json
run_cmd "$SB_BUILD_DIR/rigconf_write" device no-serial.json
expect_exit 0
run_cmd "$SB_BUILD_DIR/rigconf_serial"
expect_exit 1
expect_stdout_equals "the local device configuration '$STORE/device.json' has no device_serial_number"$'\n'

begin_case "a store that cannot be created fails the write"
: >plain-file
SBCONFIG_RIGCONF_DIR=$WORK_DIR/plain-file/sub run_cmd "$SB_BUILD_DIR/rigconf_write" device no-serial.json
expect_exit 1
grep -qF "rigconf_write: cannot store the local device configuration: " "$ERR" || fail "no reason"

begin_case "each station has its own store"
SBCONFIG_RIGCONF_DIR=$TEST_DIR/station/b run_cmd "$SB_BUILD_DIR/rigconf_write" device "$EXAMPLES/hmd_legacy.json"
expect_exit 0
SBCONFIG_RIGCONF_DIR=$TEST_DIR/station/b run_cmd "$SB_BUILD_DIR/rigconf_serial"
expect_stdout_equals $'SBH-1903-0311\n'
run_cmd "$SB_BUILD_DIR/rigconf_serial"
expect_exit 1

begin_case "without the variable (or with it empty) the store is /var/lib/sbconfigtool"
SBCONFIG_RIGCONF_DIR= run_cmd "$SB_BUILD_DIR/rigconf_path" device
expect_stdout_contains "/var/lib/sbconfigtool/device.json"
env -u SBCONFIG_RIGCONF_DIR "$SB_BUILD_DIR/rigconf_path" device >"$OUT" 2>"$ERR" </dev/null
expect_stdout_contains "/var/lib/sbconfigtool/device.json"

begin_case "wrong command lines are refused with status 2"
run_cmd "$SB_BUILD_DIR/rigconf_path"
expect_exit 2
run_cmd "$SB_BUILD_DIR/rigconf_path" controller
expect_exit 2
run_cmd "$SB_BUILD_DIR/rigconf_serial" device
expect_exit 2
run_cmd "$SB_BUILD_DIR/rigconf_write" device
expect_exit 2
run_cmd "$SB_BUILD_DIR/rigconf_write" other "$EXAMPLES/hmd_latest.json"
expect_exit 2
grep -qF "usage: rigconf_write device FILE" "$ERR" || fail "no usage line"

finish
