// Deleting files: the contents of a folder tree and the files matching a pattern, each failure
// reported in a box of its own. Links to folders are removed as links, never entered.
#include "file_ops.h"

#include "../support/text_helpers.h"
#include "../ui/progress_window.h"
#include "file_path_rules.h"

namespace {

const char kFileNotDeletedCaption[] = "Datei konnte nicht gelöscht werden:";
const char kFolderNotDeletedCaption[] = "Ordner konnte nicht gelöscht werden:";

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void ReportFound(HWND owner, const char* caption, const char* pattern, const char* name) {
    LongText shown = FoundFileText(pattern, name);
    MessageBoxA(owner, shown.CStr(), caption, MB_OK | MB_ICONHAND);
}

// Deletes one file found by searching the pattern.
void DeleteFoundFile(HWND owner, const char* pattern, const WIN32_FIND_DATAA& found) {
    WorkPath path = FoundFilePath(pattern, found.cFileName);
    bool deleted = false;
    if (path.Fits()) {
        ShowProgressItem(found.cFileName);
        // Attributes set on a link could reach the file it points to.
        if (!IsLink(found.dwFileAttributes)) SetFileAttributesA(path.CStr(), FILE_ATTRIBUTE_NORMAL);
        deleted = DeleteFileA(path.CStr()) != FALSE;
    }
    if (!deleted) ReportFound(owner, kFileNotDeletedCaption, pattern, found.cFileName);
}

// Empties and removes one sub-folder found by searching the pattern.
void DeleteFoundFolder(HWND owner, const char* pattern, const WIN32_FIND_DATAA& found) {
    WorkPath path = FoundFilePath(pattern, found.cFileName);
    bool removed = false;
    if (path.Fits() && IsLink(found.dwFileAttributes)) {
        removed = RemoveFolderOrLink(path.CStr());
    } else if (path.Fits()) {
        DeleteFolderTree(owner, path.CStr(), true);
        SetFileAttributesA(path.CStr(), FILE_ATTRIBUTE_NORMAL);
        removed = RemoveFolderOrLink(path.CStr());
    }
    if (!removed) ReportFound(owner, kFolderNotDeletedCaption, pattern, found.cFileName);
}

// Removes the link itself, through a handle that is known to be the link: Wine follows a
// Unix symbolic link even for RemoveDirectory and would remove the folder it points to.
bool RemoveLinkOnly(const char* path) {
    HANDLE link = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr);
    if (link == INVALID_HANDLE_VALUE) return false;
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    bool isLink = GetFileInformationByHandleEx(link, FileAttributeTagInfo, &tag, sizeof tag) &&
                  IsLink(tag.FileAttributes);
    bool removed = false;
    if (isLink) {
        FILE_DISPOSITION_INFO dispose = {};
        dispose.DeleteFile = TRUE;
        removed = SetFileInformationByHandle(link, FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
    }
    CloseHandle(link);
    return removed;
}

}  // namespace

bool RemoveFolderOrLink(const char* folder) {
    if (!FitsWindowsPath(folder)) return false;
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    if (IsLink(attributes)) return RemoveLinkOnly(folder);
    return RemoveDirectoryA(folder) != FALSE;
}

void DeleteFolderTree(HWND owner, const char* folder, bool recurse) {
    if (IsDriveOrRoot(folder)) return;
    WorkPath pattern = JoinPath(folder, "*.*");
    if (!pattern.Fits() || !FitsWindowsPath(pattern.CStr())) return;
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || IsLink(attributes)) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.CStr(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFoundFile(owner, pattern.CStr(), found);
        } else if (recurse && found.cFileName[0] != '.') {
            // A leading dot covers "." and ".." and every folder named like ".cache".
            DeleteFoundFolder(owner, pattern.CStr(), found);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void DeleteMatchingFiles(HWND owner, const char* pattern) {
    if (!FitsWindowsPath(pattern)) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFoundFile(owner, pattern, found);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
