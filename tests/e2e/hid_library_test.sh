#!/usr/bin/env bash
# The HID library is loaded when a run first asks for a headset, not at
# startup: a run on files works even where the library cannot be loaded,
# and a run that needs a headset then finds none.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

NOT_FOUND=$'Could not find connected skybeacon device. Make sure device is connected and ready\n'
# A file of the library's name that is no library, first on the search path.
BROKEN=$TEST_DIR/broken-lib
mkdir -p "$BROKEN"
: >"$BROKEN/libhidapi-hidraw.so.0"
DOC=$SB_SOURCE_DIR/examples/hmd_latest.json

begin_case "a run on files never loads the HID library"
run_tool /InputFile "$DOC" /OutputStdout
expect_exit 0
cp "$OUT" "$TEST_DIR/want"
LD_LIBRARY_PATH=$BROKEN run_tool /InputFile "$DOC" /OutputStdout
expect_exit 0
expect_stdout_file "$TEST_DIR/want"
LD_LIBRARY_PATH=$BROKEN run_tool /InputFile "$DOC" /OutputFile out.json
expect_exit 0
expect_stdout_equals "Wrote 'out.json'"$'\n'
[ -s out.json ] || fail "no out.json"

begin_case "without a loadable HID library a run that needs a headset finds none"
LD_LIBRARY_PATH=$BROKEN run_tool /InputSentinel /OutputStdout
expect_exit 1
expect_stdout_equals "$NOT_FOUND"
LD_LIBRARY_PATH=$BROKEN run_tool /InputFile "$DOC" /OutputSentinel
expect_exit 1
expect_stdout_equals "$NOT_FOUND"
LD_LIBRARY_PATH=$BROKEN run_tool /PrintSentinelSerial
expect_exit 1
expect_stdout_equals ""

finish
