// PLACEHOLDER until the uninstall run lands: keeps Setup.exe linkable for the dialog work.
#include "uninstall_run.h"

int RunUninstall(HWND) { return 0; }
