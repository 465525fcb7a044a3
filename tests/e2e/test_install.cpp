// Install scenarios: the real Setup.exe installs a package, through its dialogs or silently,
// and everything it leaves is read back through Windows' own APIs.
#include <doctest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "footprint.h"

using namespace e2e;

namespace {

const char kDemoName[] = "Quorvane Demo";
const char kSuccessCaption[] = "Installation erfolgreich";

// The demo package (every section of the list) with its font, cleaned up before and after.
struct DemoInstallation {
    Package package;
    std::string target = ProgramFilesDir() + "\\" + kDemoName;

    explicit DemoInstallation(const std::string& name) : package(name) {
        Clean();
        package.CopyFrom(DemoFolder()).CopyIn(DejaVuFont(), "DejaVuSans.ttf");
    }
    ~DemoInstallation() { Clean(); }
    void Clean() {
        RemoveInstallation(kDemoName, kDemoName, {"Quorvane Notizen"}, {"qvn"}, {"Notizen.qvn"});
        // the font is a system file: a scenario that installs it removes it again
        DeleteFileA((FontsDir() + "\\DejaVuSans.ttf").c_str());
    }
};

// Presses Setup in the confirmation dialog and returns the success box.
Window ConfirmAndWaitForSuccess(Run& run, const char* appName) {
    Window dialog = run.WaitWindow(appName);
    REQUIRE(dialog);
    dialog.Press(IDOK);
    return run.WaitWindow(kSuccessCaption, "#32770", 30000);
}

std::string SuccessText(const std::string& appName) {
    return "Die Anwendung\r" + appName + "\rbefindet sich nun auf diesem Computer.\r\r"
           "(Deinstallation m\xF6glich \xFC" "ber\rSystemsteuerung\\Software)";
}

void CheckUninstallEntry(const std::string& appName, const std::string& target) {
    std::string key = std::string(kUninstallKeyBase) + appName;
    std::string uninstaller = target + "\\Uninst.exe";
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, key, "DisplayName") == appName);
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, key, "UninstallString") == "\"" + uninstaller + "\" /U");
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, key, "QuietUninstallString") == "\"" + uninstaller + "\" /UQ");
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, key, "InstallLocation") == target);
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, key, "DisplayIcon") == uninstaller);
    DWORD value = 0;
    CHECK(RegistryDword(HKEY_LOCAL_MACHINE, key, "NoModify", &value));
    CHECK(value == 1);
    CHECK(RegistryDword(HKEY_LOCAL_MACHINE, key, "NoRepair", &value));
    CHECK(value == 1);
    CHECK(RegistryDword(HKEY_LOCAL_MACHINE, key, "EstimatedSize", &value));
    CHECK(value >= 1);
    CHECK(RegistryDword(HKEY_LOCAL_MACHINE, key, "CreatedProgramFolder", &value));
    CHECK(value == 1);
}

// The entry's record of whether the install made the program folder; 2 when there is none.
DWORD CreatedProgramFolderValue(const std::string& appName) {
    DWORD value = 2;
    if (!RegistryDword(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + appName, "CreatedProgramFolder", &value))
        return 2;
    return value;
}

}  // namespace

TEST_CASE("the demo list installs every file, shortcut, font, file type and wildcard group") {
    DemoInstallation demo("install-demo");
    const std::string& target = demo.target;
    Run run = demo.package.Start();
    Window success = ConfirmAndWaitForSuccess(run, kDemoName);
    REQUIRE(success);
    CHECK(success.MessageText() == SuccessText(kDemoName));
    CHECK(success.Owner() == run.MainWindow().Handle());
    CHECK(success.HasIcon());
    success.Press(IDOK);
    CHECK(run.Exit() == 0);

    // listed files under their installed names, with the source's last-write time
    struct Placed { const char* source; std::string installed; };
    const Placed placed[] = {
        {"Notizen.qvn", target + "\\Notizen.qvn"},
        {"Liesmich.txt", target + "\\Dokumente\\Liesmich.txt"},
        {"Hilfe.txt", target + "\\Hilfe.txt"},
        {"DejaVuSans.ttf", FontsDir() + "\\DejaVuSans.ttf"},
    };
    for (const Placed& file : placed) {
        CAPTURE(file.installed);
        FileFacts source = Facts(demo.package.Path(file.source));
        FileFacts installed = Facts(file.installed);
        REQUIRE(installed.exists);
        CHECK(installed.size == source.size);
        CHECK(SameTime(installed.lastWrite, source.lastWrite));
        CHECK((installed.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) == 0);
    }
    // the uninstaller and the hidden list copy; no Setup.exe
    CHECK(Facts(target + "\\Uninst.exe").exists);
    CHECK_FALSE(Facts(target + "\\Setup.exe").exists);
    FileFacts list = Facts(target + "\\Setup.lst");
    REQUIRE(list.exists);
    CHECK((list.attributes & 7) == 7);
    CHECK(ReadFileBytes(target + "\\Setup.lst") == ReadFileBytes(demo.package.Path("Setup.lst")));
    CheckUninstallEntry(kDemoName, target);

    // wildcard groups: into the program folder, and into a sub-folder with its first letter upper-cased
    CHECK(FilesIn(target) == std::vector<std::string>{"Beispiel1.qvd", "Beispiel2.qvd", "Hilfe.txt", "Notizen.qvn",
                                                        "Setup.lst", "Uninst.exe"});
    CHECK(StoredName(target + "\\Vorlagen") == "Vorlagen");
    CHECK(FilesIn(target + "\\Vorlagen") == std::vector<std::string>{"Brief.qvv", "Rechnung.qvv"});

    // start-menu group (all users by default) and the desktop shortcut
    std::string group = ProgramsDir(true) + "\\" + kDemoName;
    Shortcut notes = ReadShortcut(group + "\\Notizen.lnk");
    REQUIRE(notes.exists);
    CHECK(notes.target == target + "\\Notizen.qvn");
    CHECK(notes.workingDirectory == target);
    CHECK(notes.showCommand == SW_SHOWNORMAL);
    Shortcut readme = ReadShortcut(group + "\\Liesmich.lnk");
    CHECK(readme.target == target + "\\Dokumente\\Liesmich.txt");
    CHECK(readme.workingDirectory == target + "\\Dokumente");
    Shortcut desktop = ReadShortcut(DesktopDir(true) + "\\Quorvane Notizen.lnk");
    CHECK(desktop.target == target + "\\Notizen.qvn");
    CHECK(desktop.arguments.empty());
    // without Shift or Ctrl held the uninstall shortcut goes again
    CHECK_FALSE(Facts(group + "\\Uninstall (Deinstallation).lnk").exists);
    CHECK_FALSE(Facts(ProgramsDir(false) + "\\" + kDemoName).exists);

    // the file type: four keys with the open command (quoted program, quoted placeholder)
    std::string command = "\"" + target + "\\Notizen.qvn\" \"%1\"";
    CHECK(RegistryText(HKEY_CLASSES_ROOT, ".qvn\\shell\\open\\command", nullptr) == command);
    CHECK(RegistryKeyExists(HKEY_CLASSES_ROOT, ".qvn\\OpenWithList\\Notizen.qvn"));
    CHECK(RegistryText(HKEY_CLASSES_ROOT, "Applications\\Notizen.qvn\\shell\\open\\command", nullptr) == command);
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Applications\\Notizen.qvn\\shell\\open\\command",
                       nullptr) == command);
}

TEST_CASE("the uninstall shortcut stays when the success box is closed with Shift held and Yes answered") {
    DemoInstallation demo("install-keep-link");
    Run run = demo.package.Start();
    Window success = ConfirmAndWaitForSuccess(run, kDemoName);
    REQUIRE(success);
    // Shift is held while the box closes (the program reads the key state after it). The box is
    // closed by keyboard too, Shift+Enter: a posted click would overtake the queued Shift key,
    // and the program could read its state before the key reached it.
    SetForegroundWindow(success.Handle());
    CHECK(WaitFor([&] { return GetForegroundWindow() == success.Handle(); }, 3000));
    keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(VK_RETURN, 0, 0, 0);
    keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    Window question = run.WaitWindow("Verkn\xFCpfung f\xFCr Deinstallation");
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    REQUIRE(question);
    CHECK(question.MessageText() ==
          "Zus\xE4tzliche Verkn\xFCpfung \"Uninstall (Deinstallation).lnk\" erstellen?\r\r"
          "(Deinstallation immer m\xF6glich \xFC" "ber [Systemsteuerung\\Software])");
    CHECK(question.ButtonIds() == std::vector<int>{IDYES, IDNO, IDCANCEL});
    CHECK(question.DefaultButton() == IDNO);
    question.Press(IDYES);
    CHECK(run.Exit() == 0);
    Shortcut link = ReadShortcut(ProgramsDir(true) + "\\" + kDemoName + "\\Uninstall (Deinstallation).lnk");
    REQUIRE(link.exists);
    CHECK(link.target == demo.target + "\\Uninst.exe");
    CHECK(link.arguments == "/U");
    CHECK(link.workingDirectory == demo.target);
}

TEST_CASE("/S installs without any box and removes the uninstall shortcut") {
    DemoInstallation demo("install-silent");
    Run run = demo.package.Start("/S");
    CHECK(run.NoMessageBoxFor(1500));
    CHECK(run.Exit(60000) == 0);
    CHECK(Facts(demo.target + "\\Uninst.exe").exists);
    CHECK(Facts(ProgramsDir(true) + "\\" + kDemoName + "\\Notizen.lnk").exists);
    CHECK_FALSE(Facts(ProgramsDir(true) + "\\" + kDemoName + "\\Uninstall (Deinstallation).lnk").exists);
}

TEST_CASE("AllUsers=0 puts the group and the desktop shortcut into the user's own folders") {
    DemoInstallation demo("install-user");
    std::string list = ReadFileBytes(DemoFolder() + "\\Setup.lst");
    size_t at = list.find("AllUsers=1");
    REQUIRE(at != std::string::npos);
    list.replace(at, 10, "AllUsers=0");
    demo.package.List(list);
    Run run = demo.package.Start("/S");
    CHECK(run.Exit(60000) == 0);
    CHECK(ReadShortcut(ProgramsDir(false) + "\\" + kDemoName + "\\Notizen.lnk").exists);
    CHECK(ReadShortcut(DesktopDir(false) + "\\Quorvane Notizen.lnk").exists);
    CHECK_FALSE(Facts(ProgramsDir(true) + "\\" + kDemoName).exists);
    CHECK_FALSE(Facts(DesktopDir(true) + "\\Quorvane Notizen.lnk").exists);
}

TEST_CASE("CopyOnly=1 copies the files and registers file types, nothing else") {
    const std::string name = "Qv Copy Only";
    RemoveInstallation(name, "QvCopyOnly", {"Qv Copy Link"}, {"qvco"}, {"Tool.qvc"});
    Package package("install-copyonly");
    package.List("[General]\r\nAppName=Qv Copy Only\r\nFolder=QvCopyOnly\r\nCopyOnly=1\r\n"
                 "[Files]\r\n1=Tool.qvc\r\n[Links]\r\n1=Qv Tool\r\n[DesktopLinks]\r\n1=Qv Copy Link\r\n"
                 "[Extensions]\r\n1=QVCO\r\n")
        .File("Tool.qvc", "tool");
    Run run = package.Start();
    Window success = ConfirmAndWaitForSuccess(run, name.c_str());
    REQUIRE(success);
    CHECK(success.MessageText() == "Die Anwendung\r" + name + "\rbefindet sich nun auf diesem Computer.");
    success.Press(IDOK);
    CHECK(run.Exit() == 0);
    std::string target = ProgramFilesDir() + "\\QvCopyOnly";
    CHECK(FilesIn(target) == std::vector<std::string>{"Setup.exe", "Tool.qvc"});
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + name));
    CHECK_FALSE(Facts(ProgramsDir(true) + "\\" + name).exists);
    CHECK_FALSE(Facts(DesktopDir(true) + "\\Qv Copy Link.lnk").exists);
    // capital extensions hand the document over unquoted
    CHECK(RegistryText(HKEY_CLASSES_ROOT, ".QVCO\\shell\\open\\command", nullptr) == "\"" + target + "\\Tool.qvc\" %1");
    RemoveInstallation(name, "QvCopyOnly", {"Qv Copy Link"}, {"qvco"}, {"Tool.qvc"});
}

TEST_CASE("a missing source file: Retry after it appears goes on, Cancel gives both messages and exit code 1") {
    const std::string name = "Qv Missing Source";
    const char* list = "[General]\r\nAppName=Qv Missing Source\r\nFolder=QvMissing\r\n[Files]\r\n1=Da.txt\r\n2=Fehlt.txt\r\n";
    SUBCASE("Retry after the file appears") {
        RemoveInstallation(name, "QvMissing");
        Package package("install-missing-retry");
        package.List(list).File("Da.txt", "da");
        Run run = package.Start("/S");
        Window retry = run.WaitWindow("Fehler");
        REQUIRE(retry);
        CHECK(retry.MessageText() == package.Path("Fehlt.txt") + " nicht gefunden.");
        CHECK(retry.ButtonIds() == std::vector<int>{IDRETRY, IDCANCEL});
        package.File("Fehlt.txt", "jetzt da");
        retry.Press(IDRETRY);
        CHECK(run.Exit(60000) == 0);
        CHECK(ReadFileBytes(ProgramFilesDir() + "\\QvMissing\\Fehlt.txt") == "jetzt da");
    }
    SUBCASE("Cancel") {
        RemoveInstallation(name, "QvMissing");
        Package package("install-missing-cancel");
        package.List(list).File("Da.txt", "da");
        Run run = package.Start("/S");
        Window retry = run.WaitWindow("Fehler");
        REQUIRE(retry);
        retry.Press(IDCANCEL);
        REQUIRE(retry.WaitGone());
        Window abort = run.WaitWindow("Fehler");
        REQUIRE(abort);
        CHECK(abort.MessageText() == "Fehlt.txt nicht gefunden.\rSetup abgebrochen.");
        CHECK(abort.ButtonIds() == std::vector<int>{IDOK});
        abort.Press(IDOK);
        Window last = run.WaitWindow("Installation abgebrochen");
        REQUIRE(last);
        CHECK(last.MessageText() == "Installationsdateien nicht gefunden.");
        last.Press(IDOK);
        CHECK(run.Exit() == 1);
    }
    RemoveInstallation(name, "QvMissing");
}

TEST_CASE("a target folder whose parent is missing stops with its message and exit code 1") {
    RemoveInstallation("Qv No Parent", "QvNoParent");
    Package package("install-no-parent");
    package.List("[General]\r\nAppName=Qv No Parent\r\nFolder=QvNoParent\\Sub\r\n[Files]\r\n1=a.txt\r\n").File("a.txt", "a");
    Run run = package.Start("/S");
    Window box = run.WaitWindow("Installation abgebrochen");
    REQUIRE(box);
    CHECK(box.MessageText() == "Zielverzeichnis konnte nicht erstellt werden.");
    box.Press(IDOK);
    CHECK(run.Exit() == 1);
    CHECK_FALSE(Facts(ProgramFilesDir() + "\\QvNoParent").exists);
    RemoveInstallation("Qv No Parent", "QvNoParent");
}

TEST_CASE("a locked target file: the copy retry box, and Retry after its release succeeds") {
    const std::string target = ProgramFilesDir() + "\\QvLocked";
    RemoveInstallation("Qv Locked", "QvLocked");
    CreateDirectoryA(target.c_str(), nullptr);
    WriteFileBytes(target + "\\Daten.txt", "alt");
    SetFileDay(target + "\\Daten.txt", 2001, 1, 1);
    HANDLE lock = CreateFileA((target + "\\Daten.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(lock != INVALID_HANDLE_VALUE);

    Package package("install-locked");
    package.List("[General]\r\nAppName=Qv Locked\r\nFolder=QvLocked\r\n[Files]\r\n1=Daten.txt\r\n").File("Daten.txt", "neu");
    Run run = package.Start("/S");
    Window box = run.WaitWindow("Fehler - Kann Datei nicht kopieren:");
    if (!box) CloseHandle(lock);
    REQUIRE(box);
    CHECK(box.MessageText() == target + "\\Daten.txt");
    CHECK(box.ButtonIds() == std::vector<int>{IDRETRY, IDCANCEL});
    CloseHandle(lock);
    box.Press(IDRETRY);
    CHECK(run.Exit(60000) == 0);
    CHECK(ReadFileBytes(target + "\\Daten.txt") == "neu");
    RemoveInstallation("Qv Locked", "QvLocked");
}

TEST_CASE("a value that would lead out of its folder is refused before anything is written") {
    struct Row { const char* what; const char* general; const char* sections; const char* named; };
    const Row rows[] = {
        {"WildSubFolder", "", "[WildCopy]\r\n2=*.txt\r\n[WildSubFolder]\r\n2=..\\..\r\n", "[WildSubFolder]\r2=..\\.."},
        {"AppName", "", "", ""},
        {"Folder", "Folder=..\\Windows\r\n", "", "[General]\rFolder=..\\Windows"},
        {"AltFolder", "", "[AltFolder]\r\n1=\\..\\..\r\n", "[AltFolder]\r1=\\..\\.."},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.what));
        std::string appName = std::string(row.what) == "AppName" ? "..\\.." : "Qv Refused";
        RemoveInstallation("Qv Refused", "Qv Refused");
        Package package("install-refused");
        package.List("[General]\r\nAppName=" + appName + "\r\n" + row.general + "[Files]\r\n1=a.txt\r\n" + row.sections)
            .File("a.txt", "a");
        Run run = package.Start("/S");
        Window box = run.WaitWindow("Installation abgebrochen");
        REQUIRE(box);
        std::string named = *row.named ? row.named : "[General]\rAppName=..\\..";
        CHECK(box.MessageText().find(named) != std::string::npos);
        CHECK(box.MessageText().find("Es wurde nichts installiert.") != std::string::npos);
        box.Press(IDOK);
        CHECK(run.Exit() == 1);
        CHECK_FALSE(Facts(ProgramFilesDir() + "\\Qv Refused").exists);
        CHECK_FALSE(Facts(ProgramsDir(true) + "\\Qv Refused").exists);
        CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + "Qv Refused"));
    }
}

TEST_CASE("installing again replaces the uninstaller and keeps newer files of the program folder") {
    const std::string target = ProgramFilesDir() + "\\QvAgain";
    RemoveInstallation("Qv Again", "QvAgain");
    Package package("install-again");
    package.List("[General]\r\nAppName=Qv Again\r\nFolder=QvAgain\r\n[Files]\r\n1=Alt.txt\r\n2=Neu.txt\r\n")
        .File("Alt.txt", "aus dem Paket")
        .File("Neu.txt", "aus dem Paket");
    SetFileDay(package.Path("Alt.txt"), 2020, 5, 5);
    SetFileDay(package.Path("Neu.txt"), 2020, 5, 5);
    Run first = package.Start("/S");
    REQUIRE(first.Exit(60000) == 0);
    CHECK(CreatedProgramFolderValue("Qv Again") == 1);

    // the user changed one file later; the uninstaller is replaced by the new program
    WriteFileBytes(target + "\\Neu.txt", "vom Anwender");
    SetFileDay(target + "\\Neu.txt", 2024, 1, 1);
    WriteFileBytes(target + "\\Uninst.exe", "stale");
    SetFileDay(package.Path("Alt.txt"), 2022, 2, 2);  // the package's file is newer than the installed one
    WriteFileBytes(package.Path("Alt.txt"), "neuere Fassung");
    SetFileDay(package.Path("Alt.txt"), 2022, 2, 2);

    Run second = package.Start("/S");
    CHECK(second.Exit(60000) == 0);
    CHECK(ReadFileBytes(target + "\\Neu.txt") == "vom Anwender");
    CHECK(ReadFileBytes(target + "\\Alt.txt") == "neuere Fassung");
    CHECK(ReadFileBytes(target + "\\Uninst.exe") == ReadFileBytes(package.Path("Setup.exe")));
    CHECK_FALSE(Facts(target + "\\Setup.exe").exists);
    // the folder was there for the second run, but the first made it: the first answer stays
    CHECK(CreatedProgramFolderValue("Qv Again") == 1);
    RemoveInstallation("Qv Again", "QvAgain");
}

TEST_CASE("a program folder that was there before the install is recorded as not made by it") {
    const std::string target = ProgramFilesDir() + "\\QvVorhanden";
    RemoveInstallation("Qv Vorhanden", "QvVorhanden");
    REQUIRE(CreateDirectoryA(target.c_str(), nullptr));
    Package package("install-folder-there");
    package.List("[General]\r\nAppName=Qv Vorhanden\r\nFolder=QvVorhanden\r\n[Files]\r\n1=a.txt\r\n").File("a.txt", "a");
    Run first = package.Start("/S");
    REQUIRE(first.Exit(60000) == 0);
    CHECK(CreatedProgramFolderValue("Qv Vorhanden") == 0);
    // removed and made again by the next install, the folder still counts as found: the entry
    // keeps its first answer
    RemoveTree(target);
    Run second = package.Start("/S");
    REQUIRE(second.Exit(60000) == 0);
    CHECK(CreatedProgramFolderValue("Qv Vorhanden") == 0);
    RemoveInstallation("Qv Vorhanden", "QvVorhanden");
}

TEST_CASE("RegFile is imported by the registry editor, RunOnce starts in the program folder") {
    const std::string target = ProgramFilesDir() + "\\QvRun";
    RemoveInstallation("Qv Run", "QvRun");
    RemoveRegistryTree(HKEY_CURRENT_USER, "Software\\QvImported");
    ClearRecorderLogs();
    Package package("install-run");
    package.List("[General]\r\nAppName=Qv Run\r\nFolder=QvRun\r\nRegFile=Daten.reg\r\nRunOnce=Start.exe /erst\r\n"
                 "[Files]\r\n1=Start.exe\r\n2=Daten.reg\r\n")
        .CopyIn(RecorderProgram(), "Start.exe")
        .File("Daten.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QvImported]\r\n\"Gru\xDF\"=\"Hallo\"\r\n");
    Run run = package.Start("/S");
    CHECK(run.Exit(60000) == 0);
    CHECK(WaitFor([] { return !RegistryText(HKEY_CURRENT_USER, "Software\\QvImported", "Gru\xDF").empty(); }));
    CHECK(RegistryText(HKEY_CURRENT_USER, "Software\\QvImported", "Gru\xDF") == "Hallo");
    CHECK(WaitFor([] { return !RecorderLog("Start.exe").empty(); }));
    std::string log = RecorderLog("Start.exe");
    CHECK(log.rfind(target + "\n", 0) == 0);  // started with the program folder as its current folder
    CHECK(log.find("\"" + target + "\\Start.exe\" /erst") != std::string::npos);
    RemoveRegistryTree(HKEY_CURRENT_USER, "Software\\QvImported");
    RemoveInstallation("Qv Run", "QvRun");
}

TEST_CASE("a RunOnce document is opened through its association") {
    RemoveInstallation("Qv Document", "QvDocument");
    ClearRecorderLogs();
    // documents of the type .qvdoc open with the recorder stand-in, associated the usual way
    std::string opener = ProgramFilesDir() + "\\QvOpener";
    CreateDirectoryA(opener.c_str(), nullptr);
    CopyFileA(RecorderProgram().c_str(), (opener + "\\Opener.exe").c_str(), FALSE);
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, ".qvdoc", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("qvdocfile"), 10);
    RegCloseKey(key);
    RegCreateKeyExA(HKEY_CLASSES_ROOT, "qvdocfile\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    std::string command = "\"" + opener + "\\Opener.exe\" \"%1\"";
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);

    Package package("install-document");
    package.List("[General]\r\nAppName=Qv Document\r\nFolder=QvDocument\r\nRunOnce=Brief.qvdoc\r\n[Files]\r\n1=Brief.qvdoc\r\n")
        .File("Brief.qvdoc", "Brief");
    Run run = package.Start("/S");
    CHECK(run.Exit(60000) == 0);
    CHECK(WaitFor([] { return !RecorderLog("Opener.exe").empty(); }));
    CHECK(RecorderLog("Opener.exe").find(ProgramFilesDir() + "\\QvDocument\\Brief.qvdoc") != std::string::npos);
    RemoveRegistryTree(HKEY_CLASSES_ROOT, ".qvdoc");
    RemoveRegistryTree(HKEY_CLASSES_ROOT, "qvdocfile");
    RemoveTree(opener);
    RemoveInstallation("Qv Document", "QvDocument");
}

TEST_CASE("an uninstall entry whose folder is gone lets an installation into another folder take it over") {
    const std::string key = std::string(kUninstallKeyBase) + "Qv Verwaist";
    RemoveInstallation("Qv Verwaist", "QvVerwaist 2");
    RemoveTree(ProgramFilesDir() + "\\QvVerwaist 1");
    // the entry an installation in QvVerwaist 1 left behind when its folder was deleted by hand
    HKEY handle = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) ==
            ERROR_SUCCESS);
    const std::string gone = ProgramFilesDir() + "\\QvVerwaist 1";
    RegSetValueExA(handle, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(gone.c_str()),
                   static_cast<DWORD>(gone.size() + 1));
    RegCloseKey(handle);
    Package package("install-orphaned-entry");
    package.List("[General]\r\nAppName=Qv Verwaist\r\nFolder=QvVerwaist 2\r\n[Files]\r\n1=a.txt\r\n").File("a.txt", "a");
    Run run = package.Start("/S");
    CHECK(run.Exit(60000) == 0);
    CHECK(ReadFileBytes(ProgramFilesDir() + "\\QvVerwaist 2\\A.txt") == "a");
    CheckUninstallEntry("Qv Verwaist", ProgramFilesDir() + "\\QvVerwaist 2");
    RemoveInstallation("Qv Verwaist", "QvVerwaist 2");
}
