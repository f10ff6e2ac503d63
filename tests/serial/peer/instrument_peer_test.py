#!/usr/bin/python3
"""Scripts drive simulated SCPI instruments as ports: two on loopback TCP and one USBTMC
stand-in (a unix seqpacket socket, one packet a message) beside the loop port; a TCP
instrument that drops its connection and listens again; a TCP session recorded and
replayed without the instrument.
Usage: instrument_peer_test.py KORVANE_RUN ALL_SCRIPT RETURNS_SCRIPT
"""
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

TIME = "--fixed-time=2026-12-08T14:03:27"


def check(condition, message):
    if not condition:
        print(message)
        sys.exit(1)


def answer(name, counter, line):
    """The instrument's reply to one SCPI line, or None for a command."""
    if line == b"*IDN?":
        return b"KORVANE," + name + b",0,1.0"
    if line == b"MEAS:VOLT?":
        counter[0] += 1
        return b"+%d.50E+00" % counter[0]
    if line == b"SYST:ERR?":
        return b'+0,"No error"'
    return None


class TcpInstrument:
    """Answers SCPI lines on a loopback port; DROP closes the connection and stops listening
    for a while, as an instrument switched off and on again."""

    def __init__(self, name):
        self.name = name
        self.counter = [0]
        self.listener = self.listen(0)
        self.port = self.listener.getsockname()[1]
        self.stop = False
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    @staticmethod
    def listen(port):
        listener = socket.socket()
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(("127.0.0.1", port))
        listener.listen(4)
        listener.settimeout(0.1)
        return listener

    def run(self):
        while not self.stop:
            try:
                client, _ = self.listener.accept()
            except socket.timeout:
                continue
            if self.serve(client):
                self.listener.close()
                time.sleep(1.0)
                self.listener = self.listen(self.port)

    def serve(self, client):
        """Answers one connection; True when told to drop it."""
        client.settimeout(0.1)
        pending = b""
        with client:
            while not self.stop:
                try:
                    data = client.recv(4096)
                except socket.timeout:
                    continue
                if not data:
                    return False
                pending += data
                while b"\n" in pending:
                    line, pending = pending.split(b"\n", 1)
                    if line == b"DROP":
                        return True
                    reply = answer(self.name, self.counter, line)
                    if reply is not None:
                        client.sendall(reply + b"\n")
        return False

    def close(self):
        self.stop = True
        self.thread.join()
        self.listener.close()


class UsbtmcStandIn:
    """The same instrument behind message semantics: one packet in, one packet out."""

    def __init__(self, path):
        self.counter = [0]
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
        self.listener.bind(path)
        self.listener.listen(1)
        self.listener.settimeout(0.1)
        self.stop = False
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while not self.stop:
            try:
                client, _ = self.listener.accept()
            except socket.timeout:
                continue
            client.settimeout(0.1)
            with client:
                while not self.stop:
                    try:
                        message = client.recv(4096)
                    except socket.timeout:
                        continue
                    if not message:
                        break
                    reply = answer(b"TMC-1", self.counter, message.rstrip(b"\n"))
                    if reply is not None:
                        client.send(reply + b"\n")

    def close(self):
        self.stop = True
        self.thread.join()
        self.listener.close()


def run(runner, script, ports, work):
    env = dict(os.environ, KORVANE_PORTS=ports, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=work)
    done = subprocess.run([runner, TIME, script], env=env, cwd=work, capture_output=True,
                          timeout=60, encoding="latin-1")
    # Log lines without their time stamp ("14:03:27: " or "14:03:27, from line 17: ").
    return done.returncode, [l.split(": ", 1)[1] for l in done.stdout.splitlines()], done.stderr


def all_at_once(runner, script, work):
    first, second = TcpInstrument(b"LAN-A"), TcpInstrument(b"LAN-B")
    usb = UsbtmcStandIn(os.path.join(work, "usbtmc0"))
    try:
        ports = ("com1=tcp:127.0.0.1:%d;com2=TCPIP0::127.0.0.1::%d::SOCKET;"
                 "com3=usbtmc:%s;com4=loop" % (first.port, second.port,
                                               os.path.join(work, "usbtmc0")))
        rc, log, err = run(runner, script, ports, work)
    finally:
        for instrument in (first, second, usb):
            instrument.close()
    want = ["Script started"] + ["Port opened: com%d" % n for n in range(1, 5)]
    for port, name in (("com1", "LAN-A"), ("com2", "LAN-B"), ("com3", "TMC-1")):
        want += [port + " *IDN? -> KORVANE," + name + ",0,1.0", port + " MEAS:VOLT? -> +1.50E+00",
                 port + ' SYST:ERR? -> +0,"No error"']
    want += ["com4 " + q + " -> " + q for q in ("*IDN?", "MEAS:VOLT?", "SYST:ERR?")]
    want += ["Port closed: com%d" % n for n in range(1, 5)] + ["Script finished"]
    check((rc, log, err) == (0, want, ""), "all at once: %r\nwanted %r" % ((rc, log, err), want))


def comes_back(runner, script, work):
    instrument = TcpInstrument(b"LAN-A")
    try:
        rc, log, err = run(runner, script, "com1=tcp:127.0.0.1:%d" % instrument.port, work)
    finally:
        instrument.close()
    want = ["Script started", "Port opened: com1", "*IDN? -> KORVANE,LAN-A,0,1.0",
            "while away: com1: device lost", "com1 openable while away: 0",
            "send while away: no: com1: device lost", "MEAS:VOLT? -> +1.50E+00",
            "Port closed: com1", "Script finished"]
    check((rc, log) == (0, want), "comes back: %r\nwanted %r" % ((rc, log, err), want))
    check(err == "korvane-run: com1: device lost\nkorvane-run: com1: device back\n",
          "comes back: stderr %r" % err)


def record_and_replay(runner, script, work):
    instrument = TcpInstrument(b"LAN-A")
    try:
        recorded = run(runner, script, "com1=record:lan.kvr@tcp:127.0.0.1:%d" % instrument.port,
                       work)
    finally:
        instrument.close()
    check(recorded[0] == 0 and recorded[2] == "", "recording: %r" % (recorded,))
    check("com1 MEAS:VOLT? -> +1.50E+00" in recorded[1], "recording: %r" % (recorded,))
    with open(os.path.join(work, "lan.kvr"), encoding="latin-1") as f:
        recording = f.read()
    check('sent "*IDN?\\n"' in recording and "KORVANE,LAN-A" in recording,
          "recording holds %r" % recording)
    for kind in ("replay", "replay-fast"):
        replayed = run(runner, script, "com1=%s:lan.kvr" % kind, work)
        check(replayed == recorded, "%s: %r\nrecorded %r" % (kind, replayed, recorded))


def main():
    runner, all_script, returns_script = (os.path.abspath(a) for a in sys.argv[1:4])
    with tempfile.TemporaryDirectory() as work:
        os.chmod(work, 0o700)
        all_at_once(runner, all_script, work)
        comes_back(runner, returns_script, work)
        # The first port alone, recorded and then replayed.
        with open(all_script, encoding="latin-1") as f:
            text = f.read()
        one = os.path.join(work, "one.kvs")
        with open(one, "w", encoding="latin-1") as f:
            f.write(text.replace("for (i, 1, 4, 1)", "for (i, 1, 1, 1)")
                    .replace('openport("com2", 9600, 8, "n", 1)\n', "")
                    .replace('openport("com3", 9600, 8, "n", 1)\n', "")
                    .replace('openport("com4", 9600, 8, "n", 1)\n', "")
                    .replace('closeport("com2")\ncloseport("com3")\ncloseport("com4")\n', ""))
        record_and_replay(runner, one, work)
    print("ok: two LAN instruments, a USB stand-in and the loop port; a lost instrument came "
          "back; a TCP session replayed")


if __name__ == "__main__":
    main()
