// Making room for a font file that is to be replaced in the Fonts folder.
#include "font_files.h"

#include <windows.h>

#include "../support/text_helpers.h"
#include "../support/win_support.h"
#include "file_path_rules.h"

bool RemoveInstalledFont(const char* fontPath) {
    if (!FitsWindowsPath(fontPath)) return false;
    if (!FileExists(fontPath)) return true;
    // The table may know the font by its path or by its bare name. Wine never unloads a font
    // here (the call always fails), so a failure only means the delete below may fail too.
    if (!RemoveFontResourceA(fontPath)) RemoveFontResourceA(PathFilePart(fontPath).CStr());
    SetFileAttributesA(fontPath, FILE_ATTRIBUTE_ARCHIVE);
    DeleteFileA(fontPath);
    // A window that hangs must not stop the installation.
    SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    return !FileExists(fontPath);
}
