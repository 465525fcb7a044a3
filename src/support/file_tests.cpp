// Existence tests through the first match of a directory search, so wildcards are accepted.
#include "win_support.h"

static DWORD FirstMatchAttributes(const char* path, bool* found) {
    *found = false;
    if (path == nullptr || path[0] == 0) return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    *found = true;
    return data.dwFileAttributes;
}

bool FileExists(const char* path) {
    bool found = false;
    DWORD attributes = FirstMatchAttributes(path, &found);
    return found && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const char* path) {
    bool found = false;
    DWORD attributes = FirstMatchAttributes(path, &found);
    return found && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
