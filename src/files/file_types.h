// Registration and removal of the file types of a list entry.
#pragma once

#include "files/file_type_rules.h"

// The open command for the program and the entry's extension list: the quoted program path
// and the placeholder the list's last character asks for (see file_type_rules.h). Empty when
// the program path does not fit a Windows path.
OpenCommandText OpenCommandFor(const char* programPath, const char* extensions);
// Writes the open command for every extension of the list (see file_type_rules.h): on the
// extension's key, under Applications, and in a ProgID of the application (appName) with the
// program's icon, which the extension's default value names; then tells the shell. What the
// keys held before is kept in the uninstall entry entryKey (below HKEY_LOCAL_MACHINE), for the
// removal to put back; with nullptr (an installation without uninstaller) nothing is kept.
void RegisterFileTypes(const char* command, const char* extensions, const char* appName, const char* entryKey);
// Removes what RegisterFileTypes wrote with this command, bottom up, and puts back the values
// the entry kept from before the first installation. Keys that existed then, or still hold
// anything else, stay; so does a value another program wrote since.
void UnregisterFileTypes(const char* command, const char* extensions, const char* appName, const char* entryKey);
