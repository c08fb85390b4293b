#!/usr/bin/env bash
# Builds the tool, then loads the example headset document, sets one
# firmware_config element and prints the resulting document.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
./build/sbconfigtool /InputFile examples/hmd_latest.json /FirmwareConfigSetElement demo_setting int 1 /OutputStdout
