// The check of the list values before a run may write or delete anything.
#include "files/list_check.h"

#include "ui/user_boxes.h"
#include "list/install_context.h"
#include "list/list_rules.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

// Windows starts every shortcut in a startup folder at logon, the uninstall shortcut too. Only an
// installation that makes a group is concerned; the folder is compared as Windows knows it.
bool GroupIsStartupFolder() {
    if (g_ctx.CopyOnlyMode || g_ctx.ProgramsDir.IsEmpty() || !IsListValueSet(g_ctx.AppName)) return false;
    WorkPath group = JoinPath(g_ctx.ProgramsDir.CStr(), g_ctx.AppName.CStr());
    return group.Fits() && IsStartupFolder(group.CStr());
}

bool RefuseBadList(HWND owner, bool uninstalling) {
    ListProblem problem;
    bool usable = CheckListValues(g_ctx, &problem);
    // An uninstall still removes such an installation's shortcuts; only the group folder stays.
    if (usable && !uninstalling && GroupIsStartupFolder()) {
        problem = StartupGroupProblem(g_ctx.AppName.CStr());
        usable = false;
    }
    if (usable) return false;
    ComposeListProblemText(problem, uninstalling, g_ctx.ScratchText);
    AskUser(owner, g_ctx.ScratchText.CStr(), uninstalling ? kUninstallRefusedCaption : kInstallRefusedCaption,
            MB_ICONHAND, IDOK);
    return true;
}
