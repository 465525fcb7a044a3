// Setup.exe typically runs from a download folder with administrator rights; a DLL that a
// web page dropped beside it must never be loaded, so only the System folder is searched.
#include <windows.h>

#include "app/dll_search.h"

bool RestrictDllSearch() {
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != 0;
}
