#!/bin/sh
# tools/pack on the demo package: the packed file is the Setup.exe given, byte for byte, followed
# by a cabinet of exactly the folder's files; a list with a problem is not packed at all.
# Usage: pack_tool.sh Setup.exe DEMO-FOLDER (WINEPREFIX: the build tree's prefix)
setup=$1
demo=$2
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/qv-pack-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAILED: $*"; status=1; }

mkdir "$work/demo"
cp -r "$demo/." "$work/demo/"
rm -f "$work/demo/README.md"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$work/demo/"
QV_SETUP=$setup "$root/tools/pack" "$work/demo" "$work/Demo-Setup.exe" > "$work/out.txt" 2>&1 || fail "tools/pack ended with $?"
cat "$work/out.txt"
size=$(stat -c %s "$setup")
cmp -s -n "$size" "$setup" "$work/Demo-Setup.exe" || fail "the packed file does not begin with Setup.exe"
tail -c +"$((size + 1))" "$work/Demo-Setup.exe" > "$work/tail.cab"
listed=$(gcab -t "$work/tail.cab" | tr '\\' '/' | LC_ALL=C sort | tr '\n' ' ')
expected=$(cd "$work/demo" && find . -type f | sed 's|^[.]/||' | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "$expected" ] || fail "the cabinet holds [$listed], the folder [$expected]"
grep -q "^packed: *$(stat -c %s "$work/Demo-Setup.exe") bytes" "$work/out.txt" || fail "no size of the packed file"

printf '[DesktopLink]\r\n1=Notizen\r\n' >> "$work/demo/Setup.lst"
if QV_SETUP=$setup "$root/tools/pack" "$work/demo" "$work/Bad-Setup.exe" > "$work/bad.txt" 2>&1; then
  fail "a list with a problem was packed"
fi
grep -q '^Problem: \[DesktopLink\]' "$work/bad.txt" || fail "the problem was not named: $(cat "$work/bad.txt")"
[ ! -e "$work/Bad-Setup.exe" ] || fail "a file was written for a list with a problem"
[ $status = 0 ] && echo "passed"
exit $status
