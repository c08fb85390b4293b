#!/usr/bin/env bash
# Every fault the simulated headset can inject, against every operation that
# talks to the headset. For each pair: the exit code and the message, and
# the invariants that matter most: the headset ends up holding either its
# old configuration or the complete new one, and whenever it was
# overwritten with the backup on, the backup holds exactly what it held.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$DATA_DIR/../device_lib.sh"

OLD=$EXAMPLES/hmd_legacy.json          # what the headset holds
NEW_INPUT=$EXAMPLES/hmd_latest.json    # what the writing runs give it
NEW=$TEST_DIR/new.json                 # ... as the tool writes it
OLD_AS_READ=$TEST_DIR/old-read.json    # the headset's document as /InputSentinel writes it
expected_output_of "$NEW_INPUT" "$NEW"
expected_output_of "$OLD" "$OLD_AS_READ"
SERIAL=SBH-2417-0311
RECORD=${SB_FAULT_MATRIX_RECORD:-}

# The stream the headset holds, to aim faults at its first, middle and last
# bytes and reports.
sim create probe serial=x
sim store probe "$OLD"
STREAM=$(stat -c %s "$SBHEADSET_SIM_DIR/probe.zcfg")
CHUNKS=$(((STREAM + 61) / 62))
rm -rf "$SBHEADSET_SIM_DIR"

# name | how the headset is set up (sbheadset-sim create arguments, or a
# word for the set-ups that are no single headset)
FAULTS="
none|
fail_open_once|fail_open=1
fail_open_always|fail_open=all
get_fail_once|get_fail=1
get_fail_always|get_fail=all
send_fail_once|send_fail=1
send_fail_always|send_fail=all
short_first_report|short_report=1
short_last_report|short_report=$CHUNKS
length_63_first|bad_length=1
length_0_second|bad_length=2 bad_length_value=0
length_255_last|bad_length=$CHUNKS bad_length_value=255
announce_0|announce_size=0
announce_fewer|announce_size=$((STREAM - 10))
announce_more|announce_size=$((STREAM + 10))
announce_none|announce_size=0xFFFF
announce_too_large|announce_size=0x2001
truncate_10|truncate_stream=10
truncate_half|truncate_stream=$((STREAM / 2))
corrupt_header|corrupt_stream=1
corrupt_middle|corrupt_stream=$((STREAM / 2))
corrupt_checksum|corrupt_stream=$((STREAM - 1))
disconnect_first_report|disconnect_after=1
disconnect_mid_read|disconnect_after=$((CHUNKS / 2))
disconnect_mid_write|disconnect_after=$((CHUNKS + 3))
serial_language_id|serial_language_id=yes
no_serial|@no_serial
no_configuration|@no_configuration
no_headset|@no_headset
two_headsets|@two_headsets
"

# name | arguments | whether it writes the headset
OPERATIONS="
input|/InputSentinel /OutputFile out.json|
serial|/InputFile $NEW_INPUT /SerialSentinel /OutputFile out.json|
mfg_build_info|/InputFile $NEW_INPUT /MfgBuildInfoSentinel /OutputFile out.json|
output_backup|/InputFile $NEW_INPUT /OutputSentinel|writes
output_no_backup|/InputFile $NEW_INPUT /OutputSentinel /NoBackup|writes
print_serial|/PrintSentinelSerial|
"

set_up() {
  local setup=$1
  case "$setup" in
    @no_headset) return ;;
    @two_headsets)
      sim create hmd1 serial=$SERIAL
      sim store hmd1 "$OLD"
      sim create hmd2 serial=SBH-2417-0312
      return
      ;;
    @no_serial)
      sim create hmd1
      sim unset hmd1 serial
      ;;
    @no_configuration) sim create hmd1 serial=$SERIAL ;;
    *)
      # shellcheck disable=SC2086
      sim create hmd1 serial=$SERIAL $setup
      ;;
  esac
  [ "$setup" = @no_configuration ] || sim store hmd1 "$OLD"
}

# What the headset holds: old, new, none, or other (a damaged or foreign
# document, which must never happen).
headset_holds() {
  if ! "$SIM" inspect "$1" >"$TEST_DIR/.held" 2>/dev/null; then
    echo none
  elif cmp -s "$TEST_DIR/.held" "$OLD"; then
    echo old
  elif cmp -s "$TEST_DIR/.held" "$NEW"; then
    echo new
  else
    echo other
  fi
}

declare -A EXPECTED_EXIT=() EXPECTED_STDOUT=() REFERENCE=()
while IFS='|' read -r op fault code text; do
  [ -n "$op" ] && [ "${op#\#}" = "$op" ] || continue
  EXPECTED_EXIT[$op/$fault]=$code
  EXPECTED_STDOUT[$op/$fault]=$text
done <"$DATA_DIR/fault_matrix.txt"
INJECTED=0

# One operation against one fault.
run_cell() {
  local op=$1 args=$2 writes=$3 fault=$4 setup=$5 before after escaped
  fresh_case "$op against $fault"
  set_up "$setup"
  before=$( [ -e "$SBHEADSET_SIM_DIR/hmd1.headset" ] && headset_holds hmd1 || echo absent)
  # shellcheck disable=SC2086
  run_tool $args
  INJECTED=$((INJECTED + 1))
  [ "$fault" = none ] || E2E_FAULTS=$((E2E_FAULTS + 1))
  case "$EXIT_CODE" in 0 | 1) ;; *) fail "exit code $EXIT_CODE (a crash or a hang)" ;; esac
  ! grep -qE "Sanitizer|runtime error" "$ERR" || fail "a sanitizer report"
  escaped=$(sed ':a;N;$!ba;s/\n/\\n/g' "$OUT")
  [ "$(tail -c 1 "$OUT" | od -An -c | tr -d ' ')" = '\n' ] && escaped="$escaped\\n"
  if [ -n "$RECORD" ]; then
    printf '%s|%s|%s|%s\n' "$op" "$fault" "$EXIT_CODE" "$escaped" >>"$RECORD"
  else
    [ -n "${EXPECTED_EXIT[$op/$fault]:-}" ] || fail "no expectation in fault_matrix.txt"
    expect_exit "${EXPECTED_EXIT[$op/$fault]}"
    printf '%b' "${EXPECTED_STDOUT[$op/$fault]}" >"$TEST_DIR/.want"
    expect_stdout_file "$TEST_DIR/.want"
  fi

  # The headsets: the one written holds its old document or the complete new
  # one; every other stays as it was.
  if [ "$before" != absent ]; then
    after=$(headset_holds hmd1)
    [ "$after" != other ] || fail_lost "the headset holds a document that is neither the old nor the new one"
    if [ -z "$writes" ]; then
      [ "$after" = "$before" ] || fail_lost "a reading run changed the headset ($before to $after)"
    else
      [ "$after" = "$before" ] || [ "$after" = new ] || fail_lost "the headset went from $before to $after"
      [ "$EXIT_CODE" != 0 ] || [ "$after" = new ] || fail_lost "exit 0 but the headset does not hold the new document"
    fi
  fi
  [ ! -e "$SBHEADSET_SIM_DIR/hmd2.headset" ] || [ "$(headset_holds hmd2)" = none ] || fail_lost "the second headset changed"

  # The backup: only ever the old document, whole; and there whenever the
  # old document was overwritten with the backup on.
  local backups
  backups=$(ls -A | grep -v -x out.json)
  for b in $backups; do
    [[ "$b" == *-[0-9].json ]] && [ "$op" = output_backup ] || fail_lost "left behind: $b"
    cmp -s "$b" "$OLD" || fail_lost "the backup $b is not the headset's old document"
  done
  # (A headset whose size report says it holds nothing is taken at its word:
  # the protocol has no way to read what it will not announce.)
  if [ "$op" = output_backup ] && [ "$before" = old ] && [ "$after" = new ] && [ "$fault" != announce_none ]; then
    [ -n "$backups" ] || fail_lost "the old document was overwritten without a backup"
  fi

  # Documents taken from the headset are whole: the same as without a fault.
  if [ -e out.json ]; then
    [ "$EXIT_CODE" = 0 ] || fail "exit 1 but out.json was written"
    case "$op" in
      input | mfg_build_info)
        if [ -z "${REFERENCE[$op]:-}" ]; then
          REFERENCE[$op]=$TEST_DIR/reference-$op.json
          cp out.json "${REFERENCE[$op]}"
        fi
        cmp -s out.json "${REFERENCE[$op]}" || fail_lost "out.json differs from the run without a fault"
        ;;
    esac
  fi
}

[ -n "$RECORD" ] && : >"$RECORD"
while IFS='|' read -r fault setup; do
  [ -n "$fault" ] || continue
  while IFS='|' read -r op args writes; do
    [ -n "$op" ] || continue
    run_cell "$op" "$args" "$writes" "$fault" "$setup"
  done <<<"$OPERATIONS"
done <<<"$FAULTS"
[ -n "${REFERENCE[input]:-}" ] && cmp -s "${REFERENCE[input]}" "$OLD_AS_READ" || fail_lost "the headset's document did not read whole"

echo "fault_matrix_test: $INJECTED runs with a fault injected"
finish
