// The steps of the uninstall run, each in a file of its own, and what they share.
#pragma once

#include <windows.h>

// True when the path names the running uninstaller, the list copy beside it or the installation's
// record. They are left to the self-removal script, which needs the first two to find that it is
// in the right folder.
bool IsUninstallerOwnFile(const char* path);
// True when the running program lies in the program folder, so the self-removal script works
// on the installation and not on some other folder.
bool RunsFromProgramFolder();

// For an installation made by an earlier release, which has no record, the list tells what it
// installed: each listed file where the install placed it, with its companions, desktop shortcut
// and file types; files in system folders only after a question.
void RemoveInstalledFiles();
// The files of each [WildCopy] pattern after a question, then the [WildSubFolder] folders whose
// files the user did not ask to keep; with treesNeedConsent only those the user agreed to (or
// /UQ). Files the record names were decided on already and stay out of it. Unattended, every
// file stays, each logged, and so does every folder.
void RemoveUserFiles(HWND owner, bool treesNeedConsent);

// Asks (unless quiet or unattended) before a file in the Windows, System or Fonts folder goes.
bool MayDeleteSystemFile(const char* path);
// Deletes an installed file, unloading it first when it is a font (fontName: the name the font
// table may know it by); a failure is logged and reported in a box. True when it is gone.
bool DeleteInstalledFile(const char* path, const char* fontName);

// Reads the record of the installation in the program folder; false when it has none (made by an
// earlier release).
bool LoadInstallationRecord();
// True when the record names the file.
bool IsRecordedFile(const char* path);
// True when a file the record names stayed in the folder or below it.
bool KeepsRecordedFileIn(const char* folder);
// Every file, shortcut and file-type registration the record names, each only while it is as the
// install left it.
void RemoveRecordedItems();
// The folders the record names, inner ones first, each only when it is empty; then the record is
// let go.
void RemoveRecordedFolders();
