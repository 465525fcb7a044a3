// Registration and removal of the file types of a list entry.
#pragma once

// Writes the open command for every extension of the list (see file_type_rules.h).
void RegisterFileTypes(const char* command, const char* extensions);
// Removes what RegisterFileTypes wrote with this command, bottom up; keys that still hold
// anything else stay.
void UnregisterFileTypes(const char* command, const char* extensions);
