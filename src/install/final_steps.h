// The install's last steps, once every file is in place: the registry file imported and the
// program started, each from the program folder. A failure is shown in a box owned by owner.
#pragma once

#include <windows.h>

// [General] RegFile, imported with the registry editor in silent mode.
void ImportRegistryFile(HWND owner);
// [General] RunOnce: a program with its arguments, or a document opened with its program. Under
// /Q it is not started, and the log says so.
void StartRunOnce(HWND owner);
