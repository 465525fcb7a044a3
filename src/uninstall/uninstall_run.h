// The uninstall run.
#pragma once

#include <windows.h>

#include "list/install_context.h"

// Removes what the installation put in place; message boxes are owned by owner or the progress
// window. The list has passed its check (list/list_check.h) before: nothing checks it here.
RunResult RunUninstall(HWND owner);
