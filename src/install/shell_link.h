// Shortcut files through the shell-link object.
#pragma once

#include <windows.h>

// Writes linkPath + ".lnk" pointing at target (only when target is an existing file).
void CreateShellLink(const char* linkPath, const char* target, const char* arguments);
