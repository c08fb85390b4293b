#!/usr/bin/env bash
# End-to-end tests of the simulated headset: the sbheadset-sim command and
# the simulated HID library that programs load in place of the real one.
set -u

SIM=${SB_BUILD_DIR:-}/sbheadset-sim
SIMLIB_DIR=${SB_BUILD_DIR:-}/headsetsim/lib
NAME=headsetsim_test
if [ -z "${SB_BUILD_DIR:-}" ] || [ ! -x "$SIM" ]; then
  echo "FAIL: $NAME: no sbheadset-sim at '$SIM' (set SB_BUILD_DIR)"
  exit 1
fi

TEST_DIR=$(mktemp -d "${TMPDIR:-/tmp}/$NAME.XXXXXX") || exit 1
trap 'rm -rf "$TEST_DIR"' EXIT
cd "$TEST_DIR" || exit 1
export SBHEADSET_SIM_DIR=$TEST_DIR/sim
CASE="(setup)"
OUT=$TEST_DIR/.stdout
ERR=$TEST_DIR/.stderr
CODE=

fail() {
  echo "FAIL: $NAME: $CASE: $*"
  echo "--- exit code: $CODE; stdout:"
  head -c 3000 "$OUT"
  echo "--- stderr:"
  head -c 3000 "$ERR"
  exit 1
}
sim() {
  "$SIM" "$@" >"$OUT" 2>"$ERR" </dev/null
  CODE=$?
}
expect_exit() { [ "$CODE" = "$1" ] || fail "exit code $CODE, expected $1"; }
expect_stdout() { [ "$(cat "$OUT")" = "$1" ] || fail "stdout is not: $1"; }
expect_stdout_has() { grep -qF -- "$1" "$OUT" || fail "stdout lacks: $1"; }
expect_stderr_has() { grep -qF -- "$1" "$ERR" || fail "stderr lacks: $1"; }

CASE="usage"
sim
expect_exit 2
expect_stderr_has "usage: sbheadset-sim COMMAND"
sim help
expect_exit 0
expect_stdout_has "inspect NAME"

CASE="no simulation directory"
SBHEADSET_SIM_DIR= "$SIM" list >"$OUT" 2>"$ERR"
CODE=$?
expect_exit 1
expect_stderr_has "SBHEADSET_SIM_DIR is not set"

CASE="create with defaults, creating the directory"
sim create hmd1
expect_exit 0
[ -f "$SBHEADSET_SIM_DIR/hmd1.headset" ] || fail "no hmd1.headset"
[ -e "$SBHEADSET_SIM_DIR/hmd1.zcfg" ] && fail "a new headset holds no configuration"
sim show hmd1
expect_exit 0
expect_stdout_has "vendor_id=0xF3A1"
expect_stdout_has "product_id=0x2000"
expect_stdout_has "serial=hmd1"
expect_stdout_has "interfaces=1"
expect_stdout_has "get_fail=0"

CASE="create refuses duplicates, bad names and bad fields"
sim create hmd1
expect_exit 1
expect_stderr_has "already exists"
sim create "bad/name"
expect_exit 1
sim create hmd2 colour=red
expect_exit 1
expect_stderr_has "unknown key 'colour'"
sim create hmd2 interfaces=0
expect_exit 1
sim create hmd2 vendor_id=0x10000
expect_exit 1
[ -e "$SBHEADSET_SIM_DIR/hmd2.headset" ] && fail "a refused headset was created"

CASE="serials keep trailing spaces; list in name order"
sim create b-periph vendor_id=0xF3B2 product_id=0x0101 "serial=P 1  " interfaces=2
expect_exit 0
sim create a-hmd product_id=0x2150 "product=Bench unit"
expect_exit 0
sim list
expect_exit 0
expect_stdout 'a-hmd F3A1:2150 serial="a-hmd" product="Bench unit" interfaces=1 stored=none
b-periph F3B2:0101 serial="P 1  " product="Skybeacon HMD" interfaces=2 stored=none
hmd1 F3A1:2000 serial="hmd1" product="Skybeacon HMD" interfaces=1 stored=none'
grep -qx "serial=P 1  " "$SBHEADSET_SIM_DIR/b-periph.headset" || fail "serial not kept verbatim"

CASE="store compresses, inspect inflates byte for byte"
printf '{\n   "device_serial_number" : "hmd1",\n   "revision" : 4\n}\n' >doc.json
sim store hmd1 doc.json
expect_exit 0
head -c 2 "$SBHEADSET_SIM_DIR/hmd1.zcfg" | od -An -tx1 | grep -q "78 9c" || fail "not a zlib stream"
sim inspect hmd1
expect_exit 0
cmp -s "$OUT" doc.json || fail "inspect differs from the stored document"
sim list
expect_stdout_has "hmd1 F3A1:2000 serial=\"hmd1\" product=\"Skybeacon HMD\" interfaces=1 stored=$(stat -c %s "$SBHEADSET_SIM_DIR/hmd1.zcfg") bytes"

CASE="store from standard input"
printf '{}' | "$SIM" store a-hmd - >"$OUT" 2>"$ERR"
CODE=$?
expect_exit 0
sim inspect a-hmd
expect_stdout '{}'

CASE="store refuses what no headset can hold"
head -c 70000 /dev/urandom >random.bin
sim store a-hmd random.bin
expect_exit 1
expect_stderr_has "at most 65535"
sim inspect a-hmd
expect_stdout '{}'
sim store a-hmd missing-file.json
expect_exit 1

CASE="a damaged raw stream is reported by inspect"
printf 'not zlib' >garbage.bin
sim store-raw a-hmd garbage.bin
expect_exit 0
sim inspect a-hmd
expect_exit 1
expect_stderr_has "stored configuration is damaged"
head -c 40 "$SBHEADSET_SIM_DIR/hmd1.zcfg" >cut.bin
sim store-raw a-hmd cut.bin
sim inspect a-hmd
expect_exit 1
expect_stderr_has "damaged"

CASE="erase forgets the configuration"
sim erase a-hmd
expect_exit 0
sim inspect a-hmd
expect_exit 1
expect_stderr_has "holds no configuration"
sim erase a-hmd
expect_exit 0

CASE="faults are set, listed, unset and cleared"
sim set hmd1 get_fail=all short_report=3 announce_size=0x2001 serial_language_id=yes
expect_exit 0
sim list
expect_stdout_has "faults: get_fail=all short_report=3 announce_size=8193 serial_language_id=yes"
sim set hmd1 get_fail=sometimes
expect_exit 1
sim unset hmd1 get_fail short_report
expect_exit 0
sim show hmd1
expect_stdout_has "get_fail=0"
expect_stdout_has "announce_size=8193"
sim clear-faults hmd1
sim show hmd1
expect_stdout_has "announce_size=-1"
expect_stdout_has "serial_language_id=no"
expect_stdout_has "serial=hmd1"

CASE="unset serial and product: the headset reports none"
sim unset hmd1 serial product
expect_exit 0
sim show hmd1
grep -q "^serial=" "$OUT" && fail "serial still present"
grep -q "^product=" "$OUT" && fail "product still present"
sim list
expect_stdout_has "hmd1 F3A1:2000 serial=none product=none"
sim set hmd1 serial=hmd1
expect_exit 0

CASE="remove deletes the headset and its configuration"
sim remove hmd1
expect_exit 0
[ -e "$SBHEADSET_SIM_DIR/hmd1.zcfg" ] && fail "configuration left behind"
sim show hmd1
expect_exit 1
sim remove hmd1
expect_exit 1

CASE="the simulated library carries the real library's soname and interface"
LIB=$SIMLIB_DIR/libhidapi-hidraw.so.0
[ -f "$LIB" ] || fail "no $LIB"
objdump -p "$LIB" | grep -q "SONAME *libhidapi-hidraw.so.0" || fail "wrong soname"
for f in hid_init hid_exit hid_enumerate hid_free_enumeration hid_open hid_open_path hid_close \
         hid_get_feature_report hid_send_feature_report hid_read hid_read_timeout hid_write \
         hid_error hid_get_serial_number_string hid_get_product_string; do
  objdump -T "$LIB" | grep -qE "[[:space:]]$f\$" || fail "$f not exported"
done
TOOL=$SB_BUILD_DIR/sbconfigtool
if readelf -d "$TOOL" 2>/dev/null | grep -q "libhidapi-hidraw.so.0"; then
  LD_LIBRARY_PATH=$SIMLIB_DIR ldd "$TOOL" | grep -q "libhidapi-hidraw.so.0 => $SIMLIB_DIR/" ||
    fail "the tool does not pick up the simulated library"
fi

# Drives the simulated library from another process, as the tool would: what
# one run writes, the next run and sbheadset-sim see.
CASE="the library serves and stores configurations across processes"
if command -v python3 >/dev/null && ! ldd "$LIB" | grep -q libasan; then
  sim create dev1 serial=DEV1 interfaces=2
  sim create other vendor_id=0xF3B2
  cat >drive.py <<'PY'
import ctypes, sys, zlib
lib = ctypes.CDLL(sys.argv[1] + "/libhidapi-hidraw.so.0")
class Info(ctypes.Structure):
    pass
Info._fields_ = [("path", ctypes.c_char_p), ("vendor_id", ctypes.c_ushort),
                 ("product_id", ctypes.c_ushort), ("serial_number", ctypes.c_wchar_p),
                 ("release_number", ctypes.c_ushort), ("manufacturer_string", ctypes.c_wchar_p),
                 ("product_string", ctypes.c_wchar_p), ("usage_page", ctypes.c_ushort),
                 ("usage", ctypes.c_ushort), ("interface_number", ctypes.c_int),
                 ("next", ctypes.POINTER(Info)), ("bus_type", ctypes.c_int)]
lib.hid_enumerate.restype = ctypes.POINTER(Info)
lib.hid_open_path.restype = ctypes.c_void_p
lib.hid_open_path.argtypes = [ctypes.c_char_p]
lib.hid_get_feature_report.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t]
lib.hid_send_feature_report.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t]
lib.hid_close.argtypes = [ctypes.c_void_p]
node = lib.hid_enumerate(0xF3A1, 0)
found = []
while node:
    found.append((node.contents.path.decode(), node.contents.serial_number, node.contents.interface_number))
    node = node.contents.next
print("found", found)
dev = lib.hid_open_path(b"sim:dev1:0")
if sys.argv[2] == "write":
    stream = zlib.compress(open(sys.argv[3], "rb").read())
    assert lib.hid_send_feature_report(dev, bytes([0x10, len(stream) >> 8, len(stream) & 0xFF]), 3) == 3
    for at in range(0, len(stream), 62):
        chunk = stream[at:at + 62]
        report = bytes([0x11, len(chunk)]) + chunk + bytes(62 - len(chunk))
        assert lib.hid_send_feature_report(dev, report, 64) == 64
else:
    buf = ctypes.create_string_buffer(65)
    buf[0] = 0x10
    assert lib.hid_get_feature_report(dev, buf, 65) == 64
    size = (buf.raw[1] << 8) | buf.raw[2]
    stream = b""
    while True:
        buf[0] = 0x11
        assert lib.hid_get_feature_report(dev, buf, 65) == 64
        n = buf.raw[1]
        if n == 0:
            break
        stream += buf.raw[2:2 + n]
    assert len(stream) == size, (len(stream), size)
    sys.stdout.write(zlib.decompress(stream).decode())
lib.hid_close(dev)
PY
  python3 drive.py "$SIMLIB_DIR" write doc.json >"$OUT" 2>"$ERR"
  CODE=$?
  expect_exit 0
  expect_stdout "found [('sim:a-hmd:0', 'a-hmd', 0), ('sim:dev1:0', 'DEV1', 0), ('sim:dev1:1', 'DEV1', 1)]"
  sim inspect dev1
  cmp -s "$OUT" doc.json || fail "sbheadset-sim does not see what the library stored"
  python3 drive.py "$SIMLIB_DIR" read >"$OUT" 2>"$ERR"
  CODE=$?
  expect_exit 0
  tail -n +2 "$OUT" | cmp -s - doc.json || fail "a later process reads back something else"
fi

echo "PASS: $NAME"
