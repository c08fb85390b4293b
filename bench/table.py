#!/usr/bin/env python3
"""Prints the benchmark table from the figures run.sh gathered.

  table.py RESULTS.tsv DOCDIR SIZE...

RESULTS.tsv holds NAME<TAB>VALUE lines: medians in seconds, peak resident sizes
(rss_NAME) in kB, and the device counts. Sizes are decimal: 1 MB = 10^6 bytes.
The last column says whether a target holds; nothing here fails on a figure.
"""

import math
import os
import sys

PAUSE = 0.100  # the pause a write makes after its size report


def load(path):
    values = {}
    with open(path) as f:
        for line in f:
            name, value = line.rstrip("\n").split("\t")
            values[name] = float(value)
    return values


def ms(seconds):
    return "%.2f ms" % (seconds * 1000) if seconds < 10 else "%.1f s" % seconds


def mb(kilobytes):
    return "%.1f MB" % (kilobytes * 1024 / 1e6)


def verdict(ok):
    return "met" if ok else "NOT MET"


def table(rows, header):
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    line = lambda r: "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip()
    print(line(header))
    print("  ".join("-" * w for w in widths))
    for r in rows:
        print(line(r))
    print()


def main(argv):
    v = load(argv[1])
    docs = argv[2]
    sizes = argv[3:]
    size = lambda name: os.path.getsize(os.path.join(docs, name))

    print()
    print("sbconfigtool benchmark on %s; load average %s at the end" % (os.environ.get("MACHINE", "?"),
                                                                         os.environ.get("LOAD_NOW", "?")))
    print("Medians of all runs; ratios from the same run. Targets are checked, never enforced.")
    print()

    typical = size("typical.json")
    print("(a) Typical run: %d-byte document, one firmware_config element set, written to stdout" % typical)
    rows = [
        ["sbconfigtool", ms(v["tool"]), "", "", ""],
        ["floor (JsonCpp read + StyledWriter)", ms(v["floor"]), "tool / floor = %.2f" % (v["tool"] / v["floor"]),
         "<= 1.0", verdict(v["tool"] <= v["floor"])],
        ["jq", ms(v["jq"]), "tool / jq = %.3f" % (v["tool"] / v["jq"]), "<= 0.2", verdict(v["tool"] <= 0.2 * v["jq"])],
        ["startup: sbconfigtool /BatchDump", ms(v["tool_start"]), "", "", ""],
        ["startup: floor, no work", ms(v["floor_start"]), "tool / floor = %.2f" % (v["tool_start"] / v["floor_start"]),
         "", ""],
        ["work beyond startup: sbconfigtool", ms(v["tool"] - v["tool_start"]), "", "", ""],
        ["work beyond startup: floor", ms(v["floor"] - v["floor_start"]),
         "tool / floor = %.2f" % ((v["tool"] - v["tool_start"]) / max(v["floor"] - v["floor_start"], 1e-9)), "", ""],
    ]
    table(rows, ["command", "median", "ratio", "target", ""])

    print("(d) Peak resident memory, typical run")
    rows = [
        ["sbconfigtool", mb(v["rss_tool"]), "<= 6 MB", verdict(v["rss_tool"] * 1024 <= 6e6)],
        ["sbconfigtool /BatchDump (startup)", mb(v["rss_tool_start"]), "", ""],
        ["floor", mb(v["rss_floor"]), "", ""],
        ["jq", mb(v["rss_jq"]), "", ""],
    ]
    table(rows, ["command", "peak RSS", "target", ""])

    print("(b) Scaling: load, write to a file (half firmware_config members, half sensor model points)")
    rows = []
    previous = None
    for s in sizes:
        b = size("scale-%s.json" % s)
        t = v["tool_" + s]
        ratio = ""
        ratio_ok = ""
        if previous is not None:
            r = t / previous[1]
            scale = b / previous[0]
            ratio = "%.2f for %.1fx the size" % (r, scale)
            ratio_ok = verdict(r <= 1.1 * scale)
        mbps = b / 1e6 / t
        last = s == sizes[-1] and s == "10m"
        rss = v["rss_tool_" + s]
        rows.append([s, "%d" % b, ms(t), "%.1f MB/s" % mbps, ratio, ratio_ok, ms(v["floor_" + s]),
                     "%.2f" % (t / v["floor_" + s]), mb(rss), "%.1fx" % (rss * 1024 / b),
                     "%.1fx" % ((rss - v["rss_tool_start"]) * 1024 / b), mb(v["rss_floor_" + s])])
        if last:
            rows[-1][3] += " (>= 25: %s)" % verdict(mbps >= 25)
        previous = (b, t)
    table(rows, ["size", "bytes", "tool", "throughput", "time ratio to previous", "<= 1.1x size ratio",
                 "floor", "tool/floor", "tool peak RSS", "RSS/size", "beyond startup/size", "floor peak RSS"])
    outputs = os.environ.get("OUTPUTS", "")
    last = sizes[-1] if sizes else None
    if last and ("tool_%s_disk" % last) in v:
        b = size("scale-%s.json" % last)
        t = v["tool_%s_disk" % last]
        print("  outputs above went to %s (RAM); the %s document written to the build directory's disk instead"
              % (outputs, last))
        print("  (the tool syncs the file before renaming it into place): %s, %.1f MB/s" % (ms(t), b / 1e6 / t))
        print()
    big = [s for s in sizes if s in ("1m", "10m")]
    for s in big:
        b = size("scale-%s.json" % s)
        r = v["rss_tool_" + s] * 1024 / b
        beyond = (v["rss_tool_" + s] - v["rss_tool_start"]) * 1024 / b
        print("  peak memory %s: %.1fx the document (target <= 10x): %s; beyond the %s a run without work"
              " takes: %.1fx: %s" % (s, r, verdict(r <= 10), mb(v["rss_tool_start"]), beyond, verdict(beyond <= 10)))
    if big:
        print()

    print("(c) Device round trip through the simulated headset (/OutputSentinel with backup, then /InputSentinel)")
    note = os.environ.get("DEVICE_NOTE", "")
    if note:
        print("  skipped: " + note)
        print()
        return 0
    csize = int(v["csize"])
    expected = 1 + math.ceil(csize / 62)
    write, read = v["dev_write"], v["dev_read"]
    beyond = write - PAUSE + read
    rows = [
        ["write (backup read + write)", ms(write), ms(write - PAUSE), "%d sent, %d read" % (v["write_reports"], v["write_gets"]),
         "sent = 1 + ceil(%d / 62) = %d: %s" % (csize, expected, verdict(v["write_reports"] == expected))],
        ["read back (/OutputStdout)", ms(read), ms(read), "%d read" % v["read_reports"], ""],
        ["round trip", ms(write + read), ms(beyond), "", "<= 5 ms beyond pauses: %s" % verdict(beyond <= 0.005)],
    ]
    if "dev_write_disk" in v:
        w = v["dev_write_disk"]
        rows.append(["write, backup on disk", ms(w), ms(w - PAUSE), "", "round trip %s beyond pauses" % ms(w - PAUSE + read)])
    logged = "dev_write_logger" in v
    if logged:
        lw, lr = v["dev_write_logger"], v["dev_read_logger"]
        lbeyond = lw - PAUSE + lr
        rows += [
            ["with a system logger: write", ms(lw), ms(lw - PAUSE), "", ""],
            ["with a system logger: read back", ms(lr), ms(lr), "", ""],
            ["with a system logger: round trip", ms(lw + lr), ms(lbeyond), "",
             "<= 5 ms beyond pauses: %s" % verdict(lbeyond <= 0.005)],
        ]
    table(rows, ["step", "median", "minus the 100 ms pause", "feature reports", "target"])
    print("  %d-byte document, %d bytes compressed (the read limit is 8192). The backup is synced to its"
          % (size("device.json"), csize))
    print("  directory: %s above, the build directory's disk in the last row." % os.environ.get("OUTPUTS", "?"))
    each = max(v["probe_send"] - v["probe_none"], 0.0)
    logger = "a system logger" if os.environ.get("SYSLOG") == "yes" else \
        "no system logger here (/dev/log), so each falls back to /dev/console (LOG_CONS)"
    print("  The round trip sends %d device diagnostics to the system log, copied to stderr; %s." % (v["diagnostics"], logger))
    rest = beyond - v["diagnostics"] * each
    print("  One costs %s on this machine (a probe sending one, against one doing nothing); the round trip" % ms(each))
    print("  without them: %s beyond pauses (<= 5 ms: %s)." % (ms(rest), verdict(rest <= 0.005)))
    if logged:
        print("  The rows \"with a system logger\" ran the same commands in a private mount namespace whose")
        print("  /dev/log is a logger of our own (bench/with_logger.sh), as on a machine with journald or rsyslog;")
        print("  it took %.1f messages per round trip. Two process starts (sbconfigtool /BatchDump there) take"
              % v["logger_messages_per_round_trip"])
        start = v["dev_start_logger"]
        print("  %s of its %s beyond pauses; the rest is the work: %s." % (ms(2 * start), ms(lbeyond), ms(lbeyond - 2 * start)))
    elif os.environ.get("LOGGER_NOTE"):
        print("  " + os.environ["LOGGER_NOTE"] + "; only the figures above.")
    print()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
