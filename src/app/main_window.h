// The full-screen background window and the commands it runs.
#pragma once

#include <windows.h>

constexpr WORD kCmdInstall = 101;
constexpr WORD kCmdUninstall = 102;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
