Edits of firmware_config, mfg_build_info and the direct-mode ids. in.json: the
controller example (firmware_config haptics_strength 0.5, trigger_deadzone 0.0625).

  $ cp $EXAMPLES/controller.json in.json; cp $EXAMPLES/hmd_latest.json hmd.json; Q='/PrintMfgBuildInfo no_such_key'
  $ ctl() { printf '{"device_class": "controller", "revision": 1, %s}' "$2" >"$1"; }

A set of each type, each announced: float rounds to single precision, int
takes the leading number, hexadecimal is not read.

  $ row sbconfigtool /InputFile in.json /FirmwareConfigSetElement s string " a b " /FirmwareConfigSetElement i int 12abc \
  >   /FirmwareConfigSetElement h int 0x10 /FirmwareConfigSetElement f float 0.1 /FirmwareConfigSetElement d double 0.1 \
  >   /FirmwareConfigSetElement tiny double 1e-50 /OutputFile out.json; grep '"[dfhis]"\|tiny' out.json
  FirmwareConfigSet: s|FirmwareConfigSet: i|FirmwareConfigSet: h|FirmwareConfigSet: f|FirmwareConfigSet: d|FirmwareConfigSet: tiny|Wrote 'out.json'|[0]
        "d" : 0.10000000000000001,
        "f" : 0.10000000149011612,
        "h" : 0,
        "i" : 12,
        "s" : " a b ",
        "tiny" : 1e-50,

A value that does not convert, or an unknown type, stops the run after the
earlier sets, nothing written; mfg_build_info sets share the conversions.

  $ rm out.json; for a in 'int abc' 'float 1e-50' 'double x1' 'String v'; do
  >   row sbconfigtool /InputFile in.json /FirmwareConfigSetElement ok int 1 /FirmwareConfigSetElement k $a \
  >     /OutputFile out.json; done; row sbconfigtool /InputFile in.json /SetMfgBuildInfo n int two /OutputFile out.json
  FirmwareConfigSet: ok|Error converting string 'abc' to int|[1]
  FirmwareConfigSet: ok|Error converting string '1e-50' to float|[1]
  FirmwareConfigSet: ok|Error converting string 'x1' to double|[1]
  FirmwareConfigSet: ok|Error: unknown type for json element: String (known values: string/float/double/int)|[1]
  Error converting string 'two' to int|[1]
  $ test ! -e out.json

mfg_build_info sets add to the members there, or create the member.

  $ sbconfigtool /InputFile in.json /SetMfgBuildInfo line string A7 /SetMfgBuildInfo shift int 2 /OutputFile out.json
  SetMfgBuildInfo: line
  SetMfgBuildInfo: shift
  Wrote 'out.json'
  $ ctl bare.json '"device_serial_number": "C1"'; jq -c .mfg_build_info out.json
  {"line":"A7","shift":2,"station":"pair-01"}
  $ sbconfigtool /InputFile bare.json /SetMfgBuildInfo line string A7 $Q /OutputFile out.json; jq -c .mfg_build_info out.json
  {"line":"A7"}

Prints come before sets and show the old value; a missing key prints null and
is added, with firmware_config if need be. Quiet mode keeps the prints.

  $ sbconfigtool /InputFile in.json /FirmwareConfigSetElement haptics_strength double 0.25 \
  >   /FirmwareConfigPrintElement haptics_strength /FirmwareConfigPrintElement nokey /OutputFile out.json
  firmware_config.haptics_strength : 0.5
  firmware_config.nokey : null
  FirmwareConfigSet: haptics_strength
  Wrote 'out.json'
  $ jq -c .firmware_config out.json
  {"haptics_strength":0.25,"nokey":null,"trigger_deadzone":0.0625}
  $ sbconfigtool /InputFile bare.json /FirmwareConfigPrintElement k /OutputFile out.json $Q; jq -c .firmware_config out.json
  firmware_config.k : null
  {"k":null}

A key with a dot is one member name, for prints and deletes. Deletes run in
order; a missing key is skipped and said so.

  $ ctl nested.json '"firmware_config": {"a.b": "dotted", "a": {"b": [1, 2]}}'
  $ sbconfigtool /InputFile nested.json /FirmwareConfigPrintElement a /FirmwareConfigPrintElement a.b $Q
  firmware_config.a : {
     "b" : [ 1, 2 ]
  }
  firmware_config.a.b : "dotted"
  $ sbconfigtool /InputFile nested.json /FirmwareConfigDeleteElement a.b /FirmwareConfigDeleteElement missing \
  >   /FirmwareConfigDeleteElement a.b /OutputFile out.json; jq -c .firmware_config out.json
  Deleted firmware_config.a.b
  Skipping deletion for firmware_config.missing (key not present)
  Skipping deletion for firmware_config.a.b (key not present)
  Wrote 'out.json'
  {"a":{"b":[1,2]}}

Deleting every member, or all at once, drops firmware_config from the
document; so does reading an empty one.

  $ for d in '/FirmwareConfigDeleteElement trigger_deadzone /FirmwareConfigDeleteElement haptics_strength' \
  >   /FirmwareConfigDeleteAll; do row sbconfigtool /InputFile in.json $d /OutputFile out.json; grep firmware_config out.json; done
  Deleted firmware_config.trigger_deadzone|Deleted firmware_config.haptics_strength|Wrote 'out.json'|[0]
  Deleted firmware_config entries|Wrote 'out.json'|[0]
  [1]
  $ for e in '{}' '[]'; do ctl empty.json "\"firmware_config\": $e"; sbconfigtool /InputFile empty.json /OutputStdout; done | grep firmware
  [1]

Overlays merge in command-line order: objects merged, the later wins, arrays
replaced; only firmware_config is taken, not the overlay's serial number.

  $ ctl over1.json '"firmware_config": {"n": {"a": 1, "b": 1}, "list": [1, 2], "x": "one"}'
  $ ctl over2.json '"firmware_config": {"n": {"b": 2, "c": 2}, "list": [3]}, "device_serial_number": "O"'
  $ sbconfigtool /InputFile in.json /FirmwareConfigOverlay over1.json /FirmwareConfigOverlay over2.json /OutputFile out.json
  Merging firmware_config from: over1.json
  Merging firmware_config from: over2.json
  Wrote 'out.json'
  $ jq -c '[.firmware_config, .device_serial_number]' out.json
  [{"haptics_strength":0.5,"list":[3],"n":{"a":1,"b":2,"c":2},"trigger_deadzone":0.0625,"x":"one"},"SBC-2417-0107"]
  $ sbconfigtool /InputFile in.json /FirmwareConfigOverlay bare.json /OutputStdout | diff - <(sed 's/"revision" : 3,/"revision" : 4,/' in.json)
  1d0
  < Merging firmware_config from: bare.json
  31d29
  < 
  [1]

The edits run in a fixed order whatever the command line says: delete-all,
overlays, deletes, prints, sets.

  $ sbconfigtool /InputFile in.json /FirmwareConfigSetElement k int 5 /FirmwareConfigPrintElement k \
  >   /FirmwareConfigDeleteElement haptics_strength /FirmwareConfigOverlay over2.json /FirmwareConfigDeleteAll \
  >   /OutputFile out.json; jq -c .firmware_config out.json
  Deleted firmware_config entries
  Merging firmware_config from: over2.json
  Skipping deletion for firmware_config.haptics_strength (key not present)
  firmware_config.k : null
  FirmwareConfigSet: k
  Wrote 'out.json'
  {"k":5,"list":[3],"n":{"b":2,"c":2}}

Quiet mode keeps only the element prints and the cleared line.

  $ sbconfigtool /InputFile hmd.json /FirmwareConfigDeleteAll /FirmwareConfigOverlay over1.json /FirmwareConfigDeleteElement x \
  >   /FirmwareConfigDeleteElement gone /FirmwareConfigPrintElement list /FirmwareConfigSetElement k int 1 \
  >   /SetMfgBuildInfo line string A8 /ClearDirectModeVidPid /SetDirectModeVidPid ABC 2000 /OutputFile out.json $Q
  firmware_config.list : [ 1, 2 ]
  Cleared edid vid/pid
  $ jq -c '[.mfg_build_info.line, .firmware_config.k, .direct_mode_edid_vid]' out.json
  ["A8",1,"ABC"]

An overlay that does not load, or whose firmware_config is not an object,
stops the run after the earlier ones; nothing is written.

  $ ctl over3.json '"firmware_config": [{"x": 1}]'; rm out.json
  $ for o in missing.json over3.json; do row sbconfigtool /InputFile in.json /FirmwareConfigOverlay over1.json \
  >   /FirmwareConfigOverlay $o /OutputFile out.json; done; test ! -e out.json
  Merging firmware_config from: over1.json|Error reading 'missing.json': Error: file is empty or does not exist|[1]
  Merging firmware_config from: over1.json|Error reading 'over3.json': Error: member "firmware_config" must be an object, not an array|[1]

A firmware_config or mfg_build_info that is not an object stops every edit
that looks into it, nothing written.

  $ for kind in '[1, 2]' '"text"'; do ctl wrong.json "\"firmware_config\": $kind, \"mfg_build_info\": $kind"
  >   for edit in "/FirmwareConfigSetElement k int 1" "/FirmwareConfigDeleteElement k" "/FirmwareConfigPrintElement k" \
  >     "/FirmwareConfigOverlay over1.json" "/SetMfgBuildInfo k int 1"; do
  >     row sbconfigtool /InputFile wrong.json $edit /OutputFile out.json /OutputStdout; done; done | uniq -c; test ! -e out.json
        3 Error: firmware_config is an array, not an object|[1]
        1 Merging firmware_config from: over1.json|Error: firmware_config is an array, not an object|[1]
        1 Error: mfg_build_info is an array, not an object|[1]
        3 Error: firmware_config is a string, not an object|[1]
        1 Merging firmware_config from: over1.json|Error: firmware_config is a string, not an object|[1]
        1 Error: mfg_build_info is a string, not an object|[1]

One that no edit looks into passes untouched; a delete-all replaces it.

  $ sbconfigtool /InputFile wrong.json $Q /OutputStdout | grep firmware_config
     "firmware_config" : "text",
  $ sbconfigtool /InputFile wrong.json /FirmwareConfigDeleteAll /FirmwareConfigSetElement k int 1 $Q /OutputStdout | grep -A2 firmw
     "firmware_config" : {
        "k" : 1
     },

Direct-mode ids: the values stored are printed and written as upper-case
texts; clear runs first; an id of the wrong length stores 0 and is left out.

  $ sbconfigtool /InputFile hmd.json /SetDirectModeVidPid xyz 1A2b /ClearDirectModeVidPid /OutputStdout | grep ' edid\|edid_'
  Cleared edid vid/pid
  Set edid vid to: xyz (14947)
  Set edid pid to: 1A2b (6699)
     "direct_mode_edid_pid" : "1A2B",
     "direct_mode_edid_vid" : "XYZ",
  $ for ids in '/SetDirectModeVidPid AB 12345' /ClearDirectModeVidPid; do
  >   sbconfigtool /InputFile hmd.json $ids /OutputStdout | grep '(0)\|edid_\|vid/'; done
  Set edid vid to: AB (0)
  Set edid pid to: 12345 (0)
  Cleared edid vid/pid

A pid without a hexadecimal digit or below zero stops the run.

  $ rm -f out.json; for pid in zz '' -1; do row sbconfigtool /InputFile hmd.json /SetDirectModeVidPid ABC "$pid" /OutputFile out.json; done
  Error: invalid direct mode pid 'zz'|[1]
  Error: invalid direct mode pid ''|[1]
  Error: invalid direct mode pid '-1'|[1]
  $ test ! -e out.json
