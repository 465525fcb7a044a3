// Protection against DLLs planted beside the program.
#pragma once

// Restricts the DLL search of the whole process to the System folder. Returns false when the
// system does not offer the restriction.
bool RestrictDllSearch();
