// The progress window: a modeless dialog without buttons whose "Moment" line blinks.
#include "ui/progress_window.h"

#include "list/install_context.h"
#include "res/resource.h"
#include "support/win_support.h"

namespace {

constexpr UINT_PTR kProgressTimerId = 123;
constexpr UINT kBlinkInterval = 100;

// Which text comes next; never reset, so a second window goes on where the first stopped.
bool g_momentBlink = false;

// Setting the item line and pumping are round trips to the window system; done for every file of
// a group of thousands of small files, they took longer than the files' own copies. A line that
// changes faster than this cannot be read, and pending messages are still taken often enough
// for the window to follow the mouse and to be closed.
constexpr DWORD kItemInterval = 50;

DWORD g_lastItemTick = 0;
bool g_itemShown = false;

void CALLBACK ProgressTimerProc(HWND dialog, UINT message, UINT_PTR, DWORD) {
    ProgressDialogProc(dialog, message, 0, 0);
}

void ShowNextBlinkText(HWND dialog) {
    SetWindowTextA(GetDlgItem(dialog, IDC_PROGRESS_BLINK), g_momentBlink ? "··· Moment ···" : "+++ Moment +++");
    g_momentBlink = !g_momentBlink;
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(dialog, kProgressTimerId, kBlinkInterval, ProgressTimerProc);
        return TRUE;
    case WM_TIMER:
        ShowNextBlinkText(dialog);
        return TRUE;
    case WM_DESTROY:
        KillTimer(dialog, kProgressTimerId);
        return FALSE;
    default:
        return FALSE;
    }
}

HWND OpenProgressWindow(HWND owner, const char* title, const char* phase) {
    // Unattended, nobody watches: no window at all.
    HWND window = g_ctx.Unattended ? nullptr
                                   : OpenModelessDialog(g_ctx.ModuleInstance, IDD_PROGRESS, owner, ProgressDialogProc);
    g_ctx.ProgressWindow = window;
    if (window != nullptr) {
        SetWindowTextA(window, title);
        SetDlgItemTextA(window, IDC_PROGRESS_PHASE, phase);
    }
    PumpPendingMessages();
    return window;
}

void ShowProgressPhase(const char* text) {
    if (g_ctx.ProgressWindow != nullptr) SetDlgItemTextA(g_ctx.ProgressWindow, IDC_PROGRESS_PHASE, text);
    PumpPendingMessages();
}

void CloseProgressWindow() {
    if (g_ctx.ProgressWindow != nullptr) DestroyWindow(g_ctx.ProgressWindow);
    g_ctx.ProgressWindow = nullptr;
}

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
