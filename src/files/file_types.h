// Registration and removal of the file types of a list entry.
#pragma once

#include "files/file_type_rules.h"

// The open command for the program and the entry's extension list: the quoted program path
// and the placeholder the list's last character asks for (see file_type_rules.h). Empty when
// the program path does not fit a Windows path.
OpenCommandText OpenCommandFor(const char* programPath, const char* extensions);
// Writes the open command for every extension of the list (see file_type_rules.h).
void RegisterFileTypes(const char* command, const char* extensions);
// Removes what RegisterFileTypes wrote with this command, bottom up; keys that still hold
// anything else stay.
void UnregisterFileTypes(const char* command, const char* extensions);
