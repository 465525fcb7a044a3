// The commands the program runs, one per process: the install (or, without a usable list, the
// syntax help) and the uninstall. The owner is the background window, or null when nothing may
// be shown (/Q).
#pragma once

#include <windows.h>

#include "app/command_line_rules.h"
#include "list/install_context.h"

// The switches the program was started with, read once by the entry.
extern Switches g_switches;

RunResult RunInstallCommand(HWND owner);
RunResult RunUninstallCommand(HWND owner);
