// The uninstall run.
#pragma once

#include <windows.h>

// Shows why the list may not be used for an uninstall (a value that leads out of its folder, or
// no program folder of its own below the program-files folder) in a box owned by owner; true
// when it was refused. Nothing is deleted before this test has passed.
bool UninstallListRefused(HWND owner);

// Removes what the installation put in place; message boxes are owned by owner or the progress
// window. Returns the process exit code: 1 when the list was refused and nothing was deleted.
int RunUninstall(HWND owner);
