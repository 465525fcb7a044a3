// The lines of the run's log, composed without Windows: tested natively.
#pragma once

#include "support/path_buffer.h"

using LogLineText = PathBuffer<kScratchWidth>;

// "action: detail" or "action: detail -> other" (other may be null; without a detail, the action
// alone). Line breaks inside the texts
// (a message box's text) become " / ", so that every entry stays one line.
void ComposeLogLine(const char* action, const char* detail, const char* other, LogLineText& out);

// The log's words for what a run does; one place, so that the log reads the same everywhere.
extern const char kLogStart[];
extern const char kLogMode[];
extern const char kLogList[];
extern const char kLogFolders[];
extern const char kLogFolderMade[];
extern const char kLogCopy[];
extern const char kLogKeptNewer[];
extern const char kLogKeptSame[];
extern const char kLogFailed[];
extern const char kLogSkipped[];
extern const char kLogShortcut[];
extern const char kLogFileType[];
extern const char kLogRegistry[];
extern const char kLogImport[];
extern const char kLogStarted[];
// RunOnce under /Q: a deployment tool's run has nobody to use the program, and would start it in
// the wrong session.
extern const char kLogNotStarted[];
// A file that was in use: the new one waits beside it and takes its place at the next restart.
extern const char kLogReplacedAtRestart[];
extern const char kLogDeleted[];
extern const char kLogKept[];
extern const char kLogKeptChanged[];  // a file changed since the installation put it there
extern const char kLogRemoved[];
extern const char kLogShown[];
extern const char kLogAnswered[];
extern const char kLogProblem[];  // a problem the author's check found
extern const char kLogPackageFile[];  // the author's check: a file the install takes, in its order
extern const char kLogEnd[];

// "Ende: Exitcode 2 nach 12,3 s".
void ComposeLogEnd(int exitCode, unsigned long long milliseconds, LogLineText& out);
