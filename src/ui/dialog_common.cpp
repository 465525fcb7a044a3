// What the intro, confirmation and syntax help dialogs share.
#include "ui/dialog_common.h"

#include "res/resource.h"

INT_PTR ColourMainText(HWND dialog, WPARAM dc, LPARAM control, COLORREF textColour) {
    if (reinterpret_cast<HWND>(control) != GetDlgItem(dialog, IDC_MAIN_TEXT)) return 0;
    HDC context = reinterpret_cast<HDC>(dc);
    SetTextColor(context, textColour);
    SetBkColor(context, RGB(255, 255, 255));
    // The one message whose answer is the brush itself rather than a message result.
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

INT_PTR EndOnOkOrCancel(HWND dialog, WORD command) {
    if (command != IDOK && command != IDCANCEL) return 0;
    EndDialog(dialog, command);
    return 1;
}
