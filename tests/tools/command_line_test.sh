#!/usr/bin/env bash
# --help, --version and wrong usage of the three programs, as Linux tools answer them: the
# answers on standard output with exit code 0 (the workbench needs no display for them),
# usage on standard error with exit code 2. Then korvane-run's standard error: empty in a
# normal run without XDG_RUNTIME_DIR, the runner's own errors still shown, --warn's report, and
# Qt's start-up warnings shown after all when start-up fails.
# Usage: command_line_test.sh BIN_DIR VERSION
set -uo pipefail
bin="$(cd "$1" && pwd)"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# run COMMAND...: without a display; exit code in $rc, streams in $work/out and $work/err.
run() {
    # The subshell keeps the shell's note about an aborted program off the output.
    (env -u DISPLAY -u WAYLAND_DISPLAY "$@" > "$work/out" 2> "$work/err"; exit $?) 2> /dev/null
    rc=$?
}

for program in korvane korvane-run korvane-rack; do
    run env -u QT_QPA_PLATFORM "$bin/$program" --version
    [[ $rc == 0 && $(cat "$work/out") == "$program $version" && ! -s "$work/err" ]] ||
        fail "$program --version: $rc $(cat "$work/out" "$work/err")"
    run env -u QT_QPA_PLATFORM "$bin/$program" --help
    [[ $rc == 0 && $(head -1 "$work/out") == "usage: $program "* && ! -s "$work/err" ]] ||
        fail "$program --help: $rc $(cat "$work/out" "$work/err")"
    grep -q -- "--version" "$work/out" || fail "$program --help does not name --version"
    usage="$(sed '/^$/,$d' "$work/out")"
    usage_lines="$(wc -l <<<"$usage")"
    run "$bin/$program" --no-such-option
    # The workbench may have Qt's start-up notes before the usage.
    [[ $rc == 2 && ! -s "$work/out" && $(tail -n "$usage_lines" "$work/err") == "$usage" ]] ||
        fail "$program --no-such-option: $rc $(cat "$work/out" "$work/err")"
done
# Refused command lines: each exits 2 with the usage and runs nothing.
for bad in --fixed-time=yesterday --fixed-time=2024-13-45T99:99:99 --fixed-time=2023-02-29T00:00:00 \
           --fixed-time=2024-01-01T24:00:00 --fixed-time=2024-01-01T00:00:00x --timeout=0 \
           --timeout=-1 --timeout=soon -j0 --jobs=x "--stations=s.ini --vars=v" --junit; do
    # shellcheck disable=SC2086
    run "$bin/korvane-run" $bad x.kvs
    [[ $rc == 2 && $(cat "$work/err") == "usage: korvane-run "* && ! -s "$work/out" ]] ||
        fail "$bad: $rc $(cat "$work/out" "$work/err")"
done
run "$bin/korvane-run"
[[ $rc == 2 ]] || fail "korvane-run without a file: $rc"
run "$bin/korvane-run" --help
for code in 0 1 2 3 4 5 6; do
    grep -q "^  .*\b$code [a-z]" "$work/out" || fail "--help does not explain exit code $code"
done

cd "$work"
echo 'writelog("quiet")' > quiet.kvs
run env -u XDG_RUNTIME_DIR "$bin/korvane-run" --fixed-time=2026-12-08T14:03:27 quiet.kvs
[[ $rc == 0 && ! -s "$work/err" ]] || fail "normal run: $rc, stderr: $(cat "$work/err")"
grep -q "from line 1: quiet" "$work/out" || fail "normal run log: $(cat "$work/out")"
run "$bin/korvane-run" --fixed-time=2024-02-29T23:59:59 quiet.kvs
[[ $rc == 0 && $(head -1 "$work/out") == "23:59:59: Script started" ]] || fail "leap day: $rc"
run env KORVANE_PORTS='com1=nonsense;com2=loop' "$bin/korvane-run" quiet.kvs
[[ $rc == 0 && $(cat "$work/err") == "korvane-run: port map: "*com1* && $(wc -l < "$work/err") == 1 ]] ||
    fail "port map issue: $rc, stderr: $(cat "$work/err")"
# Files that cannot be scripts: exit 3 with the reason, never a crash or an endless read.
declare -A unreadable=(
    [missing.kvs]="No such file or directory"
    [.]="it is a folder"
    [/dev/zero]="it is larger than the limit of 64 MiB"
    [big.kvs]="it is larger than the limit of 64 MiB")
truncate -s $((64 * 1024 * 1024 + 1)) big.kvs
for file in "${!unreadable[@]}"; do
    run "$bin/korvane-run" "$file"
    [[ $rc == 3 && $(cat "$work/err") == "korvane-run: cannot read $file: ${unreadable[$file]}" ]] ||
        fail "$file: $rc, stderr: $(cat "$work/err")"
done
rm big.kvs
# Lost output is a failure: variables on a full disk, and reports where none can be written.
run "$bin/korvane-run" --vars=/dev/full quiet.kvs
[[ $rc == 1 && $(cat "$work/err") == "korvane-run: cannot write the variables to /dev/full: No space left on device" ]] ||
    fail "--vars=/dev/full: $rc, stderr: $(cat "$work/err")"
run "$bin/korvane-run" --junit=/dev/full quiet.kvs
[[ $rc == 1 && $(cat "$work/err") == "korvane-run: cannot write /dev/full: No space left on device" ]] ||
    fail "--junit=/dev/full: $rc, stderr: $(cat "$work/err")"
# A reader that goes away early: the run goes on to its end and the variables are written.
printf 'for (i, 1, 3000, 1)\n  writelog("a line long enough to fill the pipe quickly, %%s")\nnext\nlast = i\n' \
    | sed 's/%s/......................................../' > chatty.kvs
env -u DISPLAY "$bin/korvane-run" --vars=chatty.vars chatty.kvs 2> "$work/err" | true
rc=${PIPESTATUS[0]}
[[ $rc == 0 && $(grep -c '^last=' chatty.vars) == 1 ]] ||
    fail "closed standard output: $rc, vars: $(cat chatty.vars 2>&1), stderr: $(cat "$work/err")"
# --warn: the failed statements on standard error as FILE:LINE: message; standard output is
# the same as without it, and without --warn standard error stays empty.
printf 'x = 1/0\r\nok = 1\r\nsetidle(-5)\r\n' > warn.kvs
run "$bin/korvane-run" --fixed-time=2026-12-08T14:03:27 warn.kvs
[[ $rc == 0 && ! -s "$work/err" ]] || fail "run without --warn: $rc, stderr: $(cat "$work/err")"
cp "$work/out" "$work/plain"
run "$bin/korvane-run" --warn --fixed-time=2026-12-08T14:03:27 warn.kvs
expected=$'warn.kvs:1: cannot compute: division by zero or overflow\nwarn.kvs:3: setidle: idle time must be positive'
[[ $rc == 0 && $(cat "$work/err") == "$expected" ]] || fail "--warn: $rc, stderr: $(cat "$work/err")"
cmp -s "$work/out" "$work/plain" || fail "--warn changed standard output: $(cat "$work/out")"
# A display that is not there ends the start-up of a script with windows; the warning that
# says why is shown. A script without windows does not need one.
run env -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR DISPLAY=:7913 "$bin/korvane-run" quiet.kvs
[[ $rc == 0 && ! -s "$work/err" ]] || fail "run without windows needed the display: $rc $(cat "$work/err")"
echo 'openrack("panel.res")' > windowed.kvs
run env -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR DISPLAY=:7913 "$bin/korvane-run" quiet.kvs windowed.kvs
[[ $rc != 0 ]] || fail "start-up without the display succeeded"
grep -q "could not connect to display" "$work/err" || fail "start-up failure: $(cat "$work/err")"
exit $status
