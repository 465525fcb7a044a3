// The program's texts are in code page 1252, the ANSI code page it runs with; names read from
// files in Unicode (a font's name, a program's version resource) come into it through here.
#pragma once

// The code page 1252 byte of a Unicode character (UTF-16 code unit), or 0 when the code page has
// no such character. Control characters count as none too: none of them belongs in a name.
unsigned char AnsiFromUnicode(unsigned code);
