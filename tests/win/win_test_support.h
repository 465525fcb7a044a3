// Helpers of the Windows unit tests: child runs of the test program itself.
#pragma once

#include <windows.h>

#include <string>

#include "test_files.h"

// Child modes: this test program started again with "--child=<mode> <argument>".
bool RunChildMode(int argc, char** argv, int* exitCode);
// Starts this test program as a child in the mode and returns its exit code (or 259 after 20 s).
DWORD RunChild(const std::string& mode, const std::string& argument);

// The program's own folder (where the test executable lies), without a trailing backslash.
std::string TestProgramFolder();
