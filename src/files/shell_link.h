// Shortcut files through the shell-link object: written by the install, read back by the
// uninstall to tell its own shortcuts from another program's of the same name.
#pragma once

#include <windows.h>

#include "support/path_buffer.h"

// Writes the shortcut file (its whole name, ".lnk" included) pointing at target, only when
// target is an existing file; logged, and recorded when it was saved.
void CreateShellLink(const char* linkFile, const char* target, const char* arguments);

// Deletes the shortcut file only when it points at target (letter case aside): a shortcut of the
// same name that another program made stays. True when it was deleted.
bool DeleteShellLinkTo(const char* linkFile, const char* target);
