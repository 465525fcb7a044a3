// PLACEHOLDER until the install run lands: keeps Setup.exe linkable for the dialog work.
#include "install_run.h"

int RunInstall(HWND) { return 0; }
