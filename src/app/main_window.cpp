// The background window's procedure: decides the command at creation and runs it to its end.
#include "app/main_window.h"

#include "app/background_paint.h"
#include "app/commands.h"
#include "app/exit_codes.h"
#include "support/win_support.h"

namespace {

// Every way a command ends comes here: the only quit request of the program.
void EndCommand(RunResult result) {
    PostQuitMessage(ExitCodeFor(result, g_ctx));
}

LRESULT OnCreate(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    PumpPendingMessages();
    PostMessageA(window, WM_COMMAND, g_switches.Uninstall ? kCmdUninstall : kCmdInstall, 0);
    return 0;
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case kCmdInstall:
        EndCommand(RunInstallCommand(window));
        break;
    case kCmdUninstall:
        EndCommand(RunUninstallCommand(window));
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnDestroy(HWND window) {
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    // Every command ends by posting its own quit request before the window could go, so a
    // destroyed window means the user closed it while a command was still running: report
    // that the command did not complete.
    EndCommand(RunResult::Failed);
    return 0;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_PAINT:
        PaintBackground(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(window);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
