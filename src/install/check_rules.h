// The author's check of Setup.lst (/CHECK): which [AltFolder] letters the program knows, and the
// report of every problem found (the sections and keys it reads: list/list_key_rules.h). No
// Windows needed: tested natively.
#pragma once

#include "list/list_key_rules.h"
#include "list/list_rules.h"
#include "support/path_buffer.h"

// True for an [AltFolder] value (first letter upper-cased) that begins with W, S, F or a
// backslash, or counts as empty. Any other value puts its file into the program folder.
bool IsKnownAltFolder(const char* altFolder);

// The detail of an unknown section or key: the known name meant, "meinten Sie [DesktopLinks]?";
// empty without one.
PathBuffer<64> MeantNameDetail(const char* known, bool section);

extern const char kCheckCaption[];

// The problems found so far: the box's text, and the line of the last one, for the log.
struct CheckReport {
    int Problems = 0;
    int Shown = 0;  // lines in Text: a box taller than the screen shows no end and no button
    PathBuffer<1024> Line;
    ScratchBuffer Text;
};
// The problem's line, "[Section] Key=Value (detail): reason" ("[Section]: reason" without a key,
// no parentheses without a detail), into Line; into Text too while there is room for it.
void AddCheckProblem(ListProblemKind kind, const char* section, const char* key, const char* value,
                     const char* detail, CheckReport& report);
// Completes Text: the lines under a heading, with a note when some were left out, or the news
// that nothing was found.
void FinishCheckReport(CheckReport& report);
