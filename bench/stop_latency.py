#!/usr/bin/python3
"""Time from SIGINT to the end of a korvane-run script in each case that waits or blocks: a long
idle interval, one statement of deeply nested parentheses, fread on a FIFO nobody writes, a
host name nobody answers (for tcp_open and for an instrument port), receive loops on a loop
and a pty port, a loop port being recorded, and tcp_read on a connection that stays quiet;
against a python3 peer that sleeps and ends at the same signal, measured in the same run. Each
case gives the time to the run's end line and to the process's exit, so what teardown costs
shows as the difference.
Usage: stop_latency.py KORVANE_RUN [ROUNDS] [CASE...]
"""
import os
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "tools"))
import silent_resolver  # noqa: E402

NESTED = "(" * 1000000 + "1" + ")" * 1000000
RECEIVE_LOOP = ('openport("com9", 9600, 8, "n", 1)\nwritelog("ready " & error)\n'
                'while (1 == 1)\n  send("com9", "x")\n  r = receive("com9")\nwend\n')


# Listeners that take every round's connection and never say anything.
QUIET_LISTENERS = []


def quiet_peer():
    """The port of a new quiet listener, the text the script is given."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    QUIET_LISTENERS.append(listener)
    return str(listener.getsockname()[1])

# name: (script, port map, setup giving the text for {0} in the script, or "fifo")
CASES = {
    "setidle(10000)": ('writelog("ready")\nsetidle(10000)\nwritelog("after")\n', None, None),
    "long statement": ('writelog("ready")\nx = ' + NESTED + '\nwritelog("after")\n', None, None),
    "fread on a FIFO": ('h = fopen("fifo")\nwritelog("ready " & error)\nx = fread(5)\n'
                        'writelog("after")\n', None, "fifo"),
    "unanswered lookup": ('writelog("ready")\ntcp_open("never.example", 80)\nwritelog("after")\n',
                          None, "resolver"),
    "instrument lookup": ('writelog("ready")\nopenport("com9", 9600, 8, "n", 1)\n'
                          'writelog("after")\n', "com9=tcp:never.example:5025", "resolver"),
    "receive on loop": (RECEIVE_LOOP, "com9=loop", None),
    "receive on pty": (RECEIVE_LOOP, "com9=pty", None),
    "recording a loop": (RECEIVE_LOOP, "com9=record:rec.kvr@loop", None),
    "tcp_read, quiet": ('tcp_open("127.0.0.1", {0})\nwhile (tcp_isconnected() == 0)\nwend\n'
                        'writelog("ready")\nwhile (1 == 1)\n  r = tcp_read()\nwend\n',
                        None, quiet_peer),
}
PEER = ["/usr/bin/python3", "-c",
        "import time\nprint('ready', flush=True)\ntry:\n  time.sleep(10)\n"
        "except KeyboardInterrupt:\n  print('finished', flush=True)\n"]


def one_round(command, end_marker, env=None, cwd=None):
    """Seconds from the signal to the end marker line, and to the process's exit."""
    run = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True, encoding="latin-1", env=env,
                           cwd=cwd)
    for line in run.stdout:
        if "ready" in line:
            break
    time.sleep(0.2)
    start = time.perf_counter()
    run.send_signal(signal.SIGINT)
    finished = None
    for line in run.stdout:
        if end_marker in line and finished is None:
            finished = time.perf_counter() - start
    run.wait()
    return finished, time.perf_counter() - start


def report(label, rounds, *arguments, **options):
    results = [one_round(*arguments, **options) for _ in range(rounds)]
    if any(finished is None for finished, _ in results):
        print("%-24s did not reach its end line" % label)
        return
    ends = sorted(1000 * finished for finished, _ in results)
    exits = sorted(1000 * gone for _, gone in results)
    print("%-24s to end line median %7.1f ms  max %7.1f ms   to exit median %7.1f ms  max %7.1f ms"
          % (label, statistics.median(ends), ends[-1], statistics.median(exits), exits[-1]))


def run_case(runner, folder, rounds, name, script, ports, setup):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    if ports:
        env["KORVANE_PORTS"] = ports
    command = [runner, os.path.join(folder, "stop.kvs")]
    if setup == "fifo":
        os.mkfifo(os.path.join(folder, "fifo"))
    elif setup == "resolver":
        if not silent_resolver.available():
            print("%-24s skipped: no network namespace of its own here" % ("korvane " + name))
            return
        env = silent_resolver.prepare(folder, env)
        command = silent_resolver.wrapped(command)
    elif setup:
        script = script.format(setup())
    with open(os.path.join(folder, "stop.kvs"), "w", encoding="latin-1") as out:
        out.write(script)
    report("korvane " + name, rounds, command, "Script finished", env=env, cwd=folder)


def main():
    runner = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    only = sys.argv[3:]
    for name, case in CASES.items():
        if only and name not in only:
            continue
        with tempfile.TemporaryDirectory() as folder:
            run_case(runner, folder, rounds, name, *case)
    report("python3 time.sleep", rounds, PEER, "finished")


if __name__ == "__main__":
    main()
