// The uninstall entry of an application in the machine's list of installed software: writing it,
// and which installation it belongs to. One application name has one entry: an installation in
// another folder must neither take it over nor remove it.
#pragma once

#include "support/path_buffer.h"

// The folder the entry of appName names as its installation's (InstallLocation); empty without
// an entry or without that value.
PathBuffer<1025> EntryInstallLocation(const char* appName);

// True when the entry of appName belongs to the installation in targetDir: it names that folder
// (letter case and a backslash at the end aside), or names none (no entry, or one without
// InstallLocation, as older installations wrote it).
bool EntryBelongsTo(const char* appName, const char* targetDir);

// Writes the entry of the installation in the program folder (each value logged): its name, the
// uninstall commands, the folder and whether the install made it (a reinstall keeps the first
// answer). The uninstaller's icon stands for it until CompleteUninstallEntry.
void WriteUninstallEntry(const char* uninstaller, bool createdProgramFolder);
// Once the files are in place: the size of the program folder, the publisher and the version (the
// list's Publisher and ProductVersion, or else those of the version resource of the program of
// [Files] 1), and that program's icon.
void CompleteUninstallEntry();
