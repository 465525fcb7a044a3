// The program's own full path, and entering a folder.
#include "support/win_support.h"

namespace {

// Paths Windows may hand over, longer than those the program works with: a longer one is refused.
constexpr DWORD kWidePathChars = 1024;

// The wide path in the ANSI code page, only when every character has its own byte there: a
// look-alike ("Lodz" for "Łódź") would name another file.
bool ToAnsiExactly(const WCHAR* wide, WorkPath& path) {
    BOOL replaced = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path.RawData(), path.RawSize(), nullptr,
                                &replaced);
    path.Adopt();
    if (n == 0 || replaced) path.Clear();
    return !path.IsEmpty();
}

WorkPath FindModulePath() {
    WCHAR wide[kWidePathChars];
    WorkPath path;
    DWORD n = GetModuleFileNameW(nullptr, wide, kWidePathChars);
    // A path that fills the buffer was cut by Windows.
    if (n == 0 || n >= kWidePathChars || ToAnsiExactly(wide, path)) return path;
    // A folder name the code page cannot spell (a user called Łukasz on a German Windows): its
    // short name names the same file in plain letters.
    WCHAR shortName[kWidePathChars];
    n = GetShortPathNameW(wide, shortName, kWidePathChars);
    if (n != 0 && n < kWidePathChars) ToAnsiExactly(shortName, path);
    return path;
}

}  // namespace

WorkPath ModulePath() {
    // Asked for with every file an uninstall deletes; it never changes.
    static WorkPath path;
    static bool found;
    if (!found) path = FindModulePath();
    found = true;
    return path;
}

bool EnterFolder(const char* folder) {
    WorkPath path(folder);
    if (path.Length() == 2 && path.At(1) == ':') path.AppendChar('\\');
    return path.Fits() && SetCurrentDirectoryA(path.CStr()) != 0;
}
