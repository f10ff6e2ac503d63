#!/usr/bin/python3
"""A script on a pseudo-terminal port talks to an independent peer using pyserial.

korvane-run opens com220 as a pty port and logs the path of the far end; this peer opens
that path with pyserial, sends lines and checks the script's answers and its log.
Usage: pty_peer_test.py KORVANE_RUN SCRIPT
"""
import os
import subprocess
import sys

import serial

PREFIX = "14:03:27: Pseudo-terminal of com220: "


def fail(message):
    print(message)
    sys.exit(1)


def main():
    runner, script = sys.argv[1], sys.argv[2]
    env = dict(os.environ, KORVANE_PORTS="com220=pty", QT_QPA_PLATFORM="offscreen")
    run = subprocess.Popen([runner, "--fixed-time=2026-12-08T14:03:27", script], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                           encoding="latin-1")
    log = []
    path = None
    while path is None:
        line = run.stdout.readline()
        if not line:
            fail("the script ended before it named its pseudo-terminal: %r" % log)
        log.append(line.rstrip("\n"))
        if line.startswith(PREFIX):
            path = line[len(PREFIX):].strip()

    words = ["hello", "Mixed Case 123", "x" * 300, "caf\xe9 \x01\x7f"]
    with serial.Serial(path, 115200, timeout=10) as port:
        for word in words:
            port.write(word.encode("latin-1") + b"\r")
            answer = port.read_until(b"\r")
            want = word.encode("latin-1").upper() + b"\r"
            if answer != want:
                fail("sent %r, got %r, wanted %r" % (word, answer, want))
        # Not drained: the script closes its end as soon as it reads this, and draining a
        # pseudo-terminal whose far end has gone fails.
        port.write(b"quit\r")
        out, _ = run.communicate(timeout=30)
    log += out.splitlines()
    expected = ["14:03:27: Script started", "14:03:27: Port opened: com220", PREFIX + path]
    expected += ["14:03:27, from line 14: answered " + word for word in words]
    expected += ["14:03:27: Port closed: com220", "14:03:27: Script finished"]
    if log != expected:
        fail("log:\n%s\nexpected:\n%s" % ("\n".join(log), "\n".join(expected)))
    if run.returncode != 0:
        fail("exit code %d" % run.returncode)
    print("ok: %d lines answered through %s" % (len(words), path))


if __name__ == "__main__":
    main()
