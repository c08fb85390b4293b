#!/usr/bin/env bash
# Usage: scripts/reliability.sh [FUZZ_SECONDS_PER_HARNESS]   (default 60; 0 skips fuzzing)
#
# Runs every reliability suite and prints its figures: the fault-matrix and
# file-system-fault suites against the normal and the sanitizer build, then
# every fuzz harness (bad input at large; the committed fuzz inputs and the
# JSON test corpus are replayed by the unit tests of scripts/test.sh). Inputs tried are runs of the
# tool (executions for a fuzz harness); faults are those a suite injected.
# A suite stops at its first problem, so a failing one counts that one.
# Fails when any suite fails: crashes, hangs, sanitizer reports and runs
# with data lost must all be 0.
#
# Environment: SB_RELIABILITY_SUITES (default: both), SB_RELIABILITY_BUILDS
# (default: "build build-sanitize"), SB_RELIABILITY_TIMEOUT (seconds per
# suite, default 3600).
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-60}
case "$fuzz_seconds" in '' | *[!0-9]*) echo "usage: scripts/reliability.sh [FUZZ_SECONDS_PER_HARNESS]" >&2; exit 2 ;; esac
suites=${SB_RELIABILITY_SUITES:-fault_matrix fs_faults}
builds=${SB_RELIABILITY_BUILDS:-build build-sanitize}
limit=${SB_RELIABILITY_TIMEOUT:-3600}

scripts/install-deps.sh
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
logs=$(mktemp -d "${TMPDIR:-/tmp}/reliability.XXXXXX")
trap 'rm -rf "$logs"' EXIT
rows=$logs/rows

# One row per suite and build: name build inputs faults crashes hangs
# sanitizer lost result.
for build in $builds; do
  extra=(-DSBCONFIG_TESTS=ON)  # the suites need test helpers; the demo builds without them
  [ "$build" = build-sanitize ] && extra+=(-DSBCONFIG_SANITIZE=ON)
  echo "== building $build"
  scripts/build.sh "$build" "${extra[@]}" >"$logs/build.log" 2>&1 || { cat "$logs/build.log"; exit 1; }
  for suite in $suites; do
    log=$logs/$suite-$build.log
    echo "== $suite against $build"
    set +e
    SB_BUILD_DIR=$PWD/$build SB_SOURCE_DIR=$PWD timeout -k 10 "$limit" \
      bash "tests/e2e/${suite}_test.sh" >"$log" 2>&1
    code=$?
    set -e
    figures=$(grep '^FIGURES: ' "$log" | tail -1)
    if [ -z "$figures" ]; then
      # No figures: the suite itself was killed (a hang) or broke down.
      hang=0; [ "$code" = 124 ] || [ "$code" = 137 ] && hang=1
      figures="FIGURES: $suite runs=0 faults=0 crashes=0 hangs=$hang sanitizer=0 lost=0 other=$((1 - hang))"
    fi
    value() { sed -n "s/.* $1=\([0-9]*\).*/\1/p" <<<"$figures"; }
    result=ok
    if [ "$code" != 0 ]; then
      result=FAILED
      grep -m1 '^FAIL' "$log" || tail -5 "$log"
    fi
    grep '^SKIP' "$log" || true
    echo "$suite ${build#build-} $(value runs) $(value faults) $(value crashes) $(value hangs) $(value sanitizer) $(value lost) $result" >>"$rows"
  done
done
sed -i 's/ build / normal /' "$rows"

if [ "$fuzz_seconds" != 0 ]; then
  set +e
  SB_FUZZ_FIGURES=$logs/fuzz scripts/fuzz.sh "$fuzz_seconds"
  set -e
  [ -f "$logs/fuzz" ] || echo "build 0 crash" >"$logs/fuzz"
  while read -r harness runs finding; do
    c=0 h=0 s=0 result=ok
    case $finding in
      none) ;;
      hang) h=1 ;;
      sanitizer | leak) s=1 ;;
      *) c=1 ;;
    esac
    [ "$finding" = none ] || result=FAILED
    echo "fuzz_$harness sanitize $runs 0 $c $h $s 0 $result" >>"$rows"
  done <"$logs/fuzz"
fi

echo
echo "Reliability figures ($(date -u +%Y-%m-%d), $(nproc) cores, fuzzing ${fuzz_seconds} s per harness)"
awk '
  BEGIN { fmt = "%-18s %-9s %9s %7s %8s %6s %10s %5s  %s\n"
          printf fmt, "suite", "build", "inputs", "faults", "crashes", "hangs", "sanitizer", "lost", "result" }
  { printf fmt, $1, $2, $3, $4, $5, $6, $7, $8, $9
    for (i = 3; i <= 8; i++) total[i] += $i
    if ($9 != "ok") failed++ }
  END { printf fmt, "total", "", total[3], total[4], total[5], total[6], total[7], total[8],
               failed ? failed " failed" : "ok"
        exit failed ? 1 : 0 }' "$rows"
