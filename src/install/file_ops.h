// File and folder operations of the install and uninstall runs.
#pragma once

#include <windows.h>

// Copies over an existing target; the copy ends with the archive attribute only.
bool CopyFileOverwrite(const char* source, const char* target, bool failIfExists);
// Creates every missing folder level above the path's last backslash; never a drive root.
void CreateFolderPath(const char* path);
// Copies every plain file matching the pattern (relative to the current directory) into the
// folder; true when no copy failed.
bool CopyMatchingFiles(const char* pattern, const char* targetFolder);
// False when an existing target is newer than the source (creation or last-write time).
bool IsSourceNotOlder(const char* source, const char* target);
// Copies one list file into the folder under its name with the first letter upper-cased,
// keeping a newer target; asks Retry/Cancel on failure. False only when the user cancelled.
bool CopyFileToFolder(HWND owner, const char* source, const char* targetFolder);
// Deletes the folder's files (and, with recurse, its sub-folders) but not the folder itself;
// reports each file or folder it cannot remove. Links to folders are removed, never entered.
void DeleteFolderTree(HWND owner, const char* folder, bool recurse);
// Deletes the plain files matching a pattern in its folder the way DeleteFolderTree deletes
// a file: shown, attributes cleared, a failure reported in a box owned by owner.
void DeleteMatchingFiles(HWND owner, const char* pattern);
