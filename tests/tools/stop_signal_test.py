#!/usr/bin/python3
"""SIGINT or SIGTERM to korvane-run while the script sleeps its idle interval, waits in an
inputbox, works through one long statement, reads a FIFO nobody writes or waits for a host
name nobody answers: the run ends there and no later statement runs. A FIFO as a recording
is refused at once. And no program dies of SIGPIPE when its output has gone.
Usage: stop_signal_test.py signals KORVANE_RUN
       stop_signal_test.py broken-pipe KORVANE_RUN KORVANE KORVANE_RACK
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

import silent_resolver

STARTED = "14:03:27: Script started"
FINISHED = "14:03:27: Script finished"
NESTED = "(" * 1000000 + "1" + ")" * 1000000


def make_fifo(folder, env):
    os.mkfifo(os.path.join(folder, "fifo.kvr"))
    return env


def behind_silent_resolver(folder, env):
    """A name server that never answers; None when this system does not allow one."""
    return silent_resolver.prepare(folder, env) if silent_resolver.available() else None


CASES = [
    # name, script, signal, log between the start and finish lines, setup
    ("idle sleep", 'writelog("ready")\nsetidle(10000)\nwritelog("after")\n',
     signal.SIGINT, ["14:03:27, from line 1: ready"], None),
    ("inputbox", 'writelog("ready")\nr = inputbox("t", "p", "preset")\n'
     'writelog("after " & r)\nwritelog("later")\n',
     signal.SIGINT, ["14:03:27, from line 1: ready"], None),
    ("long statement", 'writelog("ready")\nx = ' + NESTED + '\nwritelog("after")\n',
     signal.SIGTERM, ["14:03:27, from line 1: ready"], None),
    ("FIFO read", 'h = fopen("fifo.kvr")\nwritelog("ready " & error)\nx = fread(5)\n'
     'writelog("after")\n',
     signal.SIGINT, ["14:03:27, from line 2: ready 0"], make_fifo),
    ("FIFO recording", 'openport("com9", 9600, 8, "n", 1)\nwritelog("ready " & error)\n'
     'setidle(10000)\nwritelog("after")\n',
     signal.SIGTERM, ["14:03:27: Port already open or not available: com9",
                      "14:03:27, from line 2: ready 1"], make_fifo),
    ("name lookup", 'writelog("ready")\ntcp_open("never.example", 80)\nwritelog("after")\n',
     signal.SIGINT, ["14:03:27, from line 1: ready"], behind_silent_resolver),
]


def run_case(runner, folder, name, script, signum, expected, setup):
    for entry in os.listdir(folder):
        os.remove(os.path.join(folder, entry))
    env = dict(os.environ, KORVANE_PORTS="com9=record:fifo.kvr@loop")
    if setup:
        env = setup(folder, env)
        if env is None:
            print("%s: skipped, no namespace of its own here" % name)
            return None
    path = os.path.join(folder, "case.kvs")
    with open(path, "w", encoding="latin-1") as out:
        out.write(script)
    command = [runner, "--fixed-time=2026-12-08T14:03:27", path]
    if "KORVANE_TEST_RESOLV" in env:
        command = silent_resolver.wrapped(command)
    run = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True, encoding="latin-1",
                           cwd=folder, env=env)
    log = []
    while not log or log[-1] != expected[-1]:
        line = run.stdout.readline()
        if not line:
            break
        log.append(line.rstrip("\n"))
    # Give the next statement time to start waiting; the outcome must not depend on it.
    time.sleep(0.2)
    signalled = time.monotonic()
    run.send_signal(signum)
    try:
        out, _ = run.communicate(timeout=30)
    except subprocess.TimeoutExpired:
        run.kill()
        run.communicate()
        return "%s: the run went on after the signal" % name
    print("%s: ended %.0f ms after the signal" % (name, (time.monotonic() - signalled) * 1000))
    log += out.splitlines()
    if run.returncode != 0:
        return "%s: exit code %d" % (name, run.returncode)
    if log != [STARTED] + expected + [FINISHED]:
        return "%s: log %r" % (name, log)
    return None


def broken_pipe(programs, folder):
    """Each program writes to a pipe whose reader has gone: it goes on and ends normally."""
    failures = []
    marker = os.path.join(folder, "went-on")
    script = os.path.join(folder, "talk.kvs")
    with open(script, "w") as out:
        out.write('for (i, 1, 2000, 1)\nwritelog("line " & i)\nnext\nfcreate("%s")\n' % marker)
    runs = [[programs[0], "--fixed-time=2026-12-08T14:03:27", script]]
    runs += [[program, "--help"] for program in programs]
    for command in runs:
        reader, writer = os.pipe()
        os.close(reader)
        run = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=writer,
                             stderr=subprocess.DEVNULL, timeout=60)
        os.close(writer)
        if run.returncode < 0:
            failures.append("%s: died of signal %d" % (" ".join(command[1:]), -run.returncode))
    if not os.path.exists(marker):
        failures.append("korvane-run stopped when its output went")
    return failures


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        if sys.argv[1] == "broken-pipe":
            failures = broken_pipe(sys.argv[2:], folder)
        else:
            for case in CASES:
                failure = run_case(sys.argv[2], folder, *case)
                if failure:
                    failures.append(failure)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
