// Existence tests through the first match of a directory search, so wildcards are accepted, and
// the identity of a file whatever its path's spelling.
#include "support/text_helpers.h"
#include "support/win_support.h"

static DWORD FirstMatchAttributes(const char* path, bool* found) {
    *found = false;
    if (path == nullptr || path[0] == 0) return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    *found = true;
    return data.dwFileAttributes;
}

bool FileExists(const char* path) {
    bool found = false;
    DWORD attributes = FirstMatchAttributes(path, &found);
    return found && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const char* path) {
    bool found = false;
    DWORD attributes = FirstMatchAttributes(path, &found);
    return found && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

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

bool SameIdentity(const FileIdentity& first, const FileIdentity& second) {
    return first.Known && second.Known && first.Volume == second.Volume && first.IndexHigh == second.IndexHigh &&
           first.IndexLow == second.IndexLow;
}

bool IsSameFile(const char* first, const char* second) {
    FileIdentity a = IdentityOf(first);
    return a.Known && SameIdentity(a, IdentityOf(second));
}

bool IsSameFolder(const char* first, const char* second) {
    return SameFolderText(first, second) || IsSameFile(first, second);
}
