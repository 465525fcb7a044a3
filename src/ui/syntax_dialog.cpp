// The syntax help shown when there is no usable Setup.lst: the example list, a button that
// hands it to a text editor and one that starts the list editor when it lies beside the program.
#include "ui/dialogs.h"

#include "res/resource.h"
#include "list/install_context.h"
#include "support/win_support.h"
#include "ui/dialog_common.h"
#include "ui/dialog_texts.h"

namespace {

constexpr COLORREF kSyntaxTextColour = RGB(0, 0, 128);
// Time the started editor gets to open its window and take the focus before the paste.
constexpr DWORD kEditorStartPause = 2000;

bool Started(const char* program) {
    return WinExec(program, SW_SHOWNORMAL) > 32;
}

bool StartFirstEditor() {
    for (const char* editor : kEditorChain)
        if (Started(editor)) return true;
    return false;
}

// The paste goes to whatever window has the focus then, normally the editor just started.
void SendPasteKeystroke() {
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event('V', 0, 0, 0);
    keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

INT_PTR OnInit(HWND dialog) {
    SetWindowTextA(dialog, kSyntaxCaption);
    ComposeSyntaxHelpText(g_ctx.ScratchText);
    SetDlgItemTextA(dialog, IDC_MAIN_TEXT, g_ctx.ScratchText.CStr());
    if (!FileExists(kListEditor)) EnableWindow(GetDlgItem(dialog, IDC_SYNTAX_LIST_EDITOR), FALSE);
    return TRUE;
}

// Without any editor the dialog stays open; the text is on the clipboard all the same.
INT_PTR OnCopy(HWND dialog) {
    HWND text = GetDlgItem(dialog, IDC_MAIN_TEXT);
    SendMessageA(text, EM_SETSEL, 0, -1);
    SendMessageA(text, WM_COPY, 0, 0);
    SendMessageA(text, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    if (!StartFirstEditor()) return 0;
    Sleep(kEditorStartPause);
    SendPasteKeystroke();
    EndDialog(dialog, IDC_SYNTAX_COPY);
    return 1;
}

INT_PTR OnListEditor(HWND dialog) {
    WinExec(kListEditor, SW_SHOWNORMAL);
    EndDialog(dialog, IDC_SYNTAX_LIST_EDITOR);
    return 1;
}

INT_PTR OnCommand(HWND dialog, WORD command) {
    switch (command) {
    case IDC_SYNTAX_COPY:
        return OnCopy(dialog);
    case IDC_SYNTAX_LIST_EDITOR:
        return OnListEditor(dialog);
    default:
        return EndOnOkOrCancel(dialog, command);
    }
}

}  // namespace

INT_PTR CALLBACK SyntaxDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInit(dialog);
    case WM_CTLCOLORSTATIC:
        return ColourMainText(dialog, wParam, lParam, kSyntaxTextColour);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return 0;
    }
}
