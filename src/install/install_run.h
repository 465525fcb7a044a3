// The install run.
#pragma once

#include <windows.h>

// Installs what the list names; message boxes are owned by owner. Returns the process exit
// code: 0 when the installation completed, 1 when it was refused or aborted.
int RunInstall(HWND owner);
