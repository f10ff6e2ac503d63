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
run "$bin/korvane-run" --fixed-time=yesterday x.kvs
[[ $rc == 2 && $(cat "$work/err") == "usage: korvane-run "* ]] || fail "bad --fixed-time: $rc"
run "$bin/korvane-run"
[[ $rc == 2 ]] || fail "korvane-run without a file: $rc"

cd "$work"
echo 'writelog("quiet")' > quiet.kvs
run env -u XDG_RUNTIME_DIR "$bin/korvane-run" --fixed-time=2026-12-08T14:03:27 quiet.kvs
[[ $rc == 0 && ! -s "$work/err" ]] || fail "normal run: $rc, stderr: $(cat "$work/err")"
grep -q "from line 1: quiet" "$work/out" || fail "normal run log: $(cat "$work/out")"
run env KORVANE_PORTS='com1=nonsense;com2=loop' "$bin/korvane-run" quiet.kvs
[[ $rc == 0 && $(cat "$work/err") == "korvane-run: port map: "*com1* ]] ||
    fail "port map issue: $rc, stderr: $(cat "$work/err")"
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
run "$bin/korvane-run" missing.kvs
[[ $rc == 3 && $(cat "$work/err") == "korvane-run: cannot read missing.kvs" ]] ||
    fail "missing file: $rc, stderr: $(cat "$work/err")"
# A display that is not there ends start-up; the warning that says why is shown.
run env -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR DISPLAY=:7913 "$bin/korvane-run" quiet.kvs
[[ $rc != 0 ]] || fail "start-up without the display succeeded"
grep -q "could not connect to display" "$work/err" || fail "start-up failure: $(cat "$work/err")"
exit $status
