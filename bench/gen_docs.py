#!/usr/bin/env python3
"""Makes the benchmark's input documents.

Every document starts from the example headset document (examples/hmd_latest.json)
and grows two blocks: "firmware_config" with many members and the sensor model
"skybeacon_config" with many points. Values are neutral and deterministic: dyadic
reals, placeholder texts and points on a fixed pseudo-random sequence, all of which
read back and write out unchanged. The text is laid out as the tool writes it
(3-space indent, members in byte order, short arrays on one line), so a document's
size here is close to its size after one pass through the tool.

  gen_docs.py OUTDIR [--quick]

writes typical.json (about 8 KB), device.json (compressed size about 8 KB),
scale-100k.json, scale-1m.json and scale-10m.json (only the first two with --quick).
"""

import json
import math
import os
import random
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MARGIN = 160


def as_float(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


class Float:
    """A single-precision real, written with 9 significant digits."""

    def __init__(self, x):
        self.x = as_float(x)


def text_of_real(x, digits):
    return "%.*g" % (digits, x)


def flat(v):
    if v is None:
        return "null"
    if v is True:
        return "true"
    if v is False:
        return "false"
    if isinstance(v, Float):
        return text_of_real(v.x, 9)
    if isinstance(v, int):
        return str(v)
    if isinstance(v, float):
        return text_of_real(v, 17)
    if isinstance(v, str):
        return json.dumps(v, ensure_ascii=True)
    if isinstance(v, list):
        return "[]"
    return "{}"


def styled(v, out, indent):
    """Appends the styled text of v; the caller has written the indentation."""
    if isinstance(v, dict) and v:
        out.append("{\n")
        inner = indent + "   "
        keys = sorted(v, key=lambda k: k.encode())
        for i, k in enumerate(keys):
            out.append(inner + json.dumps(k) + " : ")
            styled(v[k], out, inner)
            out.append(",\n" if i + 1 < len(keys) else "\n")
        out.append(indent + "}")
    elif isinstance(v, list) and v:
        multi = 3 * len(v) >= MARGIN or any(isinstance(e, (list, dict)) and e for e in v)
        if not multi:
            texts = [flat(e) for e in v]
            multi = 2 * (len(v) + 1) + sum(map(len, texts)) >= MARGIN
            if not multi:
                out.append("[ " + ", ".join(texts) + " ]")
                return
        out.append("[\n")
        inner = indent + "   "
        for i, e in enumerate(v):
            out.append(inner)
            styled(e, out, inner)
            out.append(",\n" if i + 1 < len(v) else "\n")
        out.append(indent + "]")
    else:
        out.append(flat(v))


def render(doc):
    out = []
    styled(doc, out, "")
    out.append("\n")
    return "".join(out)


def to_model(v):
    """The example read as the tool's model holds it: its reals are floats."""
    if isinstance(v, dict):
        return {k: to_model(e) for k, e in v.items()}
    if isinstance(v, list):
        return [to_model(e) for e in v]
    if isinstance(v, float):
        return Float(v)
    return v


def base_document():
    with open(os.path.join(ROOT, "examples", "hmd_latest.json")) as f:
        return to_model(json.load(f))


def sensor_model(count, seed):
    """count sensors on a band around the headset's front, unit normals."""
    rnd = random.Random(seed)
    points, normals = [], []
    for _ in range(count):
        yaw = rnd.uniform(-2.6, 2.6)
        pitch = rnd.uniform(-0.7, 0.7)
        nx, ny, nz = math.sin(yaw) * math.cos(pitch), math.sin(pitch), -math.cos(yaw) * math.cos(pitch)
        radius = rnd.uniform(0.08, 0.11)
        points.append([Float(radius * nx), Float(radius * ny * 0.8), Float(radius * nz)])
        normals.append([Float(nx), Float(ny), Float(nz)])
    channels = list(range(count))
    rnd.shuffle(channels)
    return {
        "channelMap": channels,
        "modelCad": "bench_band_%d" % count,
        "modelNormals": normals,
        "modelPoints": points,
    }


def firmware_members(count, seed):
    """count neutral members of every kind the block usually holds."""
    rnd = random.Random(seed)
    members = {}
    for i in range(count):
        kind = i % 4
        if kind == 0:
            value = rnd.randrange(0, 100000)
        elif kind == 1:
            value = rnd.randrange(-4096, 4096) / 1024.0  # dyadic: prints as read
        elif kind == 2:
            value = "mode_%c" % "abcdefgh"[rnd.randrange(8)]
        else:
            value = rnd.randrange(2) == 1
        members["param_%07d" % i] = value
    return members


def build(members, sensors):
    doc = base_document()
    firmware = doc.get("firmware_config", {})
    firmware.update(firmware_members(members, 8))
    doc["firmware_config"] = firmware
    if sensors:
        doc["skybeacon_config"] = sensor_model(sensors, 42)
    return doc


def fit(target, make, lo, hi, measure):
    """The largest n in [lo, hi] whose document measures at most target."""
    while lo < hi:
        mid = (lo + hi + 1) // 2
        if measure(make(mid)) <= target:
            lo = mid
        else:
            hi = mid - 1
    return make(lo)


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    outdir = argv[1]
    quick = "--quick" in argv[2:]
    os.makedirs(outdir, exist_ok=True)

    # Typical: a production headset's 32 sensors, firmware_config filled up
    # to 8 KB.
    text = fit(8192, lambda n: render(build(n, 32)), 0, 400, len)
    write(os.path.join(outdir, "typical.json"), text)

    # Device: as many sensors as fit in about 8 KB of zlib stream, under the
    # 8192-byte limit of a read with room for the raised revision.
    text = fit(8000, lambda n: render(build(0, n)), 32, 4000, lambda t: len(zlib.compress(t.encode())))
    write(os.path.join(outdir, "device.json"), text)

    # Scaling: half of the text in firmware_config, half in the sensor model.
    sizes = [("100k", 100 * 1000)] if quick else [("100k", 100 * 1000), ("1m", 1000 * 1000), ("10m", 10 * 1000 * 1000)]
    for name, size in sizes:
        # One member line is about 32 bytes, one sensor about 120 (point and normal).
        members, sensors = size // 2 // 32, size // 2 // 120
        for _ in range(3):
            got = len(render(build(members, sensors)))
            members = max(1, int(members * size / got))
            sensors = max(1, int(sensors * size / got))
        write(os.path.join(outdir, "scale-%s.json" % name), render(build(members, sensors)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
