#!/usr/bin/python3
"""Records a script's session with a simulated instrument, then replays it without one.

The instrument plays the device on the master side of a pseudo-terminal that the port map
names as a plain device node, so the recorded run sees a real tty. Pseudo-terminals carry
no modem lines (their modem ioctls fail), so the instrument cannot toggle CTS through one;
CTS is recorded from the line-watching layer in the unit tests, and here a copy of the
recording edited to raise CTS shows that a replay drives the line the script reads.
Usage: record_replay_test.py KORVANE_RUN SCRIPT CHANGED_SCRIPT
"""
import os
import resource
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty

TIME = "--fixed-time=2026-12-08T14:03:27"


def fail(message):
    print(message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


class Instrument:
    """Answers *IDN? with its name (in two pieces) and MEAS? with the next reading."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        self.readings = iter([b"12", b"17", b"23", b"30"])
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self.run)
        self.thread.start()

    def run(self):
        pending = b""
        while not self.stop.is_set():
            if not select.select([self.master], [], [], 0.05)[0]:
                continue
            try:
                pending += os.read(self.master, 1024)
            except OSError:
                continue
            while b"\r" in pending:
                line, pending = pending.split(b"\r", 1)
                if line == b"*IDN?":
                    os.write(self.master, b"KORVANE,")
                    time.sleep(0.02)
                    os.write(self.master, b"SIM-1,0001\r")
                elif line == b"MEAS?":
                    time.sleep(0.03)
                    os.write(self.master, next(self.readings) + b"\r")
                else:
                    os.write(self.master, b"ERR\r")

    def close(self):
        self.stop.set()
        self.thread.join()
        os.close(self.master)
        os.close(self.slave)


def run(runner, script, ports, work, name, file_limit=None):
    env = dict(os.environ, KORVANE_PORTS="com220=" + ports, QT_QPA_PLATFORM="offscreen",
               XDG_RUNTIME_DIR=work)
    vars_file = os.path.join(work, name + ".vars")

    def limit_files():
        # Files stop growing at file_limit bytes, as on a full disk; writes then fail.
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_limit, file_limit))

    done = subprocess.run([runner, TIME, "--vars=" + vars_file, script], env=env, cwd=work,
                          capture_output=True, timeout=60, encoding="latin-1",
                          preexec_fn=limit_files if file_limit else None)
    with open(vars_file, encoding="latin-1") as f:
        variables = f.read()
    return done.returncode, done.stdout.splitlines(), done.stderr, variables


def event_number(lines, wanted):
    """Event number and line number of the first event line `wanted` in a recording."""
    number = 0
    for index, line in enumerate(lines):
        if index == 0 or not line.strip() or line.lstrip().startswith("#"):
            continue
        number += 1
        if line.split(" ", 1)[1] == wanted:
            return number, index + 1
    fail("no event %r in the recording" % wanted)


def check_recording_files(runner, work):
    """Recordings never clobber what they should not, and say why a port stays shut."""
    def path(name):
        return os.path.join(work, name)

    def write(name, text):
        with open(path(name), "w", encoding="latin-1") as f:
            f.write(text)

    def read(name):
        with open(path(name), encoding="latin-1") as f:
            return f.read()

    script = path("flood.kvs")
    write(script, 'openport("com220", 9600, 8, "n", 1)\ns = "0123456789"\nn = 0\n'
                  'while (n << 14)\n  s = s & s\n  n = n + 1\nwend\nsend("com220", s)\n'
                  's = ""\ncloseport("com220")\n')
    old = "korvane-recording 1\n0 sent 41\n"

    # A link named as the recording is replaced; the file it leads to stays.
    write("important.txt", "keep me\n")
    os.symlink("important.txt", path("link.kvr"))
    rc, _, err, _ = run(runner, script, "record:link.kvr@loop", work, "link")
    check((rc, err) == (0, ""), "recording over a link: %r" % ((rc, err),))
    check(read("important.txt") == "keep me\n", "the link's target was written")
    check(not os.path.islink(path("link.kvr")) and read("link.kvr").startswith(old[:20]),
          "the link was not replaced by the recording")

    # A recording that cannot be finished fails the run and leaves the old one in place.
    write("full.kvr", old)
    rc, _, err, _ = run(runner, script, "record:full.kvr@loop", work, "full", file_limit=8192)
    check(rc == 1 and err == "korvane-run: com220: cannot write recording full.kvr: File too "
                             "large\n", "full disk: exit code %d, stderr %r" % (rc, err))
    check(read("full.kvr") == old, "full disk: the old recording changed")

    # Two entries on one file: the one that would write is left out.
    write("keep.kvr", old)
    rc, _, err, _ = run(runner, script, "replay:keep.kvr;com221=record:./keep.kvr@loop", work,
                        "clash")
    check(err.startswith('korvane-run: port map: KORVANE_PORTS: "com221=record:./keep.kvr@loop" '
                         "ignored: com220 replays keep.kvr, which this would overwrite\n"),
          "clashing recordings: stderr %r" % err)
    check(read("keep.kvr") == old, "clashing recordings: the replayed file changed")

    # Files a replay cannot use say what they are.
    for name, reason in (("/dev/zero", "recording /dev/zero is larger than 16 MiB, the most a "
                                       "replayed port reads"),
                         (".", "cannot read recording .: it is a folder")):
        rc, out, err, _ = run(runner, script, "replay:" + name, work, "unusable")
        check(rc == 0 and "14:03:27: Port already open or not available: com220" in out,
              "replay of %s: exit code %d, log %r" % (name, rc, out))
        check(err == "korvane-run: com220: %s\n" % reason, "replay of %s: stderr %r" % (name, err))
    leftovers = [n for n in os.listdir(work) if n.endswith(".tmp")]
    check(not leftovers, "temporary files left behind: %r" % leftovers)


def main():
    runner, script, changed = (os.path.abspath(arg) for arg in sys.argv[1:4])
    with tempfile.TemporaryDirectory() as work:
        os.chmod(work, 0o700)
        instrument = Instrument()
        try:
            rc, log, err, variables = run(runner, script, "record:session.kvr@" + instrument.path,
                                          work, "recorded")
        finally:
            instrument.close()
        check(rc == 0, "recording run: exit code %d, stderr %r" % (rc, err))
        answers = [l for l in log if " -> " in l]
        check([a.split(": ", 1)[1] for a in answers] ==
              ["*IDN? -> KORVANE,SIM-1,0001, cts 0", "MEAS? -> 12, cts 0",
               "MEAS? -> 17, cts 0", "MEAS? -> 23, cts 0"], "recording run log:\n" + "\n".join(log))
        check("total=52" in variables.splitlines(), "recording run variables:\n" + variables)
        with open(os.path.join(work, "session.kvr"), encoding="latin-1") as f:
            recording = f.read().splitlines()
        check(recording[0] == "korvane-recording 1", "recording header %r" % recording[0])
        # How the answers were cut into reads depends on timing; together they are exact.
        received = "".join(l.split(" received ", 1)[1][1:-1] for l in recording
                           if " received \"" in l)
        check(received == "KORVANE,SIM-1,0001\\r12\\r17\\r23\\r", "received %r" % received)
        for event in ['sent "*IDN?\\r"', 'sent "MEAS?\\r"', "settings 115200 8 n 1"]:
            check(any(line.split(" ", 1)[1] == event for line in recording[1:] if " " in line
                      and not line.startswith("#")), "no %s in the recording:\n%s"
                  % (event, "\n".join(recording)))

        for kind in ("replay", "replay-fast"):
            got = run(runner, script, kind + ":session.kvr", work, kind)
            check(got == (0, log, "", variables),
                  "%s differs from the recorded run: %r\nrecorded: %r" % (kind, got, (log, variables)))

        rc, _, err, _ = run(runner, changed, "replay-fast:session.kvr", work, "changed")
        number, line = event_number(recording, 'sent "MEAS?\\r"')
        message = ("korvane-run: com220: replay of session.kvr at event %d (line %d): expected "
                   "4D 45 41 53 3F 0D, got 4D 45 41 53 3F 20 46 41 53 54 0D\n" % (number, line))
        check(rc == 4, "changed script: exit code %d, stderr %r" % (rc, err))
        check(err == message, "changed script: stderr %r, expected %r" % (err, message))

        # A copy of the recording raises CTS as soon as the first reading is asked for.
        first = next(i for i, l in enumerate(recording) if l.endswith('sent "MEAS?\\r"')) + 1
        edited = recording[:first] + [recording[first - 1].split(" ")[0] + " modem cts"]
        edited += recording[first:]
        with open(os.path.join(work, "cts.kvr"), "w", encoding="latin-1") as f:
            f.write("\n".join(edited) + "\n")
        rc, cts_log, err, _ = run(runner, script, "replay-fast:cts.kvr", work, "cts")
        want = [l.replace("cts 0", "cts 1") if " -> " in l and "MEAS?" in l else l for l in log]
        check((rc, cts_log, err) == (0, want, ""), "CTS replay: %r" % ((rc, cts_log, err),))

        rc, out, err, _ = run(runner, script, "record:missing/x.kvr@loop", work, "unwritable")
        check(rc == 0 and "14:03:27: Port already open or not available: com220" in out,
              "unwritable recording: exit code %d, log %r" % (rc, out))
        check(err == "korvane-run: com220: cannot write recording missing/x.kvr: No such file or "
                     "directory\n", "unwritable recording: stderr %r" % err)

        with open(os.path.join(work, "bad.kvr"), "w") as f:
            f.write("korvane-recording 1\n0 snet \"*IDN?\\r\"\n")
        rc, out, err, _ = run(runner, script, "replay:bad.kvr", work, "bad")
        check(rc == 0 and "14:03:27: Port already open or not available: com220" in out,
              "malformed recording: exit code %d, log %r" % (rc, out))
        check(err == "korvane-run: com220: recording bad.kvr refused: line 2: unknown event kind "
                     "\"snet\"\n", "malformed recording: stderr %r" % err)
        check_recording_files(runner, work)
    print("ok: recorded %d events, replayed them and caught the changed script" %
          (len(recording) - 2))


if __name__ == "__main__":
    main()
