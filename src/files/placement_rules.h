// Where an installation puts things, computed once for the install and the uninstall: the folder
// of a listed file, its installed path, the start-menu group, a desktop shortcut and the
// uninstall entry's key. An uninstall that disagreed with its install would delete the wrong
// file or leave one behind. No Windows needed: tested natively.
#pragma once

#include "support/path_buffer.h"

// The folders an installation places files in.
struct InstallFolders {
    const char* WindowsDir = "";
    const char* SystemDir = "";
    const char* FontsDir = "";
    const char* TargetDir = "";
};

// The Windows, System, Fonts and program folders of the global state.
InstallFolders ContextFolders();

// The folder an entry's file is copied into, chosen by its [AltFolder] value (first character
// already upper-cased): W\... below the Windows folder, S\... below the System folder, F... the
// Fonts folder, \... below the program folder, anything else (the bare letters W and S included)
// the program folder.
WorkPath InstalledFolderFor(const char* altFolder, const InstallFolders& folders);
// True for an [AltFolder] value that names a sub-folder of the program folder ("\Daten"): the
// install creates it.
bool IsProgramSubFolder(const char* altFolder);

// The installed copy of a listed file: a file is copied under its name alone, so a value with a
// folder part ("Bin\Tool.exe") lies in the folder as Tool.exe.
WorkPath InstalledFilePath(const char* folder, const char* files);

// The folder a [WildCopy] group's files go into: the program folder, or its [WildSubFolder]
// when the entry names one. The install, the author's check and the uninstall all take it here.
// False when it does not fit.
bool WildGroupFolder(const char* programFolder, const char* wildSubFolder, WorkPath* folder);

// What the shortcuts of an entry point at: its folder joined with the whole listed value, as the
// install run made them. The uninstall removes a shortcut of the entry's name only when it still
// points there.
WorkPath ShortcutTargetFor(const char* folder, const char* files);

// True when the path lies in the Windows, System or Fonts folder (substring tests without regard
// to letter case; an empty folder never matches).
bool IsSystemFolderPath(const char* path, const InstallFolders& folders);
bool IsFontsFolderPath(const char* path, const char* fontsDir);

// The start-menu group: the programs folder joined with the application's name. False (no group)
// when either is missing, the name names no folder, or the path does not fit.
bool ProgramGroupFolder(const char* programsDir, const char* appName, WorkPath* group);

// The name of the uninstall shortcut in the group, without ".lnk".
extern const char kUninstallLinkName[];

// A shortcut file: the folder (the group, the desktop) joined with the shortcut's name ([Links],
// [DesktopLinks], the uninstall shortcut's), and ".lnk". False (none) without a folder, whose
// place the link would otherwise take in the root of the current drive, or when the path does not
// fit.
bool ShortcutPath(const char* folder, const char* name, WorkPath* link);

// The uninstall entry's key below HKEY_LOCAL_MACHINE, in the machine's list of installed software.
extern const char kUninstallKeyBase[];
PathBuffer<256> UninstallKeyFor(const char* appName);
// The uninstall entry's command lines: the quoted path of Uninst.exe followed by " /U", or by
// " /U /Q" for the quiet one, the unattended uninstall that loses nothing.
WorkPath UninstallCommand(const char* uninstallerPath, bool quiet);
// The entry's REG_DWORD value that says whether the installation made the program folder (1) or
// found it there (0). Only a folder the installation made may be emptied and removed again.
extern const char kCreatedProgramFolderValue[];
