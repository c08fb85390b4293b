#!/usr/bin/env bash
# Builds and runs every test: once in a normal build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The tests are named on: the demo may have configured this build without them.
scripts/build.sh build -DSBCONFIG_TESTS=ON
(cd build && ctest --output-on-failure -j"$(nproc)")
scripts/build.sh build-sanitize -DSBCONFIG_SANITIZE=ON -DSBCONFIG_TESTS=ON
(cd build-sanitize && ctest --output-on-failure -j"$(nproc)")
