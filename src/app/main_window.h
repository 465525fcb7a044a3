// The full-screen background window and the commands it runs.
#pragma once

#include <windows.h>

constexpr WORD CmdInstall = 101;
constexpr WORD CmdUninstall = 102;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
