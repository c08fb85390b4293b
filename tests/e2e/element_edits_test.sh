#!/usr/bin/env bash
# Command-line edits of firmware_config and mfg_build_info and the direct-mode
# EDID ids: their fixed order, the values they store, the lines they print
# (and which of them quiet mode keeps), and the orderly stops.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXAMPLES=$SB_SOURCE_DIR/examples
# in.json: a controller whose firmware_config holds haptics_strength 0.5 and
# trigger_deadzone 0.0625, and whose mfg_build_info holds line C2.
cp "$EXAMPLES/controller.json" in.json
cp "$EXAMPLES/hmd_latest.json" hmd.json
QUIET=(/PrintMfgBuildInfo no_such_key)

# A controller document with the given firmware_config (and other members).
controller() {
  printf '{"device_class": "controller", "revision": 1, %s}' "$2" >"$1"
}

# The firmware_config (or another top-level member) of the document written
# to out.json, as the tool lays it out.
block_of() {
  sed -n "/^   \"$1\" : /,/^   []}]/p" "${2:-out.json}"
}

expect_block() {
  local have
  have=$(block_of "$1")
  [ "$have" = "$2" ] || fail "$1 block is:
$have
expected:
$2"
}

no_output_file() {
  [ ! -e out.json ] || fail "out.json was written"
}

begin_case "a set of each type, with its progress line"
run_tool /InputFile in.json /FirmwareConfigSetElement s string " a b " /FirmwareConfigSetElement i int 12abc \
  /FirmwareConfigSetElement h int 0x10 /FirmwareConfigSetElement f float 0.1 /FirmwareConfigSetElement d double 0.1 \
  /FirmwareConfigSetElement tiny double 1e-50 /OutputFile out.json
expect_exit 0
expect_stdout_equals $'FirmwareConfigSet: s\nFirmwareConfigSet: i\nFirmwareConfigSet: h\nFirmwareConfigSet: f\nFirmwareConfigSet: d\nFirmwareConfigSet: tiny\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "d" : 0.10000000000000001,
      "f" : 0.10000000149011612,
      "h" : 0,
      "haptics_strength" : 0.5,
      "i" : 12,
      "s" : " a b ",
      "tiny" : 1e-50,
      "trigger_deadzone" : 0.0625
   },'

begin_case "a value that does not convert stops the run, nothing written"
for args in "int abc|Error converting string 'abc' to int" \
  "float 1e-50|Error converting string '1e-50' to float" \
  "double x1|Error converting string 'x1' to double" \
  "String v|Error: unknown type for json element: String (known values: string/float/double/int)"; do
  rm -f out.json
  run_tool /InputFile in.json /FirmwareConfigSetElement ok int 1 /FirmwareConfigSetElement k ${args%%|*} \
    /OutputFile out.json /OutputStdout
  expect_exit 1
  expect_stdout_equals "FirmwareConfigSet: ok
${args#*|}
"
  no_output_file
done

begin_case "mfg_build_info sets share the conversions"
run_tool /InputFile in.json /SetMfgBuildInfo line string A7 /SetMfgBuildInfo shift int 2 /OutputFile out.json
expect_exit 0
expect_stdout_equals $'SetMfgBuildInfo: line\nSetMfgBuildInfo: shift\nWrote \'out.json\'\n'
expect_block mfg_build_info '   "mfg_build_info" : {
      "line" : "A7",
      "shift" : 2,
      "station" : "pair-01"
   },'
rm -f out.json
run_tool /InputFile in.json /SetMfgBuildInfo shift int two /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Error converting string \'two\' to int\n'
no_output_file

begin_case "mfg_build_info set on a document without one"
controller bare.json '"device_serial_number": "C1"'
run_tool /InputFile bare.json /SetMfgBuildInfo line string A7 /OutputFile out.json
expect_exit 0
expect_block mfg_build_info '   "mfg_build_info" : {
      "line" : "A7"
   },'

begin_case "prints come before sets and show the old value; a missing key prints null and stays"
run_tool /InputFile in.json /FirmwareConfigSetElement haptics_strength double 0.25 \
  /FirmwareConfigPrintElement haptics_strength /FirmwareConfigPrintElement nokey /OutputFile out.json
expect_exit 0
expect_stdout_equals $'firmware_config.haptics_strength : 0.5\nfirmware_config.nokey : null\nFirmwareConfigSet: haptics_strength\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "haptics_strength" : 0.25,
      "nokey" : null,
      "trigger_deadzone" : 0.0625
   },'

begin_case "a print of a nested object, and of a key with a dot, in quiet mode"
controller nested.json '"firmware_config": {"a.b": "dotted", "a": {"b": [1, 2]}}'
run_tool /InputFile nested.json /FirmwareConfigPrintElement a /FirmwareConfigPrintElement a.b "${QUIET[@]}"
expect_exit 0
expect_stdout_equals $'firmware_config.a : {\n   "b" : [ 1, 2 ]\n}\nfirmware_config.a.b : "dotted"\n'

begin_case "a print on a document without firmware_config creates it"
run_tool /InputFile bare.json /FirmwareConfigPrintElement k /OutputFile out.json
expect_exit 0
expect_stdout_equals $'firmware_config.k : null\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "k" : null
   },'

begin_case "deletes in order: whole members, dotted keys, missing keys skipped"
run_tool /InputFile nested.json /FirmwareConfigDeleteElement a.b /FirmwareConfigDeleteElement missing \
  /FirmwareConfigDeleteElement a.b /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Deleted firmware_config.a.b\nSkipping deletion for firmware_config.missing (key not present)\nSkipping deletion for firmware_config.a.b (key not present)\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "a" : {
         "b" : [ 1, 2 ]
      }
   },'

begin_case "deleting every member drops firmware_config from the document"
run_tool /InputFile in.json /FirmwareConfigDeleteElement trigger_deadzone \
  /FirmwareConfigDeleteElement haptics_strength /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Deleted firmware_config.trigger_deadzone\nDeleted firmware_config.haptics_strength\nWrote \'out.json\'\n'
! grep -q firmware_config out.json || fail "firmware_config is still written"

begin_case "an empty firmware_config read from the input is dropped"
for empty in '{}' '[]'; do
  controller empty_fc.json "\"firmware_config\": $empty"
  run_tool /InputFile empty_fc.json /OutputStdout
  expect_exit 0
  expect_stdout_lacks firmware_config
done

begin_case "delete-all, quiet or not"
run_tool /InputFile in.json /FirmwareConfigDeleteAll /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Deleted firmware_config entries\nWrote \'out.json\'\n'
! grep -q firmware_config out.json || fail "firmware_config is still written"
run_tool /InputFile in.json /FirmwareConfigDeleteAll /OutputStdout "${QUIET[@]}"
expect_exit 0
expect_stdout_lacks "Deleted"
expect_stdout_lacks firmware_config

controller over1.json '"firmware_config": {"n": {"a": 1, "b": 1}, "list": [1, 2], "x": "one"}'
controller over2.json '"firmware_config": {"n": {"b": 2, "c": 2}, "list": [3]}'
controller over_none.json '"device_serial_number": "O"'

begin_case "overlays in command-line order: objects merged, the later wins, arrays replaced"
run_tool /InputFile in.json /FirmwareConfigOverlay over1.json /FirmwareConfigOverlay over2.json /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Merging firmware_config from: over1.json\nMerging firmware_config from: over2.json\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "haptics_strength" : 0.5,
      "list" : [ 3 ],
      "n" : {
         "a" : 1,
         "b" : 2,
         "c" : 2
      },
      "trigger_deadzone" : 0.0625,
      "x" : "one"
   },'

begin_case "only firmware_config is taken from an overlay"
! grep -q '"device_serial_number" : "O"' out.json || fail "the overlay's serial number was taken"
grep -q '"device_serial_number" : "SBC-2417-0107"' out.json || fail "the serial number changed"

begin_case "delete-all runs first, then the overlays rebuild the block"
run_tool /FirmwareConfigOverlay over2.json /InputFile in.json /FirmwareConfigDeleteAll /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Deleted firmware_config entries\nMerging firmware_config from: over2.json\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "list" : [ 3 ],
      "n" : {
         "b" : 2,
         "c" : 2
      }
   },'

begin_case "an overlay without firmware_config changes nothing but says so"
run_tool /InputFile in.json /FirmwareConfigOverlay over_none.json /OutputStdout
expect_exit 0
{ printf 'Merging firmware_config from: over_none.json\n'; sed 's/"revision" : 3,/"revision" : 4,/' in.json; echo; } \
  >over_none_out.txt
expect_stdout_file over_none_out.txt

begin_case "an overlay that does not load stops the run after the earlier ones"
rm -f out.json
run_tool /InputFile in.json /FirmwareConfigOverlay over1.json /FirmwareConfigOverlay missing.json /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Merging firmware_config from: over1.json\nError reading \'missing.json\': Error: file is empty or does not exist\n'
no_output_file

begin_case "an overlay whose firmware_config is not an object stops the run"
controller over_array.json '"firmware_config": [{"x": 1}]'
run_tool /InputFile in.json /FirmwareConfigOverlay over_array.json /OutputFile out.json
expect_exit 1
expect_stdout_equals $'Error reading \'over_array.json\': Error: member "firmware_config" must be an object, not an array\n'
no_output_file

begin_case "the edits run in their fixed order whatever the command line says"
run_tool /InputFile in.json /FirmwareConfigSetElement k int 5 /FirmwareConfigPrintElement k \
  /FirmwareConfigDeleteElement haptics_strength /FirmwareConfigOverlay over_none.json /FirmwareConfigDeleteAll \
  /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Deleted firmware_config entries\nMerging firmware_config from: over_none.json\nSkipping deletion for firmware_config.haptics_strength (key not present)\nfirmware_config.k : null\nFirmwareConfigSet: k\nWrote \'out.json\'\n'
expect_block firmware_config '   "firmware_config" : {
      "k" : 5
   },'

begin_case "quiet mode keeps only the element prints and the cleared line"
run_tool /InputFile hmd.json /FirmwareConfigDeleteAll /FirmwareConfigOverlay over1.json /FirmwareConfigDeleteElement x \
  /FirmwareConfigDeleteElement gone /FirmwareConfigPrintElement list /FirmwareConfigSetElement k int 1 \
  /SetMfgBuildInfo line string A8 /ClearDirectModeVidPid /SetDirectModeVidPid ABC 2000 /OutputFile out.json \
  "${QUIET[@]}"
expect_exit 0
expect_stdout_equals $'firmware_config.list : [ 1, 2 ]\nCleared edid vid/pid\n'
grep -q '"line" : "A8"' out.json || fail "the mfg_build_info set is missing"

for kind in '[1, 2]|an array' '7|a number' '"text"|a string'; do
  controller wrong.json "\"firmware_config\": ${kind%%|*}, \"mfg_build_info\": ${kind%%|*}"
  for edit in "/FirmwareConfigSetElement k int 1" "/FirmwareConfigDeleteElement k" "/FirmwareConfigPrintElement k" \
    "/FirmwareConfigOverlay over1.json"; do
    begin_case "firmware_config holding ${kind#*|}: $edit stops, nothing written"
    rm -f out.json
    run_tool /InputFile wrong.json $edit /OutputFile out.json /OutputStdout
    expect_exit 1
    expect_stdout_contains "Error: firmware_config is ${kind#*|}, not an object"
    expect_stdout_lacks '"revision"'
    expect_stderr_empty
    no_output_file
  done
  begin_case "mfg_build_info holding ${kind#*|}: a set stops, nothing written"
  run_tool /InputFile wrong.json /SetMfgBuildInfo line string A7 /OutputFile out.json
  expect_exit 1
  expect_stdout_equals "Error: mfg_build_info is ${kind#*|}, not an object
"
  no_output_file
done

begin_case "a firmware_config of another kind passes untouched when no edit looks into it"
controller wrong.json '"firmware_config": [1, 2]'
run_tool /InputFile wrong.json /OutputFile out.json
expect_exit 0
grep -q '"firmware_config" : \[ 1, 2 \],' out.json || fail "firmware_config changed"
run_tool /InputFile wrong.json /FirmwareConfigDeleteAll /FirmwareConfigSetElement k int 1 /OutputFile out.json
expect_exit 0
expect_block firmware_config '   "firmware_config" : {
      "k" : 1
   },'

begin_case "direct-mode ids: the stored values printed and written as texts"
run_tool /InputFile hmd.json /SetDirectModeVidPid ABC 2000 /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Set edid vid to: ABC (17156)\nSet edid pid to: 2000 (8192)\nWrote \'out.json\'\n'
grep -q '"direct_mode_edid_pid" : "2000",' out.json || fail "pid not written"
grep -q '"direct_mode_edid_vid" : "ABC",' out.json || fail "vid not written"
run_tool /InputFile hmd.json /SetDirectModeVidPid xyz 1A2b /OutputStdout
expect_exit 0
expect_stdout_contains $'Set edid vid to: xyz (14947)\nSet edid pid to: 1A2b (6699)\n'
expect_stdout_contains '"direct_mode_edid_pid" : "1A2B",'
expect_stdout_contains '"direct_mode_edid_vid" : "XYZ",'

begin_case "direct-mode ids of the wrong length store 0 and are left out"
run_tool /InputFile hmd.json /SetDirectModeVidPid AB 12345 /OutputStdout
expect_exit 0
expect_stdout_contains $'Set edid vid to: AB (0)\nSet edid pid to: 12345 (0)\n'
expect_stdout_lacks direct_mode_edid

begin_case "a pid without a hexadecimal digit or below zero stops the run, ids untouched"
for pid in zz '' '-' -1; do
  rm -f out.json
  run_tool /InputFile hmd.json /SetDirectModeVidPid ABC "$pid" /OutputFile out.json
  expect_exit 1
  expect_stdout_equals "Error: invalid direct mode pid '$pid'
"
  no_output_file
done

begin_case "clear alone drops both ids; clear with set ends with the set ids"
run_tool /InputFile hmd.json /ClearDirectModeVidPid /OutputStdout
expect_exit 0
expect_stdout_contains $'Cleared edid vid/pid\n{'
expect_stdout_lacks direct_mode_edid
run_tool /InputFile hmd.json /SetDirectModeVidPid ABC 2000 /ClearDirectModeVidPid /OutputStdout
expect_exit 0
expect_stdout_contains $'Cleared edid vid/pid\nSet edid vid to: ABC (17156)\nSet edid pid to: 2000 (8192)\n{'
expect_stdout_contains '"direct_mode_edid_vid" : "ABC",'

begin_case "the demo command of the README"
run_tool /InputFile "$EXAMPLES/hmd_latest.json" /FirmwareConfigSetElement demo_setting int 1 /OutputStdout
expect_exit 0
expect_stdout_contains $'FirmwareConfigSet: demo_setting\n{'
expect_stdout_contains '"demo_setting" : 1,'

finish
