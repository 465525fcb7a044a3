// The uninstall run.
#pragma once

#include <windows.h>

// Removes what the installation put in place; message boxes are owned by owner or the progress
// window. Returns the process exit code: 1 when the list was refused and nothing was deleted.
int RunUninstall(HWND owner);
