// The run's log (/LOG=path): one line per action, appended in code page 1252 with CR LF, and
// each line written through at once, so that a killed run leaves its log up to its last action.
#pragma once

#include <windows.h>

// Opens the file for appending; false when it cannot be opened (the run goes on without a log).
bool OpenRunLog(const char* path);
bool RunLogIsOpen();
// The open log's full path; null without one (or when the path did not fit).
const char* RunLogPath();
// True when the path names the log file, however it is spelled: the uninstall never deletes it.
bool IsRunLog(const char* path);
// True when the log lies in the folder or below it.
bool RunLogLiesIn(const char* folder);
// "action: detail" or "action: detail -> other"; nothing without an open log.
void LogAction(const char* action, const char* detail, const char* other = nullptr);
// "Fehler: detail: <the system's text for the error>".
void LogFailure(const char* detail, DWORD error);
void CloseRunLog();
