#!/usr/bin/env bash
# The Debian packages: built with CPack from the already-built tree into a
# scratch directory, unpacked with dpkg-deb into a temporary root, checked
# for their files and dependencies and by lintian, and the unpacked programs
# run.
#
# Skipped in the sanitizer build: a sanitized binary is not what we ship, and
# its dependencies (the sanitizer runtimes) are not those of the package.
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_DIR/lib.sh"

if grep -q '^SBCONFIG_SANITIZE:BOOL=ON$' "$SB_BUILD_DIR/CMakeCache.txt"; then
  echo "SKIP: $E2E_NAME: sanitizer build; packages are made from the normal build"
  E2E_FINISHED=1
  exit 77
fi

PKG_DIR=$TEST_DIR/pkg
ROOT=$TEST_DIR/root
SIM_ROOT=$TEST_DIR/simroot

begin_case "cpack builds the two packages"
for tool in cpack dpkg-deb dpkg-shlibdeps readelf lintian; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
umask 022  # as scripts/package.sh
cpack --config "$SB_BUILD_DIR/CPackConfig.cmake" -G DEB -B "$PKG_DIR" >"$TEST_DIR/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -20 "$TEST_DIR/cpack.log")"
TOOL_DEB=$(ls "$PKG_DIR"/sbconfigtool_*.deb 2>/dev/null)
SIM_DEB=$(ls "$PKG_DIR"/sbconfigtool-sim_*.deb 2>/dev/null)
[ -f "$TOOL_DEB" ] || fail "no sbconfigtool package in: $(ls "$PKG_DIR")"
[ -f "$SIM_DEB" ] || fail "no sbconfigtool-sim package in: $(ls "$PKG_DIR")"
[ "$(ls "$PKG_DIR"/*.deb | wc -l)" = 2 ] || fail "more packages than expected: $(ls "$PKG_DIR"/*.deb)"

begin_case "lintian finds no error and no warning in either package"
lintian --fail-on error,warning --tag-display-limit 0 "$TOOL_DEB" "$SIM_DEB" >"$TEST_DIR/lintian.log" 2>&1
code=$?
[ "$code" != 1 ] || fail "lintian did not run: $(tail -5 "$TEST_DIR/lintian.log")"
! grep -E '^[EW]: ' "$TEST_DIR/lintian.log" || fail "lintian reports the lines above"

# The regular files and links of a package, as paths without the leading "./".
package_files() {
  dpkg-deb --fsys-tarfile "$1" | tar -t | grep -v '/$' | sed 's|^\./||' | sort
}

begin_case "the tool package holds the tool, its manual page, completion and udev rule"
{
  echo usr/bin/sbconfigtool
  # The sibling commands, once they are part of the build.
  if [ -f "$SB_SOURCE_DIR/rigconf/CMakeLists.txt" ]; then
    printf 'usr/bin/%s\n' rigconf_path rigconf_serial rigconf_write
    printf 'usr/share/man/man1/%s.1.gz\n' rigconf_path rigconf_serial rigconf_write
  fi
  echo usr/lib/udev/rules.d/70-sbconfigtool.rules
  echo usr/share/bash-completion/completions/sbconfigtool
  echo usr/share/doc/sbconfigtool/changelog.gz
  echo usr/share/doc/sbconfigtool/copyright
  echo usr/share/man/man1/sbconfigtool.1.gz
} | sort >"$TEST_DIR/expected_tool_files"
package_files "$TOOL_DEB" >"$TEST_DIR/tool_files"
cmp -s "$TEST_DIR/expected_tool_files" "$TEST_DIR/tool_files" ||
  fail "files differ (expected, packaged): $(diff "$TEST_DIR/expected_tool_files" "$TEST_DIR/tool_files")"

begin_case "the sim package keeps the HID stand-in out of the linker's search path"
package_files "$SIM_DEB" >"$TEST_DIR/sim_files"
grep -qx 'usr/bin/sbheadset-sim' "$TEST_DIR/sim_files" || fail "no usr/bin/sbheadset-sim"
SIM_LIB_REL=$(grep '/sbconfigtool/headsetsim/libhidapi-hidraw\.so\.0$' "$TEST_DIR/sim_files")
[ -n "$SIM_LIB_REL" ] || fail "no private libhidapi-hidraw.so.0: $(cat "$TEST_DIR/sim_files")"
grep -qx 'usr/share/man/man1/sbheadset-sim.1.gz' "$TEST_DIR/sim_files" || fail "no manual page"
[ "$(wc -l <"$TEST_DIR/sim_files")" = 5 ] || fail "unexpected files: $(cat "$TEST_DIR/sim_files")"

begin_case "the packages' dependencies come from the libraries their programs use"
dpkg-deb -x "$TOOL_DEB" "$ROOT" || fail "dpkg-deb -x failed"
dpkg-deb -x "$SIM_DEB" "$SIM_ROOT" || fail "dpkg-deb -x failed"
depends=$(dpkg-deb -f "$TOOL_DEB" Depends)
grep -q 'libc6 (>=' <<<"$depends" || fail "Depends lacks a versioned libc6: '$depends'"
# Each library the tool needs belongs to a package named in Depends.
readelf -d "$ROOT/usr/bin/sbconfigtool" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' >"$TEST_DIR/needed"
[ -s "$TEST_DIR/needed" ] || fail "the unpacked tool needs no library?"
while read -r soname; do
  # The dynamic loader is listed by its absolute path, and libc6 (checked above) owns it.
  case $soname in ld-linux*) continue ;; esac
  path=$(ldd "$ROOT/usr/bin/sbconfigtool" | awk -v s="$soname" '$1 == s {print $3}')
  [ -n "$path" ] || fail "$soname does not resolve"
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null)
  owner=${owner%%:*}
  [ -n "$owner" ] || fail "no package owns $path"
  tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF -- "$owner" || fail "Depends lacks $owner (for $soname): '$depends'"
done <"$TEST_DIR/needed"
# The HID library is opened on first use, not linked: its package is named.
hid_owner=$(dpkg -S "$(readlink -f /usr/lib/x86_64-linux-gnu/libhidapi-hidraw.so.0)" 2>/dev/null)
hid_owner=${hid_owner%%:*}
[ -n "$hid_owner" ] || fail "no package owns libhidapi-hidraw.so.0"
tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF -- "$hid_owner" ||
  fail "Depends lacks $hid_owner (for the HID library): '$depends'"
grep -q 'zlib1g' <<<"$(dpkg-deb -f "$SIM_DEB" Depends)" || fail "sbconfigtool-sim does not depend on zlib1g"

begin_case "the unpacked tool runs and prints its usage"
TOOL=$ROOT/usr/bin/sbconfigtool
run_tool /Help
expect_exit 1
expect_stdout_file "$DATA_DIR/usage.txt"
expect_stderr_empty

begin_case "the unpacked tool rewrites an example document as the build does"
run_tool /InputFile "$SB_SOURCE_DIR/examples/hmd_latest.json" /OutputStdout
expect_exit 0
cp "$OUT" "$TEST_DIR/unpacked.json"
TOOL=$SB_BUILD_DIR/sbconfigtool
run_tool /InputFile "$SB_SOURCE_DIR/examples/hmd_latest.json" /OutputStdout
cmp -s "$OUT" "$TEST_DIR/unpacked.json" || fail "the unpacked tool wrote another document"
grep -q '"revision"' "$OUT" || fail "no document written"
TOOL=$ROOT/usr/bin/sbconfigtool

begin_case "the unpacked manual page renders without warnings"
MANWIDTH=80 man --warnings -l "$ROOT/usr/share/man/man1/sbconfigtool.1.gz" >"$TEST_DIR/man.txt" 2>"$TEST_DIR/man.err" ||
  fail "man failed: $(cat "$TEST_DIR/man.err")"
[ ! -s "$TEST_DIR/man.err" ] || fail "warnings: $(head "$TEST_DIR/man.err")"
grep -q 'SBCONFIGTOOL' "$TEST_DIR/man.txt" || fail "the page did not render"

begin_case "the unpacked completion registers itself"
(source "$ROOT/usr/share/bash-completion/completions/sbconfigtool" && complete -p sbconfigtool) \
  >"$TEST_DIR/complete" 2>&1 || fail "$(cat "$TEST_DIR/complete")"

begin_case "the unpacked simulator serves a headset through the unpacked HID stand-in"
export SBHEADSET_SIM_DIR=$TEST_DIR/sim
mkdir -p "$SBHEADSET_SIM_DIR"
"$SIM_ROOT/usr/bin/sbheadset-sim" create hmd1 serial=SBH-2417-0042 >"$TEST_DIR/sim.out" 2>&1 ||
  fail "sbheadset-sim create: $(cat "$TEST_DIR/sim.out")"
"$SIM_ROOT/usr/bin/sbheadset-sim" list >"$TEST_DIR/sim.out" 2>&1 || fail "sbheadset-sim list failed"
grep -q 'SBH-2417-0042' "$TEST_DIR/sim.out" || fail "the headset is not listed: $(cat "$TEST_DIR/sim.out")"
# The stand-in provides every HID function the tool's device code calls.
for fn in hid_enumerate hid_free_enumeration hid_open_path hid_close hid_get_feature_report \
    hid_send_feature_report hid_read_timeout hid_write; do
  readelf --dyn-syms -W "$SIM_ROOT/$SIM_LIB_REL" | awk '$7 != "UND" {print $8}' | grep -qx "$fn" ||
    fail "the stand-in does not define $fn"
done
# When the tool links the HID library, the stand-in named on LD_LIBRARY_PATH
# replaces it.
if grep -qx 'libhidapi-hidraw.so.0' "$TEST_DIR/needed"; then
  resolved=$(LD_LIBRARY_PATH=$(dirname "$SIM_ROOT/$SIM_LIB_REL") ldd "$TOOL" |
    awk '$1 == "libhidapi-hidraw.so.0" {print $3}')
  [ "$resolved" = "$SIM_ROOT/$SIM_LIB_REL" ] || fail "libhidapi-hidraw.so.0 resolves to '$resolved'"
fi

begin_case "the unpacked tool finds a headset through the unpacked stand-in"
LD_LIBRARY_PATH=$(dirname "$SIM_ROOT/$SIM_LIB_REL") run_tool /PrintSentinelSerial
expect_exit 0
expect_stdout_equals $'connectedserial: SBH-2417-0042\n'

finish
