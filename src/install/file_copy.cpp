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
// Appended to a target's name while its copy is being written.
const char kPartialCopySuffix[] = ".qvteil";

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

// The target already holds what a copy would write: the source's size and last-write time.
// Copying it again would change nothing but take as long as the first installation.
bool HoldsSameFile(const char* target, unsigned long long sourceSize, const FILETIME& sourceWrite) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ReadFileTimes(target, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return size == sourceSize && CompareFileTime(&data.ftLastWriteTime, &sourceWrite) == 0;
}

bool HoldsSameFile(const char* target, const char* source) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ReadFileTimes(source, &data)) return false;
    unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return HoldsSameFile(target, size, data.ftLastWriteTime);
}

// Copies under a name of its own beside the target, which takes the target's place only when
// it is whole. A copy that fails part way (a full volume) or a process ended during it thus
// never leaves half a file under the target's name, where the date rule would take it for a
// newer installed file and keep it for good; and until then the installed version stays.
bool CopyThroughPartialFile(const char* source, const char* target) {
    WorkPath partial(target);
    partial.Append(kPartialCopySuffix);
    if (!partial.Fits() || !FitsWindowsPath(partial.CStr())) return CopyFileOverwrite(source, target, false);
    if (!CopyFileOverwrite(source, partial.CStr(), false)) return false;
    SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    if (MoveFileExA(partial.CStr(), target, MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(partial.CStr());
    return false;
}

// One attempt of CopyFileToFolder: true when the file is in place or a newer one was kept.
bool PutFileInPlace(const char* source, const char* target, const char* targetFolder) {
    if (IsSameFile(source, target)) return true;
    if (!IsSourceNotOlder(source, target)) return true;
    if (HoldsSameFile(target, source)) {
        SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
        return true;
    }
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (IsFontsFolderPath(target)) {
        // A font in use cannot be replaced; that is never reported, and the old file keeps
        // its own times so that the next installation still sees it as older.
        if (CopyThroughPartialFile(source, target)) StampWithSourceTime(source, target);
        return true;
    }
    if (!CopyThroughPartialFile(source, target) && !CopyMatchingFiles(source, targetFolder)) return false;
    StampWithSourceTime(source, target);
    return true;
}

bool CopyFoundFile(const char* pattern, const WIN32_FIND_DATAA& found, const char* targetFolder) {
    WorkPath source = FoundFilePath(pattern, found.cFileName);
    WorkPath target = JoinPath(targetFolder, found.cFileName);
    if (!source.Fits() || !target.Fits()) return false;
    ShowProgressItem(found.cFileName);
    // Most targets are new: made in one step. Under Wine every look at a name that is not
    // there searches the whole folder, and a group fills its folder with thousands of files.
    if (CopyFileA(source.CStr(), target.CStr(), TRUE)) {
        SetFileAttributesA(target.CStr(), FILE_ATTRIBUTE_ARCHIVE);
        return true;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) DeleteFileA(target.CStr());
    unsigned long long size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    if (HoldsSameFile(target.CStr(), size, found.ftLastWriteTime)) {
        SetFileAttributesA(target.CStr(), FILE_ATTRIBUTE_ARCHIVE);
        return true;
    }
    SetFileAttributesA(target.CStr(), FILE_ATTRIBUTE_ARCHIVE);
    return CopyFileOverwrite(source.CStr(), target.CStr(), false);
}

}  // namespace

bool CopyFileOverwrite(const char* source, const char* target, bool failIfExists) {
    if (!FitsWindowsPath(source) || !FitsWindowsPath(target)) return false;
    if (FileExists(target)) {
        if (IsSameFile(source, target)) return true;
        SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
        DeleteFileA(target);
    }
    if (!CopyFileA(source, target, failIfExists)) {
        // what a copy that failed part way left there (the target itself was deleted above, or
        // is held open and cannot be deleted now either)
        DeleteFileA(target);
        return false;
    }
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
        if (!CopyFoundFile(pattern, found, targetFolder)) allCopied = false;
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
