// Thin wrappers around message boxes, dialogs, window creation and the font-change broadcast.
#include "support/win_support.h"

int ShowIconMessage(HINSTANCE instance, HWND owner, const char* text, const char* caption, const char* iconName,
                    UINT style) {
    MSGBOXPARAMSA params = {};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = instance;
    params.lpszText = text;
    params.lpszCaption = caption;
    params.dwStyle = style | MB_SETFOREGROUND;
    params.lpszIcon = iconName;
    params.dwContextHelpId = 1;
    params.dwLanguageId = 0;
    return MessageBoxIndirectA(&params);
}

INT_PTR RunModalDialog(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc) {
    return DialogBoxParamA(instance, name, owner, proc, 0);
}

HWND OpenModelessDialog(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc) {
    return CreateDialogParamA(instance, name, owner, proc, 0);
}

HWND CreateAppWindow(const char* className, const char* caption, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    return CreateWindowExA(0, className, caption, style, x, y, width, height, parent, menu, instance, param);
}

void BroadcastFontChange() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
}
