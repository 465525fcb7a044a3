// Copying files: over an existing target, into a folder by the date rule with a retry question,
// and every file of a wildcard pattern; creating the folder levels of a path. A file comes from
// the folder beside Setup.exe or from a packed Setup.exe's package (CopySource).
#include "files/file_ops.h"

#include <cstring>

#include "files/file_path_rules.h"
#include "files/font_files.h"
#include "files/install_record.h"
#include "files/placement_rules.h"
#include "ui/progress_window.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
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
// be set are left as the copy made them.
void StampWithSourceTime(const CopySource& source, const char* target) {
    HANDLE file = CreateFileA(target, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const FILETIME stamp = source.LastWrite;
    SetFileTime(file, &stamp, &stamp, &stamp);
    CloseHandle(file);
}

// A file of the folder beside Setup.exe: CopyFileA writes it, with its attributes and times.
bool WriteFolderFile(const CopySource& source, const char* path, bool mustBeNew) {
    return CopyFileA(source.Path, path, mustBeNew) != FALSE;
}

CopySource FolderSource(const char* path, const WIN32_FILE_ATTRIBUTE_DATA& data) {
    CopySource source;
    source.Name = path;
    source.Path = path;
    source.Size = FileSize64(data.nFileSizeHigh, data.nFileSizeLow);
    source.LastWrite = data.ftLastWriteTime;
    source.Creation = data.ftCreationTime;
    source.Attributes = data.dwFileAttributes;
    source.Write = WriteFolderFile;
    return source;
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
// a file changed in place without a new time is not kept) the same bytes; a package's file,
// whose bytes cannot be compared without unpacking them, is written again then. Copying it again
// would change nothing but take as long as writing it the first time; the target only gets the
// archive attribute that a copy would end with.
bool KeepSameFile(const char* target, const CopySource& source, bool compareBytes) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!ReadFileTimes(target, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    unsigned long long size = FileSize64(data.nFileSizeHigh, data.nFileSizeLow);
    if (size != source.Size || CompareFileTime(&data.ftLastWriteTime, &source.LastWrite) != 0) return false;
    if (compareBytes && (source.Path == nullptr || !SameBytes(source.Path, target))) return false;
    if (data.dwFileAttributes != FILE_ATTRIBUTE_ARCHIVE) SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    return true;
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
bool WritePartialCopy(const CopySource& source, const char* target, WorkPath* partial) {
    *partial = PartialCopyPath(target);
    if (partial->Fits() && FitsWindowsPath(partial->CStr())) {
        bool copied = source.Write(source, partial->CStr(), false);
        if (!copied && !g_ctx.PackageDamaged) {
            // a read-only piece left by an installation that was ended during its copy
            SetFileAttributesA(partial->CStr(), FILE_ATTRIBUTE_NORMAL);
            copied = source.Write(source, partial->CStr(), false);
        }
        if (!copied) DiscardPartialCopy(partial->CStr());
        return copied;
    }
    if (!ClaimShortPartialCopy(target, partial)) return false;
    if (source.Write(source, partial->CStr(), false)) return true;
    DiscardPartialCopy(partial->CStr());
    return false;
}

// A running program's file, or one open without sharing.
bool IsInUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_USER_MAPPED_FILE;
}

// Under /Q nobody can close the program that holds the target, and nobody answers Retry: the
// whole copy stays beside it and Windows puts it in place at the next restart, before any
// program starts (which needs the rights to write HKLM, as the install has). The run then ends
// with the code for "done, restart needed". The copy gets the source's time now, as the record
// names the file as it will be.
bool ReplaceAtRestart(const CopySource& source, const char* partial, const char* target) {
    if (!g_ctx.Unattended) return false;
    StampWithSourceTime(source, partial);
    SetFileAttributesA(partial, FILE_ATTRIBUTE_ARCHIVE);
    if (!MoveFileExA(partial, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) return false;
    LogAction(kLogReplacedAtRestart, target);
    g_ctx.RestartNeeded = true;
    return true;
}

// A font is copied whole first; only then is the installed one unloaded and replaced. A copy
// that fails leaves the installed font in place and in use.
bool CopyFontOverwrite(const CopySource& source, const char* target) {
    if (!FitsWindowsPath(target)) return false;
    if (FileExists(target) && IsSameSourceFile(source, target)) return true;
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
bool PutFileInPlace(const CopySource& source, const char* target, const char* targetFolder, bool recorded) {
    if (IsSameSourceFile(source, target)) {
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
    if (KeepSameFile(target, source, true)) {
        LogAction(kLogKeptSame, target);
        return TakeAsInstalled(target, recorded);
    }
    LogAction(kLogCopy, source.Name, target);
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (IsFontsFolderPath(target, g_ctx.FontsDir.CStr())) {
        if (!CopyFontOverwrite(source, target)) return false;
        StampWithSourceTime(source, target);
        return TakeAsInstalled(target, recorded);
    }
    CopyOutcome outcome = CopyFileOverwrite(source, target);
    if (outcome == CopyOutcome::AtRestart) {
        if (recorded) RecordFileAs(target, source.Size, source.LastWrite);
        return true;
    }
    if (outcome == CopyOutcome::Copied) {
        StampWithSourceTime(source, target);
        return TakeAsInstalled(target, recorded);
    }
    // A wildcard source puts each file it matches in place under that file's own name.
    if (source.Path != nullptr && strpbrk(source.Path, "*?") != nullptr) return CopyMatchingFiles(source.Path, targetFolder);
    // Any other source is installed under its installed name or not at all: copied under the
    // name a directory search finds, it would stay in the source's letter case after a failure
    // that nobody saw (a volume that had just got room again). One that has gone since the run
    // tested it leaves nothing to copy and is not reported here (the run asks for it again); one
    // that is still there failed to copy, and the user is asked.
    return source.Path != nullptr && !FileExists(source.Path);
}

}  // namespace

bool IsSameSourceFile(const CopySource& source, const char* target) {
    return source.Path != nullptr && IsSameFile(source.Path, target);
}

// A file of a wildcard group that has the source's size and last-write time is taken as
// current, the quick check of file synchronisation tools: a group has thousands of files, and
// reading each twice would cost much of what copying it costs.
// Either order of the two attempts below gives the same result; the one the previous file
// needed goes first. Under Wine every look at a name that is not there searches the whole
// folder, and a group fills its folder with thousands of files: a new target is best made in
// one step, while a target that an earlier installation left is best looked at first.
bool CopyGroupFile(const CopySource& source, const char* target, bool* targetsExist) {
    if (RunStopped()) return false;
    if (source.Size >= kLargeFileSize) ShowProgressItemNow(PathFilePart(target).CStr());
    else ShowProgressItem(PathFilePart(target).CStr());
    // The copy has the source's size and last-write time, as a kept file has: the record takes
    // them from the source, without a further look at every file.
    if (*targetsExist && KeepSameFile(target, source, false)) {
        LogAction(kLogKeptSame, target);
        RecordFileAs(target, source.Size, source.LastWrite);
        return true;
    }
    LogAction(kLogCopy, source.Name, target);
    if (source.Write(source, target, true)) {
        // The new file has the source's attributes; only others than the archive attribute are
        // left to clear (a further open of every file otherwise).
        if (source.Attributes != FILE_ATTRIBUTE_ARCHIVE) SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
        RecordFileAs(target, source.Size, source.LastWrite);
        *targetsExist = false;
        return true;
    }
    // A copy that ran out of room made the target and left it half written. (Other failures
    // come before the target is made; the target may then be an installed file of its own.)
    DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL || g_ctx.PackageDamaged) DeleteFileA(target);
    if (g_ctx.PackageDamaged) return false;
    *targetsExist = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    if (*targetsExist && KeepSameFile(target, source, false)) {
        LogAction(kLogKeptSame, target);
        RecordFileAs(target, source.Size, source.LastWrite);
        return true;
    }
    SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    CopyOutcome outcome = CopyFileOverwrite(source, target);
    if (outcome == CopyOutcome::AtRestart) RecordFileAs(target, source.Size, source.LastWrite);
    if (outcome == CopyOutcome::Copied) RecordFile(target);
    if (outcome != CopyOutcome::Failed) return true;
    // Nobody is asked about a file of a group: the log and an unattended run's exit code tell.
    LogFailure(target, GetLastError());
    g_ctx.RunHadProblems = true;
    CarryPreviousFile(target);
    return false;
}

// The copy is written under a name of its own beside the target and takes the target's place
// only when it is whole. A copy that fails part way (a full volume) or a process ended during it
// thus never leaves half a file under the target's name, where the date rule would take it for
// a newer installed file and keep it for good; and until then the installed version stays.
CopyOutcome CopyFileOverwrite(const CopySource& source, const char* target) {
    if (!FitsWindowsPath(target)) return CopyOutcome::Failed;
    bool targetExists = FileExists(target);
    if (targetExists && IsSameSourceFile(source, target)) return CopyOutcome::Copied;
    WorkPath partial;
    if (!WritePartialCopy(source, target, &partial)) return CopyOutcome::Failed;
    if (targetExists) SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    if (!MoveFileExA(partial.CStr(), target, MOVEFILE_REPLACE_EXISTING)) {
        if (IsInUse(GetLastError()) && ReplaceAtRestart(source, partial.CStr(), target)) return CopyOutcome::AtRestart;
        DiscardPartialCopy(partial.CStr());
        return CopyOutcome::Failed;
    }
    // The source's read-only, hidden or system attribute must not survive.
    SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
    return CopyOutcome::Copied;
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
        if (RunStopped()) {
            allCopied = false;
            break;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        WorkPath path = FoundFilePath(pattern, found.cFileName);
        WorkPath target = JoinPath(targetFolder, found.cFileName);
        if (!path.Fits() || !target.Fits()) {
            allCopied = false;
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA data = {found.dwFileAttributes, found.ftCreationTime, found.ftLastAccessTime,
                                          found.ftLastWriteTime, found.nFileSizeHigh, found.nFileSizeLow};
        if (!CopyGroupFile(FolderSource(path.CStr(), data), target.CStr(), &targetsExist)) allCopied = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return allCopied;
}

bool IsSourceNotOlder(const CopySource& source, const char* target) {
    WIN32_FILE_ATTRIBUTE_DATA targetTimes;
    bool sourceTimesKnown = source.LastWrite.dwLowDateTime != 0 || source.LastWrite.dwHighDateTime != 0;
    if (!sourceTimesKnown || !FileExists(target) || !ReadFileTimes(target, &targetTimes)) return true;
    if (CompareFileTime(&source.Creation, &targetTimes.ftCreationTime) < 0) return false;
    return CompareFileTime(&source.LastWrite, &targetTimes.ftLastWriteTime) >= 0;
}

bool FindFolderSource(const char* path, CopySource* source) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    // A source whose times cannot be read (a pattern, or a file that went) is still copied as far
    // as it can be: the copy fails and says so, or a pattern copies its matches.
    bool read = FitsWindowsPath(path) && ReadFileTimes(path, &data);
    if (!read) ZeroMemory(&data, sizeof data);
    *source = FolderSource(path, data);
    return read;
}

bool CopyFileToFolder(HWND owner, const CopySource& source, const char* targetFolder, bool recorded) {
    for (;;) {
        if (RunStopped()) return false;
        LongText name = InstalledFileName(source.Name);
        WorkPath target = JoinPath(targetFolder, name.CStr());
        bool fits = name.Fits() && target.Fits() && (source.Path == nullptr || FitsWindowsPath(source.Path));
        if (fits && PutFileInPlace(source, target.CStr(), targetFolder, recorded)) return true;
        // A damaged package cannot give the file again: the run stops with its refusal.
        if (g_ctx.PackageDamaged) return false;
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
