# Sourced before the commands of a case file (run_cases.py).

# One run on one line, for tables of runs: what the command printed, each
# line end shown as "|", then its exit status in brackets.
row() {
  local out
  out=$("$@" 2>&1; echo "[$?]")
  echo "${out//$'\n'/|}"
}

# Every HID call of the simulated headsets is traced to $TRACE, so a case
# can tell whether a headset was read or written.
export SCRATCH=$TMPDIR SBHEADSET_SIM_TRACE=$TMPDIR/trace TRACE=$TMPDIR/trace STUBS=$TMPDIR/stubs
sim() { sbheadset-sim "$@"; }

# The tool's log lines on standard error carry process ids: they are left
# out. Anything else there (a warning, a sanitizer's report) follows the
# output. Each run has its own file, so that runs may overlap in a pipe.
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

# stub NAME STATUS OUTPUT: a stand-in for a sibling command, found when $STUBS
# comes first on PATH; its arguments are logged to $STUBS/NAME.args.
stub() {
  mkdir -p "$STUBS" && printf '%s' "$3" >"$STUBS/$1.out"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"$0.args"\ncat "$0.out"\nexit %s\n' "$2" >"$STUBS/$1"
  chmod +x "$STUBS/$1"
}
