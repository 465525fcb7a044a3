// Version numbers of four parts (major.minor.build.revision), as a product's uninstall entry
// shows them: the list's [General] ProductVersion, and a program's version resource.
#pragma once

#include "support/path_buffer.h"

struct VersionNumber {
    // Major, minor, build, revision; a part not given is 0. The uninstall entry's VersionMajor
    // and VersionMinor are the first two.
    unsigned Parts[4] = {};
    // The text for DisplayVersion: "3.7.0.0", or a list value as the author wrote it.
    PathBuffer<24> Text;
};

// Reads a ProductVersion value: one to four parts separated by single dots, each of one to five
// digits and at most 65535 ("2.1.0", "2", "10.0.19041.1"). False, with a zero version, for
// anything else: no value, a blank, a letter, a comma, an empty part, a fifth part, 70000.
bool ParseProductVersion(const char* value, VersionNumber& version);
