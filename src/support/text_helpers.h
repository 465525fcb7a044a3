// Text and path helpers that need no Windows: substring search with and without letter case,
// the file and folder parts of a path, and joining a name to a folder.
#pragma once

#include "support/path_buffer.h"

// First occurrence of pattern in text, ASCII letters compared without case (umlauts exactly);
// nullptr when absent. An empty pattern is found at the end of the text.
const char* FindTextNoCase(const char* text, const char* pattern);
// The same with an exact byte comparison.
const char* FindTextExact(const char* text, const char* pattern);

// The part after the last backslash; a path without one is returned unchanged.
LongText PathFilePart(const char* path);
// The part before the last backslash, without it; unchanged when there is none or it is the
// first character. D:\Dir\File.exe gives D:\Dir, D:\File.exe gives D:.
LongText PathFolderPart(const char* path);

// Folder, a backslash unless the folder already ends in one, and name. The result reports a
// cut through Fits(): such a path is refused by the callers, never used shortened.
template <size_t Width>
PathBuffer<Width> JoinPathAs(const char* folder, const char* name) {
    PathBuffer<Width> result;
    result.Assign(folder);
    if (result.Last() != '\\') result.AppendChar('\\');
    result.Append(name);
    return result;
}
WorkPath JoinPath(const char* folder, const char* name);

// The number in decimal digits; with tenths, its last digit stands after a decimal comma, so that
// tenths of a second or of a megabyte read "12,3" and "0,5".
PathBuffer<24> DecimalText(unsigned long long value, bool tenths);

// ASCII-only letter case helpers (the list rules never touch umlauts).
char UpperAscii(char c);
bool EqualsNoCase(const char* a, const char* b);
// True when text ends with ending, ASCII letters compared without case (a file's extension).
bool EndsWithNoCase(const char* text, const char* ending);
// True when two folder paths are spelled alike but for ASCII letter case and separators at the
// end (C:\Programme\Gamma\ and c:\programme\gamma). A text that is empty without them names no
// folder and matches nothing.
bool SameFolderText(const char* a, const char* b);
