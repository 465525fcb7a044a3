// Names of the program's resources and identifiers of the dialog controls it addresses, grouped
// by dialog. Control 101 is always a dialog's main text.
#pragma once

// The program's icon, shown by the window class, the dialogs and the success message.
#define IDI_SETUP "I"

// The dialogs are named resources: the names are part of the program's resource layout.
#define IDD_INTRO "INTRO"
#define IDD_MAIN "MAIN"
#define IDD_SYNTAX "SYNTAX"
#define IDD_PROGRESS "WORK"

// Every control the program does not address.
#define IDC_STATIC_ICON -1

// INTRO, MAIN and SYNTAX: the main text, a read-only multi-line edit control.
#define IDC_MAIN_TEXT 101

// SYNTAX: the buttons beside OK.
#define IDC_SYNTAX_COPY 102
#define IDC_SYNTAX_LIST_EDITOR 103

// WORK: the phase line, the item line (the file being worked on) and the blinking "Moment".
#define IDC_PROGRESS_PHASE 101
#define IDC_PROGRESS_ITEM 102
#define IDC_PROGRESS_BLINK 103
