// The program's own fixed texts and the texts the main window composes. No Windows needed, so
// every byte of them is checked natively.
#pragma once

#include "support/path_buffer.h"

extern const char kMainWindowClass[];
extern const char kMainWindowCaption[];

extern const char kMissingListText[];
extern const char kMissingListCaption[];
extern const char kUninstallQuestionCaption[];
void ComposeUninstallQuestion(const char* appName, ScratchBuffer& out);

// A folder whose name the ANSI code page cannot spell and that has no short name: the program
// cannot name its own files there. The text names the folder.
extern const char kUnusableFolderCaption[];
void ComposeUnusableFolderText(const char* folder, ScratchBuffer& out);

// A switch that no known switch begins with; the text names it and the switches there are.
extern const char kUnknownSwitchCaption[];
void ComposeUnknownSwitchText(const char* given, ScratchBuffer& out);
// A /DIR= folder that may not be the program folder, and why.
void ComposeFolderSwitchText(const char* folder, const char* reason, bool uninstalling, ScratchBuffer& out);
