// For the author's check: the section or key a misspelt name most likely meant, so that the
// problem line of [DesktopLink] can name [DesktopLinks].
#pragma once

#include <stddef.h>

// The sections the program reads, and the keys of [General].
extern const char* const kKnownSections[];
extern const size_t kKnownSectionCount;
extern const char* const kKnownGeneralKeys[];
extern const size_t kKnownGeneralKeyCount;

// The known name nearest to name, letter case aside, by edit distance counting an insertion, a
// deletion, a replacement or an exchange of two neighbours as one step. Null when name is
// empty, equal to a known name but for letter case (the program reads it: nothing misspelt), or
// near none: a known name is near at max(1, its length / 3) steps or fewer. Null too when two
// known names are nearest alike (Intro4 is as near Intro1 as Intro2): the check does not guess.
const char* NearestKnownName(const char* name, const char* const* known, size_t count);
