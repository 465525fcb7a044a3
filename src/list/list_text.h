// The text of Setup.lst as the program reads it: from the file beside the program, or handed over
// from a packed Setup.exe's package. A list saved in UTF-16 or UTF-8 with its byte-order mark is
// converted to the ANSI code page first, as the platform's profile reader does.
#pragma once

#include <stddef.h>

// The text of a list in the ANSI code page, in memory of its own.
struct ListText {
    char* Text = nullptr;
    size_t Size = 0;
};

// Reads the list at path; false (and an empty text) when it is missing, unreadable or larger than
// any list (a few megabytes).
bool ReadListFile(const char* path, ListText* list);
// Takes the bytes of a list (a package's Setup.lst), converting them as the file would be.
bool ListTextFromBytes(const unsigned char* bytes, size_t size, ListText* list);
void FreeListText(ListText* list);
