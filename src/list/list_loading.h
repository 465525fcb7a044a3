// Loading of Setup.lst into the global state.
#pragma once

#include <stddef.h>

#include "list/list_text.h"
#include "support/path_buffer.h"

// Fills the global state from Setup.lst beside the program, the system folders and the
// registry; makes the program's folder the current directory. Never stops the program.
void LoadInstallContext();
// The same with the list's bytes handed over (a packed program's list, from its package).
void LoadInstallContextFromBytes(const unsigned char* list, size_t size);

// The list as it was loaded, for the author's check to read again; empty without one.
const ListText& LoadedListText();

// The AppName of another list, cut as the loading cuts the program's own, so that two lists of
// one application give the same name. Empty when the list or the value is missing.
FieldText ListAppNameOf(const char* listPath);
