// Fonts in the Fonts folder: taking one out of the font table before its file goes.
#include "files/font_files.h"

#include <windows.h>

#include "files/file_path_rules.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

bool UnloadFont(const char* fontPath, const char* otherName) {
    return RemoveFontResourceA(fontPath) || RemoveFontResourceA(otherName);
}

bool RemoveInstalledFont(const char* fontPath) {
    if (!FitsWindowsPath(fontPath)) return false;
    if (!FileExists(fontPath)) return true;
    UnloadFont(fontPath, PathFilePart(fontPath).CStr());
    SetFileAttributesA(fontPath, FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileA(fontPath);
    BroadcastFontChange();
    return !FileExists(fontPath);
}
