#!/usr/bin/env bash
# Every file of the public JSON test corpus as an input file, a verification
# file, the device_json of a verification file, and an overlay: each run ends
# with exit code 0 or 1 and a message, never a crash, and leaves either a
# whole output file that loads again or none at all.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

CORPUS=$SB_SOURCE_DIR/tests/data/jsontestsuite
if [ ! -d "$CORPUS/test_parsing" ]; then
  echo "SKIP: $E2E_NAME: no corpus at $CORPUS"
  finish
fi

printf '{"device_class": "controller", "device_serial_number": "C1"}' >base.json

# Checks the run that was just made with /OutputFile out.json, then clears
# the directory for the next one.
check_run() {
  case "$EXIT_CODE" in
    0)
      [ -f out.json ] || fail "exit 0 without out.json"
      expect_stdout_contains "Wrote 'out.json'"
      local written=$OUT.written
      cp out.json "$written"
      run_tool /InputFile "$written" /OutputStdout
      expect_exit 0
      ;;
    1)
      [ -s "$OUT" ] || fail "exit 1 without a message"
      [ ! -e out.json ] || fail "exit 1 but out.json was written"
      ;;
    *) fail "exit code $EXIT_CODE" ;;
  esac
  expect_stderr_empty
  local left
  left=$(ls -A | grep -v -x -e base.json -e out.json -e wrapped.json)
  [ -z "$left" ] || fail "left behind: $left"
  rm -f out.json
}

count=0
for file in "$CORPUS"/test_parsing/*.json "$CORPUS"/test_transform/*.json; do
  [ -f "$file" ] || continue
  name=$(basename "$file")
  count=$((count + 1))

  begin_case "$name as the input file"
  run_tool /InputFile "$file" /OutputFile out.json
  check_run

  begin_case "$name as the verification file"
  run_tool /InputVerificationFile "$file" /OutputFile out.json
  check_run

  begin_case "$name as the device_json of a verification file"
  { printf '{"device_json": '; cat "$file"; printf '}'; } >wrapped.json
  run_tool /InputVerificationFile wrapped.json /OutputFile out.json
  check_run

  begin_case "$name as an overlay"
  run_tool /InputFile base.json /FirmwareConfigOverlay "$file" /OutputFile out.json
  check_run
done
[ "$count" -gt 300 ] || fail "only $count corpus files found"

finish
