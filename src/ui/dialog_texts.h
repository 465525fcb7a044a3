// The texts of the intro, confirmation and syntax help dialogs, composed without Windows so that
// every byte of them can be checked natively.
#pragma once

#include "support/path_buffer.h"

// The program's about text: seven lines separated by CR LF, no line break after the last one.
// It closes the confirmation text and opens the syntax help.
extern const char kAboutText[];
// Line n (1 to 7) of the about text, at most maxChars characters.
FieldText AboutTextLine(int line, size_t maxChars);

// INTRO: the caption is the application's name with "  (Installation)" after it; the text is
// the three intro lines, each preceded by an empty line.
bool ComposeIntroCaption(const char* appName, ScratchBuffer& out);
bool ComposeIntroText(const char* intro1, const char* intro2, const char* intro3, ScratchBuffer& out);

// MAIN: application and target folder, the warning about running programs and overwritten
// files, then the about text. The values after the two labels line up at this tab stop
// (dialog template units).
constexpr int kMainTabStop = 50;
bool ComposeMainText(const char* appName, const char* targetDir, ScratchBuffer& out);

// SYNTAX: the about text, an empty line, then the annotated example list.
extern const char kSyntaxCaption[];
extern const char kSyntaxHelpList[];
bool ComposeSyntaxHelpText(ScratchBuffer& out);

// The editors "&Kopieren" tries, in this order, and the list editor of "&Talmer...". All are
// started by bare name, so the system's search for programs applies. The names are held in place,
// not through pointers, which would need relocations.
constexpr int kEditorCount = 3;
extern const char kEditorChain[kEditorCount][12];
extern const char kListEditor[];
