#!/usr/bin/env bash
# End-of-run prints through the real binary: their order after every
# output, their conditions, and the values of the final configuration.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

cp "$SB_SOURCE_DIR/examples/hmd_full.json" full.json
cat >bare.json <<'EOF'
{"device_class": "controller", "device_serial_number": "SBC-0001"}
EOF
cat >info.json <<'EOF'
{"device_class": "controller", "device_serial_number": "SBC-0002", "model_number": "PO Wand",
 "mfg_build_info": {"lot": 11, "ratio": 0.5, "ok": false, "none": null, "list": [1, 2],
                    "a.b": "dotted", "a": {"b": "nested"}, "text": "B3"}}
EOF
cat >serial.json <<'EOF'
{"device_class": "controller", "device_serial_number": "SBC-FROM-FILE"}
EOF
cat >sensor.json <<'EOF'
{"device_class": "controller", "skybeacon_config": {"channelMap": [1, 0],
 "modelPoints": [[0.5, 0, 1], [0, -0.25, 2]], "modelNormals": [[0, 0, 1], [0, 0, 1]]}}
EOF
echo '{"device_class": "controller", "mfg_build_info": "A7"}' >text_info.json
echo '{"device_class": "controller", "mfg_build_info": ["line"]}' >array_info.json
echo '{"device_class": "controller", "skybeacon_config": {"modelPoints": [], "modelNormals": []}}' >empty_sensor.json

begin_case "/PrintSerial without input prints the empty serial"
run_tool /PrintSerial
expect_exit 0
expect_stdout_equals $'serial: \n'
expect_stderr_empty

begin_case "all four prints, in their order whatever the command line's"
run_tool /PrintMfgBuildInfo line /PrintModelNumber /PrintComputedSerial /PrintSerial /InputFile full.json
expect_exit 0
expect_stdout_equals $'serial: SBH-2431-0007\ncomputedserial: 5e233318f495aeab8efb5f480376fad1\nmodelnumber: PO Vista Pro\nmfgbuildinfo: B3\n'

begin_case "facts the document lacks print nothing and are no error"
run_tool /InputFile bare.json /PrintModelNumber /PrintComputedSerial /PrintMfgBuildInfo line
expect_exit 0
expect_stdout_equals ''

begin_case "a sensor model without a channel map has no computed serial"
run_tool /InputFile empty_sensor.json /PrintComputedSerial
expect_exit 0
expect_stdout_equals ''

begin_case "mfg_build_info values as text; the key is one member name"
for pair in 'lot|mfgbuildinfo: 11' 'ratio|mfgbuildinfo: 0.5' 'ok|mfgbuildinfo: false' 'text|mfgbuildinfo: B3' \
  'a.b|mfgbuildinfo: dotted' 'list|mfgbuildinfo: ' 'none|' 'missing|' 'b|'; do
  key=${pair%%|*}
  want=${pair#*|}
  run_tool /InputFile info.json /PrintMfgBuildInfo "$key"
  expect_exit 0
  if [ -n "$want" ]; then expect_stdout_equals "$want"$'\n'; else expect_stdout_equals ''; fi
done

begin_case "mfg_build_info that is not an object prints nothing, in good order"
for doc in text_info.json array_info.json; do
  run_tool /InputFile "$doc" /PrintMfgBuildInfo line
  expect_exit 0
  expect_stdout_equals ''
  expect_stderr_empty
done

begin_case "the lookup adds nothing to what the run writes"
run_tool /InputFile info.json /PrintMfgBuildInfo missing /OutputStdout
expect_exit 0
expect_stdout_lacks '"missing"'

begin_case "the document is printed first, then the serial and model lines"
run_tool /InputFile info.json /PrintModelNumber /PrintSerial /OutputStdout
expect_exit 0
tail -n 2 "$OUT" >tail.txt
printf 'serial: SBC-0002\nmodelnumber: PO Wand\n' >tail_expected.txt
cmp -s tail.txt tail_expected.txt || fail "the last two lines are $(cat tail.txt)"
head -n 1 "$OUT" | grep -qx '{' || fail "the document does not come first"

begin_case "file, document, serial: the Wrote line left out, the serial line last"
run_tool /OutputFile out.json /OutputStdout /PrintSerial
expect_exit 0
# The data file is the document as standard output shows it, with its
# extra line end; the file holds the document alone.
{ cat "$DATA_DIR/default_document.txt"; echo 'serial: '; } >expected.txt
expect_stdout_file expected.txt
head -c -1 "$DATA_DIR/default_document.txt" >document.txt
cmp -s out.json document.txt || fail "out.json is not the default document"
expect_stdout_lacks "Wrote"

begin_case "the serial line shows a serial taken from another file"
run_tool /InputFile bare.json /SerialFile serial.json /PrintSerial
expect_exit 0
expect_stdout_equals $'Serial: SBC-FROM-FILE\nserial: SBC-FROM-FILE\n'

begin_case "the computed serial is the imported sensor model's"
run_tool /InputFile full.json /SensorCal sensor.json /PrintComputedSerial
expect_exit 0
expect_stdout_equals $'computedserial: bcdcd4c73a12f44bbc3974ab7aa06736\n'

begin_case "a value just set is the value printed"
run_tool /InputFile info.json /SetMfgBuildInfo lot string B9 /PrintMfgBuildInfo lot
expect_exit 0
expect_stdout_equals $'mfgbuildinfo: B9\n'

begin_case "a run that fails prints no fact"
run_tool /InputFile missing.json /PrintSerial /PrintModelNumber
expect_exit 1
expect_stdout_equals $'Error reading \'missing.json\': Error: file is empty or does not exist\n'
run_tool /InputFile full.json /SanityCheckLensCal /LensCentering bare.json /PrintSerial
expect_exit 1
expect_stdout_equals $'ERROR: Eye 0 appears to not be calibrated!\nERROR: Eye 1 appears to not be calibrated!\n'

finish
