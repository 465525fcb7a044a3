// What the uninstall steps share: the context's folders, and the tests that tell the running
// uninstaller and its list copy apart from the files it removes.
#include "../app/install_context.h"
#include "../support/text_helpers.h"
#include "../support/win_support.h"
#include "uninstall_steps.h"

namespace {

// A file or folder as the file system knows it, whatever way its path is spelled (letter case,
// short names).
struct FileIdentity {
    bool Known = false;
    DWORD Volume = 0;
    DWORD IndexHigh = 0;
    DWORD IndexLow = 0;
};

FileIdentity IdentityOf(const char* path) {
    FileIdentity identity;
    // No access asked for: a file held open without sharing by another program can still be
    // told apart.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return identity;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info)) {
        identity.Known = true;
        identity.Volume = info.dwVolumeSerialNumber;
        identity.IndexHigh = info.nFileIndexHigh;
        identity.IndexLow = info.nFileIndexLow;
    }
    CloseHandle(file);
    return identity;
}

bool SameFile(const char* first, const char* second) {
    FileIdentity a = IdentityOf(first);
    FileIdentity b = IdentityOf(second);
    if (!a.Known || !b.Known) return EqualsNoCase(first, second);
    return a.Volume == b.Volume && a.IndexHigh == b.IndexHigh && a.IndexLow == b.IndexLow;
}

}  // namespace

InstallFolders ContextFolders() {
    InstallFolders folders;
    folders.WindowsDir = g_ctx.WindowsDir.CStr();
    folders.SystemDir = g_ctx.SystemDir.CStr();
    folders.FontsDir = g_ctx.FontsDir.CStr();
    folders.TargetDir = g_ctx.TargetDir.CStr();
    return folders;
}

bool IsListedValue(const char* value) {
    return value != nullptr && static_cast<unsigned char>(value[0]) > ' ';
}

// Opening files to compare them is slow for thousands of files, so only a file with the name of
// the uninstaller or of its list (however its folder is spelled) is compared.
bool IsUninstallerOwnFile(const char* path) {
    LongText name = PathFilePart(path);
    WorkPath self = ModulePath();
    if (!self.IsEmpty() && EqualsNoCase(name.CStr(), PathFilePart(self.CStr()).CStr()) && SameFile(path, self.CStr()))
        return true;
    const char* list = g_ctx.ListPath.CStr();
    return list[0] != 0 && EqualsNoCase(name.CStr(), PathFilePart(list).CStr()) && SameFile(path, list);
}

bool RunsFromProgramFolder() {
    LongText folder = PathFolderPart(ModulePath().CStr());
    if (folder.IsEmpty() || !folder.Fits() || g_ctx.TargetDir.IsEmpty()) return false;
    FileIdentity running = IdentityOf(folder.CStr());
    FileIdentity program = IdentityOf(g_ctx.TargetDir.CStr());
    return running.Known && program.Known && running.Volume == program.Volume &&
           running.IndexHigh == program.IndexHigh && running.IndexLow == program.IndexLow;
}
