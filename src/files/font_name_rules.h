// The name under which Windows lists an installed font in the registry (the values of
// HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts), read from the font file's own bytes,
// so that the install can register a font it puts into the Fonts folder as Windows itself would.
#pragma once

#include <stddef.h>

#include "support/path_buffer.h"

using FontNameText = PathBuffer<128>;

// The font's full name in code page 1252 and its kind: "DejaVu Sans (TrueType)", or
// "... (OpenType)" for PostScript (CFF) outlines. A collection (.ttc) gives the full names of all
// its fonts joined by " & ", as Windows lists them. The full name is name ID 4 of the font's
// name table, read from the first record found of: Windows Unicode US English, Windows Unicode
// of another language, Windows symbol encoding (US English first: symbol fonts keep their names
// there), Macintosh Roman (English first).
// False, and the name empty, for bytes that are no font it can read (every offset and length is
// checked against size), and for a full name that is missing, empty, holds a character code page
// 1252 lacks or a control character, or does not fit.
bool FontRegistryName(const unsigned char* font, size_t size, FontNameText& name);
