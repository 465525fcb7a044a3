// Deleting files: the files matching a pattern and the contents of a folder tree, each failure
// reported in a box of its own. Links to folders are removed as links, never entered. And the
// test whether a folder is empty, before it is removed.
#include "files/file_ops.h"
#include "files/file_path_rules.h"
#include "files/install_record.h"
#include "ui/progress_window.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

const char kFileNotDeletedCaption[] = "Datei konnte nicht gelöscht werden:";
const char kFolderNotDeletedCaption[] = "Ordner konnte nicht gelöscht werden:";

void ReportFound(HWND owner, const char* caption, const char* pattern, const char* name) {
    LongText shown = FoundFileText(pattern, name);
    AskUser(owner, shown.CStr(), caption, MB_OK | MB_ICONHAND, IDOK);
}

}  // namespace

// Of the attributes only read-only keeps a file from being deleted: they are cleared when the
// deletion fails, not first for every file (a further open of each).
bool MakeFolder(const char* path) {
    if (!CreateDirectoryA(path, nullptr)) return false;
    LogAction(kLogFolderMade, path);
    RecordFolder(path);
    return true;
}

bool DeleteOneFile(const char* path, bool isLink) {
    if (DeleteFileA(path)) return true;
    if (isLink) return false;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != FALSE;
}

namespace {

// Deletes one file found by searching the pattern.
void DeleteFoundFile(HWND owner, const char* pattern, const WIN32_FIND_DATAA& found, SpareFile spare) {
    WorkPath path = FoundFilePath(pattern, found.cFileName);
    bool deleted = false;
    if (path.Fits()) {
        // The run's log is never deleted, wherever it lies.
        if ((spare != nullptr && spare(path.CStr())) || IsRunLog(path.CStr())) return;
        ShowProgressItem(found.cFileName);
        deleted = DeleteOneFile(path.CStr(), IsLinkAttributes(found.dwFileAttributes));
        if (deleted) LogAction(kLogDeleted, path.CStr());
    }
    if (!deleted) ReportFound(owner, kFileNotDeletedCaption, pattern, found.cFileName);
}

// Empties and removes one sub-folder found by searching the pattern.
void DeleteFoundFolder(HWND owner, const char* pattern, const WIN32_FIND_DATAA& found) {
    WorkPath path = FoundFilePath(pattern, found.cFileName);
    bool removed = false;
    if (path.Fits() && IsLinkAttributes(found.dwFileAttributes)) {
        removed = RemoveFolderOrLink(path.CStr());
    } else if (path.Fits()) {
        DeleteFolderTree(owner, path.CStr());
        SetFileAttributesA(path.CStr(), FILE_ATTRIBUTE_NORMAL);
        removed = RemoveFolderOrLink(path.CStr());
    }
    if (removed) LogAction(kLogRemoved, path.CStr());
    else ReportFound(owner, kFolderNotDeletedCaption, pattern, found.cFileName);
}

// One walk of the pattern's matches: every plain file, and with subFolders every sub-folder whose
// name does not begin with a dot (that covers "." and ".." and every folder named like ".cache").
void DeleteFound(HWND owner, const char* pattern, SpareFile spare, bool subFolders) {
    if (!FitsWindowsPath(pattern)) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (RunStopped()) break;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFoundFile(owner, pattern, found, spare);
        } else if (subFolders && found.cFileName[0] != '.') {
            DeleteFoundFolder(owner, pattern, found);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
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
                  IsLinkAttributes(tag.FileAttributes);
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
    if (IsLinkAttributes(attributes)) return RemoveLinkOnly(folder);
    return RemoveDirectoryA(folder) != FALSE;
}

void DeleteMatchingFiles(HWND owner, const char* pattern, SpareFile spare) {
    DeleteFound(owner, pattern, spare, false);
}

void DeleteFolderTree(HWND owner, const char* folder) {
    if (IsDriveOrRoot(folder)) return;
    WorkPath pattern = JoinPath(folder, "*.*");
    if (!pattern.Fits()) return;
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || IsLinkAttributes(attributes)) return;
    DeleteFound(owner, pattern.CStr(), nullptr, true);
}

bool IsFolderEmpty(const char* folder) {
    WorkPath pattern = JoinPath(folder, "*");
    if (IsDriveOrRoot(folder) || !pattern.Fits() || !FolderExists(JoinPath(folder, ".").CStr())) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.CStr(), &found);
    // A folder that cannot be searched is not known to be empty.
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool empty = true;
    do {
        bool dots = lstrcmpA(found.cFileName, ".") == 0 || lstrcmpA(found.cFileName, "..") == 0;
        if (!dots) empty = false;
    } while (empty && FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}
