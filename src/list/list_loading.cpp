// Loads Setup.lst from the program's own folder into the global state.
#include "list/list_loading.h"

#include "list/install_context.h"
#include "list/list_key_rules.h"
#include "list/list_text_rules.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

constexpr size_t kValueChars = kListValueChars;

ListText g_listText;

// What one walk of the list found: the profile reader reads the first section of a name and the
// first key of a name in it, so later ones are passed over.
struct Loading {
    const IndexedSection* Section = nullptr;  // the indexed section being read
    bool InGeneral = false;
    bool GeneralSeen = false;
    bool SectionSeen[kIndexedSectionCount] = {};
    bool GeneralTaken[kGeneralKeyCount] = {};
    bool EntryTaken[kListEntryCount][kIndexedSectionCount] = {};
};

void EnterSection(Loading& loading, const ListTextLine& line) {
    loading.Section = nullptr;
    loading.InGeneral = false;
    if (ListNameIs(line.Section, line.SectionLength, "General")) {
        loading.InGeneral = !loading.GeneralSeen;
        loading.GeneralSeen = true;
        return;
    }
    const IndexedSection* section = FindIndexedSection(line.Section, line.SectionLength);
    if (section == nullptr) return;
    bool& seen = loading.SectionSeen[section - kIndexedSections];
    if (!seen) loading.Section = section;
    seen = true;
}

void TakeGeneralValue(Loading& loading, const ListTextLine& line) {
    const GeneralKey* key = FindGeneralKey(line.Key, line.KeyLength);
    if (key == nullptr || loading.GeneralTaken[key - kGeneralKeys]) return;
    loading.GeneralTaken[key - kGeneralKeys] = true;
    TakeListValue(line, key->MaxChars, g_ctx.*key->Field);
}

void TakeEntryValue(Loading& loading, const ListTextLine& line) {
    int index = ListEntryIndexOf(line.Key, line.KeyLength);
    const IndexedSection& section = *loading.Section;
    bool& taken = loading.EntryTaken[index][&section - kIndexedSections];
    if (index == 0 || taken) return;
    taken = true;
    EntryText& out = g_ctx.InstallList[index].*section.Field;
    TakeListValue(line, section.MaxChars, out);
    if (section.UpperFirst) out.UpperFirstAscii();
}

bool IsTaken(const Loading& loading, FieldText InstallContext::*field) {
    for (size_t k = 0; k < kGeneralKeyCount; ++k)
        if (kGeneralKeys[k].Field == field) return loading.GeneralTaken[k];
    return false;
}

bool TakeLine(const ListTextLine& line, void* data) {
    Loading& loading = *static_cast<Loading*>(data);
    if (line.Key == nullptr) EnterSection(loading, line);
    else if (loading.InGeneral) TakeGeneralValue(loading, line);
    else if (loading.Section != nullptr) TakeEntryValue(loading, line);
    return true;
}

// The [General] values and the list entries; a value the list does not give takes its default:
// Folder the AppName read, AllUsers "1", every other one empty.
void LoadListValues() {
    static Loading loading;
    loading = Loading();
    for (const GeneralKey& key : kGeneralKeys) (g_ctx.*key.Field).Clear();
    for (ListEntry& entry : g_ctx.InstallList) entry = ListEntry();
    WalkListText(g_listText.Text, g_listText.Size, TakeLine, &loading);
    if (!IsTaken(loading, &InstallContext::Folder)) g_ctx.Folder.Assign(g_ctx.AppName);
    if (!IsTaken(loading, &InstallContext::AllUsers)) g_ctx.AllUsers.Assign("1");
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
