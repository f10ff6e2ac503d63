#!/usr/bin/env python3
"""The same two scripts in korvane, python3, tclsh and lua5.4, measured in one run.

A 1,000,000-iteration counting loop and a 200,000-iteration loop that parses instrument
replies ("+17.500E+00,VOLT"). Each program runs three times; the best CPU time (user + system,
start-up included) counts. Prints the times and korvane's ratio to each of the others.
Usage: script_speed.py KORVANE_RUN
"""
import os
import resource
import subprocess
import sys
import tempfile

WORKLOADS = {
    "count": {
        "kvs": "x = 0\nfor (i, 1, 1000000, 1)\nx = x + 1\nnext\n",
        "py": "x = 0\nfor i in range(1, 1000001):\n    x = x + 1\n",
        "tcl": "set x 0\nfor {set i 1} {$i <= 1000000} {incr i} {set x [expr {$x + 1}]}\n",
        "lua": "local x = 0\nfor i = 1, 1000000 do x = x + 1 end\n",
    },
    "parse": {
        "kvs": """t = 0
c = 0
for (i, 1, 200000, 1)
s = "+" & i & ".500E+00,VOLT"
p = pos(",", s)
v = mid(s, 1, p - 1)
u = ucase(mid(s, p + 1, 4))
if (v >> 1000)
c = c + 1
endif
t = t + v
next
""",
        "py": """t = 0
c = 0
for i in range(1, 200001):
    s = "+" + str(i) + ".500E+00,VOLT"
    p = s.find(",") + 1
    v = s[0:p - 1]
    u = s[p:p + 4].upper()
    if float(v) > 1000:
        c = c + 1
    t = t + float(v)
""",
        "tcl": """set t 0
set c 0
for {set i 1} {$i <= 200000} {incr i} {
    set s "+${i}.500E+00,VOLT"
    set p [expr {[string first "," $s] + 1}]
    set v [string range $s 0 [expr {$p - 2}]]
    set u [string toupper [string range $s $p [expr {$p + 3}]]]
    if {$v > 1000} {incr c}
    set t [expr {$t + $v}]
}
""",
        "lua": """local t, c = 0, 0
for i = 1, 200000 do
    local s = "+" .. i .. ".500E+00,VOLT"
    local p = string.find(s, ",", 1, true)
    local v = string.sub(s, 1, p - 1)
    local u = string.upper(string.sub(s, p + 1, p + 4))
    if tonumber(v) > 1000 then c = c + 1 end
    t = t + tonumber(v)
end
""",
    },
}


def cpu_seconds(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    runners = {
        "korvane": (sys.argv[1], "kvs"),
        "python3": ("/usr/bin/python3", "py"),
        "tclsh": ("tclsh", "tcl"),
        "lua5.4": ("lua5.4", "lua"),
    }
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    with tempfile.TemporaryDirectory() as work:
        for name, sources in WORKLOADS.items():
            best = {}
            for runner, (program, extension) in runners.items():
                path = os.path.join(work, f"{name}.{extension}")
                with open(path, "w") as f:
                    f.write(sources[extension])
                best[runner] = min(cpu_seconds([program, path]) for _ in range(3))
            times = "   ".join(f"{r} {t:6.3f} s" for r, t in best.items())
            ratios = "   ".join(f"korvane/{r} {best['korvane'] / t:5.2f}"
                               for r, t in best.items() if r != "korvane" and t > 0)
            print(f"{name:6} {times}   {ratios}")


if __name__ == "__main__":
    main()
