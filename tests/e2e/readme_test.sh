#!/usr/bin/env bash
# The README's command blocks run as written: the ```sh blocks of each section
# below, in order and in one shell per section, from the root of a scratch copy
# of the repository whose build/ is this build (the scripts installing the
# packages and building are stubbed: that is done; installs go to a DESTDIR).
# No section may leave anything in the copy that git would see.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SECTIONS=("How to" "Simulated headset" "Installing from source")
COPY=$TEST_DIR/copy
export DESTDIR=$TEST_DIR/stage TMPDIR=$TEST_DIR/tmp

begin_case "a scratch copy of the repository on this build, under git"
mkdir "$COPY"
tar -C "$SB_SOURCE_DIR" --exclude-vcs --exclude='./build*' -cf - . | tar -C "$COPY" -xf - || fail "copy failed"
ln -s "$SB_BUILD_DIR" "$COPY/build"
for script in install-deps.sh build.sh; do printf '#!/bin/sh\n' >"$COPY/scripts/$script"; done
git -C "$COPY" init -q && git -C "$COPY" add -A &&
  git -C "$COPY" -c user.name=readme -c user.email=readme@sbconfigtool.org commit -qm copy || fail "git failed"
echo /build >>"$COPY/.git/info/exclude"  # the link standing in for the build directory

# The ```sh blocks of a "## " section of the README, one after the other.
readme_blocks() {
  awk -v want="## $1" '/^## / {on = ($0 == want)}
    /^```/ {if (fence) fence = block = 0; else {fence = 1; block = on && $0 == "```sh"}; next}
    block' "$COPY/README.md"
}

for section in "${SECTIONS[@]}"; do
  begin_case "$section: the blocks run and leave the checkout clean"
  readme_blocks "$section" >"$TEST_DIR/blocks.sh"
  [ -s "$TEST_DIR/blocks.sh" ] || fail "no sh block in the section"
  (cd "$COPY" && timeout 60 bash -euo pipefail "$TEST_DIR/blocks.sh") >"$OUT" 2>"$ERR" </dev/null
  EXIT_CODE=$?
  expect_exit 0
  git -C "$COPY" status --porcelain >"$TEST_DIR/status"
  [ ! -s "$TEST_DIR/status" ] || fail "left in the checkout: $(cat "$TEST_DIR/status")"
done

begin_case "the staged installation holds stripped programs"
for program in sbconfigtool sbheadset-sim rigconf_write; do
  file -b "$DESTDIR/usr/local/bin/$program" | grep -q ', stripped' || fail "$program is missing or not stripped"
done

finish
