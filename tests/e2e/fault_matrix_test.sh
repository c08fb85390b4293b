#!/usr/bin/env bash
# Every fault of the simulated headset against every operation that talks to it
# (data/fault_matrix.txt): the exit code, the message, and what matters most: the
# headset ends up holding its old configuration or the complete new one, and
# whenever that was overwritten with the backup on, the backup holds the old one.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
use_devices

OLD=$EXAMPLES/hmd_legacy.json          # what the headset holds
NEW_INPUT=$EXAMPLES/hmd_latest.json    # what the writing runs give it
NEW=$TEST_DIR/new.json                 # ... as the tool writes it
OLD_AS_READ=$TEST_DIR/old-read.json    # the headset's document as /InputSentinel writes it
expected_output_of "$NEW_INPUT" "$NEW"
expected_output_of "$OLD" "$OLD_AS_READ"

# The stream the headset holds, to aim faults at its first, middle and last bytes and reports.
sim create probe serial=x
sim store probe "$OLD"
STREAM=$(stat -c %s "$SBHEADSET_SIM_DIR/probe.zcfg")
CHUNKS=$(((STREAM + 61) / 62))

damaged="The device may hold a damaged configuration"
OPERATIONS=(input serial mfg_build_info output_backup output_no_backup print_serial)
declare -A ARGS=(
  [input]="/InputSentinel /OutputFile out.json"
  [serial]="/InputFile $NEW_INPUT /SerialSentinel /OutputFile out.json"
  [mfg_build_info]="/InputFile $NEW_INPUT /MfgBuildInfoSentinel /OutputFile out.json"
  [output_backup]="/InputFile $NEW_INPUT /OutputSentinel"
  [output_no_backup]="/InputFile $NEW_INPUT /OutputSentinel /NoBackup"
  [print_serial]="/PrintSentinelSerial")

# The headsets of a row; arguments naming STREAM or CHUNKS are worked out.
set_up() {
  local kv args=()
  case "$1" in
    @no_headset) return ;;
    @two_headsets) sim create hmd2 serial=SBH-2417-0312 ;;
    @no_configuration) sim create hmd1 serial=SBH-2417-0311 && return ;;
  esac
  for kv in $1; do
    case $kv in @*) ;; *STREAM* | *CHUNKS*) args+=("${kv%%=*}=$((${kv#*=}))") ;; *) args+=("$kv") ;; esac
  done
  sim create hmd1 serial=SBH-2417-0311 "${args[@]}"
  [ "$1" != @no_serial ] || sim unset hmd1 serial
  sim store hmd1 "$OLD"
}

# The output an operation gives for an outcome of the table; a headset whose
# serial cannot be read is listed under its path. A write with the backup on
# first says what became of the backup (skipX: skipped, then X, by default ok).
expected_output() {
  local op=$1 result=${2#skip} serial=$3 file=${3//:/_}-0.json and=", and no backup was made."
  local verify="Error verifying the configuration written to device:"
  case "$op:$2" in
    output_backup:skip*) echo "Device has no configuration. Skipping backup." ;;
    output_backup:ok | output_backup:w | output_backup:v*)
      echo "Backed up original configuration to $file. (/NoBackup to disable)" && and="; restore it from $file." ;;
  esac
  case "$op:${result:-ok}" in
    print_serial:nf | print_serial:many) ;;
    *:nf) echo "Could not find connected skybeacon device. Make sure device is connected and ready" ;;
    *:many) echo "Multiple connected skybeacon devices. Make sure only a single device is connected" ;;
    input:ok) echo "Wrote 'out.json'" ;;
    input:r) echo "Error reading USB configuration from skybeacon device" ;;
    serial:ok) printf "Using Serial From Connected Device: %s\nWrote 'out.json'\n" "$serial" ;;
    mfg_build_info:ok) printf "Using mfg_build_info From Connected Device: %s\nWrote 'out.json'\n" "$serial" ;;
    mfg_build_info:r)
      echo "Error, connected device does not have readable configuration. (Cannot /MfgBuildInfoSentinel)" ;;
    output_backup:r*)
      echo "Error reading USB configuration from skybeacon device for backup purposes. Error ${result#r}" ;;
    output*:ok) echo "Wrote configuration to device" ;;
    output*:w) echo "Error writing new configuration to device." ;;
    output*:vd) echo "$verify it reads back differently. $damaged$and" ;;
    output*:v*) echo "$verify it could not be read back (error ${result#v}). $damaged$and" ;;
    print_serial:ok) echo "connectedserial: $serial" ;;
    *) echo "(no output known for $op:$2)" ;;
  esac
}

# What a headset holds: old, new, none, or other (a damaged or foreign document: never).
headset_holds() {
  if ! "$SIM" inspect "$1" >"$TEST_DIR/.held" 2>/dev/null; then echo none
  elif cmp -s "$TEST_DIR/.held" "$OLD"; then echo old
  elif cmp -s "$TEST_DIR/.held" "$NEW"; then echo new
  else echo other; fi
}

# One operation against one fault.
run_cell() {
  local op=$1 fault=$2 setup=$3 outcome=$4 before after backups serial=SBH-2417-0311
  fresh_case "$op against $fault"
  set_up "$setup"
  [ "$setup" = @no_serial ] || [ "$setup" = serial_language_id=yes ] && serial=sim:hmd1:0
  before=$([ -e "$SBHEADSET_SIM_DIR/hmd1.headset" ] && headset_holds hmd1 || echo absent)
  # shellcheck disable=SC2086
  run_tool ${ARGS[$op]}
  [ "$fault" = none ] || E2E_FAULTS=$((E2E_FAULTS + 1))
  case "$outcome" in ok | skip) expect_exit 0 ;; *) expect_exit 1 ;; esac
  expected_output "$op" "$outcome" "$serial" >"$TEST_DIR/.want"
  expect_stdout_file "$TEST_DIR/.want"

  # Unless the run said it may be damaged, a written headset holds its old
  # document or the complete new one (the new one after exit 0); a reading
  # run and the other headset leave them as they were.
  after=$(headset_holds hmd1)
  if [ "$before" != absent ] && ! grep -q "$damaged" "$OUT"; then
    [[ $after = "$before" || ($op = output* && $after = new) ]] || fail_lost "the headset went from $before to $after"
    [[ $EXIT_CODE != 0 || $op != output* || $after = new ]] ||
      fail_lost "exit 0 but the headset does not hold the new document"
  fi
  [ ! -e "$SBHEADSET_SIM_DIR/hmd2.headset" ] || [ "$(headset_holds hmd2)" = none ] ||
    fail_lost "the second headset changed"

  # The backup: only ever the old document, whole; and there whenever that was changed with
  # the backup on (but a headset whose size report says it holds nothing is taken at its word).
  backups=$(ls -A | grep -v -x out.json)
  for b in $backups; do
    [[ "$b" == *-0.json ]] && [ "$op" = output_backup ] || fail_lost "left behind: $b"
    cmp -s "$b" "$OLD" || fail_lost "the backup $b is not the headset's old document"
  done
  [ "$op:$before" != output_backup:old ] || [ "$after" = old ] || [ "$fault" = announce_none ] || [ -n "$backups" ] ||
    fail_lost "the old document was overwritten without a backup"

  # Documents are written only on success, and one taken from the headset is whole.
  [ ! -e out.json ] || [ "$EXIT_CODE" = 0 ] || fail "exit 1 but out.json was written"
  [ "$op:$outcome" != input:ok ] || cmp -s out.json "$OLD_AS_READ" || fail_lost "out.json is not the headset's document"
}

while IFS='|' read -r fault setup outcomes; do
  [ -n "$fault" ] && [ "${fault#\#}" = "$fault" ] || continue
  read -r -a cells <<<"$outcomes"
  [ ${#cells[@]} = ${#OPERATIONS[@]} ] || fail "$fault: ${#cells[@]} outcomes in the table"
  for i in "${!OPERATIONS[@]}"; do run_cell "${OPERATIONS[$i]}" "$fault" "$setup" "${cells[$i]}"; done
done <"$DATA_DIR/fault_matrix.txt"
finish
