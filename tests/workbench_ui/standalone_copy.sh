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

# The copy runs in another folder: the racks are unpacked into a private temporary folder,
# the script runs, the program ends and takes that folder with it.
mkdir -p "$work/tmp"
mkdir -m 700 "$work/runtime"
export TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime"
untouched() {  # the start folder holds only what the script and the test wrote there
    [[ "$(ls -A "$1" | tr '\n' ' ')" == "$2" ]] || fail "start folder: $(ls -A "$1")"
    [[ -z "$(ls -A "$work/tmp")" ]] || fail "left in the temporary folder: $(ls -A "$work/tmp")"
}
cd "$work/elsewhere"
KORVANE_PORTS='com9=loop' timeout 60 "$work/source/packaged" > run.out 2>&1 || fail "packaged run failed: $(cat run.out)"
# The rack and the terminal window's layout (for the port) came out of the copy, since
# neither lies beside it or here.
[[ $(cat evidence.txt) == "rack open 0, six times seven is 42, port open 0" ]] || fail "evidence: $(cat evidence.txt)"
grep -q "silent" run.out && fail "the script log was written"
untouched . "deeper evidence.txt run.out "

# A rack the script needs but the copy does not carry (Build left it out as not valid) ends
# the program with the reason and a failing status instead of running unseen until killed.
# Once its rack is open the script says so in ready.txt and waits for go.txt before it asks
# for that rack.
echo "not a rack" > "$work/source/bad.res"
cat > "$work/source/missing.kvs" <<'KVS'
openrack("panel.res")
fcreate("ready.txt")
h = fopen("go.txt")
while (error == 1)
h = fopen("go.txt")
wend
fclose()
openrack("bad.res")
while (1 == 1)
wend
KVS
(cd "$work/source" && "$korvane" --build missing.kvs missing > missing.log 2>&1) || fail "build of missing.kvs"
grep -q "^Rack file not valid bad.res$" "$work/source/missing.log" || fail "build: $(cat "$work/source/missing.log")"
rm -f evidence.txt run.out

# While it runs, the unpacked racks are the user's alone; they go when it is stopped.
"$work/source/missing" > run.out 2>&1 &
waiting=$!
for _ in $(seq 300); do [[ -f ready.txt ]] && break; sleep 0.1; done
[[ $(stat -c %a "$work"/tmp/korvane-*) == 700 ]] || fail "unpacked racks: $(ls -ld "$work"/tmp/*)"
kill -TERM "$waiting"
wait "$waiting" || true
untouched . "deeper ready.txt run.out "
rm ready.txt

touch go.txt
status=0
timeout 20 "$work/source/missing" > run.out 2>&1 || status=$?
[[ $status == 1 ]] || fail "missing rack: status $status, $(cat run.out)"
grep -q "^Fatal error: openrack: cannot open bad.res" run.out || fail "missing rack: $(cat run.out)"
untouched . "deeper go.txt ready.txt run.out "
rm go.txt ready.txt

# A crafted copy whose rack name climbs out of the folder unpacks it under its bare name.
python3 - "$work/source/packaged" "$work/crafted" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
old = b"[racks " + b"panel.res".ljust(43)
new = b"[racks " + b"../../panel.res".ljust(43)
at = data.index(old)
data[at:at + len(old)] = new
open(sys.argv[2], "wb").write(data)
PY
chmod 755 "$work/crafted"
cd "$work/elsewhere/deeper"
KORVANE_PORTS='com9=loop' timeout 60 "$work/crafted" > run.out 2>&1 || fail "crafted run failed: $(cat run.out)"
[[ $(cat evidence.txt) == "rack open 0, six times seven is 42, port open 0" ]] || fail "crafted: $(cat evidence.txt)"
[[ -e "$work/panel.res" || -e "$work/tmp/panel.res" ]] && fail "a rack was written outside"
untouched . "evidence.txt run.out "
unset TMPDIR XDG_RUNTIME_DIR

# A script without racks cannot be built, and says why on the error stream.
cd "$work/source"
echo 'x = 1' > norack.kvs
if "$korvane" --build norack.kvs none > /dev/null 2> none.err; then fail "built without racks"; fi
[[ $(cat none.err | grep -v QStandardPaths) == "Sorry, no racks found !" ]] || fail "stderr: $(cat none.err)"
[[ -e none ]] && fail "a failed build wrote a file"
echo "standalone copy: ok"
