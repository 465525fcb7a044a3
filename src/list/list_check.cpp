// The check of the list values before a run may write or delete anything.
#include "list/list_check.h"

#include "list/install_context.h"
#include "list/list_rules.h"

bool RefuseBadList(HWND owner, bool uninstalling) {
    ListProblem problem;
    if (CheckListValues(g_ctx, &problem)) return false;
    ComposeListProblemText(problem, uninstalling, g_ctx.ScratchText);
    MessageBoxA(owner, g_ctx.ScratchText.CStr(), uninstalling ? kUninstallRefusedCaption : kInstallRefusedCaption,
                MB_ICONHAND);
    return true;
}
