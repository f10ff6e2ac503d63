#!/usr/bin/python3
"""Reaction time and throughput of a device played through a pseudo-terminal, measured by a
pyserial peer on the slave side: one byte out, time until it comes back; then 1 MB echoed
with at most WINDOW bytes in flight, checked byte for byte.
Usage: serial_reaction.py ROUNDS -- COMMAND...   (COMMAND prints the slave path first, or a
log line "... Pseudo-terminal of com1: PATH")."""
import os
import statistics
import subprocess
import sys
import time

import serial

WINDOW = 4096  # the script's receive buffer trims beyond 8192 bytes
TOTAL = 1 << 20
ALPHABET = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"


def slave_path(process):
    marker = "Pseudo-terminal of com1: "
    for line in process.stdout:
        line = line.strip()
        if line.startswith("/dev/"):
            return line
        if marker in line:
            return line.split(marker, 1)[1]
    raise SystemExit("the device never named its pseudo-terminal")


def reaction(port, rounds):
    times = []
    for i in range(rounds):
        byte = ALPHABET[i % len(ALPHABET):][:1]
        start = time.perf_counter_ns()
        port.write(byte)
        answer = port.read(1)
        times.append(time.perf_counter_ns() - start)
        if answer != byte:
            raise SystemExit("round %d: sent %r, got %r" % (i, byte, answer))
    times.sort()
    return [statistics.median(times) / 1000] + [
        times[int(len(times) * share) - 1] / 1000 for share in (0.9, 0.99)]


def throughput(port):
    payload = (ALPHABET * (TOTAL // len(ALPHABET) + 1))[:TOTAL]
    received = bytearray()
    sent = 0
    start = time.perf_counter()
    while len(received) < TOTAL:
        if sent < TOTAL and sent - len(received) < WINDOW:
            chunk = payload[sent:sent + min(1024, WINDOW - (sent - len(received)))]
            sent += port.write(chunk)
        got = port.read(max(1, min(port.in_waiting, TOTAL - len(received))))
        if not got:
            raise SystemExit("echo stalled after %d bytes" % len(received))
        received += got
    seconds = time.perf_counter() - start
    if bytes(received) != payload:
        first = next(i for i, (a, b) in enumerate(zip(received, payload)) if a != b)
        raise SystemExit("echo differs from byte %d on" % first)
    return TOTAL / seconds


def main():
    rounds = int(sys.argv[1])
    command = sys.argv[sys.argv.index("--") + 1:]
    env = dict(os.environ, KORVANE_PORTS="com1=pty", QT_QPA_PLATFORM="offscreen")
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    try:
        with serial.Serial(slave_path(process), 115200, timeout=5) as port:
            reaction(port, 50)  # warm up
            median, p90, p99 = reaction(port, rounds)
            rate = throughput(port)
        print("median %6.1f us  p90 %6.1f us  p99 %7.1f us   1 MB echoed, exact, at %5.2f MB/s"
              % (median, p90, p99, rate / 1e6))
    finally:
        process.terminate()
        process.wait(timeout=10)


if __name__ == "__main__":
    main()
