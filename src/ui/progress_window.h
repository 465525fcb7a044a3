// The modeless progress window that the install and uninstall runs write into. Its item line is
// written by the file operations (files/progress_item.h).
#pragma once

#include <windows.h>

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the window (stored in the context's ProgressWindow) with its title and phase line.
HWND OpenProgressWindow(HWND owner, const char* title, const char* phase);
// Sets the phase line (control 101) and pumps, so the change shows. Without a progress window it
// only pumps.
void ShowProgressPhase(const char* text);
// Destroys the window (which stops its timer) and clears ProgressWindow.
void CloseProgressWindow();
