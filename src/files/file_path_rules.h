// Path rules of the file operations that need no Windows: the length limit of a Windows path,
// and the paths of files found by a directory search.
#pragma once

#include "support/path_buffer.h"

// The longest path the program hands to Windows (MAX_PATH without its terminator). Longer
// paths are refused, never shortened: a shortened path names a different file.
constexpr size_t kMaxWindowsPath = kPathWidth - 1;
bool FitsWindowsPath(const char* path);

// True for a text that names no folder of its own: empty, a lone backslash, or a drive ("D:",
// "D:\"). Its tree is never deleted: that would be the whole drive.
bool IsDriveOrRoot(const char* folder);

// The search pattern's text up to and including its last backslash, followed by the name a
// search of that pattern found; the bare name when the pattern has no backslash.
WorkPath FoundFilePath(const char* pattern, const char* name);
// The same as a message text: too long for a path, but never cut into a shorter valid one.
LongText FoundFileText(const char* pattern, const char* name);
// Folder, a backslash unless it already ends in one, and name, as a message text.
LongText JoinPathText(const char* folder, const char* name);
