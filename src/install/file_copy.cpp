// Copying files: over an existing target, into a folder by the date rule with a retry question,
// and every file of a wildcard pattern; creating the folder levels of a path.
#include "file_ops.h"

#include "../app/install_context.h"
#include "../support/text_helpers.h"
#include "../support/win_support.h"
#include "../ui/progress_window.h"
#include "file_path_rules.h"

namespace {

const char kCopyFailedCaption[] = "Fehler - Kann Datei nicht kopieren:";

// Both paths open as the same file (also when spelled differently): copying it onto itself
// would first delete the only copy.
bool IsSameFile(const char* first, const char* second) {
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        HANDLE file = CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        BOOL known = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!known) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool ReadFileTimes(const char* path, WIN32_FILE_ATTRIBUTE_DATA* data) {
    return GetFileAttributesExA(path, GetFileExInfoStandard, data) != FALSE;
}

// The name a list file is installed under: lower case with an upper-case first letter.
LongText InstalledFileName(const char* source) {
    LongText name = PathFilePart(source);
    if (name.Length() > 0) {
        CharLowerBuffA(name.RawData(), static_cast<DWORD>(name.Length()));
        CharUpperBuffA(name.RawData(), 1);
    }
    return name;
}

bool IsFontsFolderPath(const char* path) {
    // An empty Fonts folder would be found in every path.
    return !g_ctx.FontsDir.IsEmpty() && FindTextNoCase(path, g_ctx.FontsDir.CStr()) != nullptr;
}

// Gives the target the source's last-write time as all three of its times. Times that cannot
// be read or set are left as the copy made them.
void StampWithSourceTime(const char* source, const char* target) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ReadFileTimes(source, &data)) return;
    HANDLE file = CreateFileA(target, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const FILETIME stamp = data.ftLastWriteTime;
    SetFileTime(file, &stamp, &stamp, &stamp);
    CloseHandle(file);
}

// One attempt of CopyFileToFolder: true when the file is in place or a newer one was kept.
bool PutFileInPlace(const char* source, const char* target, const char* targetFolder) {
    if (IsSameFile(source, target)) return true;
    if (!IsSourceNotOlder(source, target)) return true;
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target);
    if (IsFontsFolderPath(target)) {
        // A font in use cannot be replaced; that is never reported, and the old file keeps
        // its own times so that the next installation still sees it as older.
        if (CopyFileOverwrite(source, target, false)) StampWithSourceTime(source, target);
        return true;
    }
    if (!CopyFileOverwrite(source, target, false) && !CopyMatchingFiles(source, targetFolder)) return false;
    StampWithSourceTime(source, target);
    return true;
}

bool CopyFoundFile(const char* pattern, const char* name, const char* targetFolder) {
    WorkPath source = FoundFilePath(pattern, name);
    WorkPath target = JoinPath(targetFolder, name);
    if (!source.Fits() || !target.Fits()) return false;
    ShowProgressItem(name);
    SetFileAttributesA(target.CStr(), FILE_ATTRIBUTE_ARCHIVE);
    return CopyFileOverwrite(source.CStr(), target.CStr(), false);
}

}  // namespace

bool CopyFileOverwrite(const char* source, const char* target, bool failIfExists) {
    if (!FitsWindowsPath(source) || !FitsWindowsPath(target)) return false;
    if (IsSameFile(source, target)) return true;
    if (FileExists(target)) {
        SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
        DeleteFileA(target);
    }
    if (!CopyFileA(source, target, failIfExists)) return false;
    // The source's read-only, hidden or system attribute must not survive.
    SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

void CreateFolderPath(const char* path) {
    if (!FitsWindowsPath(path)) return;
    LongText tested;
    tested.Assign(path);
    if (FileExists(path)) tested = PathFolderPart(path);
    if (FolderExists(tested.CStr())) return;
    WorkPath level;
    // Backslashes before position 4 belong to the drive ("D:\"), whose root is never created.
    for (size_t i = 0; path[i] != 0; ++i) {
        if (i < 4 || path[i] != '\\') continue;
        level.Assign(path, i);
        if (!FolderExists(level.CStr())) CreateDirectoryA(level.CStr(), nullptr);
    }
}

bool CopyMatchingFiles(const char* pattern, const char* targetFolder) {
    if (!FitsWindowsPath(pattern)) return false;
    CreateFolderPath(targetFolder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool allCopied = true;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!CopyFoundFile(pattern, found.cFileName, targetFolder)) allCopied = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return allCopied;
}

bool IsSourceNotOlder(const char* source, const char* target) {
    if (!FileExists(target)) return true;
    WIN32_FILE_ATTRIBUTE_DATA sourceTimes;
    WIN32_FILE_ATTRIBUTE_DATA targetTimes;
    if (!ReadFileTimes(source, &sourceTimes) || !ReadFileTimes(target, &targetTimes)) return true;
    if (CompareFileTime(&sourceTimes.ftCreationTime, &targetTimes.ftCreationTime) < 0) return false;
    return CompareFileTime(&sourceTimes.ftLastWriteTime, &targetTimes.ftLastWriteTime) >= 0;
}

bool CopyFileToFolder(HWND owner, const char* source, const char* targetFolder) {
    for (;;) {
        LongText name = InstalledFileName(source);
        WorkPath target = JoinPath(targetFolder, name.CStr());
        bool fits = name.Fits() && target.Fits() && FitsWindowsPath(source);
        if (fits && PutFileInPlace(source, target.CStr(), targetFolder)) return true;
        // A path that does not fit is named whole, never as the shorter path it would be cut to.
        LongText shown = JoinPathText(targetFolder, name.CStr());
        if (MessageBoxA(owner, shown.CStr(), kCopyFailedCaption, MB_RETRYCANCEL | MB_ICONHAND) != IDRETRY)
            return false;
    }
}
