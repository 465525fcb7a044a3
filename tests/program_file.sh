#!/bin/sh
# The program file: a 64-bit GUI program that imports only Windows' own DLLs (and only the functions
# tests/program_imports.txt lists), asks for administrator rights, can be loaded at a random
# address, and stays within its size.
# Usage: program_file.sh Setup.exe MAXBYTES IMPORTS (the list of the functions it may import)
exe=$1
limit=$2
imports=$3
status=0
fail() { echo "FAILED: $*"; status=1; }
dump=$(x86_64-w64-mingw32-objdump -p "$exe") || exit 1
for dll in $(echo "$dump" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  case $dll in
    advapi32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|shell32.dll|user32.dll) ;;
    *) fail "imports $dll" ;;
  esac
done
# The functions themselves, against the list: a new one (or one forwarded out of the KnownDLLs)
# is a decision, and a line for one no longer imported would hide the next.
echo "$dump" | awk '/DLL Name:/ { dll = $3 } /^\t[ 0-9a-f]+\t *[0-9]+  *[A-Za-z_]/ { print dll, $NF }' | sort > "$exe.imports"
grep -v '^#' "$imports" | sort | diff - "$exe.imports" | sed -n 's/^> /imports /p; s/^< /no longer imports /p' > "$exe.imports.diff"
while read -r line; do fail "$line (tests/program_imports.txt lists what it may import)"; done < "$exe.imports.diff"
rm -f "$exe.imports" "$exe.imports.diff"
echo "$dump" | grep -q '^Magic[[:space:]]*020b' || fail "not a 64-bit program"
echo "$dump" | grep -q '^Subsystem[[:space:]]*00000002' || fail "not a GUI program"
grep -q 'requireAdministrator' "$exe" || fail "its manifest does not ask for administrator rights"
# Windows loads a program at a random address only when it has a relocation table; the linker
# leaves the table out when no absolute address is left in the program.
echo "$dump" | grep -q 'DYNAMIC_BASE' || fail "not marked for address randomization"
echo "$dump" | grep -Eq '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation' || fail "no relocation table: Windows would not randomize its address"
size=$(stat -c %s "$exe")
[ "$size" -le "$limit" ] || fail "$size bytes, more than $limit"
[ $status = 0 ] && echo "passed: $size bytes, imports $(echo "$dump" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
exit $status
