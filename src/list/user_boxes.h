// Every message box and question of a run goes through here: it is shown and its answer logged;
// under /Q nothing is shown, the question is logged with the answer that loses nothing, and the
// run counts as completed with problems.
#pragma once

#include <windows.h>

// A question or a report of something that went wrong; under /Q quietAnswer is taken.
int AskUser(HWND owner, const char* text, const char* caption, UINT style, int quietAnswer);
// A message that needs no answer (a success, the closing message); under /Q only logged.
void TellUser(HWND owner, const char* text, const char* caption, UINT style);
// The same with the program's own icon, brought to the foreground.
void TellUserWithIcon(HWND owner, const char* text, const char* caption);
