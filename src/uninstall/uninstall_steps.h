// The steps of the uninstall run, each in a file of its own, and what they share.
#pragma once

#include <windows.h>

// True when the path names the running uninstaller or the list copy beside it. Those two are
// left to the self-removal script, which needs both to find that it is in the right folder.
bool IsUninstallerOwnFile(const char* path);
// True when the running program lies in the program folder, so the self-removal script works
// on the installation and not on some other folder.
bool RunsFromProgramFolder();

// Each listed file where the install placed it, with its companions, desktop shortcut and file
// types; files in system folders only after a question.
void RemoveInstalledFiles();
// The files of each [WildCopy] pattern after a question, then the [WildSubFolder] folders whose
// files the user did not ask to keep.
void RemoveUserFiles(HWND owner);
