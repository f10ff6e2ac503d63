#!/usr/bin/python3
"""Data from outside a script stays data, byte for byte, through korvane-run's real sources.

Each source hands a script payloads that look like script text (injection attempts) and a
block of every byte value. The script keeps one file open and writes, for every value it got,
the value itself and what len, mid, tohex, trim and & make of it. If any payload ran as code,
its fwrite("INJECTED") would land in that file, a variable would leak into it, or bytes would
be missing or changed: the file must equal, byte for byte, what this driver computes.

Usage: outside_data_test.py KORVANE_RUN SOURCE
SOURCE: inputbox | fread | serial | tcp | serial-echo | pty-echo
"""
import os
import socket
import subprocess
import sys
import tempfile

TIME = "--fixed-time=2026-12-08T14:03:27"
ALL_BYTES = bytes(range(256))
INJECTIONS = [
    b'bob"&fwrite("INJECTED")&"',
    b'")&fwrite("INJECTED")&("',
    b'fwrite("INJECTED")',
    b'OK(2 items)',
    b'Temp: (23.5 C)',
    b'a (b)',
    b'(b)',
    b'b',
    b')',
    b'(',
    b'"',
    b'""',
    b',,,',
    b'x = 1',
    b'len("abc")',
    b'-5',
    b'1E3',
    b'007',
    b'2*(0-3)',
]
# The script's own variables, which no payload may reach.
PRELUDE = 'b = 7\nx = 1\n'
# What the script makes of a value r; the driver's twin is record().
STAGE = '''procedure stage
  w = fwrite("<" & r & "|" & mid(r, 1, len(r)) & "|" & len(r) & "|" & tohex(r) & "|" & trim(r) & ">")
procend
'''


def record(value):
    hex_text = " ".join("%02X" % c for c in value).encode()
    trimmed = value.strip(bytes(range(33)))
    return (b"<" + value + b"|" + value + b"|" + str(len(value)).encode() + b"|" + hex_text +
            b"|" + trimmed + b">")


def literal(value):
    """A script expression for the bytes that does not hold them: chr(98) & chr(111) ..."""
    if not value:
        return '""'
    return " & ".join("chr(%d)" % c for c in value)


def wait_for(variable, reader, length):
    """Script lines that read until `length` bytes are there (or the loop gives up)."""
    return ('%s = ""\nm = 0\nwhile ((m << %d) && (n << 400000))\n  %s = %s\n  m = len(%s)\n'
            '  n = n + 1\nwend\n' % (variable, length, variable, reader, variable))


def run(runner, folder, script, stdin=b"", env=None):
    path = os.path.join(folder, "case.kvs")
    with open(path, "wb") as out:
        out.write(script.encode("latin-1"))
    vars_file = os.path.join(folder, "vars")
    done = subprocess.run([runner, TIME, "--vars=" + vars_file, path], input=stdin,
                          cwd=folder, env=dict(os.environ, **(env or {})),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    with open(vars_file, "rb") as found:
        variables = found.read()
    return done, variables


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as found:
        return found.read()


def check_run(done, variables, expected_vars, failures):
    if done.returncode != 0 or done.stderr:
        failures.append("exit code %d, stderr %r" % (done.returncode, done.stderr))
    lines = variables.split(b"\n")
    for name, value in expected_vars.items():
        if name + b"=" + value not in lines:
            failures.append("variable %r is not %r" % (name, value))


def check_file(what, found, wanted, failures):
    if found == wanted:
        return
    at = next((i for i, (a, b) in enumerate(zip(found, wanted)) if a != b),
              min(len(found), len(wanted)))
    failures.append("%s: %d bytes, wanted %d; first difference at %d: %r against %r" %
                    (what, len(found), len(wanted), at, found[at:at + 40], wanted[at:at + 40]))


def injection_vars(payloads):
    wanted = {b"b": b"7", b"x": b"1"}
    for i, payload in enumerate(payloads):
        if payload and b"\n" not in payload:
            wanted[b"v%d" % (i + 1)] = payload
    return wanted


def source_inputbox(runner, folder):
    # Answers are lines on standard input, so the block holds every byte but the line end.
    payloads = INJECTIONS + [bytes(c for c in ALL_BYTES if c != 10)]
    script = 'fcreate("out.bin")\nh = fopen("out.bin")\n' + PRELUDE
    for i in range(len(payloads)):
        script += 'r = inputbox("Name", "Your name?", "")\nv%d = r\nstage\n' % (i + 1)
    script += 'fclose()\n' + STAGE
    done, variables = run(runner, folder, script, stdin=b"\n".join(payloads) + b"\n")
    failures = []
    check_run(done, variables, injection_vars(payloads), failures)
    check_file("out.bin", read(folder, "out.bin"), b"".join(map(record, payloads)), failures)
    return failures


def source_fread(runner, folder):
    payloads = INJECTIONS + [ALL_BYTES]
    data = b"".join(payloads)
    with open(os.path.join(folder, "in.bin"), "wb") as out:
        out.write(data)
    script = 'h = fopen("in.bin")\n' + PRELUDE
    for i, payload in enumerate(payloads):
        script += 'v%d = fread(%d)\n' % (i + 1, len(payload))
    script += 'fseek(0, 2)\n'
    for i in range(len(payloads)):
        script += 'r = v%d\nstage\n' % (i + 1)
    script += 'fclose()\n' + STAGE
    done, variables = run(runner, folder, script)
    failures = []
    check_run(done, variables, injection_vars(payloads), failures)
    check_file("in.bin", read(folder, "in.bin"), data + b"".join(map(record, payloads)),
               failures)
    return failures


def relay(payloads, there, back):
    """Script lines that pass each payload there and back again. `there` and `back` are
    (write, read, flush) script calls, %s standing for the write's and the flush's argument."""
    lines = ''
    for i, payload in enumerate(payloads):
        write, reader, flush = there
        lines += write % literal(payload) + '\n' + wait_for("r", reader, len(payload))
        lines += flush % 'len(r)' + '\nv%d = r\nstage\n' % (i + 1)
        write, reader, flush = back
        lines += write % 'r' + '\n' + wait_for("q", reader, len(payload))
        lines += flush % 'len(q)' + '\nw = fwrite(q)\n'
    return lines


def relay_failures(done, variables, folder, payloads):
    failures = []
    check_run(done, variables, injection_vars(payloads), failures)
    wanted = b"".join(record(p) + p for p in payloads)
    check_file("out.bin", read(folder, "out.bin"), wanted, failures)
    return failures


def source_serial(runner, folder):
    # A loop-back plug: what the script sends comes back as received data, and what it
    # received goes out again through send.
    payloads = INJECTIONS + [ALL_BYTES]
    port = ('send("com5", %s)', 'receive("com5")', 'flush("com5", %s)')
    script = ('fcreate("out.bin")\nh = fopen("out.bin")\nopenport("com5", 115200, 8, "n", 1)\n'
              + PRELUDE + 'n = 0\n' + relay(payloads, port, port) +
              'closeport("com5")\nfclose()\n' + STAGE)
    done, variables = run(runner, folder, script, env={"KORVANE_PORTS": "com5=loop"})
    return relay_failures(done, variables, folder, payloads)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def source_tcp(runner, folder):
    # The script's client writes to its own server on loopback; the server's data goes back
    # to the client through tcp_srv_write.
    payloads = INJECTIONS + [ALL_BYTES]
    port = free_port()
    script = ('fcreate("out.bin")\nh = fopen("out.bin")\n' + PRELUDE +
              'n = 0\ntcp_srv_open(%d)\ntcp_open("127.0.0.1", %d)\n' % (port, port) +
              'c = 0\nwhile ((c == 0) && (n << 400000))\n  c = tcp_isconnected()\n'
              '  n = n + 1\nwend\n' +
              relay(payloads, ('tcp_write(%s)', 'tcp_srv_read()', 'tcp_srv_flush(%s)'),
                    ('tcp_srv_write(%s)', 'tcp_read()', 'tcp_flush(%s)')) +
              'tcp_close()\ntcp_srv_close()\nfclose()\n' + STAGE)
    done, variables = run(runner, folder, script)
    failures = relay_failures(done, variables, folder, payloads)
    if b"Write error" in done.stdout:
        failures.append("log: %r" % done.stdout)
    return failures


# The echo loop as scripts write it: read what is there, send it back, remove what was read.
ECHO = '''echoed = 0
while ((echoed << %(total)d) && (n << 2000000))
  r = receive("com5")
  send("com5", r)
  flush("com5", len(r))
  echoed = echoed + len(r)
  n = n + 1
wend
'''


def block(size):
    return bytes(i % 256 for i in range(size))


def source_serial_echo(runner, folder):
    # On a loop-back plug the echo loop feeds itself: each block goes round three times
    # through receive, send and flush before it is taken off the line and written out.
    script = ('fcreate("out.bin")\nh = fopen("out.bin")\nopenport("com5", 115200, 8, "n", 1)\n'
              'n = 0\n')
    for size in (256, 4096):
        script += ('s = ""\nfor (i, 0, %d, 1)\n  s = s & chr(i)\nnext\nsend("com5", s)\n'
                   % (size - 1))
        script += ECHO % {"total": 3 * size}
        script += wait_for("q", 'receive("com5")', size)
        script += 'flush("com5", len(q))\nw = fwrite(q)\n'
    script += 'closeport("com5")\nfclose()\n'
    done, variables = run(runner, folder, script, env={"KORVANE_PORTS": "com5=loop"})
    failures = []
    check_run(done, variables, {b"echoed": b"12288", b"w": b"4096"}, failures)
    check_file("out.bin", read(folder, "out.bin"), block(256) + block(4096), failures)
    return failures


def source_pty_echo(runner, folder):
    # A peer on the far end of a pseudo-terminal sends the blocks; the script echoes them.
    import serial  # python3-serial, as the other serial peer tests use it

    blocks = [block(256), block(4096)]
    # The port stays open until the peer has read every echo and says so with one more byte.
    script = ('openport("com5", 115200, 8, "n", 1)\nn = 0\n' +
              ECHO % {"total": sum(map(len, blocks))} + wait_for("z", 'receive("com5")', 1) +
              'closeport("com5")\n')
    path = os.path.join(folder, "case.kvs")
    with open(path, "wb") as out:
        out.write(script.encode("latin-1"))
    env = dict(os.environ, KORVANE_PORTS="com5=pty")
    runner_process = subprocess.Popen([runner, TIME, path], env=env, cwd=folder,
                                      stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    prefix = b"14:03:27: Pseudo-terminal of com5: "
    far_end = None
    while far_end is None:
        line = runner_process.stdout.readline()
        if not line:
            runner_process.kill()
            return ["the script ended before it named its pseudo-terminal"]
        if line.startswith(prefix):
            far_end = line[len(prefix):].strip().decode()
    failures = []
    with serial.Serial(far_end, 115200, timeout=10) as port:
        for sent in blocks:
            port.write(sent)
            check_file("echo of %d bytes" % len(sent), port.read(len(sent)), sent, failures)
        port.write(b".")
    out, err = runner_process.communicate(timeout=30)
    if runner_process.returncode != 0 or err:
        failures.append("exit code %d, stderr %r" % (runner_process.returncode, err))
    return failures


SOURCES = {
    "inputbox": source_inputbox,
    "fread": source_fread,
    "serial": source_serial,
    "tcp": source_tcp,
    "serial-echo": source_serial_echo,
    "pty-echo": source_pty_echo,
}


def main():
    runner, source = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        failures = SOURCES[source](runner, folder)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
