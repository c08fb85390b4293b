Edits of firmware_config, mfg_build_info and the direct-mode ids. in.json: the controller
example (firmware_config haptics_strength 0.5, trigger_deadzone 0.0625); ctl FILE MEMBERS
writes a controller document.

  $ cp $EXAMPLES/controller.json in.json; H=$EXAMPLES/hmd_latest.json Q='/PrintMfgBuildInfo no_such_key'; ctl() { printf '{"device_class": "controller", "revision": 1, %s}' "$2" >"$1"; }

A set of each type, each announced: float rounds to single precision, int takes the leading
number, hexadecimal is not read.

  $ row sbconfigtool /InputFile in.json /FirmwareConfigSetElement s string " a b " /FirmwareConfigSetElement i int 12abc \
  >   /FirmwareConfigSetElement h int 0x10 /FirmwareConfigSetElement f float 0.1 /FirmwareConfigSetElement d double 0.1 \
  >   /FirmwareConfigSetElement tiny double 1e-50 /OutputFile out.json; jq -c '.firmware_config | [.s, .i, .h, .f, .d, .tiny]' out.json
  FirmwareConfigSet: s|FirmwareConfigSet: i|FirmwareConfigSet: h|FirmwareConfigSet: f|FirmwareConfigSet: d|FirmwareConfigSet: tiny|Wrote 'out.json'|[0]
  [" a b ",12,0,0.10000000149011612,0.1,1e-50]

A value that does not convert (its edges: typed_value_test.cc), or an unknown type, stops the run
after the earlier sets, nothing written; mfg_build_info sets share the conversions.

  $ rm out.json; for a in 'int abc' 'String v'; do
  >   row sbconfigtool /InputFile in.json /FirmwareConfigSetElement ok int 1 /FirmwareConfigSetElement k $a /OutputFile out.json; done
  FirmwareConfigSet: ok|Error converting string 'abc' to int|[1]
  FirmwareConfigSet: ok|Error: unknown type for json element: String (known values: string/float/double/int)|[1]
  $ row sbconfigtool /InputFile in.json /SetMfgBuildInfo n int two /OutputFile out.json; test ! -e out.json
  Error converting string 'two' to int|[1]

mfg_build_info sets add to the members there, or create the member. A print of a missing
key prints null and adds it, with firmware_config if need be; quiet mode keeps the prints.

  $ sbconfigtool /InputFile in.json /SetMfgBuildInfo line string A7 /SetMfgBuildInfo shift int 2 /OutputFile out.json; jq -c .mfg_build_info out.json
  SetMfgBuildInfo: line
  SetMfgBuildInfo: shift
  Wrote 'out.json'
  {"line":"A7","shift":2,"station":"pair-01"}
  $ ctl bare.json '"model_number": "B"'; sbconfigtool /InputFile bare.json /SetMfgBuildInfo line string A7 /FirmwareConfigPrintElement k $Q /OutputFile out.json
  firmware_config.k : null
  $ jq -c '[.mfg_build_info, .firmware_config]' out.json
  [{"line":"A7"},{"k":null}]

A key with a dot is one member name, for deletes and prints. Deletes run in order, a missing
key skipped and said so, and before prints.

  $ ctl nested.json '"firmware_config": {"a.b": "dotted", "a": {"b": [1, 2]}}'
  $ sbconfigtool /InputFile nested.json /FirmwareConfigPrintElement a.b /FirmwareConfigPrintElement a /FirmwareConfigDeleteElement a.b \
  >   /FirmwareConfigDeleteElement a.b /OutputFile out.json; jq -c .firmware_config out.json
  Deleted firmware_config.a.b
  Skipping deletion for firmware_config.a.b (key not present)
  firmware_config.a.b : null
  firmware_config.a : {
     "b" : [ 1, 2 ]
  }
  Wrote 'out.json'
  {"a":{"b":[1,2]},"a.b":null}
  $ sbconfigtool /InputFile nested.json /FirmwareConfigPrintElement a.b $Q
  firmware_config.a.b : "dotted"

Deleting every member drops firmware_config from the document (so does a delete-all, below);
so does reading an empty one.

  $ row sbconfigtool /InputFile in.json /FirmwareConfigDeleteElement trigger_deadzone \
  >   /FirmwareConfigDeleteElement haptics_strength /OutputFile out.json; grep firmware_config out.json
  Deleted firmware_config.trigger_deadzone|Deleted firmware_config.haptics_strength|Wrote 'out.json'|[0]
  [1]
  $ for e in '{}' '[]'; do ctl empty.json "\"firmware_config\": $e"; sbconfigtool /InputFile empty.json /OutputStdout; done | grep firmware
  [1]

Overlays merge in command-line order: objects merged, the later wins, arrays replaced; only
firmware_config is taken, not the overlay's serial number; an overlay without one changes nothing.

  $ ctl over1.json '"firmware_config": {"n": {"a": 1, "b": 1}, "list": [1, 2], "x": "one"}'
  $ ctl over2.json '"firmware_config": {"n": {"b": 2, "c": 2}, "list": [3]}, "device_serial_number": "O"'
  $ sbconfigtool /InputFile in.json /FirmwareConfigOverlay over1.json /FirmwareConfigOverlay over2.json /OutputFile out.json; jq -c '[.firmware_config, .device_serial_number]' out.json
  Merging firmware_config from: over1.json
  Merging firmware_config from: over2.json
  Wrote 'out.json'
  [{"haptics_strength":0.5,"list":[3],"n":{"a":1,"b":2,"c":2},"trigger_deadzone":0.0625,"x":"one"},"SBC-2417-0107"]
  $ sbconfigtool /InputFile in.json /FirmwareConfigOverlay bare.json $Q /OutputStdout | jq -c .firmware_config
  {"haptics_strength":0.5,"trigger_deadzone":0.0625}

The edits run in a fixed order whatever the command line says: delete-all, overlays, deletes,
prints, sets.

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

  $ sbconfigtool /InputFile $H /FirmwareConfigDeleteAll /FirmwareConfigOverlay over1.json /FirmwareConfigDeleteElement x \
  >   /FirmwareConfigDeleteElement gone /FirmwareConfigPrintElement list /FirmwareConfigSetElement k int 1 \
  >   /SetMfgBuildInfo line string A8 /ClearDirectModeVidPid /SetDirectModeVidPid ABC 2000 /OutputFile out.json $Q
  firmware_config.list : [ 1, 2 ]
  Cleared edid vid/pid
  $ jq -c '[.mfg_build_info.line, .firmware_config.k, .direct_mode_edid_vid]' out.json
  ["A8",1,"ABC"]

An overlay that does not load, or whose firmware_config is not an object, stops the run after
the earlier ones; nothing is written.

  $ ctl over3.json '"firmware_config": [{"x": 1}]'; rm out.json
  $ for o in missing.json over3.json; do row sbconfigtool /InputFile in.json /FirmwareConfigOverlay over1.json \
  >   /FirmwareConfigOverlay $o /OutputFile out.json; done; test ! -e out.json
  Merging firmware_config from: over1.json|Error reading 'missing.json': Error: file is empty or does not exist|[1]
  Merging firmware_config from: over1.json|Error reading 'over3.json': Error: member "firmware_config" must be an object, not an array|[1]

A firmware_config or mfg_build_info that is not an object stops every edit that looks into
it, nothing written. One that no edit looks into passes untouched; a delete-all replaces it.

  $ ctl wrong.json '"firmware_config": [1, 2], "mfg_build_info": "text"'
  $ for edit in "/FirmwareConfigSetElement k int 1" "/FirmwareConfigDeleteElement k" "/FirmwareConfigPrintElement k" \
  >   "/FirmwareConfigOverlay over1.json" "/SetMfgBuildInfo k int 1"; do
  >   row sbconfigtool /InputFile wrong.json $edit /OutputFile out.json; done | uniq -c; test ! -e out.json
        3 Error: firmware_config is an array, not an object|[1]
        1 Merging firmware_config from: over1.json|Error: firmware_config is an array, not an object|[1]
        1 Error: mfg_build_info is a string, not an object|[1]
  $ for a in '' /FirmwareConfigDeleteAll; do sbconfigtool /InputFile wrong.json $a $Q /OutputStdout | jq -c '[.firmware_config, .mfg_build_info]'; done
  [[1,2],"text"]
  [null,"text"]

Direct-mode ids: the values stored are printed and written as upper-case texts; clear runs
first; an id of the wrong length stores 0 and is left out.

  $ sbconfigtool /InputFile $H /SetDirectModeVidPid xyz 1A2b /ClearDirectModeVidPid /OutputStdout | grep ' edid\|edid_'
  Cleared edid vid/pid
  Set edid vid to: xyz (14947)
  Set edid pid to: 1A2b (6699)
     "direct_mode_edid_pid" : "1A2B",
     "direct_mode_edid_vid" : "XYZ",
  $ sbconfigtool /InputFile $H /SetDirectModeVidPid AB 12345 /OutputStdout | grep '(0)\|edid_'
  Set edid vid to: AB (0)
  Set edid pid to: 12345 (0)

A pid without a hexadecimal digit or below zero stops the run.

  $ for pid in zz '' -1; do row sbconfigtool /InputFile $H /SetDirectModeVidPid ABC "$pid" /OutputFile out.json; done; test ! -e out.json
  Error: invalid direct mode pid 'zz'|[1]
  Error: invalid direct mode pid ''|[1]
  Error: invalid direct mode pid '-1'|[1]
