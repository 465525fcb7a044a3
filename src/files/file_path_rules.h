// Path rules of the file operations that need no Windows: the length limit of a Windows path,
// the paths of files found by a directory search, and the names a copy is written under.
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

// A copy is written beside its target under a name of its own and takes the target's place
// only when it is whole. The name is the target's with ".qvteil" appended; may not fit.
WorkPath PartialCopyPath(const char* target);
// For a target too long for that name: candidate number n (0, 1, ...) of a short name in the
// target's folder ("~qvteil0", or as much of it as there is room for before the number), never
// longer than a Windows path, so never longer than the target's own name allows. False when
// candidate n has no name that fits.
bool ShortPartialCopyPath(const char* target, int candidate, WorkPath* partial);
