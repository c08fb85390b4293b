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

PAUSE = 0.100  # the pause a write makes after its size report; no other on a run without failures


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


def device(v, size):
    print("(c) Device cycle through the simulated headset: /InputFile device.json /OutputSentinel reads the headset")
    print("    (class check and backup), writes, reads back to verify; every feature report takes the delay")
    note = os.environ.get("DEVICE_NOTE", "")
    if note:
        print("  skipped: " + note)
        print()
        return
    delay = v["delay_us"] / 1e6
    csize = int(v["csize"])
    chunks = math.ceil(csize / 62)

    def row(label, time, prefix="dev_cycle"):
        gets, sends = v[prefix + "_gets"], v[prefix + "_sends"]
        floor = (gets + sends) * delay + PAUSE
        goal = floor * 1.1 + 0.010
        return [label, ms(time), "%d + %d = %d" % (gets, sends, gets + sends), ms(floor), ms(time - floor),
                "%s: %s" % (ms(goal), verdict(time <= goal))]

    rows = [row("cycle", v["dev_cycle"])]
    if "dev_cycle_disk" in v:
        rows.append(row("cycle, backup on disk", v["dev_cycle_disk"]))
    if "dev_cycle_logger" in v:
        rows.append(row("cycle with a system logger", v["dev_cycle_logger"]))
    rows.append(row("cycle with /NoVerify", v["dev_noverify"], "dev_noverify"))
    nodelay = v["dev_cycle_nodelay"]
    rows.append(["cycle, reports without delay", ms(nodelay), "", ms(PAUSE), ms(nodelay - PAUSE), ""])
    table(rows, ["%d us a report" % v["delay_us"], "median", "reports: read + sent", "floor", "beyond floor",
                 "target: floor x 1.1 + 10 ms"])
    print("  floor: the feature reports times the delay, plus the 100 ms the protocol waits after the size report")
    print("  of a write (retry pauses follow failed reports only). %d-byte document, %d bytes compressed; a write"
          % (size("device.json"), csize))
    print("  sends 1 + ceil(%d / 62) = %d reports (%s), a read takes 2 + %d = %d."
          % (csize, 1 + chunks, verdict(v["dev_cycle_sends"] == 1 + chunks), chunks, 2 + chunks))
    reports = v["dev_cycle_gets"] + v["dev_cycle_sends"]
    late = ((v["dev_cycle"] - nodelay) / reports - delay) * 1e6
    print("  Against the cycle without delay, each delayed report took %.0f us more than the delay (the sleep's"
          % late)
    print("  wake-up) and the tool's own time beyond the pause is %s." % ms(nodelay - PAUSE))
    each = max(v["probe_send"] - v["probe_none"], 0.0)
    if os.environ.get("SYSLOG") == "yes":
        print("  A cycle sends %d diagnostics to the system log, which a logger takes, copied to stderr;"
              % v["diagnostics"])
        print("  %s each (a probe sending one against one sending none)." % ms(each))
    else:
        print("  A cycle sends %d diagnostics to the system log, copied to stderr; with no logger (/dev/log)"
              % v["diagnostics"])
        print("  here, each goes to /dev/console: %s each (a probe sending one against one sending none)." % ms(each))
    if "dev_cycle_logger" in v:
        print("  The row with a system logger ran in a private mount namespace whose /dev/log is a logger of")
        print("  our own (bench/with_logger.sh); it took %.1f messages a cycle." % v["logger_messages_per_cycle"])
    elif os.environ.get("LOGGER_NOTE"):
        print("  " + os.environ["LOGGER_NOTE"] + ".")
    print("  Backups are synced to their directory: %s, or the build directory's disk."
          % os.environ.get("OUTPUTS", "?"))
    print()


def compare(v, sizes):
    other = os.environ.get("OTHER", "")
    if not other:
        return
    print("Before / after: %s (before) against this build (after), measured in the same groups" % other)
    rows = []
    for label, name in [("typical run", "tool"), ("startup: /BatchDump", "tool_start")] + \
            [("%s to a file" % s, "tool_" + s) for s in sizes] + [("device cycle", "dev_cycle")]:
        if "other_" + name in v:
            rows.append([label, ms(v["other_" + name]), ms(v[name]), "%.3f" % (v[name] / v["other_" + name])])
    table(rows, ["run", "before", "after", "after / before"])
    if "other_dev_cycle_gets" in v:
        delay = v["delay_us"] / 1e6
        parts = []
        for label, p in (("before", "other_dev_cycle"), ("after", "dev_cycle")):
            reports = v[p + "_gets"] + v[p + "_sends"]
            floor = reports * delay + PAUSE
            parts.append("%s %d + %d reports, floor %s, %s beyond it" % (label, v[p + "_gets"], v[p + "_sends"],
                                                                      ms(floor), ms(v[p] - floor)))
        print("  device cycle (%d us a report), read + sent: %s;" % (v["delay_us"], parts[0]))
        print("  " + parts[1] + ".")
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
         "<= 1.1", verdict(v["tool"] <= 1.1 * v["floor"])],
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

    device(v, size)
    compare(v, sizes)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
