// The sections and keys of Setup.lst that the program reads, once for the loading and for the
// author's check: each [General] key with the field it fills and how many characters it keeps,
// and each indexed section with the field of a list entry. No Windows needed: tested natively.
#pragma once

#include <stddef.h>

#include "list/install_context.h"

struct GeneralKey {
    const char* Name;
    FieldText InstallContext::*Field;
    size_t MaxChars;
};
constexpr size_t kGeneralKeyCount = 13;
extern const GeneralKey kGeneralKeys[kGeneralKeyCount];

struct IndexedSection {
    const char* Name;
    EntryText ListEntry::*Field;
    size_t MaxChars;
    bool UpperFirst;  // the runs compare its first letter with upper-case ones
};
constexpr size_t kIndexedSectionCount = 7;
extern const IndexedSection kIndexedSections[kIndexedSectionCount];

// The [General] key of that name (letter case aside), null for none.
const GeneralKey* FindGeneralKey(const char* name, size_t length);
// The indexed section of that name (letter case aside), null for none.
const IndexedSection* FindIndexedSection(const char* name, size_t length);
// The index of an indexed section's key: 1 to 128 in decimal digits, without a sign or a leading
// zero; 0 for any other key.
int ListEntryIndexOf(const char* key, size_t length);

// How many characters of the value the loading keeps; 0 for a section or key the program does
// not read. A null key asks for the section alone.
size_t ListValueLimit(const char* section, const char* key);

// The names the program reads, one by one for the author's check to compare a misspelt one
// with: the sections ([General] first), and the keys of [General]; null past the last.
const char* KnownSectionName(size_t i);
const char* KnownGeneralKeyName(size_t i);
