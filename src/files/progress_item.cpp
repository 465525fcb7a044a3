// The item line of the progress window.
#include "files/progress_item.h"

#include <windows.h>

#include "list/install_context.h"
#include "res/resource.h"
#include "support/win_support.h"

void ShowProgressItem(const char* text) {
    if (g_ctx.ProgressWindow != nullptr) SetDlgItemTextA(g_ctx.ProgressWindow, IDC_PROGRESS_ITEM, text);
    PumpPendingMessages();
}
