#!/usr/bin/env bash
# File-system faults under every kind of file the tool writes: a full disk and a directory
# without write permission under an output file (one that is also the input too), a headset
# backup, the staging file in TMPDIR and the local store; and a full standard output. Each
# run exits 1 saying why, and nothing that was there before is lost or left half written.
# Full disks are small tmpfs mounts and unwritable directories read-only bind mounts (root
# ignores permission bits), in a private mount namespace that vanishes with the test; where
# mounting is not allowed those cases are skipped, and a user who is not root gets chmod.
if [ "$(id -u)" = 0 ] && [ -z "${SB_FS_FAULTS_NAMESPACE:-}" ] && unshare -m true 2>/dev/null; then
  SB_FS_FAULTS_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
use_devices

CAN_MOUNT=${SB_FS_FAULTS_NAMESPACE:-} SERIAL=SBH-7-1
IN=$EXAMPLES/hmd_full.json NEW=$TEST_DIR/new.json   # two pages of 4 KiB as written
OLD=$EXAMPLES/hmd_full_legacy.json                  # more than the one page a full disk has left
expected_output_of "$IN" "$NEW"
# The directory under the fault; it holds the local store too.
export SBCONFIG_RIGCONF_DIR=$WORK_DIR/d
D=$SBCONFIG_RIGCONF_DIR
# Unmounts, and gives back the permission bits taken, for the next case and the end.
e2e_cleanup() { umount "$D" 2>/dev/null; chmod -R u+w "$WORK_DIR"; }

# The files of D (the filler of a full disk aside), as "checksum name".
snapshot() { (cd "$D" && find . -path ./.filler -prune -o -type f -print0 | sort -z | xargs -0r md5sum); }

begin_case "a full standard output: exit 1 with a message, not a cut copy taken for success"
for row in "/OutputStdout|Error writing tracked device config to standard output: No space left on device" \
  "/PrintSerial|Error writing to standard output"; do
  E2E_FAULTS=$((E2E_FAULTS + 1))
  OUT=/dev/full run_tool /InputFile "$IN" "${row%%|*}" /Quiet
  expect_exit 1
  grep -qxF "${row#*|}" "$ERR" || fail "${row%%|*}: stderr lacks '${row#*|}'"
done

for what in "output file" "output file that is the input" "backup" "staging file" "local store"; do
  for fault in full unwritable; do
    [ -n "$CAN_MOUNT" ] || { [ $fault = unwritable ] && [ "$(id -u)" != 0 ]; } ||
      { echo "SKIP: $E2E_NAME: a $fault directory under the $what (mounting is not allowed here)"; continue; }
    e2e_cleanup
    fresh_case "a $fault directory under the $what"
    mkdir "$D"
    [ $fault != full ] || mount -t tmpfs -o size=256k tmpfs "$D" || fail "cannot mount a tmpfs at $D"
    # What is there before: a headset, the local store, an earlier output and an input.
    sim create hmd1 serial=$SERIAL
    sim store hmd1 "$OLD"
    run_tool /InputFile "$OLD" /OutputLocal /Quiet
    expect_exit 0
    printf 'an earlier output\n' >"$D/out.json" && cp "$IN" "$D/doc.json"
    if [ $fault = full ]; then
      # One page left: the first page of a file fits, a larger one fails part way.
      mkdir "$D/.filler" && i=0
      while dd if=/dev/zero of="$D/.filler/$i" bs=4096 count=1 status=none 2>/dev/null; do i=$((i + 1)); done
      rm -f "$D/.filler/$i" "$D/.filler/$((i - 1))"
    elif [ -z "$CAN_MOUNT" ]; then chmod 555 "$D"
    else mount --bind "$D" "$D" && mount -o remount,bind,ro "$D" || fail "cannot make $D read-only"; fi
    E2E_FAULTS=$((E2E_FAULTS + 1))
    before=$(snapshot)
    case $what in
      "output file") run_tool /InputFile "$IN" /OutputFile d/out.json
        said="Error writing tracked device config to file 'd/out.json'" ;;
      *input) run_tool /InputFile d/doc.json /FirmwareConfigSetElement added int 1 /OutputFile d/doc.json
        said="*Error writing tracked device config to file 'd/doc.json'" ;;
      backup) cd "$D" && run_tool /InputFile "$IN" /OutputSentinel; cd "$WORK_DIR" || fail "cannot go back"
        said="Error backing up original configuration to $SERIAL-0.json: *. The device was not written. (/NoBackup to disable)" ;;
      staging*) TMP_DIR=$D run_tool /InputFile "$IN" /OutputLocal
        said="Error writing new configuration to staging location $D/configtool.json." ;;
      *store) run_tool /InputFile "$IN" /OutputLocal
        said="Error writing new configuration to device."
        # The staging file stays for another try, and it is whole.
        cmp -s "$TMP_DIR/configtool.json" "$NEW" || fail_lost "the staging file is gone or cut" ;;
    esac
    [ "$(snapshot)" = "$before" ] || fail_lost "$D changed: $(snapshot) (was: $before)"
    "$SIM" inspect hmd1 >"$TEST_DIR/held" 2>&1 && cmp -s "$TEST_DIR/held" "$OLD" && ! grep -q '^send' "$TRACE" ||
      fail_lost "the headset was written"
    expect_exit 1
    [[ $(<"$OUT") == $said ]] || fail "stdout is not like: $said"
  done
done

finish
