#!/usr/bin/env python3
"""Runs a case file of shell sessions and compares what each command prints.

    run_cases.py BUILD_DIR SOURCE_DIR FILE.t

A case file reads like a terminal session. A line "  $ command" runs the
command, "  > more" continues it, and the "  "-indented lines after it are
what it must print, standard output and standard error together. A last
line "  [N]" is its exit status when that is not 0. An expected line ending
in " (re)" is a regular expression, " (no-eol)" has no line end. Every other
line is a comment, the title of the cases below it.

All commands of a file run in one bash, in a scratch directory that is also
TMPDIR (its path printed as $TMPDIR), with the build directory first on PATH
and the simulated HID library on LD_LIBRARY_PATH, so the commands and any
headset are the built ones. $EXAMPLES and $TESTS name examples/ and tests/;
prelude.sh adds helpers. On a difference a diff against what ran is printed;
with SB_CASES_ACCEPT=1 what ran is also written into the file, for review.
"""
import difflib, os, re, shutil, subprocess, sys, tempfile

MARK = "\x1eCASE-END"


def parse(lines):
    """[(line index of the command, command text, expected lines)]"""
    cases, current = [], None
    for i, line in enumerate(lines):
        if line.startswith("  $ "):
            current = [i, line[4:], []]
            cases.append(current)
        elif current and line.startswith("  > ") and not current[2]:
            current[1] += "\n" + line[4:]
        elif current and line.startswith("  "):
            current[2].append(line[2:])
        else:
            current = None  # a comment ends the expected output before it
    return cases


def matches(expected, actual):
    if expected == actual:
        return True
    if expected.endswith(" (re)"):
        return re.fullmatch(expected[:-5], actual) is not None
    return expected.endswith(" (no-eol)") and expected[:-9] == actual


def main():
    build, source, path = (os.path.abspath(a) for a in sys.argv[1:4])
    lines = open(path, encoding="utf-8").read().split("\n")
    cases = parse(lines)
    top = tempfile.mkdtemp(prefix="cases.")
    work = os.path.join(top, "work")
    os.mkdir(work)
    script = ["source " + os.path.join(os.path.dirname(os.path.abspath(__file__)), "prelude.sh")]
    for _, command, _ in cases:
        script.append("%s\nprintf '\\n%s %%d\\n' $?" % (command, MARK))
    open(os.path.join(top, "session.sh"), "w").write("\n".join(script) + "\n")
    env = dict(os.environ, TMPDIR=work, HOME=work, EXAMPLES=os.path.join(source, "examples"),
               TESTS=os.path.join(source, "tests"), SBHEADSET_SIM_DIR=os.path.join(work, "sim"),
               SBCONFIG_RIGCONF_DIR=os.path.join(work, "rigconf"), LC_ALL="C",
               PATH=build + ":" + os.environ.get("PATH", ""),
               LD_LIBRARY_PATH=os.path.join(build, "headsetsim", "lib"))
    try:
        out = subprocess.run(["bash", "--norc", "--noprofile", os.path.join(top, "session.sh")], cwd=work,
                             env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT).stdout
    finally:
        shutil.rmtree(top, ignore_errors=True)
    chunks = out.decode("utf-8", "replace").replace(work, "$TMPDIR").split("\n" + MARK + " ")
    # What ran, written in the file's own form: each command's output and status.
    got = list(lines)
    failed = 0
    for n in range(len(cases) - 1, -1, -1):
        index, command, expected = cases[n]
        if n + 1 >= len(chunks):
            actual, status = ["(the session ended before this command)"], "?"
        else:
            text = chunks[n][chunks[n].index("\n") + 1:] if n > 0 else chunks[0]
            status = chunks[n + 1].split("\n", 1)[0]
            actual = text.split("\n")
            if actual[-1] == "":
                actual.pop()
            else:
                actual[-1] += " (no-eol)"
        if status != "0":
            actual.append("[%s]" % status)
        if len(actual) != len(expected) or not all(matches(e, a) for e, a in zip(expected, actual)):
            failed += 1
            first = index + 1 + command.count("\n")
            got[first:first + len(expected)] = ["  " + a for a in actual]
    if failed and os.environ.get("SB_CASES_ACCEPT"):
        # After a change of behaviour: take what ran as the new expectation,
        # to be read in the diff before it is committed.
        open(path, "w", encoding="utf-8").write("\n".join(got))
    if failed:
        sys.stdout.writelines(difflib.unified_diff([l + "\n" for l in lines], [l + "\n" for l in got],
                                                   path, "what ran"))
        print("FAIL: %s: %d of %d commands differ" % (os.path.basename(path), failed, len(cases)))
        return 1
    print("PASS: %s (%d commands)" % (os.path.basename(path), len(cases)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
