#!/bin/sh
# tools/pack on the demo package: the packed file is the Setup.exe given, byte for byte, followed
# by its package, the smaller .xz stream of a stored cabinet, with or without the x86 filter (with
# --mszip an MSZIP cabinet), of exactly the folder's files, the list first and the listed files
# before the wildcard groups, in the order the install takes them; with --sign, the program part
# and the packed file both carry a valid signature; a list with a problem is not packed at all.
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
expected=$(cd "$work/demo" && find . -type f | sed 's|^[.]/||' | LC_ALL=C sort | tr '\n' ' ')
size=$(stat -c %s "$setup")

# The cabinet's files in the order it holds them, with / for \.
cabinet_files() { gcab -t "$1" | tr '\\' '/'; }
check_package() {  # packed file, how its package is to be read
  cmp -s -n "$size" "$setup" "$1" || fail "$1 does not begin with Setup.exe"
  tail -c +"$((size + 1))" "$1" > "$work/tail"
  if [ "$2" = xz ]; then xz -dc "$work/tail" > "$work/tail.cab" || fail "$1: the package is no .xz stream"
  else mv "$work/tail" "$work/tail.cab"; fi
  listed=$(cabinet_files "$work/tail.cab" | LC_ALL=C sort | tr '\n' ' ')
  [ "$listed" = "$expected" ] || fail "$1: the cabinet holds [$listed], the folder [$expected]"
  order=$(cabinet_files "$work/tail.cab" | head -5 | tr '\n' ' ')
  [ "$order" = "Setup.lst Notizen.qvn Liesmich.txt DejaVuSans.ttf Hilfe.txt " ] ||
    fail "$1: not in the install's order: $order"
}

QV_SETUP=$setup "$root/tools/pack" "$work/demo" "$work/Demo-Setup.exe" > "$work/out.txt" 2>&1 || fail "tools/pack ended with $?"
cat "$work/out.txt"
check_package "$work/Demo-Setup.exe" xz
# Of the stream with the x86 filter and the one without, the smaller was kept.
packed=$(($(stat -c %s "$work/Demo-Setup.exe") - size))
x86=$(xz --x86 --lzma2=preset=9e -T1 -c "$work/tail.cab" | wc -c)
plain=$(xz --lzma2=preset=9e -T1 -c "$work/tail.cab" | wc -c)
[ "$packed" -eq "$([ "$x86" -le "$plain" ] && echo "$x86" || echo "$plain")" ] ||
  fail "the package has $packed bytes; with the x86 filter $x86, without $plain"
grep -q "^packed: *$(stat -c %s "$work/Demo-Setup.exe") bytes" "$work/out.txt" || fail "no size of the packed file"

QV_SETUP=$setup "$root/tools/pack" --mszip "$work/demo" "$work/Mszip-Setup.exe" > /dev/null 2>&1 || fail "--mszip ended with $?"
check_package "$work/Mszip-Setup.exe" mszip
gcab -t -v "$work/tail.cab" > /dev/null 2>&1 || fail "the MSZIP cabinet does not read back"

# A throw-away certificate; the packed file verifies, and so does its program part as signed first.
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=Quorvane-Test -days 2 -keyout "$work/k.pem" \
  -out "$work/c.pem" > /dev/null 2>&1
QV_SETUP=$setup "$root/tools/pack" --sign "$work/c.pem" "$work/k.pem" "$work/demo" "$work/Signed.exe" > /dev/null 2>&1 ||
  fail "--sign ended with $?"
osslsigncode verify -CAfile "$work/c.pem" -in "$work/Signed.exe" > "$work/verify.txt" 2>&1 ||
  fail "the signed packed file does not verify: $(tail -3 "$work/verify.txt")"

printf '[DesktopLink]\r\n1=Notizen\r\n' >> "$work/demo/Setup.lst"
if QV_SETUP=$setup "$root/tools/pack" "$work/demo" "$work/Bad-Setup.exe" > "$work/bad.txt" 2>&1; then
  fail "a list with a problem was packed"
fi
grep -q '^Problem: \[DesktopLink\]' "$work/bad.txt" || fail "the problem was not named: $(cat "$work/bad.txt")"
[ ! -e "$work/Bad-Setup.exe" ] || fail "a file was written for a list with a problem"
[ $status = 0 ] && echo "passed"
exit $status
