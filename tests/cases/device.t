The headset as a source and a destination (simulated). new.json, old.json: any output of a run
on $N, $L; holds NAME FILE: silent when the headset holds FILE.

  $ L=$EXAMPLES/hmd_legacy.json N=$EXAMPLES/hmd_latest.json Q='/PrintMfgBuildInfo no_such_key'; holds() { sim inspect $1 | cmp - $2; }
  $ sbconfigtool /InputFile $N /OutputFile $TMPDIR/new.json $Q; sbconfigtool /InputFile $L /OutputFile $TMPDIR/old.json $Q

/PrintSentinelSerial prints the one headset's serial, or its device path, ignoring other options
and other vendors' devices; not behind an unknown option. (None or two: the fault matrix.)

  $ fresh; sim create hmd1 serial=SBH-7-0001 interfaces=2; sim create periph vendor_id=0xF3B2
  $ sbconfigtool /PrintSentinelSerial /OutputFile out.json /Help /Bogus; sbconfigtool /printconnectedserial /InputFile none.json
  connectedserial: SBH-7-0001
  connectedserial: SBH-7-0001
  $ sim remove hmd1; sim create hmd2; sim unset hmd2 serial; sbconfigtool /Bogus /PrintSentinelSerial | head -1; sbconfigtool /PrintSentinelSerial
  Command line error: /Bogus /PrintSentinelSerial
  connectedserial: sim:hmd2:0

/InputSentinel reads the headset and writes nothing to it. With an input file it is refused
first: before any headset is looked for, /Help or a command-line error.

  $ fresh; sim create hmd1; sim store hmd1 $L; sbconfigtool /InputSentinel /OutputFile out.json; grep -c '^send' $TRACE; cmp out.json $TMPDIR/old.json
  Wrote 'out.json'
  0
  $ : >$TRACE; row sbconfigtool /InputSentinel /InputFile a.json /Help; row sbconfigtool /inputdevice /InputVerificationFile v.json /Bogus; wc -c <$TRACE
  You cannot specify both /InputDevice and an input file|[1]
  You cannot specify both /InputDevice and an input file|[1]
  0

Two headsets, one without a configuration or with one that does not load: each stops the run
before any file is read, nothing written. (Every read fault: the fault matrix.)

  $ printf '{ "device_class" : "hmd" }' >nodev.json; sim erase hmd1
  $ for setup in 'create hmd2' 'remove hmd2' 'store hmd1 nodev.json'; do
  >   sim $setup; row sbconfigtool /InputDevice /SerialFile none.json /OutputFile new.json; done; test ! -e new.json
  Multiple connected skybeacon devices. Make sure only a single device is connected|[1]
  Error reading USB configuration from skybeacon device|[1]
  Error reading configuration from device. Error: missing values from "device" section|[1]

/SerialDevice takes the serial (announced in quiet mode too), /MfgBuildInfoDevice the whole
mfg_build_info (announced out of quiet mode). With all device sources, one open, and one read
before the write (then the write's read-back).

  $ fresh; sim create hmd1 serial=SBH-9-0009; echo '{"device_class": "controller", "mfg_build_info": {"line": "B9"}}' | sim store hmd1 -
  $ sbconfigtool /InputFile $N /SerialDevice /MfgBuildInfoDevice /OutputFile out.json; jq -c '[.device_serial_number, .mfg_build_info, .model_number]' out.json
  Using Serial From Connected Device: SBH-9-0009
  Using mfg_build_info From Connected Device: SBH-9-0009
  Wrote 'out.json'
  ["SBH-9-0009",{"line":"B9"},"PO Vista"]
  $ sim store hmd1 $L; : >$TRACE; sbconfigtool /InputSentinel /SerialSentinel /MfgBuildInfoSentinel $Q; grep -c '^open .* ok' $TRACE
  Using Serial From Connected Device: SBH-9-0009
  1
  $ : >$TRACE; sbconfigtool /InputSentinel /SerialSentinel /MfgBuildInfoSentinel /OutputSentinel $Q; echo $(grep -o '^[a-z]* 0x10' $TRACE)
  Using Serial From Connected Device: SBH-9-0009
  get 0x10 send 0x10 get 0x10

/MfgBuildInfoSentinel stops on a configuration that is empty or does not load (one that cannot
be read: the fault matrix).

  $ fresh; sim create hmd1; : >empty.json; printf '[ 1, 2 ]' >array.json
  $ for f in empty.json array.json; do sim store hmd1 $f
  >   row sbconfigtool /MfgBuildInfoSentinel /OutputFile out.json; done; test ! -e out.json
  Error, connected device has empty configuration. (Cannot /MfgBuildInfoSentinel)[1]
  Error reading configuration from device. Error: the document is an array, not a JSON object|[1]

/OutputSentinel backs the configuration up under the serial and the first free counter (the last
is 99), then replaces it; older backups stay, nothing else is left. A document with another
serial number than the headset's is written with a warning.

  $ fresh; sim create hmd1 serial=SBH-1; sim store hmd1 $L; for i in $(seq 0 98); do echo "old $i" >SBH-1-$i.json; done
  $ sbconfigtool /InputFile $N /OutputDevice $Q; cmp SBH-1-99.json $L; cat SBH-1-98.json; ls -A | wc -l
  Warning: the document's serial number 'SBH-2417-0042' is not the device's 'SBH-1' (/SerialSentinel takes the device's)
  old 98
  100
  $ rm SBH-1-9*; sbconfigtool /InputFile $N /SerialSentinel /OutputSentinel /NoBackup
  Using Serial From Connected Device: SBH-1
  Wrote configuration to device

/NoBackup makes no backup. Every write is read back (what a failed read-back says: the fault
matrix); /NoVerify reads nothing after the write.

  $ fresh; sim create hmd1 serial=SBH-1; sim store hmd1 $L; sbconfigtool /InputFile $N /OutputSentinel /NoBackup; ls -A
  Wrote configuration to device
  Warning: the document's serial number 'SBH-2417-0042' is not the device's 'SBH-1' (/SerialSentinel takes the device's)
  $ sim store hmd1 $L; : >$TRACE; sbconfigtool /InputFile $N /OutputSentinel /NoVerify; sed -n '/^store/,$p' $TRACE | grep -c '^get'; holds hmd1 $TMPDIR/new.json
  Backed up original configuration to SBH-1-0.json. (/NoBackup to disable)
  Wrote configuration to device
  Warning: the document's serial number 'SBH-2417-0042' is not the device's 'SBH-1' (/SerialSentinel takes the device's)
  0

Plainly wrong documents are refused before the headset is written: one the loader would refuse
(an HMD without its "device" values; one without a known class: local.t), of another class than
the headset holds, too large to read back. An empty headset takes any class, without a backup.

  $ cp $EXAMPLES/hmd_full.json full.json; : >$TRACE
  $ python3 -c 'import json, random; random.seed(1); print(json.dumps({"device_class": "controller", "firmware_config": {"k%d" % i: "%x" % random.getrandbits(256) for i in range(400)}}))' >big.json
  $ for args in "/SensorCal full.json" "/InputFile $EXAMPLES/controller.json" "/InputFile big.json"; do
  >   row sbconfigtool $args /OutputSentinel; done; grep -c '^send' $TRACE; holds hmd1 $TMPDIR/new.json
  Sensor cal file: 'full.json'|Error: not writing the configuration to the device: it would not load again: missing values from "device" section.|[1]
  Error: not writing the configuration to the device: it is a controller configuration and the device holds an hmd configuration.|[1]
  Error: not writing the configuration to the device: it compresses to 17015 bytes, more than the 8192 a headset can give back.|[1]
  0
  $ sim erase hmd1; sbconfigtool /InputFile $EXAMPLES/controller.json /OutputSentinel; ls SBH*
  Device has no configuration. Skipping backup.
  Wrote configuration to device
  Warning: the document's serial number 'SBC-2417-0107' is not the device's 'SBH-1' (/SerialSentinel takes the device's)
  SBH-1-0.json

Backup or stop: a backup that cannot be read, or whose 100 names are all taken (none
overwritten), leaves the headset unwritten and whole; outputs before it are written. (Read
faults: the fault matrix; a backup that cannot be written: the file-system faults.)

  $ fresh; sim create hmd1 serial=SBH-1 get_fail=all; sim store hmd1 $L
  $ row sbconfigtool /InputFile $N /OutputFile out.json /OutputSentinel; sim clear-faults hmd1
  Wrote 'out.json'|Error reading USB configuration from skybeacon device for backup purposes. Error 1102|[1]
  $ for i in $(seq 0 99); do echo "old $i" >SBH-1-$i.json; done; sbconfigtool /InputFile $N /OutputSentinel; cat SBH-1-99.json; ls | wc -l
  Error backing up original configuration: SBH-1-0.json to SBH-1-99.json all exist. The device was not written. (/NoBackup to disable)
  old 99
  101
  $ grep -c '^send' $TRACE; holds hmd1 $L; cmp out.json $TMPDIR/new.json
  0

A failed write to the headset stops the run; the outputs and backup written before it stay.
Quiet mode drops the progress lines, not the errors. (Every write fault: the fault matrix.)

  $ fresh; sim create hmd1 serial=SBH-1 send_fail=all; sim store hmd1 $L
  $ row sbconfigtool /InputFile $N /OutputFile out.json /OutputSentinel $Q; cmp out.json $TMPDIR/new.json
  Error writing new configuration to device.|Warning: the document's serial number 'SBH-2417-0042' is not the device's 'SBH-1' (/SerialSentinel takes the device's)|[1]
  $ sim clear-faults hmd1; sbconfigtool /InputFile $N /OutputSentinel $Q; holds hmd1 $TMPDIR/new.json
  Warning: the document's serial number 'SBH-2417-0042' is not the device's 'SBH-1' (/SerialSentinel takes the device's)
  $ cmp SBH-1-0.json $L; sim erase hmd1; sbconfigtool /InputFile $N /OutputSentinel $Q; echo $(ls -A)
  Warning: the document's serial number 'SBH-2417-0042' is not the device's 'SBH-1' (/SerialSentinel takes the device's)
  SBH-1-0.json SBH-1-1.json out.json

Read from the headset and write it back.

  $ fresh; sim create hmd1; sim store hmd1 $L; sbconfigtool /InputSentinel /OutputSentinel $Q; cmp hmd1-0.json $L; holds hmd1 $TMPDIR/old.json
  Warning: the document's serial number 'SBH-1903-0311' is not the device's 'hmd1' (/SerialSentinel takes the device's)

The HID library is loaded when a run first asks for a headset: a run on files works where it
cannot be loaded, and a run that needs one finds none.

  $ mkdir lib; : >lib/libhidapi-hidraw.so.0; export LD_LIBRARY_PATH=$PWD/lib; sbconfigtool /InputFile $N /OutputFile out.json; cmp out.json $TMPDIR/new.json
  Wrote 'out.json'
  $ row sbconfigtool /InputSentinel; row sbconfigtool /PrintSentinelSerial
  Could not find connected skybeacon device. Make sure device is connected and ready|sbconfigtool: nothing to do: no output (/OutputFile, /OutputStdout, /OutputSentinel, /OutputLocal) and no print option given|[1]
  [1]
