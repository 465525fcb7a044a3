// The modeless progress window that the install and uninstall runs write into.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the window (stored in the context's ProgressWindow) with its title and phase line.
HWND OpenProgressWindow(HWND owner, const char* title, const char* phase);
// Set the phase line (control 101) or the item line (control 102) and pump, so the change shows.
// Without a progress window they only pump.
void ShowProgressPhase(const char* text);
void ShowProgressItem(const char* text);
// Destroys the window (which stops its timer) and clears ProgressWindow.
void CloseProgressWindow();
