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
# NAME.env: VAR=value lines exported for the run (blank lines and # comments skipped).
if [[ -f "$base.env" ]]; then
    while IFS= read -r setting || [[ -n "$setting" ]]; do
        [[ -z "$setting" || "$setting" == \#* ]] && continue
        export "$setting"
    done <"$base.env"
fi
(cd "$(dirname "$script")" && "$runner" --fixed-time=2026-12-08T14:03:27 --vars="$work/vars" \
    "$script" <"$input" >"$work/out" 2>"$work/err")
rc=$?
expected_rc=0
[[ -f "$base.rc" ]] && expected_rc="$(cat "$base.rc")"
status=0
if [[ "$rc" != "$expected_rc" ]]; then
    echo "exit code $rc, expected $expected_rc"; cat "$work/err"; status=1
fi
if ! diff -u "$base.expected" "$work/out"; then status=1; fi
if [[ -f "$base.vars" ]] && ! diff -u "$base.vars" "$work/vars"; then status=1; fi
exit $status
