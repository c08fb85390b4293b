#!/usr/bin/env bash
# The Debian packages: built with CPack from the already-built tree, checked for their
# files and dependencies and by lintian, unpacked with dpkg-deb into a temporary root,
# and the unpacked programs run: the tool on its own and against the unpacked simulator.
# Skipped in the sanitizer build: a sanitized binary is not what we ship, and its
# dependencies (the sanitizer runtimes) are not those of the package.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
grep -q '^SBCONFIG_SANITIZE:BOOL=ON$' "$SB_BUILD_DIR/CMakeCache.txt" &&
  { echo "SKIP: $E2E_NAME: sanitizer build; packages are made from the normal build"; E2E_FINISHED=1; exit 77; }
PKG_DIR=$TEST_DIR/pkg ROOT=$TEST_DIR/root EXAMPLE=$EXAMPLES/hmd_latest.json

begin_case "cpack builds the two packages, and lintian finds no error and no warning in them"
for t in cpack dpkg-deb readelf lintian; do command -v $t >/dev/null || fail "no $t (scripts/install-deps.sh)"; done
umask 022  # as scripts/package.sh
cpack --config "$SB_BUILD_DIR/CPackConfig.cmake" -G DEB -B "$PKG_DIR" >"$TEST_DIR/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -20 "$TEST_DIR/cpack.log")"
TOOL_DEB=$(ls "$PKG_DIR"/sbconfigtool_*.deb) SIM_DEB=$(ls "$PKG_DIR"/sbconfigtool-sim_*.deb) ||
  fail "packages missing: $(ls "$PKG_DIR")"
lintian --fail-on error,warning --tag-display-limit 0 "$TOOL_DEB" "$SIM_DEB" >"$TEST_DIR/lintian.log" 2>&1
[ $? != 1 ] || fail "lintian did not run: $(tail -5 "$TEST_DIR/lintian.log")"
! grep -E '^[EW]: ' "$TEST_DIR/lintian.log" || fail "lintian reports the lines above"

begin_case "each package holds its files and no other"
for deb in "$PKG_DIR"/*.deb; do
  dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed "s|^\./|$(dpkg-deb -f "$deb" Package) |"
done | sort >"$TEST_DIR/files"
{
  printf 'sbconfigtool usr/%s\n' bin/{sbconfigtool,rigconf_path,rigconf_serial,rigconf_write} \
    share/man/man1/{sbconfigtool,rigconf_path,rigconf_serial,rigconf_write}.1.gz \
    share/doc/sbconfigtool/{changelog.gz,copyright} lib/udev/rules.d/70-sbconfigtool.rules \
    share/bash-completion/completions/sbconfigtool
  printf 'sbconfigtool-sim usr/%s\n' bin/sbheadset-sim share/man/man1/sbheadset-sim.1.gz \
    lib/sbconfigtool/headsetsim/libhidapi-hidraw.so.0 share/doc/sbconfigtool-sim/{changelog.gz,copyright}
} | sort >"$TEST_DIR/expected"
diff "$TEST_DIR/expected" "$TEST_DIR/files" >"$TEST_DIR/diff" || fail "(<: missing, >: unexpected) $(cat "$TEST_DIR/diff")"
for deb in "$PKG_DIR"/*.deb; do dpkg-deb -x "$deb" "$ROOT" || fail "dpkg-deb -x $deb failed"; done

begin_case "Depends names the package of each library the tool links, and of the HID library it opens"
depends=$(dpkg-deb -f "$TOOL_DEB" Depends | tr ',|' '\n\n' | awk '{print $1}')
for so in $(readelf -d "$ROOT/usr/bin/sbconfigtool" | sed -n 's/.*(NEEDED).*\[\(lib.*\)\]/\1/p') libhidapi-hidraw.so.0; do
  path=$(readlink -f "$(ldconfig -p | awk -v so="$so" '$1 == so {print $NF; exit}')")
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null)
  grep -qxF -- "${owner%%:*}" <<<"$depends" || fail "Depends lacks the package of $so ($path): $depends"
done
grep -qx zlib1g <<<"$(dpkg-deb -f "$SIM_DEB" Depends | tr ',|' '\n\n' | awk '{print $1}')" ||
  fail "sbconfigtool-sim does not depend on zlib1g"

begin_case "the unpacked tool prints its usage and writes the document the build's tool writes"
expected_output_of "$EXAMPLE" "$TEST_DIR/built.json"
TOOL=$ROOT/usr/bin/sbconfigtool SIM=$ROOT/usr/bin/sbheadset-sim
run_tool /Help
expect_exit 1
expect_stdout_file "$DATA_DIR/usage.txt"
[ ! -s "$ERR" ] || fail "stderr is not empty"
run_tool /InputFile "$EXAMPLE" /OutputFile "$TEST_DIR/unpacked.json"
expect_exit 0
cmp -s "$TEST_DIR/built.json" "$TEST_DIR/unpacked.json" || fail "the unpacked tool wrote another document"

begin_case "the unpacked tool writes a headset of the unpacked simulator through the unpacked HID stand-in"
export SBHEADSET_SIM_DIR=$TEST_DIR/sim LD_LIBRARY_PATH=$ROOT/usr/lib/sbconfigtool/headsetsim
mkdir "$SBHEADSET_SIM_DIR" && sim create hmd1 serial=SBH-2417-0042
run_tool /InputFile "$EXAMPLE" /OutputSentinel /NoBackup
expect_exit 0
"$SIM" inspect hmd1 2>&1 | cmp -s - "$TEST_DIR/built.json" || fail "the headset does not hold the document"

finish
