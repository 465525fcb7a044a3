// The texts of a packed Setup.exe's refusals. No Windows needed: every byte is tested natively.
#pragma once

#include "package/package_rules.h"
#include "support/path_buffer.h"

extern const char kPackageRefusedCaption[];

// Why the package is not installed: not a package, cut short, damaged, or an entry's name that
// breaks a rule (named, with the rule). Found before anything was written, or (for damage found
// while the files are unpacked into place) after some files are installed.
void ComposePackageProblemText(const PackageCheck& check, bool whileInstalling, ScratchBuffer& out);
// The target lacks room: how much the installation needs and how much is free, in MB.
void ComposeNoRoomText(const char* folder, unsigned long long needed, unsigned long long free, ScratchBuffer& out);
// A packed Setup.exe asked to uninstall: the installed uninstaller does that.
void ComposePackedUninstallText(const char* appName, const char* uninstaller, ScratchBuffer& out);
