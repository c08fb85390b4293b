#!/usr/bin/env bash
# Bad input through every option that reads a document file: /InputFile,
# /InputVerificationFile, /SerialFile, /FirmwareConfigOverlay and the
# calibration imports. The cases: every member of the example documents
# given every wrong kind of value and, where it holds a number, extreme
# numbers (written by bad_input_gen); then syntax errors, deep nesting,
# text that is not UTF-8, byte order marks and CR LF line ends, very long
# strings and arrays, empty files, and paths that are no readable file.
#
# Each run must end with exit code 0 or 1 within its time limit, print a
# message when it fails, write nothing to standard error (where a sanitizer
# would report), and leave the output file either complete (it loads again)
# or exactly as it was before the run.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

GEN=$SB_BUILD_DIR/tests/bad_input_gen
[ -x "$GEN" ] || fail "no generator at $GEN"
CASES=$TEST_DIR/cases
mkdir "$CASES"
# Generous for a sanitizer build on a loaded machine; no case comes near.
LIMIT=${SB_BAD_INPUT_TIMEOUT:-60}
BEFORE="output of an earlier run"
IMPORTS=(/SensorCal /IpdCal /ImuCal /CameraCal /LensCal /LensIntrinsicsLeft /LensIntrinsicsRight
         /LensCentering /LensEyeToHead)
RUNS=0

# Like run_tool, but a run that outlives the limit is killed and reported.
run_bounded() {
  RUNS=$((RUNS + 1))
  printf '%s\n' "$BEFORE" >out.json
  TMPDIR="$TEST_DIR/tmp" timeout -k 5 "$LIMIT" "$TOOL" "$@" >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
}

reload() {
  TMPDIR="$TEST_DIR/tmp" timeout -k 5 "$LIMIT" "$TOOL" "$@" /OutputStdout >"$TEST_DIR/.reload" 2>&1 </dev/null
}

# The invariants of every run made with /OutputFile out.json; "verification"
# for a run that read a verification file.
check_run() {
  case "$EXIT_CODE" in
    0)
      if [ "$(cat out.json)" = "$BEFORE" ]; then fail "exit 0 but out.json was not written"; fi
      cp out.json "$TEST_DIR/written.json"
      if ! reload /InputFile "$TEST_DIR/written.json"; then
        # A verification file skips the display-section check of an input
        # file, by design: its HMD document without a complete "device"
        # section is written as it came, and reads back the same way only.
        grep -qF 'missing values from "device" section' "$TEST_DIR/.reload" && [ "${1:-}" = verification ] ||
          fail "the written out.json does not load again: $(head -c 300 "$TEST_DIR/.reload")"
        { printf '{"device_json": '; cat out.json; printf '}'; } >"$TEST_DIR/written.json"
        reload /InputVerificationFile "$TEST_DIR/written.json" ||
          fail "the written out.json does not load again: $(head -c 300 "$TEST_DIR/.reload")"
      fi
      ;;
    1)
      [ -s "$OUT" ] || fail "exit 1 without a message"
      [ "$(cat out.json)" = "$BEFORE" ] || fail "exit 1 but out.json was changed"
      ;;
    124 | 137) fail "no end within ${LIMIT}s (a hang)" ;;
    *) fail "exit code $EXIT_CODE (a crash)" ;;
  esac
  expect_stderr_empty
  local left
  left=$(ls -A | grep -v -x -e out.json)
  [ -z "$left" ] || fail "left behind: $left"
}

# One document through every reader: as the base document with the serial
# number, overlay and imports taken from it too (they all load the same
# file, so one run reaches them all when it loads), then as a verification
# file, directly and wrapped in "device_json".
check_document() {
  local file=$1 name=$2 imports=()
  for option in "${IMPORTS[@]}"; do imports+=("$option" "$file"); done
  begin_case "$name through /InputFile, /SerialFile, the overlay and the imports"
  run_bounded /InputFile "$file" /SerialFile "$file" /FirmwareConfigOverlay "$file" "${imports[@]}" \
    /OutputFile out.json
  check_run
  begin_case "$name as a verification file"
  run_bounded /InputVerificationFile "$file" /OutputFile out.json
  check_run verification
  begin_case "$name as the device_json of a verification file"
  { printf '{"device_json": '; cat "$file"; printf '}'; } >"$TEST_DIR/wrapped.json"
  run_bounded /InputVerificationFile "$TEST_DIR/wrapped.json" /OutputFile out.json
  check_run verification
}

# --- Every wrong kind for every member, extreme numbers for every number.
count=$("$GEN" "$CASES" "$SB_SOURCE_DIR"/examples/*.json) || fail "the generator failed"
[ "$count" -gt 1000 ] || fail "only $count generated documents"
for file in "$CASES"/*~*.json; do
  name=$(basename "$file" .json)
  begin_case "$name as the base document and the imports"
  run_bounded /InputFile "$file" /SerialFile "$file" /FirmwareConfigOverlay "$file" \
    /SensorCal "$file" /IpdCal "$file" /ImuCal "$file" /CameraCal "$file" /LensCal "$file" \
    /LensIntrinsicsLeft "$file" /LensIntrinsicsRight "$file" /LensCentering "$file" /LensEyeToHead "$file" \
    /PrintSerial /PrintComputedSerial /PrintModelNumber /PrintMfgBuildInfo line /OutputFile out.json
  check_run
  # The verification example holds its document under "device_json"; the
  # others are wrapped the way a verification command would.
  if [ "${name%%~*}" = verification ]; then
    begin_case "$name as a verification file"
    run_bounded /InputVerificationFile "$file" /OutputFile out.json
  else
    begin_case "$name as the device_json of a verification file"
    { printf '{"device_json": '; cat "$file"; printf '}'; } >"$TEST_DIR/wrapped.json"
    run_bounded /InputVerificationFile "$TEST_DIR/wrapped.json" /OutputFile out.json
  fi
  check_run verification
  rm -f "$file"
done

# --- Hand-made documents, each through every reader.
example=$SB_SOURCE_DIR/examples/hmd_latest.json
c=$CASES
# Syntax errors, and a real document cut short at many places.
printf '{"device_class": }' >"$c/value_missing.json"
printf '{"device_class" "hmd"}' >"$c/colon_missing.json"
printf '{"device_class": "hmd"' >"$c/brace_missing.json"
printf '{"device_class": "hmd}' >"$c/string_open.json"
printf '{"revision": tru}' >"$c/bad_literal.json"
printf '{"revision": 1} {"revision": 2}' >"$c/two_documents.json"
printf '{"revision": 1} trailing' >"$c/trailing_text.json"
printf '/* a comment that never ends' >"$c/comment_open.json"
printf '// only a comment\n' >"$c/comment_only.json"
printf '{"serial\0number": "a\0b"}' >"$c/zero_bytes.json"
printf ']' >"$c/close_only.json"
size=$(wc -c <"$example")
for cut in 1 2 17 100 500 1000 1500 2000 2500 3000 $((size - 3)) $((size - 1)); do
  head -c "$cut" "$example" >"$c/cut_at_$cut.json"
done
# Deep nesting: as the root, past the reader's limit, and in the members
# kept verbatim, just under it.
for depth in 999 1001 100000; do
  { head -c "$depth" /dev/zero | tr '\0' '['; head -c "$depth" /dev/zero | tr '\0' ']'; } >"$c/nested_root_$depth.json"
done
{ printf '{"device_class": "controller", "firmware_config": {"a": '
  head -c 990 /dev/zero | tr '\0' '['; head -c 990 /dev/zero | tr '\0' ']'; printf '}}'; } >"$c/nested_firmware_config.json"
{ printf '{"device_class": "controller", "mfg_build_info": '
  for _ in $(seq 990); do printf '{"a": '; done; printf '1'; head -c 990 /dev/zero | tr '\0' '}'; printf '}'; } \
  >"$c/nested_mfg_build_info.json"
# Text that is not UTF-8, in values, in member names and outside strings.
for bad in '\xff' '\xc0\xaf' '\xed\xa0\x80' '\xe2\x82' '\x80' '\xf4\x90\x80\x80'; do
  tag=$(printf '%s' "$bad" | tr -d '\\')
  printf '{"device_class": "controller", "device_serial_number": "S'"$bad"'", "model_number": "'"$bad"'"}' \
    >"$c/not_utf8_value_$tag.json"
  printf '{"device_class": "controller", "firmware_config": {"k'"$bad"'": 1}, "'"$bad"'": 2}' \
    >"$c/not_utf8_name_$tag.json"
done
printf '{"device_class": "controller"}\xff' >"$c/not_utf8_outside.json"
printf '{"device_class": "controller", "model_number": "\xc4\x62"}' >"$c/latin1_text.json"
# Byte order marks and line ends.
printf '\xef\xbb\xbf' >"$c/bom_only.json"
printf '\xef\xbb\xbf  \r\n' >"$c/bom_blank.json"
printf '\xef\xbb\xbf\xef\xbb\xbf{}' >"$c/bom_twice.json"
printf '\xff\xfe{\0}\0' >"$c/utf16_bom.json"
printf '{\r"device_class": "controller"\r}\r' >"$c/cr_only.json"
printf '{"device_class": \xef\xbb\xbf"controller"}' >"$c/bom_inside.json"
# Long strings and arrays.
{ printf '{"device_class": "controller", "device_serial_number": "'; head -c 4000000 /dev/zero | tr '\0' 'S'; printf '"}'; } \
  >"$c/long_string.json"
{ printf '{"device_class": "controller", "'; head -c 1000000 /dev/zero | tr '\0' 'k'; printf '": 1}'; } >"$c/long_name.json"
{ printf '{"device_class": "controller", "firmware_config": {"a": [0'; head -c 1000000 /dev/zero | tr '\0' '\n' | sed 's/^/,1.5/' | tr -d '\n'; printf ']}}'; } \
  >"$c/long_array.json"
{ printf '{"device_class": "hmd", "device": {"eye_target_width_in_pixels": 1, "eye_target_height_in_pixels": 1, "num_windows": 1}, "display_edid": ["'
  head -c 200000 /dev/zero | tr '\0' '\n' | sed 's/$/","/' | tr -d '\n'; printf '"]}'; } >"$c/long_edid_list.json"
{ printf '{"device_class": "controller", "skybeacon_config": {"modelPoints": ['
  head -c 100000 /dev/zero | tr '\0' '\n' | sed 's/^/[0.1, 0.2, 0.3],/' | tr -d '\n'; printf '[0, 0, 0]], "channelMap": [0]}}'; } \
  >"$c/long_point_list.json"
# Empty and blank.
: >"$c/empty.json"
printf ' ' >"$c/one_blank.json"
printf '\n\n\t \r\n' >"$c/blank_lines.json"
head -c 1000000 /dev/zero | tr '\0' ' ' >"$c/many_blanks.json"

for file in "$c"/*.json; do
  check_document "$file" "$(basename "$file")"
done

# A byte order mark and CR LF line ends read like the plain document.
begin_case "byte order mark and CR LF read like the plain document"
run_bounded /InputFile "$example" /OutputFile out.json
expect_exit 0
cp out.json "$TEST_DIR/plain.json"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$example"; } >"$c/bom_crlf.json"
run_bounded /InputFile "$c/bom_crlf.json" /OutputFile out.json
expect_exit 0
cmp -s out.json "$TEST_DIR/plain.json" || fail "the output differs from the plain document's"

# --- Paths that are no readable document, through every option.
mkdir "$c/directory"
printf '{}' >"$c/file.json"
paths=("$c/directory" "$c/directory/" / "$c/missing.json" "$c/file.json/" "$c/file.json/x" ""
       "$c/$(head -c 5000 /dev/zero | tr '\0' 'n').json" /dev/null)
# A file that cannot be read: without the permission, or (for root, who
# reads anything) one whose reads fail.
if [ "$(id -u)" != 0 ]; then
  printf '{}' >"$c/unreadable.json"
  chmod 000 "$c/unreadable.json"
  paths+=("$c/unreadable.json")
else
  paths+=(/proc/self/mem)
fi
for path in "${paths[@]}"; do
  for option in /InputFile /InputVerificationFile /SerialFile /FirmwareConfigOverlay "${IMPORTS[@]}"; do
    begin_case "$option '${path:0:80}'"
    run_bounded "$option" "$path" /OutputFile out.json
    check_run
    [ "$EXIT_CODE" = 1 ] || [ "$path" = /dev/null ] || fail "a path that is no document was accepted"
  done
done
# Through a pipe, as a shell's process substitution gives it: read like a file.
begin_case "a pipe as the input file"
printf '{"device_class": "controller"}' >"$c/pipe_source.json"
run_bounded /InputFile <(cat "$c/pipe_source.json") /OutputFile out.json
check_run
expect_exit 0

echo "bad_input_test: $RUNS runs"
finish
