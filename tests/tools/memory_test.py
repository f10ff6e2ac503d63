#!/usr/bin/python3
"""Memory of korvane-run on large texts: each case builds its texts by doubling, works on them
and must stay under a peak resident size well below what the texts would cost if held several
times over; a result beyond the text bound fails before it takes the memory. A large script
runs without its file's text kept beside its lines.
The sanitizer build holds freed memory back on purpose, so there only the outcomes count.
Usage: memory_test.py KORVANE_RUN [--outcomes-only]
"""
import os
import subprocess
import sys
import tempfile
import time

MIB = 1024 * 1024
TIME = "--fixed-time=2026-12-08T14:03:27"


def doubled(name, seed, times):
    return '%s = "%s"\nfor (i, 1, %d, 1)\n%s = %s & %s\nnext\n' % (name, seed, times, name,
                                                                    name, name)


# A script of 16 MiB in 230,000 lines of 73 bytes: the runner keeps no copy of the file's text
# once the lines are split off it.
COMMENT_LINES = 229824
LARGE_SCRIPT = ("# " + "c" * 70 + "\n") * COMMENT_LINES + 'writelog("end")\n'

CASES = [
    # name, script, last log line before the finish line, exit code, peak ceiling in MiB
    ("a 64 MiB text built in a loop, split at 64 Mi commas",
     doubled("x", ",", 26) + "n = split(x, \",\")\nwritelog(n & \" \" & extract(n))\n",
     "14:03:27, from line 6: 67108864 ", 0, 260),
    ("tohex of 16 MiB",
     doubled("x", "a", 24) + "y = tohex(x)\nwritelog(len(y) & \" \" & mid(y, 1, 5))\n",
     "14:03:27, from line 6: 50331647 61 61", 0, 180),
    ("tohex over the text bound",
     doubled("x", "a", 25) + "y = tohex(x)\nwritelog(\"not reached\")\n",
     "14:03:27 Fatal error: Text too long: a value may hold at most 64 MiB (67108864 bytes)",
     1, 160),
    ("a 16 MiB script", LARGE_SCRIPT, "14:03:27, from line %d: end" % (COMMENT_LINES + 1), 0, 165),
]


def run_case(runner, folder, name, script, last, code, ceiling, outcomes_only):
    path = os.path.join(folder, "case.kvs")
    with open(path, "w") as out:
        out.write(script)
    started = time.monotonic()
    run = subprocess.Popen([runner, TIME, path], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, text=True)
    out = run.stdout.read()
    _, status, usage = os.wait4(run.pid, 0)
    run.returncode = os.waitstatus_to_exitcode(status)
    peak = usage.ru_maxrss * 1024 / MIB
    print("%s: peak %.0f MiB in %.1f s" % (name, peak, time.monotonic() - started))
    lines = out.splitlines()
    if run.returncode != code:
        return "%s: exit code %d, log %r" % (name, run.returncode, lines[-3:])
    if len(lines) < 2 or lines[-2] != last or lines[-1] != "14:03:27: Script finished":
        return "%s: log ends %r" % (name, lines[-3:])
    if not outcomes_only and peak > ceiling:
        return "%s: peak %.0f MiB over %d MiB" % (name, peak, ceiling)
    return None


def main():
    runner = sys.argv[1]
    outcomes_only = "--outcomes-only" in sys.argv[2:]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for case in CASES:
            failure = run_case(runner, folder, *case, outcomes_only)
            if failure:
                failures.append(failure)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
