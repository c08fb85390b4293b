#!/usr/bin/env bash
# Builds the Debian packages: build/sbconfigtool_<version>_<arch>.deb (the
# tool, its manual page, bash completion and udev rule) and
# build/sbconfigtool-sim_<version>_<arch>.deb (the simulated headset).
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
# The packages' directories take their modes from the umask: Debian wants
# 0755, so build as dpkg-buildpackage does.
umask 022
scripts/build.sh "$dir" -DSBCONFIG_SANITIZE=OFF
(cd "$dir" && cpack -G DEB)
ls "$dir"/*.deb
