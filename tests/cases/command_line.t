The usage text: on no arguments, on /Help in any letter case and on /?,
with nothing after /Help examined; exit status 1 every time.

  $ sbconfigtool >usage; echo $?; cmp usage $TESTS/e2e/data/usage.txt
  1
  $ for args in /hElP '/?' '/OutputStdout /HELP /Bogus /InputFile'; do
  >   sbconfigtool $args | cmp - usage || echo "$args differs"; done

A command-line error names the argument the walk stopped on and the one
after it, then shows the usage. An option lacking its arguments is unknown,
and so is an abbreviated one.

  $ sbconfigtool /OutputStdout /Bogus next /Help >out; echo $?; head -2 out; tail -n +3 out | cmp - usage
  1
  Command line error: /Bogus next
  
  $ sbconfigtool /FirmwareConfigSetElement key int | head -1
  Command line error: /FirmwareConfigSetElement key
  $ sbconfigtool /Input device.json /Output output.json | head -1
  Command line error: /Input device.json
