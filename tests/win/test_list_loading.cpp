// Loading real list files into the global state.
#include <doctest.h>

#include <string>

#include "list/install_context.h"
#include "list/list_loading.h"
#include "win_test_support.h"

namespace {

std::string LoadList(const std::string& name, const std::string& list) {
    std::string folder = FreshFolder(name);
    WriteFileBytes(folder + "\\Setup.lst", list);
    LoadInstallContextFor((folder + "\\Setup.exe").c_str());
    return folder;
}

std::string S(const FieldText& text) { return text.CStr(); }
std::string S(const EntryText& text) { return text.CStr(); }
std::string S(const WorkPath& text) { return text.CStr(); }

std::string ProgramFiles() {
    return ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
}

struct CurrentFolderKeeper {
    char saved[MAX_PATH] = "";
    CurrentFolderKeeper() { GetCurrentDirectoryA(sizeof saved, saved); }
    ~CurrentFolderKeeper() { SetCurrentDirectoryA(saved); }
};

}  // namespace

TEST_CASE("a missing list gives every default, entry 0 and the program's folder") {
    CurrentFolderKeeper keeper;
    std::string folder = FreshFolder("list-missing");
    LoadInstallContextFor((folder + "\\Setup.exe").c_str());
    CHECK(S(g_ctx.ListPath) == folder + "\\Setup.lst");
    CHECK(g_ctx.AppName.IsEmpty());
    CHECK(S(g_ctx.AllUsers) == "1");
    CHECK(g_ctx.AllUsersMode);
    CHECK_FALSE(g_ctx.CopyOnlyMode);
    CHECK(S(g_ctx.InstallList[0].Files) == "Setup.exe");
    CHECK(g_ctx.InstallList[1].Files.IsEmpty());
    CHECK(S(g_ctx.SourceDir) == folder);
    CHECK(S(g_ctx.TargetDir) == ProgramFiles() + "\\");  // no AppName, no Folder
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    CHECK(std::string(current) == folder);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    CHECK(S(g_ctx.WindowsDir) == windows);
    CHECK(S(g_ctx.FontsDir) == std::string(windows) + "\\Fonts");
}

TEST_CASE("[General] values: quotes removed, names without case, Folder defaults to AppName") {
    CurrentFolderKeeper keeper;
    LoadList("list-general",
             "[general]\r\n"
             "APPNAME=\"Meine Anwendung\"\r\n"
             "Version=Version 1.0\r\n"
             "Copyright=\xA9 2026 Niemand\r\n"
             "RunOnce=Tool.exe /x\r\n"
             "RegFile=Daten.reg\r\n"
             "Intro1=Erste Zeile\r\n"
             "Intro3=Dritte Zeile\r\n");
    CHECK(S(g_ctx.AppName) == "Meine Anwendung");
    CHECK(S(g_ctx.Version) == "Version 1.0");
    CHECK(S(g_ctx.Copyright) == "\xA9 2026 Niemand");
    CHECK(S(g_ctx.Folder) == "Meine Anwendung");
    CHECK(S(g_ctx.TargetDir) == ProgramFiles() + "\\Meine Anwendung");
    CHECK(S(g_ctx.RunOnce) == "Tool.exe /x");
    CHECK(S(g_ctx.RegFile) == "Daten.reg");
    CHECK(S(g_ctx.Intro1) == "Erste Zeile");
    CHECK(g_ctx.Intro2.IsEmpty());
    CHECK(S(g_ctx.Intro3) == "Dritte Zeile");
}

TEST_CASE("values are cut at 79, 39 and 127 characters") {
    CurrentFolderKeeper keeper;
    std::string long200(200, 'x');
    LoadList("list-widths",
             "[General]\r\nAppName=" + long200 + "\r\nFolder=f\r\nIntro1=" + long200 +
                 "\r\n[Files]\r\n1=" + long200 + "\r\n[Extensions]\r\n1=" + std::string(45, 'e') +
                 "\r\n[WildSubFolder]\r\n1=" + long200 + "\r\n[Links]\r\n1=" + long200 + "\r\n");
    CHECK(g_ctx.AppName.Length() == 79);
    CHECK(g_ctx.Intro1.Length() == 127);
    CHECK(g_ctx.InstallList[1].Files.Length() == 79);
    CHECK(g_ctx.InstallList[1].Links.Length() == 79);
    CHECK(S(g_ctx.InstallList[1].Extensions) == std::string(39, 'e'));
    CHECK(g_ctx.InstallList[1].WildSubFolder.Length() == 39);
}

TEST_CASE("indexed sections: keys 1 to 128 only, entry 0 fixed, first letters of folders upper-cased") {
    CurrentFolderKeeper keeper;
    LoadList("list-indexed",
             "[General]\r\nAppName=A\r\n"
             "[Files]\r\n0=Other.exe\r\n1=Write311.exe\r\n3=Muster.wri\r\n128=Last.txt\r\n129=Never.txt\r\n"
             "[Links]\r\n1=Write\r\n"
             "[DesktopLinks]\r\n1=Write (Textverarbeitung)\r\n"
             "[Extensions]\r\n1=WRI,TXT,DOK\r\n"
             "[AltFolder]\r\n1=w\\ShellNew\r\n3=\xE4rger\r\n"
             "[WildCopy]\r\n2=*.txt\r\n"
             "[WildSubFolder]\r\n2=texte\r\n");
    CHECK(S(g_ctx.InstallList[0].Files) == "Setup.exe");
    CHECK(g_ctx.InstallList[0].Links.IsEmpty());
    CHECK(S(g_ctx.InstallList[1].Files) == "Write311.exe");
    CHECK(g_ctx.InstallList[2].Files.IsEmpty());
    CHECK(S(g_ctx.InstallList[3].Files) == "Muster.wri");
    CHECK(S(g_ctx.InstallList[128].Files) == "Last.txt");
    CHECK(S(g_ctx.InstallList[1].Links) == "Write");
    CHECK(S(g_ctx.InstallList[1].DesktopLinks) == "Write (Textverarbeitung)");
    CHECK(S(g_ctx.InstallList[1].Extensions) == "WRI,TXT,DOK");
    CHECK(S(g_ctx.InstallList[1].AltFolder) == "W\\ShellNew");
    CHECK(S(g_ctx.InstallList[3].AltFolder) == "\xE4rger");  // only ASCII letters change
    CHECK(S(g_ctx.InstallList[2].WildCopy) == "*.txt");
    CHECK(S(g_ctx.InstallList[2].WildSubFolder) == "Texte");
}

TEST_CASE("CopyOnly and AllUsers count only their exact one-character values") {
    CurrentFolderKeeper keeper;
    struct Row { const char* copyOnly; const char* allUsers; bool copyOnlyMode; bool allUsersMode; };
    const Row rows[] = {
        {"1", "0", true, false},
        {"yes", "no", false, true},
        {"01", "", false, true},
        {"0", "00", false, true},
        {nullptr, nullptr, false, true},
    };
    for (const Row& row : rows) {
        std::string list = "[General]\r\nAppName=A\r\n";
        if (row.copyOnly) list += std::string("CopyOnly=") + row.copyOnly + "\r\n";
        if (row.allUsers) list += std::string("AllUsers=") + row.allUsers + "\r\n";
        LoadList("list-flags", list);
        CAPTURE(list);
        CHECK(g_ctx.CopyOnlyMode == row.copyOnlyMode);
        CHECK(g_ctx.AllUsersMode == row.allUsersMode);
    }
}

TEST_CASE("AllUsers=0 takes the user's programs folder, otherwise the common one") {
    CurrentFolderKeeper keeper;
    LoadList("list-allusers", "[General]\r\nAppName=A\r\nAllUsers=0\r\n");
    std::string user = S(g_ctx.ProgramsDir);
    LoadList("list-allusers", "[General]\r\nAppName=A\r\n");
    std::string common = S(g_ctx.ProgramsDir);
    CHECK(user != common);
    CHECK(user.find("\\Start Menu\\Programs") != std::string::npos);
    CHECK(common.find("\\Start Menu\\Programs") != std::string::npos);
}

namespace {
// Sets ProgramFilesDir for the lifetime of the object.
struct ProgramFilesOverride {
    std::string saved = ProgramFiles();
    explicit ProgramFilesOverride(const std::string& value) { Set(value); }
    ~ProgramFilesOverride() { Set(saved); }
    static void Set(const std::string& value) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_ALL_ACCESS,
                          &handle) != ERROR_SUCCESS)
            return;
        RegSetValueExA(handle, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    }
};
}  // namespace

TEST_CASE("a missing ProgramFilesDir value falls back to C:\\PROGRA~1") {
    CurrentFolderKeeper keeper;
    {
        ProgramFilesOverride empty("");
        LoadList("list-fallback", "[General]\r\nAppName=App\r\n");
    }
    CHECK(S(g_ctx.TargetDir) == "C:\\PROGRA~1\\App");
    CHECK(ProgramFiles() == "C:\\Program Files");
}

TEST_CASE("a program started from a drive's root folder reads the list from that root") {
    CurrentFolderKeeper keeper;
    WriteFileBytes("C:\\Setup.lst", "[General]\r\nAppName=Vom Laufwerk\r\n");
    SetCurrentDirectoryA("C:\\windows");
    LoadInstallContextFor("C:\\Setup.exe");
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    DeleteFileA("C:\\Setup.lst");
    CHECK(S(g_ctx.ListPath) == "C:\\Setup.lst");
    CHECK(S(g_ctx.AppName) == "Vom Laufwerk");
    CHECK(S(g_ctx.SourceDir) == "C:");
    CHECK(std::string(current) == "C:\\");
}

TEST_CASE("a TargetDir that does not fit is marked as cut, never silently shortened") {
    CurrentFolderKeeper keeper;
    {
        ProgramFilesOverride deep("C:\\" + std::string(60, 'p'));
        LoadList("list-long", "[General]\r\nAppName=A\r\nFolder=" + std::string(63, 'f') + "\r\n");
        CHECK(g_ctx.TargetDir.Fits());  // 3 + 60 + 1 + 63 = 127 characters
        CHECK(g_ctx.TargetDir.Length() == 127);
        LoadList("list-long", "[General]\r\nAppName=A\r\nFolder=" + std::string(64, 'f') + "\r\n");
        CHECK_FALSE(g_ctx.TargetDir.Fits());
    }
}
