// What an installation leaves on the machine, read back through Windows' own APIs: folders,
// files, times and attributes, shortcuts, registry values; and the clean-up that removes an
// installation's traces before and after a scenario.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

namespace e2e {

std::string ProgramFilesDir();  // HKLM ...\CurrentVersion ProgramFilesDir
std::string WindowsDir();
std::string SystemDir();
std::string FontsDir();
// The start-menu programs folder and desktop, for all users or the current user.
std::string ProgramsDir(bool allUsers);
std::string DesktopDir(bool allUsers);

const char kUninstallKeyBase[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Shortcut {
    bool exists = false;
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    int showCommand = 0;  // read from the file: Wine's loader reports it wrongly
    WORD hotkey = 0;
};
// Reads a .lnk file through IShellLinkA / IPersistFile::Load.
Shortcut ReadShortcut(const std::string& path);

struct FileFacts {
    bool exists = false;
    DWORD attributes = 0;
    FILETIME lastWrite = {};
    FILETIME creation = {};
    unsigned long long size = 0;
};
FileFacts Facts(const std::string& path);
// Sets a file's last-write (and creation) time to a fixed day plus the given seconds.
void SetFileDay(const std::string& path, int year, int month, int day, int seconds = 0);
bool SameTime(const FILETIME& a, const FILETIME& b);
// The name of the file as stored on disk (with its letter case), or "" when missing.
std::string StoredName(const std::string& path);

std::string RegistryText(HKEY root, const std::string& key, const char* value, bool* exists = nullptr);
bool RegistryDword(HKEY root, const std::string& key, const char* value, DWORD* out);
bool RegistryKeyExists(HKEY root, const std::string& key);
std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key);

// Everything an installation of appName into Program Files\folder can have left: program
// folder, start-menu groups (both kinds), desktop shortcuts, uninstall key, the given file-type
// extensions and their Applications keys. Used before and after every scenario.
void RemoveInstallation(const std::string& appName, const std::string& folder,
                        const std::vector<std::string>& desktopLinks = {},
                        const std::vector<std::string>& extensions = {},
                        const std::vector<std::string>& applications = {});

// Names of the files (not folders) in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// The recorder stand-in (tests/tools/recorder.cpp) writes "<current folder>\n<command line>\n"
// to C:\qvrec\<its file name>.log when started.
std::string RecorderLog(const std::string& exeName);
void ClearRecorderLogs();
std::string RecorderProgram();  // path of recorder.exe among the stand-ins

// The self-removal script an uninstaller leaves in the Windows folder.
std::string SelfRemovalScriptPath();
// Waits at most ms until the self-removal script has run to its end (it deletes itself last).
// When it does not, the interpreters the uninstaller (process id uninstallerPid) started, and
// whatever they started, are ended, so that a script waiting for a key cannot outlive the
// scenario; false then.
bool WaitForSelfRemoval(DWORD uninstallerPid, DWORD ms = 30000);

// The demo package (examples/demo with DejaVuSans.ttf for the Fonts folder) in a source folder,
// for scenarios that install it and take it away again. Every trace of it (program folder,
// start-menu group, desktop shortcut, file type, font, a self-removal script, the stand-ins'
// records) is removed on construction and destruction.
struct DemoPackage {
    static constexpr const char* kAppName = "Quorvane Demo";
    Package package;
    std::string target;  // Program Files\Quorvane Demo
    std::string font;    // the font in the Fonts folder

    explicit DemoPackage(const std::string& name);
    ~DemoPackage();
    DemoPackage(const DemoPackage&) = delete;
    DemoPackage& operator=(const DemoPackage&) = delete;
    void Clean();
    // Setup.exe /S; true when it ended with 0 and Uninst.exe is in place.
    bool InstallSilently();
    Run StartUninstaller(const std::string& arguments = "") const;
};

}  // namespace e2e
