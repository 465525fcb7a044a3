// The program's own full path.
#include "support/win_support.h"

WorkPath ModulePath() {
    WorkPath path;
    DWORD n = GetModuleFileNameA(nullptr, path.RawData(), path.RawSize());
    // A path that fills the buffer was cut by Windows.
    if (n == 0 || n >= path.RawSize()) {
        path.Clear();
        return path;
    }
    path.Adopt();
    return path;
}

bool EnterFolder(const char* folder) {
    WorkPath path(folder);
    if (path.Length() == 2 && path.At(1) == ':') path.AppendChar('\\');
    return path.Fits() && SetCurrentDirectoryA(path.CStr()) != 0;
}
