#!/usr/bin/python3
"""SIGINT or SIGTERM to korvane-run while the script sleeps its idle interval, waits in an
inputbox or works through one long statement: the run ends there and no later statement runs.
Usage: stop_signal_test.py KORVANE_RUN
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

STARTED = "14:03:27: Script started"
FINISHED = "14:03:27: Script finished"
NESTED = "(" * 1000000 + "1" + ")" * 1000000

CASES = [
    # name, script, signal, log between the start and finish lines
    ("idle sleep", 'writelog("ready")\nsetidle(10000)\nwritelog("after")\n',
     signal.SIGINT, ["14:03:27, from line 1: ready"]),
    ("inputbox", 'writelog("ready")\nr = inputbox("t", "p", "preset")\n'
     'writelog("after " & r)\nwritelog("later")\n',
     signal.SIGINT, ["14:03:27, from line 1: ready"]),
    ("long statement", 'writelog("ready")\nx = ' + NESTED + '\nwritelog("after")\n',
     signal.SIGTERM, ["14:03:27, from line 1: ready"]),
]


def run_case(runner, folder, name, script, signum, expected):
    path = os.path.join(folder, "case.kvs")
    with open(path, "w", encoding="latin-1") as out:
        out.write(script)
    run = subprocess.Popen([runner, "--fixed-time=2026-12-08T14:03:27", path],
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True, encoding="latin-1")
    log = []
    while not log or log[-1] != expected[0]:
        line = run.stdout.readline()
        if not line:
            break
        log.append(line.rstrip("\n"))
    # Give the next statement time to start waiting; the outcome must not depend on it.
    time.sleep(0.2)
    run.send_signal(signum)
    try:
        out, _ = run.communicate(timeout=30)
    except subprocess.TimeoutExpired:
        run.kill()
        run.communicate()
        return "%s: the run went on after the signal" % name
    log += out.splitlines()
    if run.returncode != 0:
        return "%s: exit code %d" % (name, run.returncode)
    if log != [STARTED] + expected + [FINISHED]:
        return "%s: log %r" % (name, log)
    return None


def main():
    runner = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for case in CASES:
            failure = run_case(runner, folder, *case)
            if failure:
                failures.append(failure)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
