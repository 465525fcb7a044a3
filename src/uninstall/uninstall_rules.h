// Where the uninstall run looks for what the installation left, and the tests that keep every
// deletion inside the installation. No Windows needed: tested natively.
#pragma once

#include "../app/list_rules.h"
#include "../support/path_buffer.h"

// The folders an installation places files in.
struct InstallFolders {
    const char* WindowsDir = "";
    const char* SystemDir = "";
    const char* FontsDir = "";
    const char* TargetDir = "";
};

// The folder the install run copied an entry's file into, chosen by its [AltFolder] value (first
// character already upper-cased): W\... below the Windows folder, S\... below the System folder,
// F... the Fonts folder, \... below the program folder, anything else the program folder.
WorkPath InstalledFolderFor(const char* altFolder, const InstallFolders& folders);

// The installed copy of a listed file: the install run copies a file under its name alone, so a
// value with a folder part ("Bin\Tool.exe") lies in the folder as Tool.exe.
WorkPath InstalledFilePath(const char* folder, const char* files);

// True when the path lies in the Windows, System or Fonts folder (exact substring tests; an
// empty folder never matches).
bool IsSystemFolderPath(const char* path, const InstallFolders& folders);
bool IsFontsFolderPath(const char* path, const InstallFolders& folders);

// The help-index companions (.GID, .FTS) of a file whose name contains ".HLP", then the settings
// companions (.INI, .PIF) of one whose name contains ".EXE", in the order they are deleted. Only
// the name is searched, so a folder called "Tools.exe" never leads out of the file's folder.
struct CompanionFiles {
    WorkPath Paths[4];
    int Count = 0;
};
CompanionFiles CompanionFilesOf(const char* installedPath);

// The pattern a [WildCopy] value's files were copied under: the program folder, the
// [WildSubFolder] value if one is given, and the pattern's name part (the install run copies the
// matching files under their names alone).
WorkPath WildPatternPath(const char* targetDir, const char* wildSubFolder, const char* wildCopy);
// The [WildSubFolder] folder: the program folder, a backslash and the value.
WorkPath WildSubFolderPath(const char* targetDir, const char* wildSubFolder);
// True when the [WildSubFolder] value sub names the folder kept or one inside it (letter case,
// "/" for "\" and trailing separators do not count): its tree may not be deleted then.
bool SubFolderHoldsKept(const char* sub, const char* kept);

// The desktop shortcut of an entry: the desktop folder joined with the [DesktopLinks] value, and
// ".lnk". False (none to delete) without a desktop folder, whose place the link would otherwise
// take in the root of the current drive, or when the path does not fit.
bool DesktopShortcutPath(const char* desktop, const char* name, WorkPath* link);

// The start-menu group: the programs folder joined with the application's name. False (no group
// to delete) when either is missing, the name names no folder, or the path does not fit.
bool ProgramGroupFolder(const char* programsDir, const char* appName, WorkPath* group);
