// A packed Setup.exe: the program followed by its package, a cabinet with Setup.lst and the
// files (app/package_rules.h). It unpacks the package into a new folder of its own below the
// temporary folder, writes its program part there as Setup.exe, runs that with the same arguments
// as an ordinary installation from a folder, waits for it, and removes the folder again.
#pragma once

// False when this program file carries no package: the program then runs as it always did.
// Otherwise the package was run or refused, and *exitCode is the unpacked program's exit code,
// or 1 (with a message, under /Q only in the log) when it never ran.
bool RunPackage(int* exitCode);
