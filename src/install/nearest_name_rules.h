// For the author's check: the section or key a misspelt name most likely meant, so that the
// problem line of [DesktopLink] can name [DesktopLinks].
#pragma once

#include <stddef.h>

// The known name nearest to name, letter case aside, by edit distance counting an insertion, a
// deletion, a replacement or an exchange of two neighbours as one step. Null when name is
// empty, equal to a known name but for letter case (the program reads it: nothing misspelt), or
// near none: a known name is near at max(1, its length / 3) steps or fewer. Null too when two
// known names are nearest alike (Intro4 is as near Intro1 as Intro2): the check does not guess.
// The known names come from knownAt(0), knownAt(1), ... up to its first null (the lists of
// list/list_key_rules.h).
const char* NearestKnownName(const char* name, const char* (*knownAt)(size_t));
