// File and folder operations of the install and uninstall runs.
#pragma once

#include <windows.h>

// Every operation refuses a path longer than 259 characters (treated as a failure), rather than
// use it shortened.

// A file the install puts in place: a file of the folder beside Setup.exe, or an entry of a
// packed Setup.exe's package. What the date rule and the record read of it, and how it is written.
struct CopySource {
    const char* Name = "";         // as the log names it: its path, or the entry's name
    const char* Path = nullptr;    // the file in the folder; null for a package's entry
    const void* Entry = nullptr;   // the package's entry
    unsigned long long Size = 0;
    FILETIME LastWrite = {};       // all zero when it could not be read
    FILETIME Creation = {};
    DWORD Attributes = 0;
    // Writes the whole file at path, a new file there with mustBeNew (failing with
    // ERROR_FILE_EXISTS when one is there), else over whatever is there.
    bool (*Write)(const CopySource& source, const char* path, bool mustBeNew) = nullptr;
};

// The file at path beside Setup.exe as a source to copy; the source keeps the pointer, so path
// must live as long as the source is used.
bool FindFolderSource(const char* path, CopySource* source);
// True when the source is the target itself (a package installed onto its own folder).
bool IsSameSourceFile(const CopySource& source, const char* target);

// How a copy over an existing target ended.
enum class CopyOutcome {
    Failed,
    Copied,     // in place, with the archive attribute only (or the source was the target itself)
    AtRestart,  // under /Q, a target in use: the copy waits beside it, stamped with the source's
                // time, and takes its place at the next restart
};
CopyOutcome CopyFileOverwrite(const CopySource& source, const char* target);
// Creates one folder level; true (logged, and recorded once the record is open) when it was made.
bool MakeFolder(const char* path);
// Creates (and records) every missing folder level above the path's last backslash; never a
// drive root.
void CreateFolderPath(const char* path);
// Copies every plain file matching the pattern into the folder, from the pattern's own folder
// (the current directory for a bare pattern such as "*.dll"), and records each; true when no
// copy failed.
bool CopyMatchingFiles(const char* pattern, const char* targetFolder);
// One file of a wildcard group to its target: kept when it has the source's size and time,
// otherwise written, and recorded. *targetsExist carries over from one file of the group to the
// next which attempt goes first. A failure is logged, never asked about.
bool CopyGroupFile(const CopySource& source, const char* target, bool* targetsExist);
// False when an existing target is newer than the source (creation or last-write time); times
// that cannot be read let the copy proceed.
bool IsSourceNotOlder(const CopySource& source, const char* target);
// Copies one list file into the folder under its name with the first letter upper-cased,
// keeping a newer target; asks Retry/Cancel on failure. False when the user cancelled, or the
// package proved damaged. With recorded, the file in place goes into the installation's record.
bool CopyFileToFolder(HWND owner, const CopySource& source, const char* targetFolder, bool recorded);

// A file the deletion must leave alone, such as the running uninstaller.
using SpareFile = bool (*)(const char* path);
// Deletes one file; a read-only one too, unless it is a link, whose attributes could reach the
// file it points to. True when it is gone.
bool DeleteOneFile(const char* path, bool isLink);
// Deletes the plain files matching a pattern in its folder (sub-folders are not entered), except
// those spare picks out: each shown, read-only ones too, a failure reported in a box owned by
// owner.
void DeleteMatchingFiles(HWND owner, const char* pattern, SpareFile spare);
// Deletes the folder's files and sub-folders but not the folder itself, the same way; reports
// each file or folder it cannot remove. Links to folders are removed, never entered; a folder
// that is a link itself, an empty text or a bare drive is not touched at all.
void DeleteFolderTree(HWND owner, const char* folder);
// True when the folder (or the folder a link points to) exists and holds no file or sub-folder.
bool IsFolderEmpty(const char* folder);
// Removes an empty folder, or a link to a folder as the link itself (never what it points to).
// True when it was removed.
bool RemoveFolderOrLink(const char* folder);
