// Loading of Setup.lst into the global state.
#pragma once

// Fills the global state from Setup.lst beside the program, the system folders and the
// registry; makes the program's folder the current directory. Never stops the program.
void LoadInstallContext();

// The same for a program at modulePath: the list is read from that path's folder.
void LoadInstallContextFor(const char* modulePath);
