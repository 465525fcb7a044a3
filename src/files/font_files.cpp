// Fonts in the Fonts folder: taking one out of the font table before its file is replaced.
#include "files/font_files.h"

#include <windows.h>

#include "files/file_path_rules.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

bool UnloadFont(const char* fontPath, const char* otherName) {
    return RemoveFontResourceA(fontPath) || RemoveFontResourceA(otherName);
}

bool ReplaceInstalledFont(const char* newCopy, const char* fontPath) {
    if (!FitsWindowsPath(newCopy) || !FitsWindowsPath(fontPath)) return false;
    bool installed = FileExists(fontPath);
    if (installed) {
        UnloadFont(fontPath, PathFilePart(fontPath).CStr());
        SetFileAttributesA(fontPath, FILE_ATTRIBUTE_ARCHIVE);
    }
    bool replaced = MoveFileExA(newCopy, fontPath, MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (installed) BroadcastFontChange();
    return replaced;
}
