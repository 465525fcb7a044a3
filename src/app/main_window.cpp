// The background window's procedure: decides the command at creation and runs it to its end.
#include "main_window.h"

#include "../install/install_run.h"
#include "../support/text_helpers.h"
#include "../support/win_support.h"
#include "../ui/dialogs.h"
#include "../uninstall/uninstall_run.h"
#include "app_texts.h"
#include "background_paint.h"
#include "install_context.h"

namespace {

void EnterProgramFolder() {
    EnterFolder(PathFolderPart(ModulePath().CStr()).CStr());
}

LRESULT OnCreate(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    EnterProgramFolder();
    PumpPendingMessages();
    g_ctx.SilentInstall = CommandLineWantsSilentInstall(g_ctx.CommandLine);
    g_ctx.QuietUninstall = CommandLineWantsQuietUninstall(g_ctx.CommandLine);
    WORD command = CommandLineSelectsUninstall(g_ctx.CommandLine) ? CmdUninstall : CmdInstall;
    PostMessageA(window, WM_COMMAND, command, 0);
    return 0;
}

void RepaintNow(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    PumpPendingMessages();
}

bool CannotInstall() {
    return CommandLineWantsSyntaxHelp(g_ctx.CommandLine) || g_ctx.AppName.IsEmpty() || !FileExists("Setup.lst");
}

void ShowSyntaxHelp(HWND window) {
    // the background then shows the program's own name and contact line
    g_ctx.AppName.Assign(AboutTextLine(1, FieldText::kMaxLength));
    g_ctx.Copyright.Clear();
    g_ctx.Version.Assign(AboutTextLine(7, 28));
    RepaintNow(window);
    RunModalDialog(g_ctx.ModuleInstance, "SYNTAX", window, SyntaxDialogProc);
    PostQuitMessage(0);
}

void OnInstallCommand(HWND window) {
    if (CannotInstall()) {
        ShowSyntaxHelp(window);
        return;
    }
    RepaintNow(window);
    INT_PTR result = 1;
    if (g_ctx.Intro1.Length() > 0) result = RunModalDialog(g_ctx.ModuleInstance, "Intro", window, IntroDialogProc);
    if (result == 1 && !g_ctx.SilentInstall)
        result = RunModalDialog(g_ctx.ModuleInstance, "Main", window, MainDialogProc);
    int exitCode = 0;
    if (result == 1) exitCode = RunInstall(window);
    PostQuitMessage(exitCode);
}

// Returns true when the message is answered with 0 (the missing-list error), false when it
// goes on to the default procedure.
bool OnUninstallCommand(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    if (!FileExists("SETUP.LST")) {
        MessageBoxA(window, kMissingListText, kMissingListCaption, MB_ICONHAND);
        PostQuitMessage(1);
        return true;
    }
    // A list that would lead the uninstall out of the installation is refused before the
    // user is asked anything.
    if (UninstallListRefused(window)) {
        PostQuitMessage(1);
        return true;
    }
    int exitCode = 0;
    bool consent = g_ctx.QuietUninstall;
    if (!consent) {
        ComposeUninstallQuestion(g_ctx.AppName.CStr(), g_ctx.ScratchText);
        consent = MessageBoxA(window, g_ctx.ScratchText.CStr(), kUninstallQuestionCaption,
                              MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
    }
    if (consent) exitCode = RunUninstall(window);
    PostQuitMessage(exitCode);
    return false;
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case CmdInstall:
        OnInstallCommand(window);
        break;
    case CmdUninstall:
        if (OnUninstallCommand(window)) return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnDestroy(HWND window) {
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    // Every command ends by posting its own quit request before the window could go, so a
    // destroyed window means the user closed it while a command was still running: report
    // that the command did not complete.
    PostQuitMessage(1);
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
