#!/usr/bin/env bash
# The benchmark's quick run on the built tool: it builds its floor program,
# measures every group and prints the table, never failing on a time. The
# one figure that must hold exactly: a write to the simulated headset sends
# one size report and one report per 62 bytes of the compressed document.
# Needs hyperfine, jq and /usr/bin/time (scripts/install-deps.sh).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if ! command -v hyperfine >/dev/null || ! command -v jq >/dev/null || [ ! -x /usr/bin/time ]; then
  echo "SKIP: $E2E_NAME: hyperfine, jq or /usr/bin/time is not installed"
  E2E_FINISHED=1
  exit 77
fi

begin_case "quick run prints every part of the table"
"$SB_SOURCE_DIR/bench/run.sh" --quick --no-build --build "$SB_BUILD_DIR" --work "$TEST_DIR/bench" \
  >"$OUT" 2>"$ERR" </dev/null
EXIT_CODE=$?
expect_exit 0
expect_stdout_contains "(a) Typical run"
expect_stdout_contains "tool / floor = "
expect_stdout_contains "tool / jq = "
expect_stdout_contains "(d) Peak resident memory"
expect_stdout_contains "(b) Scaling"
expect_stdout_contains "(c) Device round trip"

begin_case "a write sends 1 + ceil(csize / 62) feature reports"
grep -E "^write \(backup read \+ write\).*sent = 1 \+ ceil\([0-9]+ / 62\) = [0-9]+: met$" "$OUT" >/dev/null ||
  fail "the write's report count is missing or wrong"

# Without a system logger, a root run adds the round trip with a logger of
# its own, which must have taken every device diagnostic; elsewhere it says
# why it could not.
begin_case "the round trip with a system logger, or why there is none"
if [ ! -S /dev/log ]; then
  if grep -q "^with a system logger: round trip" "$OUT"; then
    expect_stdout_contains "it took 3.0 messages per round trip"
  else
    expect_stdout_contains "could not run a system logger of our own here"
  fi
fi
[ ! -e /dev/log ] || [ -S /dev/log ] || fail "the benchmark left a /dev/log behind"

begin_case "the documents came back as they went in"
[ ! -s "$ERR" ] || ! grep -q "did not come back" "$ERR" || fail "a document changed on the way through"

finish
