Where the document comes from and where it goes, as files. in.json: the controller example at
revision 3; every output of a run on it carries revision 4 (standard output one more line end).

  $ cp $EXAMPLES/controller.json in.json; sed 's/"revision" : 3,/"revision" : 4,/' in.json >want.json; Q='/PrintMfgBuildInfo no_such_key'

No input: the default document, already in the latest form, revision 1.

  $ sbconfigtool /OutputStdout /NoReformat | cmp - $TESTS/e2e/data/default_document.txt
  Warning: the document on standard output will not load back: missing values from "device" section

An input file is loaded silently, the second of two; a verification file beside it is not read.
The output file and standard output carry the same document.

  $ sbconfigtool /InputFile missing.json /InputFile in.json /InputVerificationFile missing.json /OutputFile out.json \
  >   /OutputStdout >stdout; head -1 stdout; cmp out.json want.json; tail -n +2 stdout | cmp - <(cat want.json; echo)
  Wrote 'out.json'

Refused inputs (more in configloader_test.cc): each stops the run with exit 1, the output file not written.

  $ : >empty.json; mkdir dir; printf '{"device_class": }' >broken.json; printf '[{"device_class": "controller"}]' >array.json
  $ for f in missing.json empty.json dir broken.json; do
  >   row sbconfigtool /InputFile $f /OutputFile new.json /OutputStdout; done; test ! -e new.json
  Error reading 'missing.json': Error: file is empty or does not exist|[1]
  Error reading 'empty.json': Error: file is empty or does not exist|[1]
  Error reading 'dir': Error: file is empty or does not exist|[1]
  Error reading 'broken.json': Error: * Line 1, Column 18|  Syntax error: value, object or array expected.||[1]

A verification file: its device_json is the base, nothing else of it; comments are allowed,
the HMD "device" section is not checked.

  $ printf '// station\n{"device_json": {"device_class": "hmd", "revision": 9} /* ok */, "result": "pass"}' >v.json
  $ sbconfigtool /InputVerificationFile v.json /OutputStdout | grep '"device_class"\|"revision"\|result'
  Warning: the document on standard output will not load back: missing values from "device" section
     "device_class" : "hmd",
     "revision" : 10,

A verification file that cannot be used, with its own messages.

  $ for body in '' '{' '{"result": "pass"}' '[{"device_json": {}}]' '{"device_json": "SBH-1"}' \
  >   '{"device_json": {"device_class": "controller", "ipd": 63}}'; do printf '%s' "$body" >v.json
  >   row sbconfigtool /InputVerificationFile v.json /OutputStdout; done; row sbconfigtool /InputVerificationFile none.json
  Please confirm input file v.json exists.|[1]
  Error parsing json * Line 1, Column 2|  Missing '}' or object member name||[1]
  Input file v.json does not have 'device_json' element|[1]
  Input file v.json does not have 'device_json' element|[1]
  Error reading 'v.json': Error: the document is a string, not a JSON object|[1]
  Error reading 'v.json': Error: member "ipd" must be an object, not a number|[1]
  Please confirm input file none.json exists.|sbconfigtool: nothing to do: no output (/OutputFile, /OutputStdout, /OutputSentinel, /OutputLocal) and no print option given|[1]

A serial file's serial number replaces the document's, announced in quiet mode too; a file
without one empties it; one that does not load stops the run before any output.

  $ printf '{"device_class": "controller", "device_serial_number": "SBC-NEW-1", "revision": 40}' >serial.json
  $ sbconfigtool /InputFile in.json /SerialFile serial.json /OutputFile out.json $Q; jq -c '[.device_serial_number, .revision]' out.json
  Serial: SBC-NEW-1
  ["SBC-NEW-1",4]
  $ echo '{"device_class": "controller"}' >noserial.json; sbconfigtool /InputFile in.json /SerialFile noserial.json /OutputStdout | grep -i serial
  Serial: 
  $ row sbconfigtool /InputFile in.json /SerialFile array.json /OutputFile new.json /OutputStdout; test ! -e new.json
  Error reading 'array.json': Error: the document is an array, not a JSON object|[1]

The output file is replaced whole (its permission bits and links: atomicfile_test.cc). Quiet mode
drops the Wrote line only. The input may be the output.

  $ echo old >k.json; sbconfigtool /InputFile in.json /OutputFile k.json /OutputStdout $Q | cmp - <(cat want.json; echo)
  $ cmp k.json want.json; sbconfigtool /InputFile k.json /FirmwareConfigDeleteAll /OutputFile k.json $Q
  $ grep -c 'firmware_config\|"revision" : 5,' k.json
  1

A write that fails (no directory, below a file, onto a directory) stops the run before standard
output. (A full disk, an old file kept whole: the file-system faults.)

  $ echo plain >f.txt; for out in nodir/out.json f.txt/out.json dir; do
  >   row sbconfigtool /InputFile in.json /OutputFile $out /OutputStdout; done; cat f.txt; ls -A dir; test ! -e nodir
  Error writing tracked device config to file 'nodir/out.json'|[1]
  Error writing tracked device config to file 'f.txt/out.json'|[1]
  Error writing tracked device config to file 'dir'|[1]
  plain
