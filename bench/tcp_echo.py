#!/usr/bin/env python3
"""TCP echo through a script against a plain python3 echo loop, measured in the same run.

The script connects to us and echoes with tcp_read / tcp_write / tcp_flush; the baseline is
a python3 socket loop doing the same job. For each we time N one-at-a-time round trips of a
small message (median and p99) and then the throughput of a pipelined bulk transfer.
Usage: tcp_echo.py KORVANE_RUN [ROUND_TRIPS] [MESSAGE_BYTES] [BULK_BYTES]
       (tcp_echo.py --echo PORT is the baseline peer itself)
"""
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ECHO_SCRIPT = """tcp_open("127.0.0.1", {port})
c = tcp_isconnected()
while (c == 0)
  c = tcp_isconnected()
wend
while (c == 1)
  x = tcp_read()
  l = len(x)
  if (l >> 0)
    tcp_write(x)
    tcp_flush(l)
  endif
  c = tcp_isconnected()
wend
"""


def python_echo(port):
    """The baseline peer, run as its own process so it does not share our interpreter lock."""
    with socket.create_connection(("127.0.0.1", port)) as connection:
        connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        while True:
            data = connection.recv(65536)
            if not data:
                return
            connection.sendall(data)


def receive_exactly(connection, count):
    data = bytearray()
    while len(data) < count:
        chunk = connection.recv(count - len(data))
        if not chunk:
            raise RuntimeError("echo peer closed early")
        data += chunk
    return bytes(data)


def round_trips(connection, count, size):
    message = bytes(ord("a") + i % 26 for i in range(size))
    times = []
    for i in range(count + 50):
        start = time.perf_counter()
        connection.sendall(message)
        if receive_exactly(connection, size) != message:
            raise RuntimeError("echo changed the data")
        if i >= 50:  # the first ones warm up both sides
            times.append(time.perf_counter() - start)
    return times


def bulk(connection, total):
    block = bytes(ord("A") + i % 26 for i in range(4096))
    received = [0]

    def reader():
        while received[0] < total:
            chunk = connection.recv(65536)
            if not chunk:
                return
            received[0] += len(chunk)

    thread = threading.Thread(target=reader)
    start = time.perf_counter()
    thread.start()
    sent = 0
    while sent < total:
        piece = block[: min(len(block), total - sent)]
        connection.sendall(piece)
        sent += len(piece)
    thread.join()
    elapsed = time.perf_counter() - start
    if received[0] != total:
        raise RuntimeError(f"bulk: {received[0]} of {total} bytes came back")
    return total / elapsed


def measure(name, connection, count, size, total):
    connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    times = sorted(round_trips(connection, count, size))
    median = statistics.median(times) * 1e6
    p99 = times[min(len(times) - 1, int(len(times) * 0.99))] * 1e6
    rate = bulk(connection, total)
    print(f"{name:8} round trip of {size} B: median {median:8.1f} us   p99 {p99:8.1f} us   "
          f"bulk {total // 1024} KiB: {rate / 1e6:7.2f} MB/s")


def listener_socket():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    return listener


def measure_peer(name, command, count, size, total):
    """Starts an echo peer that connects back to us on PORT, then measures it."""
    with listener_socket() as listener, tempfile.TemporaryDirectory() as work:
        port = listener.getsockname()[1]
        script = os.path.join(work, "echo.kvs")
        with open(script, "w") as out:
            out.write(ECHO_SCRIPT.format(port=port))
        arguments = [part.format(port=port, script=script) for part in command]
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        process = subprocess.Popen(arguments, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, env=environment)
        listener.settimeout(10)
        connection, _ = listener.accept()
        with connection:
            measure(name, connection, count, size, total)
        process.wait(timeout=10)


def main():
    if sys.argv[1] == "--echo":
        python_echo(int(sys.argv[2]))
        return
    runner = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    size = int(sys.argv[3]) if len(sys.argv) > 3 else 32
    total = int(sys.argv[4]) if len(sys.argv) > 4 else 1 << 20
    measure_peer("python3", [sys.executable, __file__, "--echo", "{port}"], count, size, total)
    measure_peer("korvane", [runner, "{script}"], count, size, total)


if __name__ == "__main__":
    main()
