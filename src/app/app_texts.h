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
