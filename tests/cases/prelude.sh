# Sourced before the commands of a case file (run_cases.py).

# One run on one line, for tables: its output, line ends shown as "|", then its exit status.
row() { local out; out=$("$@" 2>&1; echo "[$?]"); echo "${out//$'\n'/|}"; }

# $TRACE logs every HID call of the simulated headsets. stub NAME STATUS OUTPUT: a stand-in
# command in $STUBS (put first on PATH) that logs its arguments to $STUBS/NAME.args.
export SCRATCH=$TMPDIR SBHEADSET_SIM_TRACE=$TMPDIR/trace TRACE=$TMPDIR/trace STUBS=$TMPDIR/stubs
sim() { sbheadset-sim "$@"; }
stub() {
  mkdir -p "$STUBS" && printf '%s' "$3" >"$STUBS/$1.out"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"$0.args"\ncat "$0.out"\nexit %s\n' "$2" >"$STUBS/$1" && chmod +x "$STUBS/$1"
}

# The tool's log lines on standard error carry process ids: left out. Anything else there
# (a warning, a sanitizer's report) follows the output; a file a run, as runs may overlap.
sbconfigtool() {
  local err status
  err=$(mktemp "$SCRATCH/.stderr.XXXXXX")
  command sbconfigtool "$@" 2>"$err"
  status=$?
  grep -v '^sbconfigtool\[[0-9]*\]: ' "$err" >&2
  rm -f "$err"
  return "$status"
}

# A case from scratch: an empty $TMPDIR/case, no headset, local copy or stub.
fresh() {
  cd "$TMPDIR" && rm -rf case stubs configtool.json "$SBHEADSET_SIM_DIR" "$SBCONFIG_RIGCONF_DIR" &&
    mkdir case && cd case && : >"$TRACE"
}
