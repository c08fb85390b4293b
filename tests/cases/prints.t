End-of-run prints: their fixed order, after every output; facts the
document lacks print nothing; values of the final configuration.

  $ echo '{"device_class": "controller", "device_serial_number": "SBC-0002", "model_number": "PO Wand",
  >   "mfg_build_info": {"lot": 11, "ratio": 0.5, "ok": false, "none": null, "list": [1, 2],
  >   "a.b": "dotted", "a": {"b": "nested"}, "text": "B3"}}' >info.json

All four prints, in their order whatever the command line's; the document
and the serial file's line come first, the Wrote line is left out.

  $ sbconfigtool /PrintMfgBuildInfo line /PrintModelNumber /PrintComputedSerial /PrintSerial /InputFile $EXAMPLES/hmd_full.json
  serial: SBH-2431-0007
  computedserial: 5e233318f495aeab8efb5f480376fad1
  modelnumber: PO Vista Pro
  mfgbuildinfo: B3
  $ sbconfigtool /InputFile info.json /SerialFile info.json /PrintModelNumber /PrintSerial /OutputFile out.json /OutputStdout >stdout
  $ head -2 stdout; tail -n +2 stdout | head -n -2 | cmp - <(cat out.json; echo); tail -n 2 stdout
  Serial: SBC-0002
  {
  serial: SBC-0002
  modelnumber: PO Wand

Without input the serial is empty; facts the document lacks print nothing
and are no error, nor is a sensor model without a channel map.

  $ sbconfigtool /PrintSerial
  serial: 
  $ echo '{"device_class": "controller", "skybeacon_config": {"modelPoints": [], "modelNormals": []}}' >sensor.json
  $ sbconfigtool /InputFile sensor.json /PrintModelNumber /PrintComputedSerial /PrintMfgBuildInfo line

mfg_build_info values print as text, the key is one member name; null,
missing or nested keys print nothing; a value just set is the one printed.

  $ for key in lot ratio ok text a.b list none missing b; do sbconfigtool /InputFile info.json /PrintMfgBuildInfo $key; done
  mfgbuildinfo: 11
  mfgbuildinfo: 0.5
  mfgbuildinfo: false
  mfgbuildinfo: B3
  mfgbuildinfo: dotted
  mfgbuildinfo: 
  $ sbconfigtool /InputFile info.json /SetMfgBuildInfo lot string B9 /PrintMfgBuildInfo lot
  mfgbuildinfo: B9

An mfg_build_info that is not an object prints nothing; the lookup adds
nothing to what the run writes.

  $ for v in '"A7"' '["line"]'; do echo "{\"device_class\": \"controller\", \"mfg_build_info\": $v}" >text.json
  >   sbconfigtool /InputFile text.json /PrintMfgBuildInfo line; done
  $ sbconfigtool /InputFile info.json /PrintMfgBuildInfo missing /OutputStdout | grep -c missing
  0
  [1]

A run that fails prints no fact.

  $ sbconfigtool /InputFile $EXAMPLES/hmd_full.json /SanityCheckLensCal /LensCentering info.json /PrintSerial
  ERROR: Eye 0 appears to not be calibrated!
  ERROR: Eye 1 appears to not be calibrated!
  [1]
