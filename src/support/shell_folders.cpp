// Start-menu programs folder, desktop and startup folder, for the current user or for all users.
#include "support/win_support.h"

static const char kUserShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
static const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A value that begins with a control character names no folder; it counts as missing.
static bool NamesAFolder(const char* value) {
    return static_cast<unsigned char>(value[0]) >= ' ';
}

static ShellFolderText GetUserShellFolder(const char* valueName) {
    ShellFolderText result;
    PathBuffer<1025> raw = ReadRegString(HKEY_CURRENT_USER, kUserShellFolders, valueName);
    if (NamesAFolder(raw.CStr())) {
        DWORD n = ExpandEnvironmentStringsA(raw.CStr(), result.RawData(), result.RawSize());
        // 0 is failure, and a result that did not fit is no folder either
        if (n != 0 && n <= result.RawSize()) {
            result.Adopt();
            return result;
        }
        result.Clear();
    }
    result.Assign(ReadRegString(HKEY_CURRENT_USER, kShellFolders, valueName).CStr());
    return result;
}

static ShellFolderText GetCommonShellFolder(const char* valueName) {
    ShellFolderText result;
    result.Assign(ReadRegString(HKEY_LOCAL_MACHINE, kShellFolders, valueName).CStr());
    if (!NamesAFolder(result.CStr())) return GetUserShellFolder(valueName);
    return result;
}

ShellFolderText GetShellFolder(const char* name, bool allUsers) {
    if (allUsers) {
        PathBuffer<64> common("Common ");
        common.Append(name);
        return GetCommonShellFolder(common.CStr());
    }
    return GetUserShellFolder(name);
}

static bool IsShellStartupFolder(const char* folder, bool allUsers) {
    ShellFolderText startup = GetShellFolder("Startup", allUsers);
    return startup.Fits() && NamesAFolder(startup.CStr()) && IsSameFolder(folder, startup.CStr());
}

bool IsStartupFolder(const char* folder) {
    return IsShellStartupFolder(folder, false) || IsShellStartupFolder(folder, true);
}
