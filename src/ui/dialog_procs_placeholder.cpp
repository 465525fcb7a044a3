// PLACEHOLDER until the dialogs land: keeps Setup.exe linkable.
#include "dialogs.h"

INT_PTR CALLBACK IntroDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK MainDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK SyntaxDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
