#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz harness to fuzz/corpus/<harness>/.

The seeds are committed; run this again only to change them. Document seeds
come from examples/*.json, device seeds are those documents deflated and cut
into the feature reports of the transfer protocol (see hid_double.h)."""
import os
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
EXAMPLES = os.path.join(ROOT, "examples")


def write(harness, name, data):
    directory = os.path.join(HERE, "corpus", harness)
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def examples():
    for name in sorted(os.listdir(EXAMPLES)):
        if name.endswith(".json"):
            with open(os.path.join(EXAMPLES, name), "rb") as f:
                yield name[:-5], f.read()


def document_seeds():
    for name, text in examples():
        write("document", name + ".json", text)
    small = {
        "empty_object": b"{}",
        "controller": b'{"device_class": "controller", "revision": 4294967295, "firmware_config": {"a": [1, 2.5, "x"]}}',
        "legacy_imu": b'{"device_class": "generic_tracker", "gyro_bias": [0.1, 0.2, 0.3], "trackref_from_imu": [0, 0, 0, 1, 0.01, 0, 0]}',
        "comments": b'// a comment\n{ /* here */ "device_class": "tracking_reference", "mfg_build_info": {"line": "A7"} }\n',
        "edid_ids": b'{"direct_mode_edid_vid": "abc", "direct_mode_edid_pid": "12g", "display_edid": ["00ff", "00fe"]}',
        "bom_crlf": b'\xef\xbb\xbf{\r\n"device_class": "controller"\r\n}\r\n',
    }
    for name, text in small.items():
        write("document", name + ".json", text)


def cmdline_seeds():
    vectors = {
        "input_output": ["/InputFile", "in.json", "/OutputFile", "out.json"],
        "prints": ["/PrintSerial", "/PrintMfgBuildInfo", "line", "/PrintModelNumber", "/PrintComputedSerial"],
        "edits": ["/FirmwareConfigSetElement", "k", "int", "5", "/SetMfgBuildInfo", "line", "string", "A7",
                  "/FirmwareConfigDeleteElement", "old", "/SetDirectModeVidPid", "SBQ", "2A10"],
        "lens": ["/LensIntrinsics", "a.json", "/LensEyeToHeadLeft", "b.json", "/DisplaySerialNums", "L", "R",
                 "/SanityCheckLensCal"],
        "device": ["/InputSentinel", "/OutputDevice", "/NoBackup", "/NoReformat", "/SerialSentinel"],
        "help_after": ["bare", "/outputstdout", "/HELP", "/Bogus"],
        "missing_argument": ["/OutputStdout", "/InputFile"],
        "unrecognised": ["/Quiet", "/BatchDump", "/InputFil", "next"],
    }
    for name, args in vectors.items():
        write("cmdline", name, b"\0".join(a.encode() for a in args))


def reports(stream, size=None, chunk=62):
    """The script of a read: the size report, the data reports, the end."""
    if size is None:
        size = len(stream)
    out = bytearray([1])  # quiet
    out += bytes([3, size >> 8, size & 0xFF])
    for offset in range(0, len(stream), chunk):
        piece = stream[offset:offset + chunk]
        out += bytes([64, len(piece)]) + piece + bytes(62 - len(piece))
    out += bytes([64]) + bytes(63)  # a chunk of length 0 ends the data
    return bytes(out)


def device_read_seeds():
    for name, text in examples():
        write("device_read", name, reports(zlib.compress(text)))
    small = zlib.compress(b'{"device_class": "controller"}')
    write("device_read", "no_config", bytes([0, 3, 0xFF, 0xFF]))
    write("device_read", "too_large", bytes([0, 3, 0x20, 0x01]))
    write("device_read", "size_zero", reports(small, size=0))
    write("device_read", "loud", b"\0" + reports(small)[1:])
    script = bytearray(reports(small))
    script[4] = 40  # a short first data report
    write("device_read", "short_report", bytes(script))
    script = bytearray(reports(small))
    script[5] = 63  # a length byte above what a report holds
    write("device_read", "bad_length", bytes(script))
    write("device_read", "retries", bytes([1, 0xFF, 3, 0, len(small)]) + bytes([0xFF]) + reports(small)[4:])


def typed_value_seeds():
    seeds = {
        "int": (3, ["count", "-42", "", "SBQ", "2A10"]),
        "float": (1, ["gain", "0.1", "", "abc", "12g"]),
        "double": (2, ["scale", "1e308", "", "AB", "-1"]),
        "string": (0, ["line", "A7", "", "zzz", "FFFF"]),
        "nan": (2, ["x", "nan", "", "", ""]),
        "inf": (1, ["y", "-inf", "", "", ""]),
        "other_type": (4, ["k", "1", "integer", "@@@", "0x1"]),
        "mfg": (8 | 3, ["serial", "99999999999999999999", "", "SBQ", "10000"]),
    }
    for name, (choice, fields) in seeds.items():
        write("typed_value", name, bytes([choice]) + b"\0".join(f.encode() for f in fields))


if __name__ == "__main__":
    document_seeds()
    cmdline_seeds()
    device_read_seeds()
    typed_value_seeds()
