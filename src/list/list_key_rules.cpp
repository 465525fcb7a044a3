// The sections and keys of Setup.lst that the program reads.
#include "list/list_key_rules.h"

#include "support/text_helpers.h"

const GeneralKey kGeneralKeys[kGeneralKeyCount] = {
    {"AppName", &InstallContext::AppName, kListValueChars},
    {"Version", &InstallContext::Version, kListValueChars},
    {"Copyright", &InstallContext::Copyright, kListValueChars},
    {"Folder", &InstallContext::Folder, kListValueChars},
    {"AllUsers", &InstallContext::AllUsers, kListValueChars},
    {"RunOnce", &InstallContext::RunOnce, kListValueChars},
    {"RegFile", &InstallContext::RegFile, kListValueChars},
    {"CopyOnly", &InstallContext::CopyOnly, kListValueChars},
    {"Intro1", &InstallContext::Intro1, kListIntroChars},
    {"Intro2", &InstallContext::Intro2, kListIntroChars},
    {"Intro3", &InstallContext::Intro3, kListIntroChars},
    {"Publisher", &InstallContext::Publisher, kListValueChars},
    {"ProductVersion", &InstallContext::ProductVersion, kListValueChars},
};

const IndexedSection kIndexedSections[kIndexedSectionCount] = {
    {"Files", &ListEntry::Files, kListValueChars, false},
    {"Links", &ListEntry::Links, kListValueChars, false},
    {"DesktopLinks", &ListEntry::DesktopLinks, kListValueChars, false},
    {"Extensions", &ListEntry::Extensions, kListShortChars, false},
    {"AltFolder", &ListEntry::AltFolder, kListValueChars, true},
    {"WildCopy", &ListEntry::WildCopy, kListValueChars, false},
    {"WildSubFolder", &ListEntry::WildSubFolder, kListShortChars, true},
};

namespace {

const char kGeneralSection[] = "General";

bool NameIs(const char* text, size_t length, const char* name) {
    size_t i = 0;
    for (; i < length; ++i)
        if (name[i] == 0 || UpperAscii(text[i]) != UpperAscii(name[i])) return false;
    return name[i] == 0;
}

size_t Length(const char* text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

}  // namespace

const GeneralKey* FindGeneralKey(const char* name, size_t length) {
    for (const GeneralKey& key : kGeneralKeys)
        if (NameIs(name, length, key.Name)) return &key;
    return nullptr;
}

const IndexedSection* FindIndexedSection(const char* name, size_t length) {
    for (const IndexedSection& section : kIndexedSections)
        if (NameIs(name, length, section.Name)) return &section;
    return nullptr;
}

int ListEntryIndexOf(const char* key, size_t length) {
    if (length == 0 || length > 3 || key[0] == '0') return 0;
    int index = 0;
    for (size_t i = 0; i < length; ++i) {
        if (key[i] < '0' || key[i] > '9') return 0;
        index = index * 10 + (key[i] - '0');
    }
    return index < kListEntryCount ? index : 0;
}

size_t ListValueLimit(const char* section, const char* key) {
    size_t sectionLength = Length(section);
    if (NameIs(section, sectionLength, kGeneralSection)) {
        if (key == nullptr) return kListValueChars;
        const GeneralKey* found = FindGeneralKey(key, Length(key));
        return found != nullptr ? found->MaxChars : 0;
    }
    const IndexedSection* found = FindIndexedSection(section, sectionLength);
    if (found == nullptr || (key != nullptr && ListEntryIndexOf(key, Length(key)) == 0)) return 0;
    return found->MaxChars;
}

const char* KnownSectionName(size_t i) {
    if (i == 0) return kGeneralSection;
    return i <= kIndexedSectionCount ? kIndexedSections[i - 1].Name : nullptr;
}

const char* KnownGeneralKeyName(size_t i) {
    return i < kGeneralKeyCount ? kGeneralKeys[i].Name : nullptr;
}
