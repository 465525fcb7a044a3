// The Unix side of the machine the tests run on: paths, shell commands, and deterministic bytes.
#pragma once

#include <windows.h>

#include <string>

namespace robustness {

// The Unix path Wine gives a Windows path ("" outside Wine).
std::string UnixPathOf(const std::string& windowsPath);
// Runs a Unix shell command and waits for it (at most ms); true when it ended with status 0.
bool RunUnixShell(const std::string& command, DWORD ms = 20000);
// A Unix path in single quotes for the shell.
std::string ShellQuoted(const std::string& text);

// Bytes of a deterministic pseudo-random sequence.
std::string PseudoRandomBytes(size_t count, unsigned seed);

}  // namespace robustness
