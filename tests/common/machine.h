// The machine the tests run on, read and changed through Windows' own APIs and, under Wine, its
// Unix side: files, folders, shortcuts, registry values, processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A fresh, empty folder base\name (removed first if it exists).
std::string FreshFolder(const std::string& name, const std::string& base);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
// Removes a file or a folder tree (links are removed, not entered).
void RemoveTree(const std::string& path);
// Every name in the folder except "." and "..", in search order.
std::vector<std::string> FolderNames(const std::string& folder);
std::vector<std::string> Matching(const std::string& pattern);
// The last-write time (and creation time) at midnight of the day.
void SetFileDay(const std::string& path, int year, int month, int day);

std::string ProgramFilesDir();
std::string WindowsDir();
std::string SystemDir();
std::string FontsDir();
// The start-menu programs folder and the desktop, for all users or the current user.
std::string ProgramsDir(bool allUsers);
std::string DesktopDir(bool allUsers);

// A shortcut's target and arguments, read through the shell-link object; exists is false when
// there is no such file.
struct Shortcut {
    bool exists = false;
    std::string target;
    std::string arguments;
    std::string workingDirectory;
};
Shortcut ReadShortcut(const std::string& path);

std::string RegistryText(HKEY root, const std::string& key, const char* value, bool* exists = nullptr);
bool RegistryDword(HKEY root, const std::string& key, const char* value, DWORD* out);
bool RegistryKeyExists(HKEY root, const std::string& key);
// Deletes a registry key with everything below it.
void RemoveRegistryTree(HKEY root, const std::string& key);

// Ends the processes the given one started (and what they started), deepest last.
void EndDescendantsOf(DWORD ancestor);

// The Unix path Wine gives a Windows path ("" outside Wine).
std::string UnixPathOf(const std::string& windowsPath);
// Runs a Unix shell command and waits for it (at most ms); true when it ended with status 0.
bool RunUnixShell(const std::string& command, DWORD ms = 20000);
// A text in single quotes for the shell.
std::string ShellQuoted(const std::string& text);
// Bytes of a deterministic pseudo-random sequence.
std::string PseudoRandomBytes(size_t count, unsigned seed);

// Unix path as CMake passes it -> the Z:\ path Windows programs see under Wine.
std::string WindowsPath(std::string path);

// Waits until the condition holds or ms have passed; returns the final value.
template <typename Condition>
bool WaitFor(Condition condition, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > ms) return condition();
        Sleep(20);
    }
}

}  // namespace e2e
