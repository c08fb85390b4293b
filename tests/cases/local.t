The local canonical copy $S: the rigconf_* commands, and /InputLocal, /SerialLocal and
/OutputLocal through them (or through stubs, with $STUBS first on PATH).

  $ L=$EXAMPLES/hmd_legacy.json N=$EXAMPLES/hmd_latest.json S=$SBCONFIG_RIGCONF_DIR/device.json Q='/PrintMfgBuildInfo no_such_key'
  $ sbconfigtool /InputFile $N /OutputFile $TMPDIR/new.json $Q

Nothing stored yet: rigconf_path and rigconf_serial fail and say why. rigconf_write refuses what
a headset could not take (no document, no known class) and creates no store; wrong command
lines exit 2.

  $ fresh; rigconf_path device; rigconf_serial
  no local device configuration at '$TMPDIR/rigconf/device.json' (store one with rigconf_write device FILE)
  cannot read the local device configuration '$TMPDIR/rigconf/device.json': file is empty or does not exist
  [1]
  $ printf '{ "device_class" : "hmd" }' >nodev.json; printf '{ "a" : ' >broken.json; : >empty.json; echo '{"foo": 1}' >foo.json
  $ for f in nodev.json empty.json foo.json; do row rigconf_write device $f; done; test ! -e $SBCONFIG_RIGCONF_DIR
  rigconf_write: not storing 'nodev.json': it would not load again: missing values from "device" section|[1]
  rigconf_write: not storing 'empty.json': it is empty or does not exist|[1]
  rigconf_write: not storing 'foo.json': its "device_class" is missing or unknown|[1]
  $ for args in 'rigconf_path controller' 'rigconf_serial device' "rigconf_write x $N"; do row $args; done
  usage: rigconf_path device|[2]
  usage: rigconf_serial|[2]
  usage: rigconf_write device FILE|[2]

rigconf_write stores the file whole, creating the store, nothing else; the other two read it. A
refused document keeps the stored copy, a second write replaces it. No serial number, no serial.

  $ rigconf_write device $N; cmp $S $N; ls -A $SBCONFIG_RIGCONF_DIR; rigconf_path device; rigconf_serial
  device.json
  $TMPDIR/rigconf/device.json
  SBH-2417-0042
  $ rigconf_write device broken.json 2>/dev/null; cmp $S $N; rigconf_write device $L; rigconf_serial
  SBH-1903-0311
  $ echo '{"device_class": "controller"}' >noserial.json; rigconf_write device noserial.json; row rigconf_serial
  the local device configuration '$TMPDIR/rigconf/device.json' has no device_serial_number|[1]
  $ : >plain; SBCONFIG_RIGCONF_DIR=$PWD/plain/sub row rigconf_write device $L
  rigconf_write: cannot store the local device configuration: '$TMPDIR/case/plain' exists and is not a directory|[1]
  $ (SBCONFIG_RIGCONF_DIR= rigconf_path device; unset SBCONFIG_RIGCONF_DIR; rigconf_path device) | grep -o /var/lib/sbconfigtool/device.json
  /var/lib/sbconfigtool/device.json
  /var/lib/sbconfigtool/device.json

/InputLocal loads the stored copy and names it, out of quiet mode; with /InputSentinel rigconf_path
still runs and the headset wins.

  $ fresh; rigconf_write device $N; sbconfigtool /InputLocal /OutputFile out.json; cmp out.json $TMPDIR/new.json; sbconfigtool /InputLocal $Q
  Input File '$TMPDIR/rigconf/device.json'
  Wrote 'out.json'
  $ sim create hmd1; sim store hmd1 $L; sbconfigtool /InputSentinel /InputLocal /OutputFile out.json; jq .device_serial_number out.json
  Input File '$TMPDIR/rigconf/device.json'
  Wrote 'out.json'
  "SBH-1903-0311"

/InputLocal stops the run when rigconf_path fails (its output quoted, trimmed) or names a file that
does not load; nothing is written.

  $ stub rigconf_path 3 $'cannot reach the station \t\r\n\n'; PATH=$STUBS:$PATH row sbconfigtool /InputSentinel /InputLocal /OutputFile out2.json
  Error running rigconf_path: cannot reach the station|[1]
  $ cat $STUBS/rigconf_path.args; stub rigconf_path 0 $'none.json\r\n'; PATH=$STUBS:$PATH row sbconfigtool /InputLocal /OutputFile out2.json; test ! -e out2.json
  device
  Input File 'none.json'|Error reading 'none.json': Error: file is empty or does not exist|[1]

/SerialLocal takes the serial rigconf_serial prints (trimmed), announced out of quiet mode, over
/SerialFile and /SerialSentinel; a failing rigconf_serial stops the run.

  $ rigconf_write device $L; sbconfigtool /InputFile $N /SerialLocal /OutputFile out.json; jq .device_serial_number out.json
  Using Serial From Local Device: SBH-1903-0311
  Wrote 'out.json'
  "SBH-1903-0311"
  $ sim set hmd1 serial=SBH-DEV; stub rigconf_serial 0 $'SBH-LOCAL \n'; PATH=$STUBS:$PATH sbconfigtool /InputFile $N /SerialLocal /SerialFile $L /SerialSentinel /OutputFile out.json $Q
  Serial: SBH-1903-0311
  Using Serial From Connected Device: SBH-DEV
  $ jq .device_serial_number out.json; cat $STUBS/rigconf_serial.args
  "SBH-LOCAL"
  
  $ stub rigconf_serial 1 $'no station configured\n'; PATH=$STUBS:$PATH row sbconfigtool /SerialLocal /OutputFile out2.json $Q
  Error running rigconf_serial: no station configured|[1]

/OutputLocal hands the result to rigconf_write through $TMPDIR/configtool.json, removed after, a
stale one replaced; a plainly wrong document is refused before either. When rigconf_write fails
the staging file stays, and so do the outputs (headset too) before it.

  $ fresh; echo '{"foo": 1}' >foo.json; sbconfigtool /InputFile $N /OutputLocal; cmp $S $TMPDIR/new.json; test ! -e $TMPDIR/configtool.json
  Wrote configuration to device
  $ sbconfigtool /InputFile $L /OutputLocal $Q; row sbconfigtool /InputFile foo.json /OutputLocal; grep -c 1903 $S; test ! -e $TMPDIR/configtool.json
  Error: not writing the configuration to the local copy: its "device_class" is missing or unknown.|[1]
  1
  $ echo stale >$TMPDIR/configtool.json; stub rigconf_write 1 refused; sim create hmd1; PATH=$STUBS:$PATH sbconfigtool /InputFile $N /OutputFile out.json /OutputSentinel /OutputLocal
  Wrote 'out.json'
  Device has no configuration. Skipping backup.
  Wrote configuration to device
  Error writing new configuration to device.
  Warning: the document's serial number 'SBH-2417-0042' is not the device's 'hmd1' (/SerialSentinel takes the device's)
  [1]
  $ cmp $TMPDIR/configtool.json $TMPDIR/new.json; cmp out.json $TMPDIR/new.json; sim inspect hmd1 | cmp - out.json; cat $STUBS/rigconf_write.args
  device
  $TMPDIR/configtool.json

TMPDIR set but empty is the working directory; TMPDIR with blanks, quotes and $(...) is one word,
runs nothing. (A staging file that cannot be written: the file-system faults.)

  $ fresh; stub rigconf_write 1 ''; TMPDIR= PATH=$STUBS:$PATH sbconfigtool /InputFile $N /OutputLocal; cat $STUBS/*.args
  Error writing new configuration to device.
  device
  configtool.json
  $ cmp configtool.json $TMPDIR/new.json && rm configtool.json; TMPDIR= sbconfigtool /InputFile $N /OutputLocal; cmp $S $TMPDIR/new.json; ls -A
  Wrote configuration to device
  $ D="$PWD/a b'c \$(touch p1) \`touch p2\`;x"; mkdir "$D"; TMPDIR=$D sbconfigtool /InputFile $L /OutputLocal; ls -A "$D"; ls | wc -l
  Wrote configuration to device
  1
