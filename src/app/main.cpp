// Process entry and main program: guard, state, background window, message loop.
#include <windows.h>

#include "app/app_texts.h"
#include "app/dll_search.h"
#include "app/exit_codes.h"
#include "app/main_window.h"
#include "app/self_removal.h"
#include "list/install_context.h"
#include "list/list_loading.h"
#include "res/resource.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

constexpr COLORREF kBackgroundColour = RGB(0, 0, 128);

HBRUSH g_backgroundBrush = nullptr;

bool DetectNT() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// A second copy brings the first one's open dialog or box to the front and ends.
bool AnotherCopyRuns() {
    HWND other = FindWindowA(kMainWindowClass, nullptr);
    if (other == nullptr) return false;
    MessageBeep(MB_OK);
    HWND popup = GetLastActivePopup(other);
    SetForegroundWindow(popup);
    if (IsIconic(popup)) ShowWindow(popup, SW_RESTORE);
    return true;
}

bool RegisterMainClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = g_ctx.ModuleInstance;
    windowClass.hIcon = LoadIconA(g_ctx.ModuleInstance, IDI_SETUP);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = g_backgroundBrush;
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunMainProgram() {
    if (AnotherCopyRuns()) return kExitDone;
    LoadInstallContext();
    g_backgroundBrush = CreateSolidBrush(kBackgroundColour);
    if (!RegisterMainClass()) return kExitClassFailed;
    HWND window = CreateAppWindow(kMainWindowClass, kMainWindowCaption,
                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  g_ctx.ModuleInstance, nullptr);
    // Without a window no command is posted, and the loop would wait for ever.
    if (window == nullptr) return kExitWindowFailed;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    int exitCode = RunMessageLoop();
    DeleteObject(g_backgroundBrush);
    // The uninstall wrote its script before its closing message; only its start waits until now,
    // so that the uninstaller has as little left to do as possible when the script deletes it.
    if (!g_ctx.SelfRemovalScript.IsEmpty() && !StartSelfRemovalScript()) exitCode = kExitFailed;
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    g_ctx.ModuleInstance = instance;
    g_ctx.CommandLine = GetCommandLineA();
    g_ctx.IsNT = DetectNT();
    EnterFolder(PathFolderPart(ModulePath().CStr()).CStr());
    return RunMainProgram();
}
