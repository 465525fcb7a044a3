// File and folder operations of the install and uninstall runs.
#pragma once

#include <windows.h>

// Every operation refuses a path longer than 259 characters (treated as a failure), rather than
// use it shortened.

// Copies over an existing target; the copy ends with the archive attribute only. A source and
// target that are the same file count as copied.
bool CopyFileOverwrite(const char* source, const char* target);
// Creates (and records) every missing folder level above the path's last backslash; never a
// drive root.
void CreateFolderPath(const char* path);
// Copies every plain file matching the pattern into the folder, from the pattern's own folder
// (the current directory for a bare pattern such as "*.dll"), and records each; true when no
// copy failed.
bool CopyMatchingFiles(const char* pattern, const char* targetFolder);
// False when an existing target is newer than the source (creation or last-write time); times
// that cannot be read let the copy proceed.
bool IsSourceNotOlder(const char* source, const char* target);
// Copies one list file into the folder under its name with the first letter upper-cased,
// keeping a newer target; asks Retry/Cancel on failure. False only when the user cancelled.
// With recorded, the file in place goes into the installation's record.
bool CopyFileToFolder(HWND owner, const char* source, const char* targetFolder, bool recorded);

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
