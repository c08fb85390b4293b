#!/usr/bin/env bash
# File-system faults under every kind of file the tool writes: output files,
# standard output, headset backups, the local store and its staging file.
# The faults: a directory without write permission, a full disk, an output
# that is also the input, and a TMPDIR that does not exist. Whatever fails,
# the run says so and exits 1, and nothing that was there before is lost or
# left half written.
#
# Full disks are small tmpfs mounts and unwritable directories read-only
# bind mounts (root ignores permission bits), made in a private mount
# namespace so that they vanish with the test. Where mounting is not
# allowed, those cases are skipped and say so; a user who is not root gets
# permission bits instead.
if [ "$(id -u)" = 0 ] && [ -z "${SB_FS_FAULTS_NAMESPACE:-}" ] && unshare -m true 2>/dev/null; then
  export SB_FS_FAULTS_NAMESPACE=1
  exec unshare -m --propagation private bash "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$DATA_DIR/../device_lib.sh"

CAN_MOUNT=
[ -n "${SB_FS_FAULTS_NAMESPACE:-}" ] && CAN_MOUNT=1
MOUNTS=()
NOT_WRITTEN="The device was not written. (/NoBackup to disable)"
SERIAL=SBH-7-1
OLD=$EXAMPLES/hmd_full_legacy.json   # more than the one page a full disk has left
cp "$EXAMPLES/hmd_full.json" "$TEST_DIR/in.json"   # two pages of 4 KiB as written
IN=$TEST_DIR/in.json
NEW=$TEST_DIR/new.json
expected_output_of "$IN" "$NEW"
printf 'an earlier output\n' >"$TEST_DIR/previous"

e2e_cleanup() {
  local m
  for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null; done
}

skip_case() {
  echo "SKIP: $E2E_NAME: $1 (mounting is not allowed here)"
}

# A small tmpfs at `dir`, for a full disk once fill_disk has run.
mount_tmpfs() {
  mkdir -p "$1"
  mount -t tmpfs -o size=256k tmpfs "$1" || fail "cannot mount a tmpfs at $1"
  MOUNTS+=("$1")
}

# Fills the tmpfs at `dir` up to one free page, so that the first page of a
# file still fits and a larger one fails part way.
fill_disk() {
  local i=0
  mkdir -p "$1/.filler"
  while dd if=/dev/zero of="$1/.filler/$i" bs=4096 count=1 status=none 2>/dev/null; do i=$((i + 1)); done
  rm -f "$1/.filler/$i" "$1/.filler/$((i - 1))"
  E2E_FAULTS=$((E2E_FAULTS + 1))
}

# Each case starts with nothing mounted and nothing left from the last.
fault_case() {
  e2e_cleanup
  MOUNTS=()
  chmod -R u+w "$WORK_DIR" 2>/dev/null
  fresh_case "$1"
}

# `dir` made unwritable: read-only for root, permission bits for others.
make_unwritable() {
  if [ -n "$CAN_MOUNT" ]; then
    mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" || fail "cannot make $1 read-only"
    MOUNTS+=("$1")
  else
    chmod 555 "$1"
  fi
  E2E_FAULTS=$((E2E_FAULTS + 1))
}

release() {
  local m
  for m in "$@"; do
    if mountpoint -q "$m"; then umount "$m" || fail "cannot unmount $m"; else chmod 755 "$m"; fi
  done
}

# The files of `dir` (the filler of a full disk aside), as "name:checksum".
snapshot() {
  (cd "$1" && find . -path ./.filler -prune -o -type f -print0 | sort -z | xargs -0r md5sum) | tr -s ' ' ':'
}

expect_unchanged() {
  [ "$(snapshot "$1")" = "$2" ] || fail_lost "$1 changed: $(snapshot "$1" | tr '\n' ' ') (was: $(echo "$2" | tr '\n' ' '))"
}

# A headset holding OLD, for the runs that write one.
headset_with_old() {
  sim create hmd1 serial=$SERIAL
  sim store hmd1 "$OLD"
}

expect_headset_old() {
  "$SIM" inspect hmd1 >"$TEST_DIR/.held" 2>&1 && cmp -s "$TEST_DIR/.held" "$OLD" ||
    fail_lost "the headset no longer holds its old document"
  expect_trace_lacks "^send"
}

can_mount_or_skip() {
  [ -n "$CAN_MOUNT" ] && return 0
  skip_case "$1"
  return 1
}

# --- Output files.
fault_case "an output directory without write permission: the old file stays"
if [ -n "$CAN_MOUNT" ] || [ "$(id -u)" != 0 ]; then
  mkdir locked && cp "$TEST_DIR/previous" locked/out.json && cp "$IN" locked/doc.json
  before=$(snapshot locked)
  make_unwritable locked
  run_tool /InputFile "$IN" /OutputFile locked/out.json
  expect_exit 1
  expect_stdout_equals $'Error writing tracked device config to file \'locked/out.json\'\n'
  begin_case "an output that is also the input, in a directory without write permission"
  run_tool /InputFile locked/doc.json /FirmwareConfigSetElement added int 1 /OutputFile locked/doc.json
  expect_exit 1
  expect_stdout_contains "Error writing tracked device config to file 'locked/doc.json'"
  release locked
  expect_unchanged locked "$before"
else
  skip_case "$E2E_CASE"
fi

fault_case "a full disk: the old output file stays, no temporary file is left"
if can_mount_or_skip "$E2E_CASE"; then
  mount_tmpfs disk
  cp "$TEST_DIR/previous" disk/out.json
  fill_disk disk
  before=$(snapshot disk)
  run_tool /InputFile "$IN" /OutputFile disk/out.json
  expect_exit 1
  expect_stdout_equals $'Error writing tracked device config to file \'disk/out.json\'\n'
  expect_unchanged disk "$before"
fi

fault_case "a full disk, the output also the input: the input stays whole"
if can_mount_or_skip "$E2E_CASE"; then
  mount_tmpfs disk
  cp "$IN" disk/doc.json
  fill_disk disk
  before=$(snapshot disk)
  run_tool /InputFile disk/doc.json /FirmwareConfigSetElement added int 1 /OutputFile disk/doc.json
  expect_exit 1
  expect_stdout_contains "Error writing tracked device config to file 'disk/doc.json'"
  expect_unchanged disk "$before"
fi

fault_case "the output also the input, with room: the document is replaced by the edited one"
cp "$IN" doc.json
run_tool /InputFile doc.json /OutputFile doc.json /Quiet
expect_exit 0
cmp -s doc.json "$NEW" || fail_lost "doc.json is not the document written from it"

fault_case "/dev/full as the output file"
E2E_FAULTS=$((E2E_FAULTS + 1))
run_tool /InputFile "$IN" /OutputFile /dev/full
expect_exit 1
expect_stdout_equals $'Error writing tracked device config to file \'/dev/full\'\n'

# --- Standard output, which scripts redirect to files.
fault_case "the document to a full standard output: exit 1, not a cut copy taken for success"
E2E_FAULTS=$((E2E_FAULTS + 1))
E2E_RUNS=$((E2E_RUNS + 1))
TMPDIR="$TEST_DIR/tmp" "$TOOL" /InputFile "$IN" /OutputStdout /Quiet >/dev/full 2>"$ERR"
EXIT_CODE=$?
: >"$OUT"
expect_exit 1
grep -qx "Error writing tracked device config to standard output: No space left on device" "$ERR" ||
  fail "stderr: $(cat "$ERR")"

fault_case "a printed fact to a full standard output: exit 1"
E2E_FAULTS=$((E2E_FAULTS + 1))
E2E_RUNS=$((E2E_RUNS + 1))
TMPDIR="$TEST_DIR/tmp" "$TOOL" /InputFile "$IN" /PrintSerial >/dev/full 2>"$ERR"
EXIT_CODE=$?
expect_exit 1
grep -qx "Error writing to standard output" "$ERR" || fail "stderr: $(cat "$ERR")"

# --- Headset backups, written to the working directory before the headset.
fault_case "a backup directory without write permission: the headset is not written"
if [ -n "$CAN_MOUNT" ] || [ "$(id -u)" != 0 ]; then
  headset_with_old
  mkdir cwd
  make_unwritable cwd
  cd cwd && run_tool /InputFile "$IN" /OutputSentinel
  cd "$WORK_DIR" || fail "cannot go back to $WORK_DIR"
  expect_exit 1
  expect_stdout_contains "Error backing up original configuration to $SERIAL-0.json: "
  expect_stdout_contains "$NOT_WRITTEN"
  release cwd
  expect_headset_old
  expect_unchanged cwd ""
else
  skip_case "$E2E_CASE"
fi

fault_case "a full disk under the backup: the headset is not written, no cut backup is left"
if can_mount_or_skip "$E2E_CASE"; then
  headset_with_old
  mount_tmpfs cwd
  fill_disk cwd
  cd cwd && run_tool /InputFile "$IN" /OutputSentinel
  cd "$WORK_DIR" || fail "cannot go back to $WORK_DIR"
  expect_exit 1
  expect_stdout_equals "Error backing up original configuration to $SERIAL-0.json: No space left on device. $NOT_WRITTEN"$'\n'
  expect_headset_old
  expect_unchanged cwd ""
fi

# --- The local store and its staging file in TMPDIR.
store_old() {
  run_tool /InputFile "$OLD" /OutputLocal /Quiet
  expect_exit 0
  cp "$SBCONFIG_RIGCONF_DIR/device.json" "$TEST_DIR/stored"
}

expect_store_old() {
  cmp -s "$SBCONFIG_RIGCONF_DIR/device.json" "$TEST_DIR/stored" || fail_lost "the local store lost its document"
}

fault_case "a TMPDIR that does not exist: files and the headset are written, the local store is refused"
headset_with_old
store_old
E2E_FAULTS=$((E2E_FAULTS + 1))
run_tool_in_tmpdir "$TEST_DIR/no-such-dir" /InputFile "$IN" /OutputFile out.json /OutputSentinel /Quiet
expect_exit 0
expect_same_file out.json "$NEW"
expect_headset_holds hmd1 "$NEW"
run_tool_in_tmpdir "$TEST_DIR/no-such-dir" /InputFile "$IN" /OutputLocal
expect_exit 1
expect_stdout_equals "Error writing new configuration to staging location $TEST_DIR/no-such-dir/configtool.json."$'\n'
expect_store_old

fault_case "TMPDIR on a full disk: the store keeps its document, no cut staging file is left"
if can_mount_or_skip "$E2E_CASE"; then
  store_old
  mount_tmpfs stage
  fill_disk stage
  run_tool_in_tmpdir "$WORK_DIR/stage" /InputFile "$IN" /OutputLocal
  expect_exit 1
  expect_stdout_equals "Error writing new configuration to staging location $WORK_DIR/stage/configtool.json."$'\n'
  expect_store_old
  expect_unchanged stage ""
fi

fault_case "the local store on a full disk: it keeps its document"
if can_mount_or_skip "$E2E_CASE"; then
  mount_tmpfs "$SBCONFIG_RIGCONF_DIR"
  store_old
  fill_disk "$SBCONFIG_RIGCONF_DIR"
  before=$(snapshot "$SBCONFIG_RIGCONF_DIR")
  run_tool /InputFile "$IN" /OutputLocal
  expect_exit 1
  expect_stdout_equals $'Error writing new configuration to device.\n'
  expect_store_old
  expect_unchanged "$SBCONFIG_RIGCONF_DIR" "$before"
  # The staging file stays for another try, and it is whole.
  expect_same_file "$TEST_DIR/tmp/configtool.json" "$NEW"
fi

finish
