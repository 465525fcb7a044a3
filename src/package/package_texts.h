// The texts of a packed Setup.exe while it unpacks its package, and of its refusals. No Windows
// needed: every byte is tested natively.
#pragma once

#include "package/package_rules.h"
#include "support/path_buffer.h"

extern const char kPhaseUnpacking[];
extern const char kUnpackRefusedCaption[];

// Why the package is not unpacked: not a cabinet, cut short, damaged, or an entry's name that
// breaks a rule (named, with the rule).
void ComposePackageProblemText(const PackageCheck& check, ScratchBuffer& out);
// The temporary folder lacks room: how much the unpacking needs and how much is free, in MB.
void ComposeNoRoomText(const char* folder, unsigned long long needed, unsigned long long free, ScratchBuffer& out);
// A file or folder of the unpacking could not be made or written (or the program not started).
void ComposeUnpackFailedText(const char* path, ScratchBuffer& out);
