The usage text: on no arguments, on /Help in any letter case and on /?, with nothing after
/Help examined, exit status 1. Without a device input an input file is no conflict.

  $ sbconfigtool >usage; echo $?; cmp usage $TESTS/e2e/data/usage.txt
  1
  $ for args in --help -h; do sbconfigtool $args /Bogus | cmp - usage && echo "$args: usage, [$?]"; done; sbconfigtool x --version /Help
  --help: usage, [0]
  -h: usage, [0]
  sbconfigtool [0-9]+[.][0-9]+[.][0-9]+ (re)
  $ for args in /hElP '/?' '/OutputStdout /HELP /Bogus /InputFile' '/InputFile a.json /Help' '/InputDevice /Help'; do
  >   { sbconfigtool $args; echo "[$?]"; } | cmp - <(cat usage; echo "[1]") || echo "$args differs"; done

A command-line error names the argument the walk stopped on and the one after it, then shows
the usage. An option lacking its arguments is unknown, and so is an abbreviated one.

  $ sbconfigtool /OutputStdout /Bogus next /Help >out; echo $?; head -2 out; tail -n +3 out | cmp - usage
  1
  Command line error: /Bogus next
  
  $ for args in '/OutputStdout /InputFile' '/FirmwareConfigSetElement key int' '/Input device.json /Output o.json'; do
  >   sbconfigtool $args | head -1 | sed 's/$/|/'; done
  Command line error: /InputFile |
  Command line error: /FirmwareConfigSetElement key|
  Command line error: /Input device.json|

"--help" and "-h" show the usage and "--version" the version, exit status 0, whatever else
stands on the command line. Another bare word (a file name, an option without its slash) is
ignored, not taken for an input, and said on standard error, as is a run that asks for nothing;
/Quiet is not quiet mode (the Wrote line stays). A document that will not load back is written,
with a warning.

  $ sbconfigtool OutputFile x.json /OutputFile out.json /Quiet; test ! -e x.json
  Wrote 'out.json'
  sbconfigtool: ignoring 'OutputFile': options begin with '/' (/Help lists them)
  sbconfigtool: ignoring 'x.json': options begin with '/' (/Help lists them)
  Warning: 'out.json' will not load back: missing values from "device" section
