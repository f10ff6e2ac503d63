#!/usr/bin/env bash
# Builds a standalone copy of korvane from a script and a rack with "korvane --build", runs it
# in another folder and checks what it left there. Usage: standalone_copy.sh KORVANE RACK
set -euo pipefail
korvane="$1"
rack="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/source" "$work/elsewhere/deeper"
cp "$rack" "$work/source/panel.res"
cd "$work/source"
cat > script.kvs <<'KVS'
openrack("panel.res")
openrack("panel.res")
writelog("silent in a packaged program")
fcreate("evidence.txt")
h = fopen("evidence.txt")
n = fwrite("rack open " & error & ", six times seven is " & (6 * 7))
openport("com9", 9600, 8, "n", 1)
n = fwrite(", port open " & error)
fclose()
KVS
"$korvane" --build script.kvs packaged > build.log 2> build.err || fail "build failed: $(cat build.err)"
printf '%s\n' "Building" "Adding header" "Adding script" "Adding racks" \
    "Adding terminal.res (required)" "Found rack panel.res" "Done" > expected.log
diff expected.log build.log || fail "build log differs"
[[ -x packaged ]] || fail "the copy is not executable"
[[ $(stat -c %s packaged) == $(stat -c %s "$korvane") ]] || fail "the copy changed size"

# The copy runs in another folder: the racks land there, the script runs and the program ends.
cd "$work/elsewhere"
KORVANE_PORTS='com9=loop' timeout 60 "$work/source/packaged" > run.out 2>&1 || fail "packaged run failed: $(cat run.out)"
cmp panel.res "$work/source/panel.res" || fail "panel.res differs"
cmp terminal.res "$(dirname "$korvane")/terminal.res" || fail "terminal.res differs"
# The terminal window of the port is laid out from the terminal.res just written here.
[[ $(cat evidence.txt) == "rack open 0, six times seven is 42, port open 0" ]] || fail "evidence: $(cat evidence.txt)"
grep -q "silent" run.out && fail "the script log was written"

# A crafted copy whose rack name climbs out of the folder writes it under its bare name.
python3 - "$work/source/packaged" "$work/crafted" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
old = b"[racks " + b"panel.res".ljust(43)
new = b"[racks " + b"../../escaped.res".ljust(43)
at = data.index(old)
data[at:at + len(old)] = new
open(sys.argv[2], "wb").write(data)
PY
chmod 755 "$work/crafted"
cd "$work/elsewhere/deeper"
timeout 60 "$work/crafted" > run.out 2>&1 || fail "crafted run failed: $(cat run.out)"
[[ -f escaped.res ]] || fail "the bare rack name was not written"
[[ -e "$work/escaped.res" || -e "$work/elsewhere/escaped.res" ]] && fail "a rack was written outside"

# A script without racks cannot be built, and says why on the error stream.
cd "$work/source"
echo 'x = 1' > norack.kvs
if "$korvane" --build norack.kvs none > /dev/null 2> none.err; then fail "built without racks"; fi
[[ $(cat none.err | grep -v QStandardPaths) == "Sorry, no racks found !" ]] || fail "stderr: $(cat none.err)"
[[ -e none ]] && fail "a failed build wrote a file"
echo "standalone copy: ok"
