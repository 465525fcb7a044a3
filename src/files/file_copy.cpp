// Copying files: over an existing target, into a folder by the date rule with a retry question,
// and every file of a wildcard pattern; creating the folder levels of a path.
#include "files/file_ops.h"

#include <cstring>

#include "files/file_path_rules.h"
#include "files/font_files.h"
#include "files/install_record.h"
#include "files/placement_rules.h"
#include "files/progress_item.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "list/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

const char kCopyFailedCaption[] = "Fehler - Kann Datei nicht kopieren:";
// Short names tried in a folder before a copy gives up; far more than a folder holds left over.
constexpr int kShortPartialCandidates = 100;
// A file whose copy takes longer than showing its name: shown while it is copied, whenever the
// line was set last.
constexpr unsigned long long kLargeFileSize = 1 << 20;

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

// Both files hold the same bytes; read in pieces, and false for a file that cannot be read.
bool SameBytes(const char* first, const char* second) {
    static char firstPiece[1 << 20];
    static char secondPiece[1 << 20];
    HANDLE a = CreateFileA(first, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (a == INVALID_HANDLE_VALUE) return false;
    HANDLE b = CreateFileA(second, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    bool same = b != INVALID_HANDLE_VALUE;
    while (same) {
        DWORD gotA = 0;
        DWORD gotB = 0;
        same = ReadFile(a, firstPiece, sizeof firstPiece, &gotA, nullptr) &&
               ReadFile(b, secondPiece, sizeof secondPiece, &gotB, nullptr) && gotA == gotB;
        if (!same || gotA == 0) break;
        same = memcmp(firstPiece, secondPiece, gotA) == 0;
    }
    if (b != INVALID_HANDLE_VALUE) CloseHandle(b);
    CloseHandle(a);
    return same;
}

// The target already holds what a copy would write: the source's size and last-write time,
// and where compareBytes asks for it (the date rule replaces a target of equal times, so that
// a file changed in place without a new time is not kept) the same bytes. Copying it again
// would change nothing but take as long as writing it the first time; the target only gets the
// archive attribute that a copy would end with.
bool KeepSameFile(const char* target, const char* source, unsigned long long sourceSize, const FILETIME& sourceWrite,
                  bool compareBytes) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ReadFileTimes(target, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    unsigned long long size = FileSize64(data.nFileSizeHigh, data.nFileSizeLow);
    if (size != sourceSize || CompareFileTime(&data.ftLastWriteTime, &sourceWrite) != 0) return false;
    if (compareBytes && !SameBytes(source, target)) return false;
    if (data.dwFileAttributes != FILE_ATTRIBUTE_ARCHIVE) SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

bool KeepSameFile(const char* target, const char* source) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ReadFileTimes(source, &data)) return false;
    unsigned long long size = FileSize64(data.nFileSizeHigh, data.nFileSizeLow);
    return KeepSameFile(target, source, size, data.ftLastWriteTime, true);
}

// Clears what a failed copy left under its own name.
void DiscardPartialCopy(const char* partial) {
    SetFileAttributesA(partial, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(partial);
}

// Takes the short name for a copy by creating the file: a name another file already has is
// passed over, so nothing that is not the copy's own is ever written over.
bool ClaimShortPartialCopy(const char* target, WorkPath* partial) {
    for (int candidate = 0; candidate < kShortPartialCandidates; ++candidate) {
        if (!ShortPartialCopyPath(target, candidate, partial)) return false;
        HANDLE file =
            CreateFileA(partial->CStr(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        DWORD error = GetLastError();
        // taken by a file, or by a folder
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return false;
    }
    return false;
}

// Writes the whole copy of the source beside the target under a name of its own, returned in
// partial; false (and nothing left) when the copy failed. A target too long for the usual name
// gets a short one in the same folder.
bool WritePartialCopy(const char* source, const char* target, WorkPath* partial) {
    *partial = PartialCopyPath(target);
    if (partial->Fits() && FitsWindowsPath(partial->CStr())) {
        bool copied = CopyFileA(source, partial->CStr(), FALSE) != FALSE;
        if (!copied) {
            // a read-only piece left by an installation that was ended during its copy
            SetFileAttributesA(partial->CStr(), FILE_ATTRIBUTE_NORMAL);
            copied = CopyFileA(source, partial->CStr(), FALSE) != FALSE;
        }
        if (!copied) DeleteFileA(partial->CStr());
        return copied;
    }
    if (!ClaimShortPartialCopy(target, partial)) return false;
    if (CopyFileA(source, partial->CStr(), FALSE)) return true;
    DiscardPartialCopy(partial->CStr());
    return false;
}

// A font is copied whole first; only then is the installed one unloaded and replaced. A copy
// that fails leaves the installed font in place and in use.
bool CopyFontOverwrite(const char* source, const char* target) {
    if (!FitsWindowsPath(source) || !FitsWindowsPath(target)) return false;
    if (FileExists(target) && IsSameFile(source, target)) return true;
    WorkPath partial;
    if (!WritePartialCopy(source, target, &partial)) return false;
    if (!ReplaceInstalledFont(partial.CStr(), target)) {
        DiscardPartialCopy(partial.CStr());
        return false;
    }
    SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

// The file as the install leaves it in place, for the record: its state now.
bool TakeAsInstalled(const char* target, bool recorded) {
    if (recorded) RecordFile(target);
    return true;
}

// One attempt of CopyFileToFolder: true when the file is in place or a newer one was kept.
bool PutFileInPlace(const char* source, const char* target, const char* targetFolder, bool recorded) {
    if (IsSameFile(source, target)) {
        LogAction(kLogKeptSame, target);
        return TakeAsInstalled(target, recorded);
    }
    if (!IsSourceNotOlder(source, target)) {
        LogAction(kLogKeptNewer, target);
        // Newer than the package's: an earlier installation's file (changed since, perhaps), or
        // one that was there before and is not the installation's to remove.
        if (recorded) CarryPreviousFile(target);
        return true;
    }
    if (KeepSameFile(target, source)) {
        LogAction(kLogKeptSame, target);
        return TakeAsInstalled(target, recorded);
    }
    LogAction(kLogCopy, source, target);
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (IsFontsFolderPath(target, g_ctx.FontsDir.CStr())) {
        if (!CopyFontOverwrite(source, target)) return false;
        StampWithSourceTime(source, target);
        return TakeAsInstalled(target, recorded);
    }
    if (CopyFileOverwrite(source, target)) {
        StampWithSourceTime(source, target);
        return TakeAsInstalled(target, recorded);
    }
    // A wildcard source puts each file it matches in place under that file's own name.
    if (strpbrk(source, "*?") != nullptr) return CopyMatchingFiles(source, targetFolder);
    // Any other source is installed under its installed name or not at all: copied under the
    // name a directory search finds, it would stay in the source's letter case after a failure
    // that nobody saw (a volume that had just got room again). One that has gone since the run
    // tested it leaves nothing to copy and is not reported here (the run asks for it again); one
    // that is still there failed to copy, and the user is asked.
    return !FileExists(source);
}

// A file of a wildcard group that has the source's size and last-write time is taken as
// current, the quick check of file synchronisation tools: a group has thousands of files, and
// reading each twice would cost much of what copying it costs.
// Either order of the two attempts below gives the same result; the one the previous file
// needed goes first. Under Wine every look at a name that is not there searches the whole
// folder, and a group fills its folder with thousands of files: a new target is best made in
// one step, while a target that an earlier installation left is best looked at first.
bool CopyFoundFile(const char* pattern, const WIN32_FIND_DATAA& found, const char* targetFolder,
                   bool* targetsExist) {
    WorkPath source = FoundFilePath(pattern, found.cFileName);
    WorkPath target = JoinPath(targetFolder, found.cFileName);
    if (!source.Fits() || !target.Fits()) return false;
    unsigned long long size = FileSize64(found.nFileSizeHigh, found.nFileSizeLow);
    if (size >= kLargeFileSize) ShowProgressItemNow(found.cFileName);
    else ShowProgressItem(found.cFileName);
    // The copy has the source's size and last-write time, as a kept file has: the record takes
    // them from the search, without a further look at every file.
    if (*targetsExist && KeepSameFile(target.CStr(), source.CStr(), size, found.ftLastWriteTime, false)) {
        LogAction(kLogKeptSame, target.CStr());
        RecordFileAs(target.CStr(), size, found.ftLastWriteTime);
        return true;
    }
    LogAction(kLogCopy, source.CStr(), target.CStr());
    if (CopyFileA(source.CStr(), target.CStr(), TRUE)) {
        // The new file has the source's attributes; only others than the archive attribute are
        // left to clear (a further open of every file otherwise).
        if (found.dwFileAttributes != FILE_ATTRIBUTE_ARCHIVE) SetFileAttributesA(target.CStr(), FILE_ATTRIBUTE_ARCHIVE);
        RecordFileAs(target.CStr(), size, found.ftLastWriteTime);
        *targetsExist = false;
        return true;
    }
    // A copy that ran out of room made the target and left it half written. (Other failures
    // come before the target is made; the target may then be an installed file of its own.)
    DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) DeleteFileA(target.CStr());
    *targetsExist = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    if (*targetsExist && KeepSameFile(target.CStr(), source.CStr(), size, found.ftLastWriteTime, false)) {
        LogAction(kLogKeptSame, target.CStr());
        RecordFileAs(target.CStr(), size, found.ftLastWriteTime);
        return true;
    }
    SetFileAttributesA(target.CStr(), FILE_ATTRIBUTE_ARCHIVE);
    if (CopyFileOverwrite(source.CStr(), target.CStr())) {
        RecordFile(target.CStr());
        return true;
    }
    // Nobody is asked about a file of a group: the log and an unattended run's exit code tell.
    LogFailure(target.CStr(), GetLastError());
    g_ctx.RunHadProblems = true;
    CarryPreviousFile(target.CStr());
    return false;
}

}  // namespace

// The copy is written under a name of its own beside the target and takes the target's place
// only when it is whole. A copy that fails part way (a full volume) or a process ended during it
// thus never leaves half a file under the target's name, where the date rule would take it for
// a newer installed file and keep it for good; and until then the installed version stays.
bool CopyFileOverwrite(const char* source, const char* target) {
    if (!FitsWindowsPath(source) || !FitsWindowsPath(target)) return false;
    bool targetExists = FileExists(target);
    if (targetExists && IsSameFile(source, target)) return true;
    WorkPath partial;
    if (!WritePartialCopy(source, target, &partial)) return false;
    if (targetExists) SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    if (!MoveFileExA(partial.CStr(), target, MOVEFILE_REPLACE_EXISTING)) {
        DiscardPartialCopy(partial.CStr());
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
        if (!FolderExists(level.CStr()) && CreateDirectoryA(level.CStr(), nullptr)) RecordFolder(level.CStr());
    }
}

bool CopyMatchingFiles(const char* pattern, const char* targetFolder) {
    if (!FitsWindowsPath(pattern)) return false;
    CreateFolderPath(targetFolder);
    bool targetsExist = false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool allCopied = true;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!CopyFoundFile(pattern, found, targetFolder, &targetsExist)) allCopied = false;
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

bool CopyFileToFolder(HWND owner, const char* source, const char* targetFolder, bool recorded) {
    for (;;) {
        LongText name = InstalledFileName(source);
        WorkPath target = JoinPath(targetFolder, name.CStr());
        bool fits = name.Fits() && target.Fits() && FitsWindowsPath(source);
        if (fits && PutFileInPlace(source, target.CStr(), targetFolder, recorded)) return true;
        // A path that does not fit is named whole, never as the shorter path it would be cut to.
        LongText shown = JoinPathText(targetFolder, name.CStr());
        LogFailure(shown.CStr(), GetLastError());
        if (AskUser(owner, shown.CStr(), kCopyFailedCaption, MB_RETRYCANCEL | MB_ICONHAND, IDCANCEL) != IDRETRY) {
            // The earlier installation's file stays in place, and stays the installation's.
            if (recorded && fits) CarryPreviousFile(target.CStr());
            return false;
        }
    }
}
