// Every message box and question of a run goes through here: it is shown and its answer logged;
// under /Q nothing is shown and the question is logged with the answer that loses nothing.
#pragma once

#include <windows.h>

// The style of every question whose Yes deletes something: Yes, No and Cancel, No the default.
constexpr UINT kDeleteQuestionStyle = MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

// A question or a report of something that went wrong; under /Q quietAnswer is taken, and the run
// counts as completed with problems: something failed, or was skipped for a failure.
int AskUser(HWND owner, const char* text, const char* caption, UINT style, int quietAnswer);
// A question before something is deleted that may be the user's; true only for Yes. Under /Q the
// answer is No, as documented, and keeping is no problem of the run.
bool AskToDelete(HWND owner, const char* text, const char* caption);
// A message that needs no answer (a success, the closing message); under /Q only logged.
void TellUser(HWND owner, const char* text, const char* caption, UINT style);
// The same with the program's own icon, brought to the foreground.
void TellUserWithIcon(HWND owner, const char* text, const char* caption);
