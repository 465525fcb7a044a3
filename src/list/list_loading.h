// Loading of Setup.lst into the global state.
#pragma once

#include "support/path_buffer.h"

// Fills the global state from Setup.lst beside the program, the system folders and the
// registry; makes the program's folder the current directory. Never stops the program.
void LoadInstallContext();

// The same for a program at modulePath: the list is read from that path's folder.
void LoadInstallContextFor(const char* modulePath);

// The AppName of another list, cut as the loading cuts the program's own, so that two lists of
// one application give the same name. Empty when the list or the value is missing.
FieldText ListAppNameOf(const char* listPath);
