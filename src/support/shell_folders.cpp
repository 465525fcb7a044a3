// Start-menu programs folder and desktop, for the current user or for all users.
#include "win_support.h"

#include "../app/install_context.h"

static const char kUserShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
static const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

ShellFolderText GetUserShellFolder(const char* valueName) {
    ShellFolderText result;
    PathBuffer<1025> raw = ReadRegString(HKEY_CURRENT_USER, kUserShellFolders, valueName);
    if (!raw.IsEmpty()) {
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

ShellFolderText GetCommonShellFolder(const char* valueName) {
    ShellFolderText result;
    result.Assign(ReadRegString(HKEY_LOCAL_MACHINE, kShellFolders, valueName).CStr());
    if (result.IsEmpty()) return GetUserShellFolder(valueName);
    return result;
}

ShellFolderText GetShellFolder(const char* name) {
    if (g_ctx.AllUsersMode) {
        PathBuffer<64> common("Common ");
        common.Append(name);
        return GetCommonShellFolder(common.CStr());
    }
    return GetUserShellFolder(name);
}
