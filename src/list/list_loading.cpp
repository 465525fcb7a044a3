// Loads Setup.lst from the program's own folder into the global state.
#include "list/list_loading.h"

#include "list/install_context.h"
#include "list/list_text_rules.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

constexpr size_t kValueChars = kListValueChars;
constexpr size_t kIntroChars = kListIntroChars;
constexpr size_t kShortEntryChars = kListShortChars;

ListText g_listText;

// The sections the loading reads: [General], then the seven indexed ones in the order of a
// list entry's fields.
constexpr int kIndexedSections = 7;
const char* const kSectionNames[1 + kIndexedSections] = {"General",   "Files",     "Links",    "DesktopLinks",
                                                         "Extensions", "AltFolder", "WildCopy", "WildSubFolder"};
EntryText ListEntry::* const kEntryFields[kIndexedSections] = {
    &ListEntry::Files,     &ListEntry::Links,     &ListEntry::DesktopLinks, &ListEntry::Extensions,
    &ListEntry::AltFolder, &ListEntry::WildCopy, &ListEntry::WildSubFolder};

constexpr int kGeneralKeys = 11;
struct GeneralKey {
    const char* Name;
    FieldText InstallContext::*Field;
    size_t MaxChars;
};
const GeneralKey kGeneralKeyTable[kGeneralKeys] = {
    {"AppName", &InstallContext::AppName, kValueChars},   {"Version", &InstallContext::Version, kValueChars},
    {"Copyright", &InstallContext::Copyright, kValueChars}, {"Folder", &InstallContext::Folder, kValueChars},
    {"AllUsers", &InstallContext::AllUsers, kValueChars}, {"RunOnce", &InstallContext::RunOnce, kValueChars},
    {"RegFile", &InstallContext::RegFile, kValueChars},   {"CopyOnly", &InstallContext::CopyOnly, kValueChars},
    {"Intro1", &InstallContext::Intro1, kIntroChars},     {"Intro2", &InstallContext::Intro2, kIntroChars},
    {"Intro3", &InstallContext::Intro3, kIntroChars},
};

// What one walk of the list found: the profile reader reads the first section of a name and the
// first key of a name in it, so later ones are passed over.
struct Loading {
    int Section = -1;  // index into kSectionNames, -1 for a section the loading does not read
    bool SectionSeen[1 + kIndexedSections] = {};
    bool GeneralTaken[kGeneralKeys] = {};
    bool EntryTaken[kListEntryCount][kIndexedSections] = {};
};

// The index of an indexed section's key: 1 to 128 in decimal digits, without a sign or a leading
// zero; 0 for any other key.
int EntryIndexOf(const char* key, size_t length) {
    if (length == 0 || length > 3 || key[0] == '0') return 0;
    int index = 0;
    for (size_t i = 0; i < length; ++i) {
        if (key[i] < '0' || key[i] > '9') return 0;
        index = index * 10 + (key[i] - '0');
    }
    return index < kListEntryCount ? index : 0;
}

void EnterSection(Loading& loading, const ListTextLine& line) {
    loading.Section = -1;
    for (int s = 0; s <= kIndexedSections; ++s) {
        if (!ListNameIs(line.Section, line.SectionLength, kSectionNames[s])) continue;
        if (!loading.SectionSeen[s]) loading.Section = s;
        loading.SectionSeen[s] = true;
        return;
    }
}

void TakeGeneralValue(Loading& loading, const ListTextLine& line) {
    for (int k = 0; k < kGeneralKeys; ++k) {
        if (loading.GeneralTaken[k] || !ListNameIs(line.Key, line.KeyLength, kGeneralKeyTable[k].Name)) continue;
        loading.GeneralTaken[k] = true;
        TakeListValue(line, kGeneralKeyTable[k].MaxChars, g_ctx.*kGeneralKeyTable[k].Field);
        return;
    }
}

void TakeEntryValue(Loading& loading, const ListTextLine& line) {
    int index = EntryIndexOf(line.Key, line.KeyLength);
    int field = loading.Section - 1;
    if (index == 0 || loading.EntryTaken[index][field]) return;
    loading.EntryTaken[index][field] = true;
    bool shortValue = kEntryFields[field] == &ListEntry::Extensions || kEntryFields[field] == &ListEntry::WildSubFolder;
    EntryText& out = g_ctx.InstallList[index].*kEntryFields[field];
    TakeListValue(line, shortValue ? kShortEntryChars : kValueChars, out);
    // The runs compare the first letter of these two with upper-case letters.
    if (kEntryFields[field] == &ListEntry::AltFolder || kEntryFields[field] == &ListEntry::WildSubFolder)
        out.UpperFirstAscii();
}

bool TakeLine(const ListTextLine& line, void* data) {
    Loading& loading = *static_cast<Loading*>(data);
    if (line.Key == nullptr) EnterSection(loading, line);
    else if (loading.Section == 0) TakeGeneralValue(loading, line);
    else if (loading.Section > 0) TakeEntryValue(loading, line);
    return true;
}

// The [General] values and the list entries; a value the list does not give takes its default:
// Folder the AppName read, AllUsers "1", every other one empty.
void LoadListValues() {
    static Loading loading;
    loading = Loading();
    for (const GeneralKey& key : kGeneralKeyTable) (g_ctx.*key.Field).Clear();
    for (ListEntry& entry : g_ctx.InstallList) entry = ListEntry();
    WalkListText(g_listText.Text, g_listText.Size, TakeLine, &loading);
    if (!loading.GeneralTaken[3]) g_ctx.Folder.Assign(g_ctx.AppName);
    if (!loading.GeneralTaken[4]) g_ctx.AllUsers.Assign("1");
    g_ctx.InstallList[0].Files.Assign(kSetupFileName);
}

void LoadSystemFolders() {
    FieldText& windows = g_ctx.WindowsDir;
    UINT n = GetWindowsDirectoryA(windows.RawData(), windows.RawSize());
    if (n == 0 || n >= windows.RawSize()) windows.Clear();
    else windows.Adopt();
    g_ctx.FontsDir.Assign(windows);
    g_ctx.FontsDir.Append("\\Fonts");

    FieldText& system = g_ctx.SystemDir;
    n = GetSystemDirectoryA(system.RawData(), system.RawSize());
    if (n == 0 || n >= system.RawSize()) system.Clear();
    else system.Adopt();
}

void ComposeTargetDir() {
    PathBuffer<1025> programFiles =
        ReadRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    // Overlong results keep their cut mark, so the runs can refuse them instead of using them.
    if (programFiles.IsEmpty()) g_ctx.TargetDir.Assign("C:\\PROGRA~1");
    else g_ctx.TargetDir.Assign(programFiles);
    g_ctx.TargetDir.AppendChar('\\');
    g_ctx.TargetDir.Append(g_ctx.Folder);
}

// The folders and modes that follow from the list and the program's place.
void LoadAround(const LongText& folder) {
    LoadSystemFolders();
    LoadListValues();
    ComposeTargetDir();

    g_ctx.SourceDir.Assign(folder.First() == '"' ? folder.CStr() + 1 : folder.CStr());
    if (!folder.Fits()) g_ctx.SourceDir.MarkCut();
    EnterFolder(g_ctx.SourceDir.CStr());

    g_ctx.CopyOnlyMode = lstrcmpiA(g_ctx.CopyOnly.CStr(), "1") == 0;
    g_ctx.AllUsersMode = lstrcmpiA(g_ctx.AllUsers.CStr(), "0") != 0;

    g_ctx.ProgramsDir.Assign(GetShellFolder("Programs", g_ctx.AllUsersMode).CStr());
}

}  // namespace

FieldText ListAppNameOf(const char* listPath) {
    FieldText appName;
    ListText other;
    if (!ReadListFile(listPath, &other)) return appName;
    struct Reading {
        bool InGeneral = false;
        bool Done = false;
        FieldText* Out;
    } reading;
    reading.Out = &appName;
    WalkListText(other.Text, other.Size, [](const ListTextLine& line, void* data) {
        Reading& r = *static_cast<Reading*>(data);
        if (line.Key == nullptr) {
            // only the first [General] section is read
            if (r.InGeneral) return false;
            r.InGeneral = ListNameIs(line.Section, line.SectionLength, "General");
        } else if (r.InGeneral && ListNameIs(line.Key, line.KeyLength, "AppName")) {
            TakeListValue(line, kValueChars, *r.Out);
            return false;
        }
        return true;
    }, &reading);
    FreeListText(&other);
    return appName;
}

const ListText& LoadedListText() {
    return g_listText;
}

void LoadInstallContext() {
    LongText folder = PathFolderPart(ModulePath().CStr());
    // A list path that does not fit is no list at all: a shortened one would name another file.
    g_ctx.ListPath = JoinPath(folder.CStr(), kListFileName);
    if (!g_ctx.ListPath.Fits() || !folder.Fits()) g_ctx.ListPath.Clear();
    FreeListText(&g_listText);
    g_ctx.HasList = !g_ctx.ListPath.IsEmpty() && ReadListFile(g_ctx.ListPath.CStr(), &g_listText);
    LoadAround(folder);
}

void LoadInstallContextFromBytes(const unsigned char* list, size_t size) {
    LongText folder = PathFolderPart(ModulePath().CStr());
    g_ctx.ListPath.Clear();
    FreeListText(&g_listText);
    g_ctx.HasList = list != nullptr && ListTextFromBytes(list, size, &g_listText);
    LoadAround(folder);
}
