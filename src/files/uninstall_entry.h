// Which installation the uninstall entry of an application belongs to. One application name has
// one entry: an installation in another folder must neither take it over nor remove it.
#pragma once

#include "support/path_buffer.h"

// The folder the entry of appName names as its installation's (InstallLocation); empty without
// an entry or without that value.
PathBuffer<1025> EntryInstallLocation(const char* appName);

// True when the entry of appName belongs to the installation in targetDir: it names that folder
// (letter case and a backslash at the end aside), or names none (no entry, or one without
// InstallLocation, as older installations wrote it).
bool EntryBelongsTo(const char* appName, const char* targetDir);
