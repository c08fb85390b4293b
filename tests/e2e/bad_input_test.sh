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
# The imports one run can take together (/LensIntrinsics excludes the
# one-eye forms and /LensCentering, /LensEyeToHead its one-eye forms).
IMPORTS=(/SensorCal /IpdCal /ImuCal /CameraCal /LensCal /LensIntrinsicsLeft /LensIntrinsicsRight
         /LensCentering /LensEyeToHead)
RUNS=0

printf '%s\n' "$BEFORE" >"$TEST_DIR/before"
mkdir "$TEST_DIR/written"

# Like run_tool, but a run that outlives the limit is killed and reported.
run_bounded() {
  RUNS=$((RUNS + 1))
  E2E_RUNS=$RUNS
  cp "$TEST_DIR/before" out.json
  TMPDIR="$TEST_DIR/tmp" timeout -k 5 "$LIMIT" "$TOOL" "$@" >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
}

# Every document written must load again. They are kept and loaded in
# batches, as overlays (which load the whole document like /InputFile), so
# that a few thousand checks cost a few dozen runs.
declare -A WRITTEN_CASE=() WRITTEN_UNCHECKED=()
PENDING=()
WRITTEN=0
keep_written() {
  WRITTEN=$((WRITTEN + 1))
  local kept=$TEST_DIR/written/$WRITTEN.json
  mv out.json "$kept"
  WRITTEN_CASE[$kept]=$E2E_CASE
  # A verification file skips the display-section check of an input file,
  # and a run without an input writes the defaults, which lack that section
  # too: such an HMD document is written as it came, and only the check for
  # it may fail when it is read back.
  [ "${1:-}" = unchecked ] && WRITTEN_UNCHECKED[$kept]=1
  PENDING+=("$kept")
  [ ${#PENDING[@]} -lt 100 ] || load_written
}

load_written() {
  local args=() path rest kept
  while [ ${#PENDING[@]} -gt 0 ]; do
    args=()
    for path in "${PENDING[@]}"; do args+=(/FirmwareConfigOverlay "$path"); done
    # /PrintSerial keeps the progress lines out, so that the error stands alone.
    if TMPDIR="$TEST_DIR/tmp" timeout -k 5 "$LIMIT" "$TOOL" "${args[@]}" /PrintSerial \
      >"$TEST_DIR/.reload" 2>&1 </dev/null; then
      rm -f "${PENDING[@]}"
      PENDING=()
      return
    fi
    path=$(sed -n "s/^Error reading '\(.*\)': Error: .*/\1/p" "$TEST_DIR/.reload" | head -1)
    [ -n "$path" ] && [ -n "${WRITTEN_CASE[$path]:-}" ] ||
      fail_lost "written documents do not load again: $(head -c 600 "$TEST_DIR/.reload")"
    # An overlay also refuses a firmware_config that is not an object; the
    # document itself is checked as an input file.
    if ! TMPDIR="$TEST_DIR/tmp" timeout -k 5 "$LIMIT" "$TOOL" /InputFile "$path" /PrintSerial \
      >"$TEST_DIR/.reload" 2>&1 </dev/null; then
      if [ -z "${WRITTEN_UNCHECKED[$path]:-}" ] || ! grep -qF 'missing values from "device" section' "$TEST_DIR/.reload"; then
        E2E_CASE=${WRITTEN_CASE[$path]}
        EXIT_CODE=
        fail_lost "the written out.json does not load again: $(head -c 600 "$TEST_DIR/.reload")"
      fi
    fi
    rest=()
    for kept in "${PENDING[@]}"; do [ "$kept" = "$path" ] || rest+=("$kept"); done
    PENDING=("${rest[@]}")
    rm -f "$path"
  done
}

# The invariants of every run made with /OutputFile out.json; "unchecked"
# for a run whose document skipped the display-section check (above).
check_run() {
  case "$EXIT_CODE" in
    0)
      ! cmp -s out.json "$TEST_DIR/before" || fail_lost "exit 0 but out.json was not written"
      ;;
    1)
      [ -s "$OUT" ] || fail "exit 1 without a message"
      cmp -s out.json "$TEST_DIR/before" || fail_lost "exit 1 but out.json was changed"
      ;;
    124 | 137) fail "no end within ${LIMIT}s (a hang)" ;;
    *) fail "exit code $EXIT_CODE (a crash)" ;;
  esac
  expect_stderr_empty
  local left
  left=$(ls -A | grep -v -x -e out.json)
  [ -z "$left" ] || fail "left behind: $left"
  if [ "$EXIT_CODE" = 0 ]; then keep_written "${1:-}"; fi
}

# One document as the base document with the serial number, the overlay
# and the imports taken from it too: they all load the same file, so one run
# reaches them all when it loads. The prints then read the result.
run_all_readers() {
  local file=$1 imports=()
  for option in "${IMPORTS[@]}"; do imports+=("$option" "$file"); done
  begin_case "$2 through /InputFile, /SerialFile, the overlay, the imports and the prints"
  run_bounded /InputFile "$file" /SerialFile "$file" /FirmwareConfigOverlay "$file" "${imports[@]}" \
    /PrintSerial /PrintComputedSerial /PrintModelNumber /PrintMfgBuildInfo line /OutputFile out.json
  check_run
}

# One document through every reader, then as a verification file, directly
# and wrapped in "device_json".
check_document() {
  local file=$1 name=$2
  run_all_readers "$file" "$name"
  begin_case "$name as a verification file"
  run_bounded /InputVerificationFile "$file" /OutputFile out.json
  check_run unchecked
  begin_case "$name as the device_json of a verification file"
  { printf '{"device_json": '; cat "$file"; printf '}'; } >"$TEST_DIR/wrapped.json"
  run_bounded /InputVerificationFile "$TEST_DIR/wrapped.json" /OutputFile out.json
  check_run unchecked
}

# --- Every wrong kind for every member, extreme numbers for every number.
count=$("$GEN" "$CASES" "$SB_SOURCE_DIR"/examples/*.json) || fail "the generator failed"
[ "$count" -gt 1000 ] || fail "only $count generated documents"
for file in "$CASES"/*~*.json; do
  name=$(basename "$file" .json)
  run_all_readers "$file" "$name"
  # A verification file differs from an input file in its wrapping and in
  # skipping the display-section check: the members of "device" (and the
  # verification example's own) are tried that way too.
  member=${name#*~}
  if [ "${name%%~*}" = verification ]; then
    begin_case "$name as a verification file"
    run_bounded /InputVerificationFile "$file" /OutputFile out.json
    check_run unchecked
  elif [ "${member#device}" != "$member" ]; then
    begin_case "$name as the device_json of a verification file"
    { printf '{"device_json": '; cat "$file"; printf '}'; } >"$TEST_DIR/wrapped.json"
    run_bounded /InputVerificationFile "$TEST_DIR/wrapped.json" /OutputFile out.json
    check_run unchecked
  fi
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
printf '{"device_class": "controller", "revision": 1e400}' >"$c/number_overflow.json"
printf '{"device_class": "controller", "revision": 123456789012345678901234567890123456789012345678901234567890}' \
  >"$c/number_long.json"
printf '{"device_class": "controller", "revision": -12345678901234567890123}' >"$c/number_long_negative.json"
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
  for option in /InputFile /InputVerificationFile /SerialFile /FirmwareConfigOverlay "${IMPORTS[@]}" \
    /LensIntrinsics /LensEyeToHeadLeft /LensEyeToHeadRight; do
    begin_case "$option '${path:0:80}'"
    run_bounded "$option" "$path" /OutputFile out.json
    if [ -z "$path" ]; then
      check_run unchecked  # an empty file name is no file name: the run takes the defaults
    else
      check_run
      expect_exit 1
    fi
  done
done
# Through a pipe, as a shell's process substitution gives it: read like a file.
begin_case "a pipe as the input file"
printf '{"device_class": "controller"}' >"$c/pipe_source.json"
run_bounded /InputFile <(cat "$c/pipe_source.json") /OutputFile out.json
check_run
expect_exit 0

load_written
echo "bad_input_test: $RUNS runs, $WRITTEN written documents loaded again"
finish
