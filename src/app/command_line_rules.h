// The switches of the command line: the program's own path, then arguments that begin with "/"
// or "-". No Windows needed: tested natively.
#pragma once

#include "support/path_buffer.h"

struct Switches {
    bool Uninstall = false;       // /U... (also /Update, /Uninstall), /UQ, or run as ...\Uninst.exe
    bool StartedAsUninstaller = false;  // run as ...\Uninst.exe
    bool QuietUninstall = false;  // /UQ
    bool SilentInstall = false;   // /S
    bool SyntaxHelp = false;      // /?
    bool Unattended = false;      // /Q: nothing shown, nothing waited for
    bool Check = false;           // /CHECK: the author's dry run
    bool LogWanted = false;       // /LOG=path
    WorkPath LogPath;             // cut (Fits() false) when the path does not fit
    bool DirWanted = false;       // /DIR=path: the program folder, instead of the list's Folder
    WorkPath Dir;                 // backslashes only, none doubled or at the end; cut when too long
    PathBuffer<64> Unknown;       // the first switch that no known switch begins with, as given
};

// The program path (the first token, quoted or not) only selects the uninstall when it names
// "\Uninst.exe". Each later argument is a token, double quotes grouping blanks; a token that begins
// with "/" or "-" is a switch, recognised by its beginning without regard to ASCII case. What
// follows "=" is the switch's value and is never taken for another switch. /LOG and /DIR without
// a value are unknown switches: a run must not go on without what the caller asked for.
Switches ParseCommandLine(const char* commandLine);
