// The background window's procedure: decides the command at creation and runs it to its end.
#include "app/main_window.h"

#include "app/app_texts.h"
#include "app/background_paint.h"
#include "app/exit_codes.h"
#include "app/self_removal.h"
#include "install/install_run.h"
#include "list/install_context.h"
#include "list/list_check.h"
#include "res/resource.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "ui/dialog_texts.h"
#include "ui/dialogs.h"
#include "uninstall/uninstall_run.h"

namespace {

// Every way a command ends comes here: the only quit request of the program.
void EndCommand(RunResult result) {
    PostQuitMessage(ExitCodeFor(result));
}

void EnterOwnFolder() {
    EnterFolder(PathFolderPart(ModulePath().CStr()).CStr());
}

LRESULT OnCreate(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    EnterOwnFolder();
    PumpPendingMessages();
    g_ctx.SilentInstall = CommandLineWantsSilentInstall(g_ctx.CommandLine);
    g_ctx.QuietUninstall = CommandLineWantsQuietUninstall(g_ctx.CommandLine);
    WORD command = CommandLineSelectsUninstall(g_ctx.CommandLine) ? kCmdUninstall : kCmdInstall;
    PostMessageA(window, WM_COMMAND, command, 0);
    return 0;
}

void RepaintNow(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    PumpPendingMessages();
}

bool CannotInstall() {
    return CommandLineWantsSyntaxHelp(g_ctx.CommandLine) || !IsListValueSet(g_ctx.AppName) ||
           !FileExists(g_ctx.ListPath.CStr());
}

RunResult ShowSyntaxHelp(HWND window) {
    // the background then shows the program's own name and contact line
    g_ctx.AppName.Assign(AboutTextLine(1, FieldText::kMaxLength));
    g_ctx.Copyright.Clear();
    g_ctx.Version.Assign(AboutTextLine(7, 28));
    RepaintNow(window);
    RunModalDialog(g_ctx.ModuleInstance, IDD_SYNTAX, window, SyntaxDialogProc);
    return RunResult::Done;
}

RunResult RunInstallCommand(HWND window) {
    if (CannotInstall()) return ShowSyntaxHelp(window);
    RepaintNow(window);
    if (g_ctx.Intro1.Length() > 0 && RunModalDialog(g_ctx.ModuleInstance, IDD_INTRO, window, IntroDialogProc) != 1)
        return RunResult::Declined;
    if (!g_ctx.SilentInstall && RunModalDialog(g_ctx.ModuleInstance, IDD_MAIN, window, MainDialogProc) != 1)
        return RunResult::Declined;
    return RunInstall(window);
}

RunResult RunUninstallCommand(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    if (!FileExists(g_ctx.ListPath.CStr())) {
        MessageBoxA(window, kMissingListText, kMissingListCaption, MB_ICONHAND);
        return RunResult::Refused;
    }
    // A list that would lead the uninstall out of the installation is refused before the
    // user is asked anything.
    if (RefuseBadList(window, true)) return RunResult::Refused;
    if (!g_ctx.QuietUninstall) {
        ComposeUninstallQuestion(g_ctx.AppName.CStr(), g_ctx.ScratchText);
        if (MessageBoxA(window, g_ctx.ScratchText.CStr(), kUninstallQuestionCaption,
                        MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            return RunResult::Declined;
    }
    RunResult result = RunUninstall(window);
    if (result != RunResult::Done) return result;
    // The script is written before the closing message, so that the message (and the exit code)
    // can tell whether the uninstaller will be able to remove itself.
    return FinishUninstall(window, PrepareSelfRemovalScript());
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
