// The modeless progress window that the install and uninstall runs write into: its phase line,
// and its item line, which the file operations write.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the window (stored in the context's ProgressWindow) with its title and phase line.
HWND OpenProgressWindow(HWND owner, const char* title, const char* phase);
// Sets the phase line (control 101) and pumps, so the change shows. Without a progress window it
// only pumps.
void ShowProgressPhase(const char* text);
// Sets the item line (control 102) and pumps, so the change shows; without a progress window it
// only pumps. For one file of many: at most every 50 ms, so that the line shows the file being
// worked on when it is due and the rest cost nothing.
void ShowProgressItem(const char* text);
// The same at once: an item that stands for a step of its own, or a file whose work takes
// longer than the update.
void ShowProgressItemNow(const char* text);
// Destroys the window (which stops its timer) and clears ProgressWindow.
void CloseProgressWindow();
