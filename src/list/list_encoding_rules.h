// Whether a list was saved as UTF-8 though the program reads it in code page 1252, where "Grüße"
// would show as "GrÃ¼ÃŸe": for the author's check, which can then say how the file was saved.
#pragma once

#include <stddef.h>

// True when the text holds at least one UTF-8 sequence of a character beyond ASCII (two to four
// bytes, shortest form, no surrogate, at most U+10FFFF) and no byte outside such a sequence
// above 0x7F. Pure ASCII tells nothing: false. A text that begins with the UTF-8 byte order mark
// is false too: the loading already reads such a list as UTF-8.
bool LooksLikeUtf8(const unsigned char* text, size_t size);
