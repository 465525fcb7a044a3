// Loads Setup.lst from the program's own folder into the global state.
#include "list/list_loading.h"

#include "list/install_context.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

constexpr size_t kValueChars = kListValueChars;
constexpr size_t kIntroChars = kListIntroChars;
constexpr size_t kShortEntryChars = kListShortChars;

// Reads one value with the platform's profile reader (case-insensitive names, enclosing
// quotes removed) and keeps at most maxChars characters of it.
template <size_t Width>
void ReadListValue(const char* section, const char* key, const char* fallback, size_t maxChars,
                   PathBuffer<Width>& out) {
    static_assert(Width > kIntroChars, "list fields hold at least 127 characters");
    // Without a list path the profile reader would read the system's own WIN.INI.
    if (g_ctx.ListPath.IsEmpty()) {
        out.Assign(fallback, maxChars);
        return;
    }
    out.Clear();
    GetPrivateProfileStringA(section, key, fallback, out.RawData(), static_cast<DWORD>(maxChars + 1),
                             g_ctx.ListPath.CStr());
    out.Adopt();
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

void LoadGeneralSection() {
    const char* general = "General";
    ReadListValue(general, "AppName", "", kValueChars, g_ctx.AppName);
    ReadListValue(general, "Version", "", kValueChars, g_ctx.Version);
    ReadListValue(general, "Copyright", "", kValueChars, g_ctx.Copyright);
    ReadListValue(general, "Folder", g_ctx.AppName.CStr(), kValueChars, g_ctx.Folder);
    ReadListValue(general, "AllUsers", "1", kValueChars, g_ctx.AllUsers);
    ReadListValue(general, "RunOnce", "", kValueChars, g_ctx.RunOnce);
    ReadListValue(general, "RegFile", "", kValueChars, g_ctx.RegFile);
    ReadListValue(general, "CopyOnly", "", kValueChars, g_ctx.CopyOnly);
    ReadListValue(general, "Intro1", "", kIntroChars, g_ctx.Intro1);
    ReadListValue(general, "Intro2", "", kIntroChars, g_ctx.Intro2);
    ReadListValue(general, "Intro3", "", kIntroChars, g_ctx.Intro3);
}

void LoadIndexedSections() {
    for (ListEntry& entry : g_ctx.InstallList) entry = ListEntry();
    for (int i = 1; i < kListEntryCount; ++i) {
        char key[4];
        int pos = 0;
        if (i >= 100) key[pos++] = static_cast<char>('0' + i / 100);
        if (i >= 10) key[pos++] = static_cast<char>('0' + i / 10 % 10);
        key[pos++] = static_cast<char>('0' + i % 10);
        key[pos] = 0;
        ListEntry& entry = g_ctx.InstallList[i];
        ReadListValue("Files", key, "", kValueChars, entry.Files);
        ReadListValue("Links", key, "", kValueChars, entry.Links);
        ReadListValue("DesktopLinks", key, "", kValueChars, entry.DesktopLinks);
        ReadListValue("Extensions", key, "", kShortEntryChars, entry.Extensions);
        ReadListValue("WildCopy", key, "", kValueChars, entry.WildCopy);
        ReadListValue("AltFolder", key, "", kValueChars, entry.AltFolder);
        entry.AltFolder.UpperFirstAscii();
        ReadListValue("WildSubFolder", key, "", kShortEntryChars, entry.WildSubFolder);
        entry.WildSubFolder.UpperFirstAscii();
    }
    g_ctx.InstallList[0].Files.Assign(kSetupFileName);
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

}  // namespace

FieldText ListAppNameOf(const char* listPath) {
    FieldText appName;
    GetPrivateProfileStringA("General", "AppName", "", appName.RawData(), static_cast<DWORD>(kValueChars + 1),
                             listPath);
    appName.Adopt();
    return appName;
}

void LoadInstallContext() {
    LoadInstallContextFor(ModulePath().CStr());
}

void LoadInstallContextFor(const char* modulePath) {
    LongText folder = PathFolderPart(modulePath);

    // A list path that does not fit is no list at all: a shortened one would name another file.
    g_ctx.ListPath = JoinPath(folder.CStr(), kListFileName);
    if (!g_ctx.ListPath.Fits() || !folder.Fits()) g_ctx.ListPath.Clear();

    LoadSystemFolders();
    LoadGeneralSection();
    LoadIndexedSections();
    ComposeTargetDir();

    g_ctx.SourceDir.Assign(folder.First() == '"' ? folder.CStr() + 1 : folder.CStr());
    if (!folder.Fits()) g_ctx.SourceDir.MarkCut();
    EnterFolder(g_ctx.SourceDir.CStr());

    g_ctx.CopyOnlyMode = lstrcmpiA(g_ctx.CopyOnly.CStr(), "1") == 0;
    g_ctx.AllUsersMode = lstrcmpiA(g_ctx.AllUsers.CStr(), "0") != 0;

    g_ctx.ProgramsDir.Assign(GetShellFolder("Programs", g_ctx.AllUsersMode).CStr());
}
