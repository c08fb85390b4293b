#!/usr/bin/env bash
# Builds the tool and runs its main job on a simulated headset: writes an
# example configuration to it, keeping a backup of what the headset held,
# reads it back and prints its serial number. Everything it makes lives in a
# temporary directory that is removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what the demo runs: the tests alone take minutes to build.
# scripts/test.sh turns them back on in this build directory.
cmake -S . -B build -DSBCONFIG_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target sbconfigtool sbheadset-sim headsetsim_hid
build=$PWD/build
example=$PWD/examples/hmd_latest.json

demo=$(mktemp -d "${TMPDIR:-/tmp}/sbconfigtool-demo.XXXXXX")
trap 'rm -rf "$demo"' EXIT
mkdir "$demo/work"
cd "$demo/work"  # the backup lands in the working directory

# The tool loads the simulated HID library in place of the real one and sees
# the headsets kept in SBHEADSET_SIM_DIR.
export SBHEADSET_SIM_DIR=$demo/headsets
sbconfigtool() {
  LD_LIBRARY_PATH=$build/headsetsim/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} "$build/sbconfigtool" "$@"
}
sim() { "$build/sbheadset-sim" "$@"; }
step() { printf '\n== %s\n' "$*"; }

step "A simulated headset that holds revision 17 of its configuration"
sim create hmd1 serial=SBH-2417-0042
sim store hmd1 "$example"
sim list

step "sbconfigtool /InputFile examples/hmd_latest.json /OutputSentinel"
sbconfigtool /InputFile "$example" /OutputSentinel
ls -l

echo "The backup keeps what the headset held; every write raises the revision:"
diff SBH-2417-0042-0.json <(sim inspect hmd1) || true

step "sbconfigtool /InputSentinel /PrintSerial /PrintModelNumber /PrintMfgBuildInfo line"
sbconfigtool /InputSentinel /PrintSerial /PrintModelNumber /PrintMfgBuildInfo line

step "sbconfigtool /PrintSentinelSerial"
sbconfigtool /PrintSentinelSerial
