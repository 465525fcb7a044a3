// Identifiers of the program's resources and dialog controls.
#pragma once

// Controls the program addresses: 101 is always a dialog's main text.
#define IDC_MAIN_TEXT 101
#define IDC_ITEM_TEXT 102
#define IDC_BLINK_TEXT 103
#define IDC_COPY 102
#define IDC_TALMER 103
#define IDC_PHASE_TEXT 101
#define IDC_STATIC_ICON -1
