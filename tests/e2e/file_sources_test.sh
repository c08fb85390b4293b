#!/usr/bin/env bash
# Where the base document and the serial number come from: configuration
# files, calibration verification files, or the defaults; each source's
# messages and exit codes, and the form the document is written in.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXAMPLES=$SB_SOURCE_DIR/examples
cp "$EXAMPLES/controller.json" "$EXAMPLES/hmd_legacy.json" "$EXAMPLES/verification.json" .
# What /OutputStdout prints for the controller example: the same document
# with its revision raised from 3 to 4, and one more line end.
{ sed 's/"revision" : 3,/"revision" : 4,/' controller.json; echo; } >controller_out.txt
# Quiet mode without a print of its own: the key does not exist.
QUIET=(/PrintMfgBuildInfo no_such_key)

begin_case "no input: the default document at the latest form, revision 1"
run_tool /OutputStdout
expect_exit 0
expect_stdout_file "$DATA_DIR/default_document.txt"
expect_stderr_empty

begin_case "no input and /NoReformat: the defaults are already the latest form"
run_tool /OutputStdout /NoReformat
expect_exit 0
expect_stdout_file "$DATA_DIR/default_document.txt"

begin_case "input file: loaded silently, written back with the revision raised"
run_tool /InputFile controller.json /OutputStdout
expect_exit 0
expect_stdout_file controller_out.txt
expect_stderr_empty

begin_case "input file given twice: only the second is loaded"
run_tool /InputFile missing.json /InputFile controller.json /OutputStdout
expect_exit 0
expect_stdout_file controller_out.txt

begin_case "input file missing"
run_tool /InputFile missing.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'missing.json\': Error: file is empty or does not exist\n'

begin_case "input file empty"
: >empty.json
run_tool /InputFile empty.json
expect_exit 1
expect_stdout_equals $'Error reading \'empty.json\': Error: file is empty or does not exist\n'

begin_case "input file that is not JSON: the reader's messages"
printf '{"device_class": }' >broken.json
run_tool /InputFile broken.json /OutputStdout
expect_exit 1
expect_stdout_contains "Error reading 'broken.json': Error: * Line 1, Column 18"
expect_stdout_lacks '"revision"'

begin_case "input file whose root is an array"
printf '[{"device_class": "controller"}]' >array.json
run_tool /InputFile array.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'array.json\': Error: the document is an array, not a JSON object\n'

begin_case "input file with a section of the wrong kind names the member"
printf '{"device_class": "controller", "imu": [1, 2, 3]}' >imu.json
run_tool /InputFile imu.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'imu.json\': Error: member "imu" must be an object, not an array\n'

begin_case "input file of an HMD without its display section"
printf '{"device_class": "hmd", "device_serial_number": "H1"}' >hmd_bare.json
run_tool /InputFile hmd_bare.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'hmd_bare.json\': Error: missing values from "device" section\n'

begin_case "the input file wins over the verification file, which is not read"
run_tool /InputFile controller.json /InputVerificationFile missing.json /OutputStdout
expect_exit 0
expect_stdout_file controller_out.txt

begin_case "verification file: the document in device_json"
run_tool /InputVerificationFile verification.json /OutputStdout
expect_exit 0
expect_stdout_contains '"device_serial_number" : "SBH-2417-0043",'
expect_stdout_contains '"revision" : 3'
expect_stdout_lacks '"checks"'
expect_stdout_lacks '"device_json"'
expect_stderr_empty

begin_case "verification file: comments allowed, no display-section check"
printf '// from the station\n{"device_json": {"device_class": "hmd", "revision": 9} /* ok */}' >v_hmd.json
run_tool /InputVerificationFile v_hmd.json /OutputStdout
expect_exit 0
expect_stdout_contains '"device_class" : "hmd",'
expect_stdout_contains '"revision" : 10'

begin_case "verification file empty or missing"
run_tool /InputVerificationFile empty.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Please confirm input file empty.json exists.\n'
run_tool /InputVerificationFile missing.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Please confirm input file missing.json exists.\n'

begin_case "verification file that is not JSON"
printf '{' >v_broken.json
run_tool /InputVerificationFile v_broken.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error parsing json * Line 1, Column 2\n  Missing \'}\' or object member name\n\n'

begin_case "verification file without device_json, with a null one, or not an object"
for body in '{"result": "pass"}' '{"device_json": null}' '[{"device_json": {}}]' '"device_json"'; do
  printf '%s' "$body" >v_none.json
  run_tool /InputVerificationFile v_none.json /OutputStdout
  expect_exit 1
  expect_stdout_equals $'Input file v_none.json does not have \'device_json\' element\n'
done

begin_case "verification file whose device_json is not a document"
printf '{"device_json": "SBH-1"}' >v_text.json
run_tool /InputVerificationFile v_text.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'v_text.json\': Error: the document is a string, not a JSON object\n'
printf '{"device_json": {"device_class": "controller", "ipd": 63}}' >v_ipd.json
run_tool /InputVerificationFile v_ipd.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'v_ipd.json\': Error: member "ipd" must be an object, not a number\n'

begin_case "serial file: the serial is copied and printed before the document"
printf '{"device_class": "controller", "device_serial_number": "SBC-NEW-1", "revision": 40}' >serial.json
run_tool /InputFile controller.json /SerialFile serial.json /OutputStdout
expect_exit 0
{ printf 'Serial: SBC-NEW-1\n'; sed 's/SBC-2417-0107/SBC-NEW-1/' controller_out.txt; } >serial_out.txt
expect_stdout_file serial_out.txt

begin_case "serial file: printed in quiet mode too"
run_tool /SerialFile serial.json "${QUIET[@]}"
expect_exit 0
expect_stdout_equals $'Serial: SBC-NEW-1\n'

begin_case "serial file without a serial number empties it"
printf '{"device_class": "controller"}' >no_serial.json
run_tool /InputFile controller.json /SerialFile no_serial.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Serial: \n'
expect_stdout_lacks '"device_serial_number"'

begin_case "serial file that does not load stops before any output"
run_tool /InputFile controller.json /SerialFile hmd_bare.json /OutputFile out.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'hmd_bare.json\': Error: missing values from "device" section\n'
[ ! -e out.json ] || fail "out.json was written"
run_tool /SerialFile missing.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'missing.json\': Error: file is empty or does not exist\n'

begin_case "the document is rewritten in the latest form unless /NoReformat"
run_tool /InputFile hmd_legacy.json /OutputStdout
expect_exit 0
expect_stdout_contains '"head" : {'
expect_stdout_lacks '"trackref_from_head"'
run_tool /InputFile hmd_legacy.json /OutputStdout /NoReformat
expect_exit 0
expect_stdout_contains '"trackref_from_head" : [ 0, 0, 0, 1, 0, 0.0078125, -0.0546875 ],'
expect_stdout_lacks '"head" : {'

finish
