// The commands the program runs, one per process.
#include "app/commands.h"

#include "app/app_texts.h"
#include "app/self_removal.h"
#include "install/install_run.h"
#include "files/list_check.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
#include "res/resource.h"
#include "support/win_support.h"
#include "ui/dialog_texts.h"
#include "ui/dialogs.h"
#include "uninstall/uninstall_run.h"

Switches g_switches;

namespace {

void RepaintNow(HWND window) {
    if (window == nullptr) return;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    PumpPendingMessages();
}

bool CannotInstall() {
    return g_switches.SyntaxHelp || !IsListValueSet(g_ctx.AppName) || !g_ctx.HasList;
}

RunResult ShowSyntaxHelp(HWND window) {
    // Nobody is there to read the help: the log says why nothing was installed.
    if (g_ctx.Unattended) {
        LogAction(kLogFailed, kSyntaxCaption);
        return RunResult::Refused;
    }
    // the background then shows the program's own name and contact line
    g_ctx.AppName.Assign(AboutTextLine(1, FieldText::kMaxLength));
    g_ctx.Copyright.Clear();
    g_ctx.Version.Assign(AboutTextLine(7, 28));
    RepaintNow(window);
    RunModalDialog(g_ctx.ModuleInstance, IDD_SYNTAX, window, SyntaxDialogProc);
    return RunResult::Done;
}

// The intro and confirmation dialogs; under /Q neither is shown.
bool UserConfirms(HWND window) {
    if (g_ctx.Unattended) return true;
    if (g_ctx.Intro1.Length() > 0 && RunModalDialog(g_ctx.ModuleInstance, IDD_INTRO, window, IntroDialogProc) != 1)
        return false;
    return g_ctx.SilentInstall || RunModalDialog(g_ctx.ModuleInstance, IDD_MAIN, window, MainDialogProc) == 1;
}

}  // namespace

RunResult RunInstallCommand(HWND window) {
    if (CannotInstall()) return ShowSyntaxHelp(window);
    RepaintNow(window);
    if (!UserConfirms(window)) return RunResult::Declined;
    return RunInstall(window);
}

RunResult RunUninstallCommand(HWND window) {
    if (window != nullptr) InvalidateRect(window, nullptr, TRUE);
    if (!g_ctx.HasList) {
        AskUser(window, kMissingListText, kMissingListCaption, MB_ICONHAND, IDOK);
        return RunResult::Refused;
    }
    // A list that would lead the uninstall out of the installation is refused before the
    // user is asked anything.
    if (RefuseBadList(window, true)) return RunResult::Refused;
    if (!g_ctx.QuietUninstall) {
        ComposeUninstallQuestion(g_ctx.AppName.CStr(), g_ctx.ScratchText);
        if (AskUser(window, g_ctx.ScratchText.CStr(), kUninstallQuestionCaption, kDeleteQuestionStyle, IDYES) != IDYES)
            return RunResult::Declined;
    }
    RunResult result = RunUninstall(window);
    if (result != RunResult::Done) return result;
    // The script is written before the closing message, so that the message (and the exit code)
    // can tell whether the uninstaller will be able to remove itself.
    return FinishUninstall(window, PrepareSelfRemovalScript());
}
