#!/usr/bin/python3
"""Time from SIGINT to the end of a korvane-run script that sleeps a long idle interval or
works through one statement of deeply nested parentheses, against a python3 peer that sleeps
and ends at the same signal, measured in the same run.
Usage: stop_latency.py KORVANE_RUN [ROUNDS]
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

NESTED = "(" * 1000000 + "1" + ")" * 1000000
SCRIPTS = {
    "setidle(10000)": 'writelog("ready")\nsetidle(10000)\nwritelog("after")\n',
    "long statement": 'writelog("ready")\nx = ' + NESTED + '\nwritelog("after")\n',
}
PEER = ["/usr/bin/python3", "-c",
        "import time\nprint('ready', flush=True)\ntry:\n  time.sleep(10)\n"
        "except KeyboardInterrupt:\n  print('finished', flush=True)\n"]


def one_round(command, end_marker):
    """Seconds from the signal to the end marker line, and to the process's exit."""
    run = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True, encoding="latin-1")
    for line in run.stdout:
        if "ready" in line:
            break
    time.sleep(0.1)
    start = time.perf_counter()
    run.send_signal(signal.SIGINT)
    finished = None
    for line in run.stdout:
        if end_marker in line and finished is None:
            finished = time.perf_counter() - start
    run.wait()
    return finished, time.perf_counter() - start


def report(label, command, end_marker, rounds):
    results = [one_round(command, end_marker) for _ in range(rounds)]
    if any(finished is None for finished, _ in results):
        print("%-24s did not reach its end line" % label)
        return
    ends = sorted(1000 * finished for finished, _ in results)
    exits = sorted(1000 * gone for _, gone in results)
    print("%-24s to end line median %7.1f ms  max %7.1f ms   to exit median %7.1f ms  max %7.1f ms"
          % (label, statistics.median(ends), ends[-1], statistics.median(exits), exits[-1]))


def main():
    runner = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    os.environ["QT_QPA_PLATFORM"] = "offscreen"
    with tempfile.TemporaryDirectory() as folder:
        for name, script in SCRIPTS.items():
            path = os.path.join(folder, "stop.kvs")
            with open(path, "w", encoding="latin-1") as out:
                out.write(script)
            report("korvane " + name, [runner, path], "Script finished", rounds)
    report("python3 time.sleep", PEER, "finished", rounds)


if __name__ == "__main__":
    main()
