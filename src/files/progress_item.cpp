// The item line of the progress window.
#include "files/progress_item.h"

#include <windows.h>

#include "list/install_context.h"
#include "res/resource.h"
#include "support/win_support.h"

namespace {

// Setting the line and pumping are round trips to the window system; done for every file of a
// group of thousands of small files, they took longer than the files' own copies. A line that
// changes faster than this cannot be read, and pending messages are still taken often enough
// for the window to follow the mouse and to be closed.
constexpr DWORD kItemInterval = 50;

DWORD g_lastItemTick = 0;
bool g_itemShown = false;

}  // namespace

void ShowProgressItemNow(const char* text) {
    g_lastItemTick = GetTickCount();
    g_itemShown = true;
    if (g_ctx.ProgressWindow != nullptr) SetDlgItemTextA(g_ctx.ProgressWindow, IDC_PROGRESS_ITEM, text);
    PumpPendingMessages();
}

void ShowProgressItem(const char* text) {
    if (g_itemShown && GetTickCount() - g_lastItemTick < kItemInterval) return;
    ShowProgressItemNow(text);
}
