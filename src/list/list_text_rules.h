// Reading Setup.lst from its text, as the platform's profile reader reads an INI file, so that a
// list lying in a folder and one lying in a packed Setup.exe's package read alike. No Windows
// needed: tested natively.
//
// The text is split into lines at every CR and LF; blanks and other white space around a line,
// a key and a value are dropped. A line beginning with "[" and holding a "]" names a section (the
// text up to its last "]"); every other line is a key: up to its first "=" (the whole line
// without one, with an empty value). Lines before the first section stand in a section without a
// name. Comment lines are keys like any other, which no section the program reads has.
#pragma once

#include <stddef.h>

#include "support/path_buffer.h"

struct ListTextLine {
    const char* Section = "";  // the section the line stands in (not terminated: SectionLength)
    size_t SectionLength = 0;
    const char* Key = nullptr;  // null for the section's own line
    size_t KeyLength = 0;
    const char* Value = "";
    size_t ValueLength = 0;
};

// Takes one line; returns false to stop the walk.
using ListLineVisitor = bool (*)(const ListTextLine& line, void* data);

// Hands every section line and key line of the text to visit, in the order they stand. The text
// is read as it is: a list saved with a byte-order mark is converted before (list_text.h).
void WalkListText(const char* text, size_t size, ListLineVisitor visit, void* data);

// True when the counted text equals name, ASCII letters compared without case: section and key
// names match so.
bool ListNameIs(const char* text, size_t length, const char* name);

// The value as the profile reader hands it out: enclosing double quotes removed (only a pair),
// and at most maxChars characters of it.
template <size_t Width>
void TakeListValue(const ListTextLine& line, size_t maxChars, PathBuffer<Width>& out) {
    const char* value = line.Value;
    size_t length = line.ValueLength;
    if (length > 1 && value[0] == '"' && value[length - 1] == '"') {
        ++value;
        length -= 2;
    }
    out.Clear();
    out.Append(value, length < maxChars ? length : maxChars);
}
