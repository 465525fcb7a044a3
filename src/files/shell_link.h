// Shortcut files through the shell-link object: written by the install, read back by the
// uninstall to tell its own shortcuts from another program's of the same name.
#pragma once

#include <windows.h>

#include "support/path_buffer.h"

// Writes linkPath + ".lnk" pointing at target (only when target is an existing file).
void CreateShellLink(const char* linkPath, const char* target, const char* arguments);

// The target path a shortcut file (the whole file name, ".lnk" included) holds; empty when the
// file is missing, is no shortcut, or names no file.
LongText ShellLinkTarget(const char* linkFile);

// Deletes the shortcut file only when it points at target (letter case aside): a shortcut of the
// same name that another program made stays. True when it was deleted.
bool DeleteShellLinkTo(const char* linkFile, const char* target);
