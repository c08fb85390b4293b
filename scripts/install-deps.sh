#!/usr/bin/env bash
# Usage: scripts/install-deps.sh [EXTRA_PACKAGE...]
# Installs the Debian packages needed to build and test, and any extra ones
# named, when any is missing.
set -euo pipefail
packages=("$@"
          cmake g++ make pkg-config libjsoncpp-dev libhidapi-dev libudev-dev zlib1g-dev libmd-dev
          googletest libgtest-dev
          man-db groff-base bash-completion dpkg-dev file lintian  # manual page, completion and package tests
          hyperfine jq time python3)          # the benchmark; jq and python3 for the command-line cases
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
