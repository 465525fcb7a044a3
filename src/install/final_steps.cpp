// The install's last steps: the list's registry file imported, and its program started.
#include "install/final_steps.h"

#include <shellapi.h>

#include "install/install_texts.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "ui/user_boxes.h"

namespace {

// The program folder with a trailing backslash becomes the current folder, as the registry
// file and the program to start expect; returns that folder.
WorkPath EnterTargetFolder() {
    WorkPath folder(g_ctx.TargetDir.CStr());
    folder.AppendChar('\\');
    EnterFolder(folder.CStr());
    // The pause the installers this program's lists were written for made here: the program
    // started next may open the files the install closed a moment ago.
    Sleep(100);
    return folder;
}

}  // namespace

void ImportRegistryFile(HWND owner) {
    if (!IsListValueSet(g_ctx.RegFile)) return;
    WorkPath path = EnterTargetFolder();
    path.Append(g_ctx.RegFile);
    // The registry editor reports nothing for a file it cannot find, in silent mode: a missing
    // file would pass for an import.
    bool composed = path.Fits() && FileExists(path.CStr()) &&
                    ComposeRegistryImportCommand(g_ctx.WindowsDir.CStr(), path.CStr(), g_ctx.IsNT, g_ctx.ScratchText);
    if (composed && WinExec(g_ctx.ScratchText.CStr(), SW_SHOWNORMAL) >= 32) {
        LogAction(kLogImport, path.CStr());
        return;
    }
    ComposeRegistryImportError(path.CStr(), g_ctx.ScratchText);
    AskUser(owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_ICONHAND, IDOK);
}

void StartRunOnce(HWND owner) {
    if (!IsListValueSet(g_ctx.RunOnce)) return;
    // An unattended run is a deployment tool's, often as SYSTEM: the program would start where no
    // user sees it, and keep the tool waiting for it. Skipping it is no problem of the run.
    if (g_ctx.Unattended) {
        LogAction(kLogNotStarted, g_ctx.RunOnce.CStr());
        return;
    }
    WorkPath folder = EnterTargetFolder();
    WorkPath path(folder.CStr());
    path.Append(g_ctx.RunOnce);
    bool wholeValueIsFile = path.Fits() && FileExists(path.CStr());
    if (path.Fits() && ComposeRunOnceCommand(g_ctx.TargetDir.CStr(), g_ctx.RunOnce.CStr(), wholeValueIsFile,
                                             g_ctx.ScratchText)) {
        if (WinExec(g_ctx.ScratchText.CStr(), SW_SHOWNORMAL) >= 32) {
            LogAction(kLogStarted, g_ctx.ScratchText.CStr());
            return;
        }
        // not a program: a document, opened with the program its type is associated with
        if (reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.CStr(), nullptr, nullptr, SW_SHOWNORMAL)) > 32) {
            LogAction(kLogStarted, path.CStr());
            return;
        }
    }
    ComposeStartError(path.CStr(), g_ctx.ScratchText);
    AskUser(owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_ICONHAND, IDOK);
}
