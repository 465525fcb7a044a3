// What the intro, confirmation and syntax help dialogs share: the colours of their main text
// (control 101) and the end of the dialog by OK or Cancel.
#pragma once

#include <windows.h>

// Answers WM_CTLCOLORSTATIC: control 101 gets the text colour on white and the stock white
// brush; any other control gets 0, the system's colours.
INT_PTR ColourMainText(HWND dialog, WPARAM dc, LPARAM control, COLORREF textColour);

// Ends the dialog with the identifier when it is IDOK or IDCANCEL (the buttons, Enter, Escape
// and the close box). Returns 1 when it did, 0 for any other command.
INT_PTR EndOnOkOrCancel(HWND dialog, WORD command);
