#!/usr/bin/python3
"""korvane-run as a test runner: reports read back with the Debian JUnit parser and as JSON,
stations in parallel with their own ports, exit-code precedence, and a script read from a FIFO.
Usage: test_runner_test.py KORVANE_RUN reports|stations|exit-codes|fifo|example [EXAMPLE_DIR]
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

import junitparser

TIME = "--fixed-time=2026-12-08T14:03:27"

SCRIPTS = {
    "pass.kvs": 'check("vdd", 3.31, 3.13, 3.47, "V")\ncheck("vdd", 3.13, 3.13, 3.47, "V")\n'
                'check("leak", 0.001, "", 0.002, "A")\n',
    "fail.kvs": 'writelog("measuring")\ncheck("vdd", 3.6, 3.13, 3.47, "V")\ncheck("t", 20, 10, 30)\n',
    "fatal.kvs": 'check("before", 1, 0, 2)\nfor (i, 1, 3, 0)\nnext\n',
    "timeout.kvs": 'check("started", 1, 1, 1)\nsetidle(10000)\nwritelog("never")\n',
    "nochecks.kvs": 'writelog("just a log <&> \xe9")\n',
    "refused.kvs": 'if (1 == 1)\nwritelog("no endif")\n',
    # Sends "A" where the recording below says "B" was sent.
    "replay.kvs": 'openport("com9", 9600, 8, "n", 1)\nsend("com9", "A")\ncloseport("com9")\n',
}
RECORDING = 'korvane-recording 1\n0 settings 9600 8 n 1\n0 sent "B"\n'


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def run(runner, args, work, timeout=60, env=None):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=work,
                       KORVANE_PORTS="com9=replay-fast:b.kvr")
    environment.update(env or {})
    done = subprocess.run([runner, TIME] + args, cwd=work, env=environment, capture_output=True,
                          timeout=timeout, encoding="latin-1")
    return done.returncode, done.stdout.splitlines(), done.stderr


def write_scripts(work):
    for name, text in SCRIPTS.items():
        with open(os.path.join(work, name), "w", encoding="latin-1") as f:
            f.write(text)
    with open(os.path.join(work, "b.kvr"), "w") as f:
        f.write(RECORDING)


SUITE_ATTRIBUTES = {"name", "tests", "failures", "errors", "skipped", "time", "timestamp",
                    "hostname"}


def check_schema(path):
    """Every element and attribute GitLab and Jenkins rely on, with values of the right kind."""
    root = ET.parse(path).getroot()
    check(root.tag == "testsuites", "root %s" % root.tag)
    for suite in root:
        check(suite.tag == "testsuite", "child of testsuites: %s" % suite.tag)
        check(SUITE_ATTRIBUTES <= set(suite.attrib), "suite attributes %r" % suite.attrib)
        cases = suite.findall("testcase")
        check(int(suite.get("tests")) == len(cases), "tests=%s for %d cases"
              % (suite.get("tests"), len(cases)))
        check(int(suite.get("failures")) == len(suite.findall("testcase/failure")), "failures")
        check(int(suite.get("errors")) == len(suite.findall("testcase/error")), "errors")
        float(suite.get("time"))
        time.strptime(suite.get("timestamp"), "%Y-%m-%dT%H:%M:%S")
        check(suite.find("system-out") is not None, "no system-out in " + suite.get("name"))
        names = set()
        for case in cases:
            check({"classname", "name", "file", "time"} <= set(case.attrib), "case %r" % case.attrib)
            check(case.get("name") not in names, "repeated case name " + case.get("name"))
            names.add(case.get("name"))
            float(case.get("time"))
            if case.get("name") != "script run":
                int(case.get("line"))
    return root


def suites_by_name(path):
    xml = junitparser.JUnitXml.fromfile(path)
    return {suite.name: suite for suite in xml}


def test_reports(runner, work):
    rc, out, err = run(runner, ["--junit=r.xml", "--json=r.json", "--timeout=1", "pass.kvs",
                                "fail.kvs", "fatal.kvs", "timeout.kvs", "nochecks.kvs"], work)
    check(rc == 1, "exit code %d (a fatal error outranks a time-out and a failed check)" % rc)
    check(err == "", "stderr %r" % err)
    summaries = [line for line in out if not line[:2].isdigit() or " scripts, " in line]
    check(summaries == ["PASS pass.kvs: 3 checks, 0 failed",
                       "FAIL fail.kvs: 2 checks, 1 failed",
                       "FATAL fatal.kvs: 1 check, 0 failed (Fatal error: Division by zero)",
                       "TIME-OUT timeout.kvs: 1 check, 0 failed (stopped at the time-out of 1.000 s)",
                       "PASS nochecks.kvs: 0 checks, 0 failed",
                       "5 scripts, 7 checks, 1 failed"], "summary lines:\n" + "\n".join(out))
    check_schema(os.path.join(work, "r.xml"))
    suites = suites_by_name(os.path.join(work, "r.xml"))
    check(sorted(suites) == sorted(["pass.kvs", "fail.kvs", "fatal.kvs", "timeout.kvs",
                                    "nochecks.kvs"]), "suites %r" % sorted(suites))
    for suite in suites.values():
        check(suite.timestamp == "2026-12-08T14:03:27", "timestamp " + suite.timestamp)
        check(suite.hostname, "no hostname")
    passed = list(suites["pass.kvs"])
    check([c.name for c in passed] == ["vdd", "vdd #2", "leak"], [c.name for c in passed])
    check(all(c.classname == "pass" and c.is_passed for c in passed), "pass.kvs cases")
    check([c._elem.get("line") for c in passed] == ["1", "2", "3"], "lines")
    failed = [c for c in suites["fail.kvs"] if not c.is_passed]
    check(len(failed) == 1 and isinstance(failed[0].result[0], junitparser.Failure), "fail.kvs")
    text = failed[0].result[0].text
    check(text == "vdd: value 3.6 V, low limit 3.13, high limit 3.47", "failure text %r" % text)
    check(suites["fail.kvs"].failures == 1 and suites["fail.kvs"].errors == 0, "fail.kvs counts")
    for name, kind in (("fatal.kvs", "fatal error"), ("timeout.kvs", "time-out")):
        errors = [c for c in suites[name] if c.result and isinstance(c.result[0], junitparser.Error)]
        check(len(errors) == 1 and errors[0].name == "script run" and
              errors[0].result[0].type == kind, "%s: %r" % (name, [c.name for c in suites[name]]))
        check(suites[name].errors == 1, name + " errors")
    lone = list(suites["nochecks.kvs"])
    check(len(lone) == 1 and lone[0].is_passed and lone[0].name == "script run", "nochecks.kvs")
    system_out = ET.parse(os.path.join(work, "r.xml")).getroot().find(
        "testsuite[@name='nochecks.kvs']/system-out").text
    check("from line 1: just a log <&> \xe9\n" in system_out, "system-out %r" % system_out)
    check("measuring" not in system_out, "another script's log in system-out")

    with open(os.path.join(work, "r.json"), encoding="utf-8") as f:
        records = json.load(f)
    check([r["script"] for r in records] == ["pass.kvs", "fail.kvs", "fatal.kvs", "timeout.kvs",
                                            "nochecks.kvs"], "json scripts")
    check([r["exit_code"] for r in records] == [0, 5, 1, 6, 0], "json exit codes")
    vdd = records[1]["checks"][0]
    check({k: vdd[k] for k in ("name", "value", "low", "high", "unit", "outcome", "line")} ==
          {"name": "vdd", "value": "3.6", "low": "3.13", "high": "3.47", "unit": "V",
           "outcome": "fail", "line": 2}, "json check %r" % vdd)
    check(records[0]["checks"][2]["low"] == "" and records[0]["station"] == "", "one-sided limit")
    check(all(isinstance(c["time"], float) for r in records for c in r["checks"]), "check times")


STATION_SCRIPT = """openport("com7", 9600, 8, "n", 1)
send("com7", "PING")
writelog("ready")
setidle(10)
waited = 0
repeat
  h = fopen("go")
  waited = waited + 1
until ((error == 0) || (waited >> 3000))
setidle(0)
check("echo", len(receive("com7")), 4, 4, "bytes")
"""


def test_stations(runner, work):
    with open(os.path.join(work, "station.kvs"), "w") as f:
        f.write(STATION_SCRIPT)
    with open(os.path.join(work, "stations.ini"), "w") as f:
        f.write("[dut1]\ncom7=loop\n\n# the pty's far end is nobody: no echo\n[dut2]\r\ncom7 = pty\r\n")
    scratch = os.path.join(work, "scratch")
    os.mkdir(scratch)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=work, TMPDIR=scratch)
    # Both stations must be waiting at once before either is let go: they run in parallel.
    runner_process = subprocess.Popen(
        [runner, TIME, "--stations=stations.ini", "--junit=s.xml", "--json=s.json", "station.kvs"],
        cwd=work, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, encoding="latin-1")
    out = []
    ready = set()
    while len(ready) < 2:
        line = runner_process.stdout.readline()
        if not line:
            break
        out.append(line.rstrip("\n"))
        if line.endswith(": ready\n"):
            ready.add(line.split(" ", 1)[0])
    open(os.path.join(work, "go"), "w").close()
    rest, err = runner_process.communicate(timeout=60)
    out += rest.splitlines()
    check(ready == {"[dut1]", "[dut2]"}, "stations waiting together: %r\n%s" % (ready, "\n".join(out)))
    check(runner_process.returncode == 5, "exit code %d, stderr %r" % (runner_process.returncode, err))
    check(os.listdir(scratch) == [], "left behind: %r" % os.listdir(scratch))
    for line in out[:-1]:
        check(line.startswith("[dut1] ") or line.startswith("[dut2] "), "unprefixed line %r" % line)
    dut1 = [l for l in out if l.startswith("[dut1] ")]
    dut2 = [l for l in out if l.startswith("[dut2] ")]
    check("[dut1] 14:03:27: check echo: 4 bytes in [4, 4]: pass" in dut1, "\n".join(dut1))
    check("[dut2] 14:03:27: check echo: 0 bytes in [4, 4]: FAIL" in dut2, "\n".join(dut2))
    check(out[-1] == "2 stations: 2 scripts, 2 checks, 1 failed", "total %r" % out[-1])

    check_schema(os.path.join(work, "s.xml"))
    suites = suites_by_name(os.path.join(work, "s.xml"))
    check(sorted(suites) == ["station.kvs (dut1)", "station.kvs (dut2)"], "suites %r" % sorted(suites))
    for station, passed in (("dut1", True), ("dut2", False)):
        suite = suites["station.kvs (%s)" % station]
        cases = list(suite)
        check(len(cases) == 1 and cases[0].classname == station + ".station" and
              cases[0].is_passed == passed, "%s cases" % station)
        check([(p.name, p.value) for p in suite.properties()] == [("station", station)],
              station + " properties")
        log = ET.parse(os.path.join(work, "s.xml")).getroot().find(
            "testsuite[@name='station.kvs (%s)']/system-out" % station).text
        check(log.count("Script started") == 1 and "[dut" not in log, "%s log %r" % (station, log))
    with open(os.path.join(work, "s.json"), encoding="utf-8") as f:
        records = json.load(f)
    check(sorted((r["station"], r["checks"][0]["outcome"]) for r in records) ==
          [("dut1", "pass"), ("dut2", "fail")], "json %r" % records)

    # One station at a time (-j 1): a fatal error on each station and all four runs reported.
    with open(os.path.join(work, "bad.ini"), "w") as f:
        f.write("[good]\ncom7=loop\n[gone]\ncom7=loop\n")
    open(os.path.join(work, "go"), "w").close()
    rc, out, err = run(runner, ["--stations=bad.ini", "-j", "1", "--json=b.json", "station.kvs",
                                "fatal.kvs"], work, env={"KORVANE_PORTS": ""})
    check(rc == 1, "fatal on both stations: exit %d %r" % (rc, err))
    check(out[-1] == "2 stations: 4 scripts, 4 checks, 0 failed", "total %r" % out)
    with open(os.path.join(work, "b.json"), encoding="utf-8") as f:
        check(len(json.load(f)) == 4, "b.json")
    # A file without stations is a bad command line.
    with open(os.path.join(work, "none.ini"), "w") as f:
        f.write("com7=loop\n")
    rc, _, err = run(runner, ["--stations=none.ini", "pass.kvs"], work)
    check(rc == 2 and err == "korvane-run: none.ini: no stations in it\n", "none.ini: %d %r" % (rc, err))


# Scripts by kind, and what a run of several gives: the most serious code wins.
PRECEDENCE = [
    (["pass.kvs"], 0),
    (["pass.kvs", "fail.kvs"], 5),
    (["fail.kvs", "replay.kvs"], 4),
    (["replay.kvs", "timeout.kvs"], 6),
    (["timeout.kvs", "fatal.kvs"], 1),
    (["fatal.kvs", "missing.kvs"], 3),
    (["missing.kvs", "refused.kvs", "pass.kvs"], 2),
    (["refused.kvs", "pass.kvs", "fail.kvs", "replay.kvs", "fatal.kvs", "timeout.kvs",
      "missing.kvs"], 2),
]


def test_exit_codes(runner, work):
    singles = {"pass.kvs": 0, "fatal.kvs": 1, "refused.kvs": 2, "missing.kvs": 3, "replay.kvs": 4,
               "fail.kvs": 5, "timeout.kvs": 6}
    for script, code in singles.items():
        rc, _, _ = run(runner, ["--timeout=0.3", script], work)
        check(rc == code, "%s alone: exit %d, expected %d" % (script, rc, code))
    # A time-out also ends a wait for standard input that never gets its line.
    with open(os.path.join(work, "ask.kvs"), "w") as f:
        f.write('a = inputbox("c", "p", "preset")\nwritelog("after " & a)\n')
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=work)
    never_written, keep_open = os.pipe()
    asking = subprocess.Popen([runner, TIME, "--timeout=0.5", "ask.kvs", "pass.kvs"], cwd=work,
                              env=env, stdin=never_written, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, encoding="latin-1")
    os.close(never_written)
    try:
        out, err = asking.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        asking.kill()
        fail("the time-out did not end the inputbox")
    finally:
        os.close(keep_open)
    check(asking.returncode == 6 and "after" not in out and
          "PASS pass.kvs: 3 checks, 0 failed" in out, "inputbox time-out: %d %r %r"
          % (asking.returncode, out, err))
    for scripts, code in PRECEDENCE:
        rc, out, _ = run(runner, ["--timeout=0.3"] + scripts, work)
        check(rc == code, "%s: exit %d, expected %d" % (scripts, rc, code))
        check(out[-1].startswith("%d script%s, " % (len(scripts), "s" if len(scripts) > 1 else "")),
              "%s: %r" % (scripts, out[-1:]))


def test_fifo(runner, work):
    fifo = os.path.join(work, "fifo.kvs")
    os.mkfifo(fifo)
    # Nobody writes the script: a signal ends the wait for it.
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=work)
    waiting = subprocess.Popen([runner, TIME, fifo], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, encoding="latin-1")
    time.sleep(0.3)
    check(waiting.poll() is None, "korvane-run did not wait for the FIFO's writer")
    waiting.send_signal(signal.SIGTERM)
    try:
        out, err = waiting.communicate(timeout=5)
    except subprocess.TimeoutExpired:
        waiting.kill()
        fail("SIGTERM did not end the wait for a FIFO script")
    check(waiting.returncode == 3 and out == "" and
          err == "korvane-run: cannot read %s: stopped while reading\n" % fifo,
          "stopped FIFO: %d %r %r" % (waiting.returncode, out, err))
    # A writer that comes late: the script is read whole and runs.
    reading = subprocess.Popen([runner, TIME, fifo], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, encoding="latin-1")
    time.sleep(0.3)
    with open(fifo, "w") as f:
        f.write('writelog("from the fifo")\n')
    out, err = reading.communicate(timeout=30)
    check(reading.returncode == 0 and "14:03:27, from line 1: from the fifo" in out,
          "FIFO script: %d %r %r" % (reading.returncode, out, err))


def test_example(runner, work, example):
    """The worked example of the README: one bench within its limits, one above them."""
    shutil.copytree(example, os.path.join(work, "station"))
    rc, out, err = run(runner, ["--stations=stations.ini", "--junit=report.xml", "psu_test.kvs"],
                       os.path.join(work, "station"), env={"KORVANE_PORTS": ""})
    check(rc == 5 and err == "", "example: exit %d, stderr %r" % (rc, err))
    for line in ("[bench1] 14:03:27: check output voltage: 3.31 V in [3.13, 3.47]: pass",
                 "[bench1] 14:03:27: check load current: 0.42 A in [-inf, 0.5]: pass",
                 "[bench2] 14:03:27: check output voltage: 3.52 V in [3.13, 3.47]: FAIL",
                 "[bench1] PASS psu_test.kvs: 2 checks, 0 failed",
                 "[bench2] FAIL psu_test.kvs: 2 checks, 1 failed"):
        check(line in out, "example: no %r in\n%s" % (line, "\n".join(out)))
    suites = suites_by_name(os.path.join(work, "station", "report.xml"))
    check({name: suite.failures for name, suite in suites.items()} ==
          {"psu_test.kvs (bench1)": 0, "psu_test.kvs (bench2)": 1}, "example report")


def main():
    runner, test = os.path.abspath(sys.argv[1]), sys.argv[2]
    with tempfile.TemporaryDirectory() as work:
        write_scripts(work)
        if test == "example":
            test_example(runner, work, sys.argv[3])
        else:
            {"reports": test_reports, "stations": test_stations, "exit-codes": test_exit_codes,
             "fifo": test_fifo}[test](runner, work)
    print("ok: " + test)


if __name__ == "__main__":
    main()
