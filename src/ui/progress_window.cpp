// The progress window: a modeless dialog without buttons whose "Moment" line blinks.
#include "progress_window.h"

#include "../../res/resource.h"
#include "../app/install_context.h"
#include "../support/win_support.h"

namespace {

constexpr UINT_PTR ProgressTimerId = 123;
constexpr UINT kBlinkInterval = 100;

// Which text comes next; never reset, so a second window goes on where the first stopped.
bool MomentBlink = false;

void CALLBACK ProgressTimerProc(HWND dialog, UINT message, UINT_PTR, DWORD) {
    ProgressDialogProc(dialog, message, 0, 0);
}

void ShowNextBlinkText(HWND dialog) {
    SetWindowTextA(GetDlgItem(dialog, IDC_BLINK_TEXT), MomentBlink ? "··· Moment ···" : "+++ Moment +++");
    MomentBlink = !MomentBlink;
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(dialog, ProgressTimerId, kBlinkInterval, ProgressTimerProc);
        return TRUE;
    case WM_TIMER:
        ShowNextBlinkText(dialog);
        return TRUE;
    case WM_DESTROY:
        KillTimer(dialog, ProgressTimerId);
        return FALSE;
    default:
        return FALSE;
    }
}

HWND OpenProgressWindow(HWND owner, const char* title, const char* phase) {
    HWND window = OpenModelessDialog(g_ctx.ModuleInstance, "WORK", owner, ProgressDialogProc);
    g_ctx.ProgressWindow = window;
    if (window != nullptr) {
        SetWindowTextA(window, title);
        SetDlgItemTextA(window, IDC_PHASE_TEXT, phase);
    }
    PumpPendingMessages();
    return window;
}

void ShowProgressPhase(const char* text) {
    if (g_ctx.ProgressWindow != nullptr) SetDlgItemTextA(g_ctx.ProgressWindow, IDC_PHASE_TEXT, text);
    PumpPendingMessages();
}

void ShowProgressItem(const char* text) {
    if (g_ctx.ProgressWindow != nullptr) SetDlgItemTextA(g_ctx.ProgressWindow, IDC_ITEM_TEXT, text);
    PumpPendingMessages();
}

void CloseProgressWindow() {
    if (g_ctx.ProgressWindow != nullptr) DestroyWindow(g_ctx.ProgressWindow);
    g_ctx.ProgressWindow = nullptr;
}
