#!/usr/bin/env bash
# Packages the build it runs in as a .deb, unpacks it into a temporary root and checks the
# installed programs and files there: the runner opens a loop port with the installed
# terminal.res, Build finds it too, and the desktop file, MIME types and manual pages pass
# their checkers without a warning. Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/out/korvane_"$version"_*.deb)
[[ -f "${debs[0]}" ]] || fail "no korvane_${version}_<arch>.deb in: $(ls "$work/out")"
deb="${debs[0]}"
[[ "$deb" == *_"$(dpkg --print-architecture)".deb ]] || fail "architecture of $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == korvane && $(field Version) == "$version" ]] || fail "package or version"
[[ $(field Section) == electronics ]] || fail "section $(field Section)"
[[ -n $(field Maintainer) ]] || fail "no maintainer"
field Description | grep -q "korvane-run" || fail "description"
# The libraries the programs link, as dpkg-shlibdeps found them.
for lib in libqt6widgets6 libqt6network6 libqscintilla2-qt6 libjpeg62-turbo libc6; do
    field Depends | grep -q "\b$lib\b" || fail "$lib not among the dependencies: $(field Depends)"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"
for program in korvane korvane-run korvane-rack; do
    [[ $(env -u DISPLAY "$usr/bin/$program" --version) == "$program $version" ]] ||
        fail "$program --version"
done

# The runner, started from elsewhere, finds terminal.res in ../share/korvane (there is none in
# bin/) and says nothing of its own on standard error, even without XDG_RUNTIME_DIR.
[[ $(ls "$usr/bin") == $'korvane\nkorvane-rack\nkorvane-run\nkorvane-run-toolkit' ]] ||
    fail "bin/ holds $(ls "$usr/bin")"
mkdir "$work/run"
cd "$work/run"
cat > loop.kvs <<'KVS'
openport("com1", 9600, 8, "n", 1)
writelog("open: " & error)
send("com1", "ping")
x = ""
n = 0
while ((x <> "ping") && (n << 200000))
  x = receive("com1")
  n = n + 1
wend
writelog("echo: " & x)
closeport("com1")
KVS
printf '%s\n' "14:03:27: Script started" "14:03:27: Port opened: com1" \
    "14:03:27, from line 2: open: 0" "14:03:27, from line 10: echo: ping" \
    "14:03:27: Port closed: com1" "14:03:27: Script finished" > expected.log
env -u XDG_RUNTIME_DIR KORVANE_PORTS='com1=loop' timeout 60 "$usr/bin/korvane-run" \
    --fixed-time=2026-12-08T14:03:27 loop.kvs > run.log 2> run.err || fail "run: $(cat run.err)"
diff expected.log run.log || fail "run log differs"
[[ ! -s run.err ]] || fail "standard error of a normal run: $(cat run.err)"

# Build of the installed workbench packages the installed terminal.res. The packaged copy
# runs its script whatever its arguments: --version is not its option.
cp "$usr/share/korvane/examples/demo_rack.res" panel.res
printf '%s\n' 'openrack("panel.res")' 'fcreate("ran.txt")' > packaged.kvs
"$usr/bin/korvane" --build packaged.kvs packaged > build.log 2> build.err ||
    fail "build: $(cat build.err)"
grep -qx "Done" build.log || fail "build log: $(cat build.log)"
mkdir elsewhere
(cd elsewhere && timeout 60 ../packaged --version > out 2>&1) || fail "packaged copy failed"
[[ -f elsewhere/ran.txt ]] || fail "packaged copy: $(cat elsewhere/out)"
grep -q "usage" elsewhere/out && fail "packaged copy answered --version"

desktop-file-validate "$usr/share/applications/korvane.desktop" || fail "desktop file"
grep -q 'KERNEL=="usbtmc\[0-9\]\*", GROUP="plugdev"' "$usr/lib/udev/rules.d/60-korvane-usbtmc.rules" ||
    fail "udev rule for USB instruments"
for page in korvane korvane-run korvane-rack; do
    man_page="$usr/share/man/man1/$page.1.gz"
    warnings="$(zcat "$man_page" | groff -man -ww -z 2>&1)"
    [[ -z "$warnings" ]] || fail "$page.1: $warnings"
    lexgrog "$man_page" | grep -q "$page - " || fail "$page.1 has no whatis line"
    zcat "$man_page" | grep -q "Korvane $version" || fail "$page.1 lacks the version"
done
for size in 16 32 48 64 128 256; do
    file -b "$usr/share/icons/hicolor/${size}x$size/apps/korvane.png" |
        grep -q "PNG image data, $size x $size" || fail "icon ${size}x$size"
done

# Scripts by their name, racks by their header bytes whatever their name, and another
# program's *.res stays its own.
update-mime-database "$usr/share/mime" > "$work/mime.log" 2>&1 || fail "$(cat "$work/mime.log")"
cp "$usr/share/korvane/examples/hello.kvs" script.kvs
cp panel.res rack.bin
printf '[gd_resource type="Resource"]\n' > other.res
check_type() {
    local type
    type="$(XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$usr/share:/usr/share" \
        gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p')"
    [[ "$type" == "$2" ]] || fail "$1 is $type, expected $2"
}
check_type script.kvs text/x-korvane-script
check_type panel.res application/x-korvane-rack
check_type rack.bin application/x-korvane-rack
[[ $(XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$usr/share:/usr/share" \
    gio info -a standard::content-type other.res) != *korvane* ]] || fail "other.res taken"
echo "package test passed: $(basename "$deb")"
