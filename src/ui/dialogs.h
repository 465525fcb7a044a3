// Procedures of the modal dialogs: intro, confirmation and syntax help.
#pragma once

#include <windows.h>

INT_PTR CALLBACK IntroDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SyntaxDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
