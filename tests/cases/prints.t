End-of-run prints: their fixed order, after every output; facts the document lacks print
nothing; values of the final configuration.

  $ echo '{"device_class": "controller", "device_serial_number": "SBC-0002", "model_number": "PO Wand",
  >   "mfg_build_info": {"lot": 11, "ok": false, "none": null, "list": [1], "a.b": "dotted", "a": {"b": 2}}}' >info.json

All four prints, in their order whatever the command line's; the document and the serial
file's line come first, the Wrote line is left out.

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

Without input the serial is empty; facts the document lacks print nothing and are no error,
nor is a sensor model without a channel map, nor an mfg_build_info that is not an object.

  $ sbconfigtool /PrintSerial
  serial: 
  $ echo '{"device_class": "controller", "skybeacon_config": {"modelPoints": [], "modelNormals": []}, "mfg_build_info": ["line"]}' >sensor.json
  $ sbconfigtool /InputFile sensor.json /PrintModelNumber /PrintComputedSerial /PrintMfgBuildInfo line

mfg_build_info values print as text, the key is one member name; null, missing or nested keys
print nothing; a value just set is the one printed. A run that fails prints no fact.

  $ for key in lot ok a.b list none missing b; do sbconfigtool /InputFile info.json /PrintMfgBuildInfo $key; done
  mfgbuildinfo: 11
  mfgbuildinfo: false
  mfgbuildinfo: dotted
  mfgbuildinfo: 
  $ row sbconfigtool /InputFile none.json /PrintSerial; sbconfigtool /InputFile info.json /SetMfgBuildInfo lot string B9 /PrintMfgBuildInfo lot
  Error reading 'none.json': Error: file is empty or does not exist|[1]
  mfgbuildinfo: B9
