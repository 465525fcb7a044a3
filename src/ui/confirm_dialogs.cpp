// The intro and confirmation dialogs shown before an installation. Each ends with 1 to go on
// and 2 to stop.
#include "ui/dialogs.h"

#include "res/resource.h"
#include "list/install_context.h"
#include "ui/dialog_common.h"
#include "ui/dialog_texts.h"

namespace {

constexpr COLORREF kIntroTextColour = RGB(128, 0, 0);
constexpr COLORREF kMainTextColour = RGB(0, 0, 64);

INT_PTR OnIntroInit(HWND dialog) {
    ComposeIntroCaption(g_ctx.AppName.CStr(), g_ctx.ScratchText);
    SetWindowTextA(dialog, g_ctx.ScratchText.CStr());
    ComposeIntroText(g_ctx.Intro1.CStr(), g_ctx.Intro2.CStr(), g_ctx.Intro3.CStr(), g_ctx.ScratchText);
    SetDlgItemTextA(dialog, IDC_MAIN_TEXT, g_ctx.ScratchText.CStr());
    return TRUE;
}

INT_PTR OnMainInit(HWND dialog) {
    SetWindowTextA(dialog, g_ctx.AppName.CStr());
    UINT tabStops[1] = {kMainTabStop};
    SendDlgItemMessageA(dialog, IDC_MAIN_TEXT, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(tabStops));
    ComposeMainText(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr(), g_ctx.ScratchText);
    SetDlgItemTextA(dialog, IDC_MAIN_TEXT, g_ctx.ScratchText.CStr());
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK IntroDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnIntroInit(dialog);
    case WM_CTLCOLORSTATIC:
        return ColourMainText(dialog, wParam, lParam, kIntroTextColour);
    case WM_COMMAND:
        return EndOnOkOrCancel(dialog, LOWORD(wParam));
    default:
        return 0;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnMainInit(dialog);
    case WM_CTLCOLORSTATIC:
        return ColourMainText(dialog, wParam, lParam, kMainTextColour);
    case WM_COMMAND:
        return EndOnOkOrCancel(dialog, LOWORD(wParam));
    default:
        return 0;
    }
}
