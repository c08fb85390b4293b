#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [SECONDS_PER_HARNESS]   (default 60)
#
# Builds the libFuzzer harnesses of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for the given time, starting
# from its committed seeds and regressions. Fails when any harness finds a
# crash, a sanitizer report, a broken invariant, a hang or a leak; the input
# is kept under $BUILD_DIR/fuzz/findings/<harness>/ and belongs, once fixed,
# in fuzz/regressions/<harness>/ (replayed by the normal test run).
#
# Environment: SB_FUZZ_BUILD_DIR (default build-fuzz-clang), SB_FUZZ_HARNESSES
# (default: all), SB_FUZZ_FIGURES (a file to append "harness runs finding" to,
# the finding one of none, crash, hang, sanitizer, leak or invariant).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${SB_FUZZ_BUILD_DIR:-build-fuzz-clang}
harnesses=${SB_FUZZ_HARNESSES:-document cmdline device_read typed_value}
case "$seconds" in '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS_PER_HARNESS]" >&2; exit 2 ;; esac

# The fuzzing compiler and its runtime come on top of the build dependencies.
scripts/install-deps.sh clang-14 libclang-rt-14-dev

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DSBCONFIG_FUZZ=ON -DSBCONFIG_TESTS=OFF >/dev/null
targets=()
for h in $harnesses; do targets+=("fuzz_$h"); done
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
total_runs=0
for h in $harnesses; do
  work=$build/fuzz/work/$h          # grows across runs; the committed seeds stay as they are
  findings=$build/fuzz/findings/$h
  rm -rf "$findings"
  mkdir -p "$work" "$findings"
  seeds=(fuzz/corpus/"$h")
  [ -d fuzz/regressions/"$h" ] && seeds+=(fuzz/regressions/"$h")
  log=$build/fuzz/$h.log
  echo "== fuzz_$h for ${seconds}s"
  set +e
  # -timeout: one input running this long counts as a hang.
  "$build/fuzz/fuzz_$h" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "${seeds[@]}" >"$log" 2>&1
  code=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  total_runs=$((total_runs + runs))
  if [ "$code" != 0 ]; then
    failed+=("$h")
    echo "FAIL: fuzz_$h (exit $code) after $runs runs; log $log, input in $findings/:"
    grep -m1 -E "ERROR: |runtime error|invariant broken|ALARM" "$log" || true
    ls "$findings"
    echo "Reproduce: $build/fuzz/fuzz_$h <input>"
    if ls "$findings" | grep -q '^timeout-'; then finding=hang
    elif grep -q "LeakSanitizer" "$log"; then finding=leak
    elif grep -qE "invariant broken" "$log"; then finding=invariant
    elif grep -qE "Sanitizer|runtime error" "$log"; then finding=sanitizer
    else finding=crash
    fi
  else
    echo "ok: fuzz_$h, $runs runs, no finding"
    finding=none
  fi
  if [ -n "${SB_FUZZ_FIGURES:-}" ]; then echo "$h $runs $finding" >>"$SB_FUZZ_FIGURES"; fi
done
echo "fuzz: ${total_runs} inputs tried, ${#failed[@]} harness(es) with findings${failed:+: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
