// The install run.
#pragma once

#include <windows.h>

#include "list/install_context.h"

// Installs what the list names; message boxes are owned by owner. Refused when the list breaks a
// rule (nothing is written then), Failed when the run was aborted, otherwise Done.
RunResult RunInstall(HWND owner);
