#!/usr/bin/env bash
# No file the tool and its commands create can be redirected by another local user. At
# each name they create in a shared sticky directory like /tmp, another user first plants
# a link to the user's own file, or a file or directory of their own (at the staging file
# a loop keeps planting links during 50 runs). The linked file stays untouched, each plant
# stays or is replaced by the run's own file, each run succeeds or exits 1 saying why. As
# root, then as a throwaway user where one can be made.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
use_devices

[ "$(id -u)" = 0 ] || { echo "SKIP: $E2E_NAME: planting files as another user needs root"; finish; }
umask 022 && chmod 755 "$TEST_DIR"   # the user under test reaches the shared directory
PLANTER=nobody   # owns every plant: neither root nor the user under test
IN=$EXAMPLES/hmd_latest.json EXPECTED=$TEST_DIR/expected.json
expected_output_of "$IN" "$EXPECTED"
SHARED=$TMP_DIR   # run_tool's TMPDIR, made sticky and open to all like /tmp
TARGET=$TEST_DIR/target VICTIM=$TEST_DIR/victim-dir SERIAL=SBH-2417-0042 LOOP=
export SBHEADSET_SIM_DIR=$SHARED SBHEADSET_SIM_TRACE=$SHARED/trace SBCONFIG_RIGCONF_DIR=$SHARED/store
e2e_cleanup() { [ -z "$LOOP" ] || kill "$LOOP" 2>/dev/null; }

# as USER: the setpriv words that run a command as USER (none for root).
as() { [ "$1" = root ] || echo "setpriv --reuid=$1 --regid=$(id -g "$1") --clear-groups --"; }

# A fresh shared directory, the user's own file that links lead to and an
# empty directory of theirs that a planted directory link leads to.
reset() {
  begin_case "$RUNNER: $1"
  rm -rf "$SHARED" "$VICTIM" && mkdir -m 1777 "$SHARED" && mkdir "$VICTIM" || fail "cannot reset"
  printf 'precious\n' >"$TARGET" && chown "$RUNNER" "$TARGET" "$VICTIM" || fail "cannot reset"
  PLANTS=()
}

# plant KIND NAME TO: another user's link to TO, file or directory.
plant() {
  case $1 in link) ln -s "$3" "$2" ;; file) printf 'planted\n' >"$2" && chmod 666 "$2" ;; dir) mkdir -m 777 "$2" ;; esac &&
    chown -h "$PLANTER" "$2" || fail "cannot plant $1 $2"
  PLANTS+=("$2" "$(print_of "$2")")
}

print_of() {
  stat -c '%U %F %s' "$1" 2>&1
  if [ -L "$1" ]; then readlink "$1"; elif [ -d "$1" ]; then ls -A "$1"; else cat "$1" 2>&1; fi
}

# After a run: nothing written through a plant, each plant as it was or
# replaced by a file of the user, and either success with FILE (if given)
# holding the written document or exit 1 with MESSAGE (if any) said.
check_run() {  # check_run FILE MESSAGE
  [ "$(cat "$TARGET")" = precious ] || fail_lost "the file a planted link leads to was written"
  [ -z "$(ls -A "$VICTIM")" ] || fail_lost "something was written through a planted directory link"
  local i
  for ((i = 0; i < ${#PLANTS[@]}; i += 2)); do
    case $(stat -c '%U %F %a' "${PLANTS[i]}" 2>/dev/null) in
      "$PLANTER "*) [ "$(print_of "${PLANTS[i]}")" = "${PLANTS[i + 1]}" ] || fail_lost "the plant ${PLANTS[i]} was changed" ;;
      "" | "$RUNNER regular file 644") ;;
      *) fail "${PLANTS[i]} is now: $(stat -c '%U %F %a' "${PLANTS[i]}")" ;;
    esac
  done
  case $EXIT_CODE in
    0) [ -z "$1" ] || cmp -s "$1" "$EXPECTED" || fail_lost "exit 0, but $1 does not hold the document" ;;
    1) [ -n "$2" ] && cat "$OUT" "$ERR" | grep -qF -- "$2" || fail "exit 1 without '$2'" ;;
    *) fail "exit code $EXIT_CODE" ;;
  esac
}

# Each row: the kinds of plant; the names they take in the shared directory;
# where a planted link leads; the run; the file holding the document after a
# success; what a refusal says (none: a refusal is wrong). Backups go to the
# first free name; the headset holds the document, so that is its backup too.
STAGING="Error writing new configuration to staging location $SHARED/configtool.json."
CASES='
link file|configtool.json|$TARGET|run_tool /InputFile "$IN" /OutputLocal|$SBCONFIG_RIGCONF_DIR/device.json|$STAGING
link file|out.json|$TARGET|run_tool /InputFile "$IN" /OutputFile "$SHARED/out.json"|$SHARED/out.json|$SHARED/out.json
link file|device.json|$TARGET|SBCONFIG_RIGCONF_DIR=$SHARED run_tool /InputFile "$IN" /OutputLocal|$SHARED/device.json|to device.
link dir|store|$VICTIM|run_tool /InputFile "$IN" /OutputLocal|$SBCONFIG_RIGCONF_DIR/device.json|changed by another user
link file|hmd1.headset|$TARGET|TOOL=$SIM run_tool create hmd1||cannot replace $SHARED/hmd1.headset
link file|hmd1.zcfg trace|$TARGET|sim create hmd1; run_tool /InputFile "$IN" /OutputSentinel /NoBackup; "$SIM" inspect hmd1 >"$TEST_DIR/held" 2>/dev/null|$TEST_DIR/held|to device.
link file|$SERIAL-0.json $SERIAL-1.json|$VICTIM/new.json|sim create hmd1 serial=$SERIAL; sim store hmd1 "$EXPECTED"; cd "$SHARED" && run_tool /InputFile "$IN" /OutputSentinel; cd "$WORK_DIR"|$SHARED/$SERIAL-2.json|'

cases() {
  local kinds names to run result message k name runs ok=0 p
  # The tool and sbheadset-sim as the user under test (rigconf_write inherits it).
  RUNNER=$1 TOOL=$TEST_DIR/sbconfigtool-as SIM=$TEST_DIR/sbheadset-sim-as
  for p in sbconfigtool sbheadset-sim; do printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$(as "$1")" "$SB_BUILD_DIR/$p" >"$TEST_DIR/$p-as"; done
  chmod 755 "$TOOL" "$SIM"
  while IFS='|' read -r kinds names to run result message; do
    eval "names=\"$names\" to=\"$to\" result=\"$result\" message=\"$message\""
    for k in $kinds; do
      reset "another user's $k at $names"
      for name in $names; do plant $k "$SHARED/$name" "$to"; done
      eval "$run"
      check_run "$result" "$message"
    done
  done <<<"${CASES#?}"

  reset "the staging file while another user's loop keeps planting a link at its name"
  $(as $PLANTER) bash -c 'while :; do ln -s "$0" "$1" 2>/dev/null; done' "$TARGET" "$SHARED/configtool.json" &
  LOOP=$!
  for ((runs = 1; runs <= 50; runs++)); do
    rm -f "$SBCONFIG_RIGCONF_DIR/device.json"
    run_tool /InputFile "$IN" /OutputLocal
    check_run "$SBCONFIG_RIGCONF_DIR/device.json" "$STAGING"
    [ "$EXIT_CODE" != 0 ] || ok=$((ok + 1))
  done
  kill $LOOP; wait $LOOP 2>/dev/null; LOOP=
  echo "$RUNNER: $ok of 50 runs against the planting loop succeeded, the others refused"
}

cases root

# The same as a user without privileges: sticky directories then keep
# another user's plant in place, and the runs must refuse it.
id -u sbct-nobody >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin sbct-nobody
$(as sbct-nobody) test -x "$SB_BUILD_DIR/sbconfigtool" -a -r "$IN" && cases sbct-nobody ||
  echo "SKIP: $E2E_NAME: no user sbct-nobody that can run the build on the examples"
finish
