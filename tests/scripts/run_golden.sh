#!/usr/bin/env bash
# run_golden.sh KORVANE_RUN SCRIPT: compares one golden script's log, exit code and variables.
set -u
runner="$1"
script="$2"
base="${script%.kvs}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
input=/dev/null
[[ -f "$base.stdin" ]] && input="$base.stdin"
# @FREE_PORT_1@ and @FREE_PORT_2@ in NAME.kvs and NAME.expected stand for two TCP ports that
# were free on the loopback interface just before the run: the script runs from a copy with
# them filled in, and its output and variables are compared with the expected texts filled
# in the same way.
expected="$base.expected"
expected_vars="$base.vars"
if grep -q '@FREE_PORT_[12]@' "$script"; then
    read -r port1 port2 < <(/usr/bin/python3 -c '
import socket
held = [socket.socket() for _ in range(2)]
for s in held:
    s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in held))
for s in held:
    s.close()')
    fill() { sed -e "s/@FREE_PORT_1@/$port1/g" -e "s/@FREE_PORT_2@/$port2/g" "$1" >"$2"; }
    fill "$script" "$work/script.kvs"
    fill "$expected" "$work/expected"
    [[ -f "$expected_vars" ]] && fill "$expected_vars" "$work/expected_vars"
    script="$work/script.kvs"
    expected="$work/expected"
    expected_vars="$work/expected_vars"
fi
# NAME.env: VAR=value lines exported for the run (blank lines and # comments skipped).
if [[ -f "$base.env" ]]; then
    while IFS= read -r setting || [[ -n "$setting" ]]; do
        [[ -z "$setting" || "$setting" == \#* ]] && continue
        export "$setting"
    done <"$base.env"
fi
(cd "$(dirname "$base")" && "$runner" --fixed-time=2026-12-08T14:03:27 --vars="$work/vars" \
    "$script" <"$input" >"$work/out" 2>"$work/err")
rc=$?
expected_rc=0
[[ -f "$base.rc" ]] && expected_rc="$(cat "$base.rc")"
status=0
if [[ "$rc" != "$expected_rc" ]]; then
    echo "exit code $rc, expected $expected_rc"; cat "$work/err"; status=1
fi
if ! diff -u "$expected" "$work/out"; then status=1; fi
if [[ -f "$expected_vars" ]] && ! diff -u "$expected_vars" "$work/vars"; then status=1; fi
exit $status
