#!/usr/bin/env python3
"""Runs a case file of shell sessions: run_cases.py BUILD_DIR SOURCE_DIR FILE.t

"  $ command" runs a command ("  > more" continues it); the "  "-indented lines after
it are what it prints (standard output and error), then "  [N]" if it exits with N, not 0.
A line ending in " (re)" is a regular expression, " (no-eol)" marks a missing line end.
Other lines are comments. The commands share one bash in a scratch directory that is
also TMPDIR (printed as $TMPDIR), the built commands first on PATH, the simulated HID
library loaded, $EXAMPLES and $TESTS naming examples/ and tests/, prelude.sh sourced.
A difference prints a diff; SB_CASES_ACCEPT=1 also writes what ran into the file.
"""
import difflib, os, re, subprocess, sys, tempfile

MARK = "\n\x1eCASE-END "


def parse(lines):
    """[[index of the command's last line, command, expected lines]]"""
    cases, current = [], None
    for i, line in enumerate(lines):
        if line.startswith("  $ "):
            current = [i, line[4:], []]
            cases.append(current)
        elif current and line.startswith("  > ") and not current[2]:
            current[0], current[1] = i, current[1] + "\n" + line[4:]
        elif current and line.startswith("  "):
            current[2].append(line[2:])
        else:
            current = None  # a comment ends the expected output before it
    return cases


def matches(expected, actual):
    return expected == actual or expected.endswith(" (re)") and re.fullmatch(expected[:-5], actual) is not None


def main():
    build, source, path = (os.path.abspath(a) for a in sys.argv[1:4])
    lines = open(path, encoding="utf-8").read().split("\n")
    cases = parse(lines)
    script = "source '%s/prelude.sh'\n" % os.path.dirname(os.path.abspath(__file__))
    script += "".join("%s\nprintf '%s%%d\\n' $?\n" % (c, MARK.replace("\n", "\\n")) for _, c, _ in cases)
    with tempfile.TemporaryDirectory(prefix="cases.") as work:
        env = dict(os.environ, TMPDIR=work, HOME=work, EXAMPLES=os.path.join(source, "examples"),
                   TESTS=os.path.join(source, "tests"), SBHEADSET_SIM_DIR=os.path.join(work, "sim"),
                   SBCONFIG_RIGCONF_DIR=os.path.join(work, "rigconf"), LC_ALL="C",
                   PATH=build + ":" + os.environ["PATH"], LD_LIBRARY_PATH=os.path.join(build, "headsetsim", "lib"))
        out = subprocess.run(["bash", "--norc", "--noprofile", "-c", script], cwd=work, env=env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT).stdout
        # Chunk n: the exit status of command n-1, a line end, the output of command n.
        chunks = ("-\n" + out.decode("utf-8", "replace").replace(work, "$TMPDIR")).split(MARK)
    got, failed = list(lines), 0
    for n in range(len(cases) - 1, -1, -1):  # from the end, so that the indexes stay right
        index, command, expected = cases[n]
        actual = ["(the session ended before this command)"]
        if n + 1 < len(chunks):
            actual = chunks[n].split("\n", 1)[1].split("\n")
            last, status = actual.pop(), chunks[n + 1].split("\n", 1)[0]
            actual += ([last + " (no-eol)"] if last else []) + (["[%s]" % status] if status != "0" else [])
        if len(actual) != len(expected) or not all(map(matches, expected, actual)):
            failed += 1
            got[index + 1:index + 1 + len(expected)] = ["  " + a for a in actual]
    if failed and os.environ.get("SB_CASES_ACCEPT"):
        open(path, "w", encoding="utf-8").write("\n".join(got))
    sys.stdout.writelines(difflib.unified_diff([l + "\n" for l in lines], [l + "\n" for l in got], path, "what ran"))
    print("%s: %s (%d of %d commands differ)" % ("FAIL" if failed else "PASS", os.path.basename(path), failed, len(cases)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
