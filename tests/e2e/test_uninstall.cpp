// Uninstall scenarios: a package is installed with Setup.exe /S, then the installed Uninst.exe
// is started from the program folder, its questions are read and answered, and what is left
// afterwards (also after the self-removal script has run) is read back through Windows' own APIs.
#include <doctest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "footprint.h"
#include "test_files.h"

using namespace e2e;

namespace {

const char* const kDemoName = DemoPackage::kAppName;
const char kQuestionCaption[] = "Deinstallation";
const char kProgressCaption[] = "Deinstallation l\xE4uft...";
const char kSystemFileCaption[] = "S Y S T E M D A T E I   L\xD6SCHEN";
const char kUserFilesCaption[] = "Anwenderdateien l\xF6schen";
const char kPurgeCaption[] = "L\xF6schvorgang best\xE4tigen";
const char kDoneCaption[] = "Deinstallation erfolgreich";
const char kNotDeletedCaption[] = "Datei konnte nicht gel\xF6scht werden.";
const char kRefusedCaption[] = "Deinstallation abgebrochen";
const char kMissingListCaption[] = "Uninstall (Fehler)";
// Another program's document type that the demo's registration of .qvn must leave alone.
const char kOtherDocumentType[] = "QvAndere.Datei";

std::string UninstallQuestion(const std::string& appName) {
    return appName + "\r\nvollst\xE4ndig vom Computer entfernen?\r\r(Beenden Sie vor diesem Vorgang alle Anwendungen)";
}

std::string SystemFileQuestion(const std::string& path) {
    return path + "\r\rACHTUNG: Datei eines Systemordners!\r"
                  "Dieser L\xF6schvorgang k\xF6nnte u.U. Folgen f\xFCr andere Anwendungen haben.\r\r"
                  "Datei dennoch l\xF6schen?";
}

std::string UserFilesQuestion(const std::string& pattern) {
    return pattern + "\r\rSollen diese Dateien auch gel\xF6scht werden?\r\r"
                     "(Achtung: Haben Sie Dateien dieses Typs geschrieben?!)";
}

std::string PurgeQuestion(const std::string& folder, const std::string& appName) {
    return "Alle Dateien im Programmordner \r\n\r\n" + folder + "\r\n\r\nrestlos l\xF6schen?\r\n\r\n\r\n"
           "(Antworten sie NEIN, wenn Sie mit\r\n\"" + appName + "\" Dateien erstellt haben)";
}

std::string DoneText(const std::string& appName, bool purged) {
    if (purged)
        return appName + "\rwurde vollst\xE4ndig vom Computer entfernt.\r\r"
                         "(In der folgenden Konsole wird noch das Deinstallationsprogramm enfernt.)";
    return appName + "\rwurde vom Computer entfernt.\r\r(M\xF6glicherweise von Ihnen erstellte\r"
                     "Dateien wurden nicht gel\xF6scht)";
}

// Waits for a Yes/No/Cancel question with No as the default and checks it.
Window ExpectQuestion(const Run& run, const std::string& caption, const std::string& text, HWND owner) {
    CAPTURE(caption);
    Window box = run.WaitWindow(caption);
    REQUIRE(box);
    CHECK(box.MessageText() == text);
    CHECK(box.Owner() == owner);
    CHECK(box.ButtonIds() == std::vector<int>{IDYES, IDNO, IDCANCEL});
    CHECK(box.DefaultButton() == IDNO);
    CHECK(box.HasIcon());
    return box;
}

void AnswerBox(const Window& box, int answer) {
    box.Press(answer);
    REQUIRE(box.WaitGone());
}

void Answer(const Run& run, const std::string& caption, const std::string& text, HWND owner, int answer) {
    AnswerBox(ExpectQuestion(run, caption, text, owner), answer);
}

// Waits for the closing message, checks it, and closes it.
void ExpectDone(const Run& run, const std::string& text, HWND owner) {
    Window box = run.WaitWindow(kDoneCaption);
    REQUIRE(box);
    CHECK(box.MessageText() == text);
    CHECK(box.Owner() == owner);
    CHECK(box.ButtonIds() == std::vector<int>{IDOK});
    CHECK(box.HasIcon());
    box.Press(IDOK);
}

// Sets the default value of HKEY_CLASSES_ROOT\.qvn as another program would have it.
void RegisterOtherDocumentType() {
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".qvn", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kOtherDocumentType),
                   sizeof kOtherDocumentType);
    RegCloseKey(key);
}

// The demo installed with Setup.exe /S over another program's registration of .qvn, with a
// file of the user's own in the program folder.
struct InstalledDemo : DemoPackage {
    explicit InstalledDemo(const std::string& name) : DemoPackage(name) {
        RegisterOtherDocumentType();
        REQUIRE(InstallSilently());
        WriteFileBytes(target + "\\Eigene Notiz.txt", "vom Anwender");
    }
};

// The traces outside the program folder are gone; the other program's document type stays.
void CheckDemoTracesGone() {
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + kDemoName));
    CHECK_FALSE(PathExists(ProgramsDir(true) + "\\" + kDemoName));
    CHECK_FALSE(PathExists(DesktopDir(true) + "\\Quorvane Notizen.lnk"));
    CHECK(RegistryText(HKEY_CLASSES_ROOT, ".qvn", nullptr) == kOtherDocumentType);
    CHECK_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".qvn\\shell"));
    CHECK_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".qvn\\OpenWithList"));
    CHECK_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "Applications\\Notizen.qvn"));
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Applications\\Notizen.qvn"));
}

// A small package in Program Files\<folder>, installed silently and cleaned up before and after.
struct InstalledPackage {
    std::string appName;
    std::string folder;
    std::string target;
    Package package;

    InstalledPackage(const std::string& name, const std::string& app, const std::string& folderName)
        : appName(app), folder(folderName), target(ProgramFilesDir() + "\\" + folderName), package(name) {
        Clean();
    }
    ~InstalledPackage() { Clean(); }
    void Clean() {
        RemoveInstallation(appName, folder);
        DeleteFileA(SelfRemovalScriptPath().c_str());
    }
    void Install() {
        Run setup = package.Start("/S");
        REQUIRE(setup.Exit(60000) == 0);
        REQUIRE(PathExists(target + "\\Uninst.exe"));
    }
    Run StartUninstaller(const std::string& arguments = "") const {
        return StartInstalled(target + "\\Uninst.exe", arguments);
    }
};

}  // namespace

TEST_CASE("the demo answered Yes throughout: files, font, wildcard groups, shortcuts, file type, key and folder go") {
    InstalledDemo demo("uninstall-yes");
    const std::string& target = demo.target;
    Run run = demo.StartUninstaller();
    HWND main = run.MainWindow().Handle();
    REQUIRE(main != nullptr);
    Answer(run, kQuestionCaption, UninstallQuestion(kDemoName), main, IDYES);
    Window progress = run.WaitWindow(kProgressCaption);
    REQUIRE(progress);
    CHECK(progress.Owner() == main);
    Answer(run, kSystemFileCaption, SystemFileQuestion(demo.font), progress.Handle(), IDYES);
    Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\*.qvd"), progress.Handle(), IDYES);
    Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\Vorlagen\\*.qvv"), progress.Handle(), IDYES);
    Window purge = ExpectQuestion(run, kPurgeCaption, PurgeQuestion(target, kDemoName), main);
    // before the last question: the listed files and the wildcard groups are gone, the progress
    // window is closed, and the list copy is ready for the script; the entry goes last, so that
    // an uninstall ended here can be started again
    CHECK(FilesIn(target) == std::vector<std::string>{"Eigene Notiz.txt", "Setup.lst", "Uninst.exe"});
    CHECK_FALSE(PathExists(target + "\\Vorlagen"));
    CHECK_FALSE(PathExists(demo.font));
    CHECK((Facts(target + "\\Setup.lst").attributes & 7) == 0);
    CHECK_FALSE(progress.IsVisible());
    CHECK(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + kDemoName));
    AnswerBox(purge, IDYES);
    ExpectDone(run, DoneText(kDemoName, true), main);
    CHECK(run.Exit() == 0);

    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CHECK_FALSE(PathExists(target));
    CHECK(PathExists(ProgramFilesDir()));
    CheckDemoTracesGone();
}

TEST_CASE("the demo answered No throughout: the font, the user's files and the program folder stay") {
    InstalledDemo demo("uninstall-no");
    const std::string& target = demo.target;
    Run run = demo.StartUninstaller();
    HWND main = run.MainWindow().Handle();
    Answer(run, kQuestionCaption, UninstallQuestion(kDemoName), main, IDYES);
    Window progress = run.WaitWindow(kProgressCaption);
    REQUIRE(progress);
    Answer(run, kSystemFileCaption, SystemFileQuestion(demo.font), progress.Handle(), IDNO);
    Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\*.qvd"), progress.Handle(), IDNO);
    Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\Vorlagen\\*.qvv"), progress.Handle(), IDCANCEL);
    Answer(run, kPurgeCaption, PurgeQuestion(target, kDemoName), main, IDNO);
    ExpectDone(run, DoneText(kDemoName, false), main);
    CHECK(run.Exit() == 0);

    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CHECK(PathExists(demo.font));
    // the uninstaller, the list copy and the emptied [AltFolder] sub-folder went with the script
    CHECK(FilesIn(target) == std::vector<std::string>{"Beispiel1.qvd", "Beispiel2.qvd", "Eigene Notiz.txt"});
    CHECK(ReadFileBytes(target + "\\Eigene Notiz.txt") == "vom Anwender");
    CHECK(FilesIn(target + "\\Vorlagen") == std::vector<std::string>{"Brief.qvv", "Rechnung.qvv"});
    CHECK_FALSE(PathExists(target + "\\Dokumente"));
    CheckDemoTracesGone();
}

TEST_CASE("/UQ asks nothing, keeps the font, and removes the wildcard files and the program folder") {
    InstalledDemo demo("uninstall-quiet");
    Run run = demo.StartUninstaller("/UQ");
    // any box would keep the program from ending
    CHECK(run.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CHECK(PathExists(demo.font));
    CHECK_FALSE(PathExists(demo.target));
    CheckDemoTracesGone();
}

TEST_CASE("companion files go with their files, a file of the Windows folder only after Yes") {
    const std::string windows = WindowsDir();
    InstalledPackage installed("uninstall-companions", "Qv Begleiter", "QvBegleiter");
    installed.package
        .List("[General]\r\nAppName=Qv Begleiter\r\nFolder=QvBegleiter\r\n"
              "[Files]\r\n1=Hilfe.hlp\r\n2=Werkzeug.exe\r\n3=QvSystem.exe\r\n[AltFolder]\r\n3=W\\\r\n"
              "[WildCopy]\r\n1=*.lst\r\n2=*.exe\r\n")
        .File("Hilfe.hlp", "hilfe")
        .File("Werkzeug.exe", "werkzeug")
        .File("QvSystem.exe", "system")
        .File("Daten.lst", "daten");
    const std::string target = installed.target;
    const std::vector<std::string> companions = {
        target + "\\HILFE.GID", target + "\\HILFE.FTS", target + "\\WERKZEUG.INI", target + "\\WERKZEUG.PIF",
        windows + "\\QVSYSTEM.INI", windows + "\\QVSYSTEM.PIF"};
    const std::string systemFile = windows + "\\QvSystem.exe";
    struct WindowsFolderFiles {
        std::vector<std::string> paths;
        ~WindowsFolderFiles() {
            for (const std::string& path : paths) DeleteFileA(path.c_str());
        }
    } cleanup{{systemFile, companions[4], companions[5]}};

    for (int answer : {IDYES, IDNO}) {
        CAPTURE(answer);
        installed.Install();
        REQUIRE(PathExists(systemFile));
        for (const std::string& path : companions) WriteFileBytes(path, "begleiter");
        Run run = installed.StartUninstaller();
        HWND main = run.MainWindow().Handle();
        Answer(run, kQuestionCaption, UninstallQuestion("Qv Begleiter"), main, IDYES);
        Window progress = run.WaitWindow(kProgressCaption);
        REQUIRE(progress);
        Answer(run, kSystemFileCaption, SystemFileQuestion(systemFile), progress.Handle(), answer);
        // the patterns also match the list copy and the running uninstaller: both are left to the
        // script, without an error box
        Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\*.lst"), progress.Handle(), IDYES);
        Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\*.exe"), progress.Handle(), IDYES);
        Window purge = ExpectQuestion(run, kPurgeCaption, PurgeQuestion(target, "Qv Begleiter"), main);
        CHECK(run.DialogCaptions() == std::vector<std::string>{kPurgeCaption});
        CHECK(FilesIn(target) == std::vector<std::string>{"Setup.lst", "Uninst.exe"});
        AnswerBox(purge, IDYES);
        ExpectDone(run, DoneText("Qv Begleiter", true), main);
        CHECK(run.Exit() == 0);
        REQUIRE(WaitForSelfRemoval(run.Pid()));

        CHECK_FALSE(PathExists(target));
        for (const std::string& path : companions) {
            CAPTURE(path);
            CHECK_FALSE(PathExists(path));
        }
        CHECK(PathExists(systemFile) == (answer != IDYES));
        DeleteFileA(systemFile.c_str());
    }
}

TEST_CASE("/UQ keeps a file of the Windows folder but deletes its companions") {
    const std::string windows = WindowsDir();
    InstalledPackage installed("uninstall-quiet-system", "Qv Still", "QvStill");
    installed.package.List("[General]\r\nAppName=Qv Still\r\nFolder=QvStill\r\n[Files]\r\n1=QvStill.exe\r\n"
                           "[AltFolder]\r\n1=W\\\r\n")
        .File("QvStill.exe", "still");
    installed.Install();
    const std::string systemFile = windows + "\\QvStill.exe";
    WriteFileBytes(windows + "\\QVSTILL.INI", "ini");
    WriteFileBytes(windows + "\\QVSTILL.PIF", "pif");
    Run run = installed.StartUninstaller("/UQ");
    CHECK(run.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CHECK(ReadFileBytes(systemFile) == "still");
    CHECK_FALSE(PathExists(windows + "\\QVSTILL.INI"));
    CHECK_FALSE(PathExists(windows + "\\QVSTILL.PIF"));
    CHECK_FALSE(PathExists(installed.target));
    DeleteFileA(systemFile.c_str());
}

TEST_CASE("a listed file held open is reported with its box and the run carries on") {
    InstalledPackage installed("uninstall-held", "Qv Offen", "QvOffen");
    installed.package.List("[General]\r\nAppName=Qv Offen\r\nFolder=QvOffen\r\n[Files]\r\n1=Offen.txt\r\n2=Zu.txt\r\n")
        .File("Offen.txt", "offen")
        .File("Zu.txt", "zu");
    installed.Install();
    const std::string held = installed.target + "\\Offen.txt";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);

    Run run = installed.StartUninstaller("/UQ");
    Window progress = run.WaitWindow(kProgressCaption);
    Window box = run.WaitWindow(kNotDeletedCaption);
    CloseHandle(file);
    REQUIRE(box);
    REQUIRE(progress);
    CHECK(box.MessageText() == held + "\r\rL\xF6schen Sie die Datei ggf. von Hand.");
    CHECK(box.Owner() == progress.Handle());
    CHECK(box.ButtonIds() == std::vector<int>{IDOK});
    CHECK(box.HasIcon());
    box.Press(IDOK);
    CHECK(run.Exit() == 0);
    CHECK_FALSE(PathExists(installed.target + "\\Zu.txt"));
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + "Qv Offen"));
    // the file was released before the script emptied the folder
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CHECK_FALSE(PathExists(installed.target));
}

TEST_CASE("a list that would lead out of the installation is refused before the question, nothing deleted") {
    // The list lies beside a copy of the program named Uninst.exe in Program Files\QvVerweigert.
    // Without the refusal, the first rows would delete the sentinel in the program-files folder
    // (the program folder would be that folder itself), the WildSubFolder row the root of the
    // drive with its sentinel.
    struct Row { const char* what; const char* general; const char* sections; const char* named; const char* reason; };
    const Row rows[] = {
        {"no AppName and no Folder", "", "", "[General]\rFolder=",
         "Es ist kein Programmordner angegeben: Folder (oder AppName) darf nicht leer sein."},
        {"a Folder of blanks", "AppName=Qv Verweigert\r\nFolder=\" \"\r\n", "", "[General]\rFolder= ",
         "Es ist kein Programmordner angegeben: Folder (oder AppName) darf nicht leer sein."},
        {"an AppName from the root", "AppName=\\qv-waechter\r\nFolder=QvVerweigert\r\n", "",
         "[General]\rAppName=\\qv-waechter", "Der Wert darf nicht mit \"\\\" beginnen."},
        {"a WildSubFolder upwards", "AppName=Qv Verweigert\r\nFolder=QvVerweigert\r\n",
         "[WildCopy]\r\n1=*.txt\r\n[WildSubFolder]\r\n1=..\\..\r\n", "[WildSubFolder]\r1=..\\..",
         "Ordnernamen aus Punkten (wie \"..\") w\xFCrden aus dem Ordner der Anwendung herausf\xFChren."},
        {"a WildCopy with a drive", "AppName=Qv Verweigert\r\nFolder=QvVerweigert\r\n",
         "[WildCopy]\r\n1=C:\\*.txt\r\n", "[WildCopy]\r1=C:\\*.txt", "Laufwerksangaben (wie \"C:\") sind hier nicht erlaubt."},
    };
    const std::string folder = ProgramFilesDir() + "\\QvVerweigert";
    const std::string sentinels[] = {ProgramFilesDir() + "\\qv-waechter.txt", "C:\\qv-waechter.txt",
                                     folder + "\\qv-waechter.txt"};
    for (const Row& row : rows) {
        CAPTURE(std::string(row.what));
        RemoveTree(folder);
        DeleteFileA(SelfRemovalScriptPath().c_str());
        REQUIRE(CreateDirectoryA(folder.c_str(), nullptr));
        for (const std::string& sentinel : sentinels) WriteFileBytes(sentinel, "bleibt");
        REQUIRE(CopyFileA(ProgramUnderTest().c_str(), (folder + "\\Uninst.exe").c_str(), FALSE));
        WriteFileBytes(folder + "\\Setup.lst", std::string("[General]\r\n") + row.general +
                                                   "[Files]\r\n1=qv-waechter.txt\r\n" +
                                                   row.sections);

        Run run = StartInstalled(folder + "\\Uninst.exe", "/U");
        Window box = run.WaitWindow(kRefusedCaption);
        REQUIRE(box);
        CHECK(run.DialogCaptions() == std::vector<std::string>{kRefusedCaption});  // no question before it
        CHECK(box.MessageText() == std::string("Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r") + row.named +
                                       "\r\r" + row.reason + "\r\rEs wurde nichts gel\xF6scht.");
        CHECK(box.Owner() == run.MainWindow().Handle());
        CHECK(box.ButtonIds() == std::vector<int>{IDOK});
        CHECK(box.HasIcon());
        box.Press(IDOK);
        CHECK(run.Exit() == 1);
        for (const std::string& sentinel : sentinels) CHECK(ReadFileBytes(sentinel) == "bleibt");
        CHECK(PathExists(folder + "\\Uninst.exe"));
        CHECK(PathExists(folder + "\\Setup.lst"));
        CHECK_FALSE(PathExists(SelfRemovalScriptPath()));
    }
    for (const std::string& sentinel : sentinels) DeleteFileA(sentinel.c_str());
    RemoveTree(folder);
}

TEST_CASE("a tampered list copy of a real installation is refused and the installation stays whole") {
    InstalledPackage installed("uninstall-tampered", "Qv Verfaelscht", "QvVerfaelscht");
    installed.package.List("[General]\r\nAppName=Qv Verfaelscht\r\nFolder=QvVerfaelscht\r\n[Files]\r\n1=Daten.txt\r\n"
                           "[Links]\r\n1=Daten\r\n[WildCopy]\r\n1=*.txt\r\n")
        .File("Daten.txt", "daten");
    installed.Install();
    const std::string list = installed.target + "\\Setup.lst";
    REQUIRE((Facts(list).attributes & 7) == 7);
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(list, ReadFileBytes(installed.package.Path("Setup.lst")) + "[WildSubFolder]\r\n1=..\\..\r\n");
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteFileBytes("C:\\qv-waechter.txt", "bleibt");

    Run run = installed.StartUninstaller("/UQ");
    Window box = run.WaitWindow(kRefusedCaption);
    REQUIRE(box);
    CHECK(box.MessageText().find("[WildSubFolder]\r1=..\\..\r\r") != std::string::npos);
    box.Press(IDOK);
    CHECK(run.Exit() == 1);
    CHECK(ReadFileBytes("C:\\qv-waechter.txt") == "bleibt");
    CHECK(ReadFileBytes(installed.target + "\\Daten.txt") == "daten");
    CHECK(PathExists(installed.target + "\\Uninst.exe"));
    CHECK(PathExists(ProgramsDir(true) + "\\Qv Verfaelscht\\Daten.lnk"));
    CHECK(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + "Qv Verfaelscht"));
    CHECK_FALSE(PathExists(SelfRemovalScriptPath()));
    DeleteFileA("C:\\qv-waechter.txt");
}

TEST_CASE("uninstalling twice: the second run finds no SETUP.LST and ends with its error and exit code 1") {
    InstalledPackage installed("uninstall-twice", "Qv Zweimal", "QvZweimal");
    installed.package.List("[General]\r\nAppName=Qv Zweimal\r\nFolder=QvZweimal\r\n[Files]\r\n1=a.txt\r\n")
        .File("a.txt", "a");
    installed.Install();
    const std::string uninstaller = installed.target + "\\Uninst.exe";
    // Held open (reading shared), the uninstaller cannot be deleted by the script: it stays
    // behind without its list, as after a self-removal that could not finish.
    HANDLE held = CreateFileA(uninstaller.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    Run first = installed.StartUninstaller("/UQ");
    CHECK(first.Exit() == 0);
    bool scriptEnded = WaitForSelfRemoval(first.Pid());
    CloseHandle(held);
    REQUIRE(scriptEnded);
    REQUIRE(PathExists(uninstaller));
    REQUIRE_FALSE(PathExists(installed.target + "\\Setup.lst"));

    Run second = installed.StartUninstaller();
    Window box = second.WaitWindow(kMissingListCaption);
    REQUIRE(box);
    CHECK(box.MessageText() ==
          "Diese Anwendung kann nicht automatisch\renfernt werden, da die Datei SETUP.LST fehlt.");
    box.Press(IDOK);
    CHECK(second.Exit() == 1);
    CHECK_FALSE(PathExists(SelfRemovalScriptPath()));
}

TEST_CASE("files the user keeps in a shared sub-folder stay when another entry of that sub-folder is removed") {
    InstalledPackage installed("uninstall-shared-sub", "Qv Teilen", "QvTeilen");
    installed.package
        .List("[General]\r\nAppName=Qv Teilen\r\nFolder=QvTeilen\r\n[Files]\r\n1=Bin\\Werkzeug.txt\r\n"
              "[WildCopy]\r\n1=*.txt\r\n2=*.doc\r\n[WildSubFolder]\r\n1=Texte\r\n2=texte\r\n")
        .File("Bin\\Werkzeug.txt", "werkzeug")
        .File("Notiz.txt", "notiz")
        .File("Brief.doc", "brief");
    installed.Install();
    const std::string target = installed.target;
    REQUIRE(PathExists(target + "\\Werkzeug.txt"));
    REQUIRE(FilesIn(target + "\\Texte") == std::vector<std::string>{"Brief.doc", "Notiz.txt"});

    Run run = installed.StartUninstaller();
    HWND main = run.MainWindow().Handle();
    Answer(run, kQuestionCaption, UninstallQuestion("Qv Teilen"), main, IDYES);
    Window progress = run.WaitWindow(kProgressCaption);
    REQUIRE(progress);
    Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\Texte\\*.txt"), progress.Handle(), IDNO);
    Answer(run, kUserFilesCaption, UserFilesQuestion(target + "\\Texte\\*.doc"), progress.Handle(), IDYES);
    Window purge = ExpectQuestion(run, kPurgeCaption, PurgeQuestion(target, "Qv Teilen"), main);
    // a listed file with a folder part was installed under its name alone, and removed from there
    CHECK_FALSE(PathExists(target + "\\Werkzeug.txt"));
    CHECK(FilesIn(target + "\\Texte") == std::vector<std::string>{"Notiz.txt"});
    AnswerBox(purge, IDNO);
    ExpectDone(run, DoneText("Qv Teilen", false), main);
    CHECK(run.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CHECK(ReadFileBytes(target + "\\Texte\\Notiz.txt") == "notiz");
}

TEST_CASE("an uninstaller started outside the program folder never empties the folder it runs from") {
    InstalledPackage installed("uninstall-elsewhere", "Qv Anderswo", "QvAnderswo");
    installed.package.List("[General]\r\nAppName=Qv Anderswo\r\nFolder=QvAnderswo\r\n[Files]\r\n1=Daten.txt\r\n")
        .File("Daten.txt", "daten");
    installed.Install();
    // copies of the uninstaller and its list in a folder of the user's, next to a file of theirs
    std::string elsewhere = FreshFolder("uninstall-elsewhere-copy", "C:\\qve2e");
    REQUIRE(CopyFileA((installed.target + "\\Uninst.exe").c_str(), (elsewhere + "\\Uninst.exe").c_str(), FALSE));
    REQUIRE(CopyFileA((installed.target + "\\Setup.lst").c_str(), (elsewhere + "\\Setup.lst").c_str(), FALSE));
    WriteFileBytes(elsewhere + "\\Wichtig.txt", "wichtig");

    Run run = StartInstalled(elsewhere + "\\Uninst.exe", "/UQ");
    CHECK(run.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    // the installation itself was removed as listed
    CHECK_FALSE(PathExists(installed.target + "\\Daten.txt"));
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + "Qv Anderswo"));
    // the quiet uninstall did not purge the folder it ran from
    CHECK(ReadFileBytes(elsewhere + "\\Wichtig.txt") == "wichtig");
    RemoveTree(elsewhere);
}

TEST_CASE("an uninstall ended at its last question can be run again and still removes the folder it made") {
    InstalledPackage installed("uninstall-ended", "Qv Abgebrochen", "QvAbgebrochen");
    installed.package.List("[General]\r\nAppName=Qv Abgebrochen\r\nFolder=QvAbgebrochen\r\n[Files]\r\n1=Daten.txt\r\n")
        .File("Daten.txt", "daten");
    installed.Install();
    WriteFileBytes(installed.target + "\\Eigene Notiz.txt", "vom Anwender");
    const std::string key = std::string(kUninstallKeyBase) + "Qv Abgebrochen";

    Run first = installed.StartUninstaller();
    HWND main = first.MainWindow().Handle();
    Answer(first, kQuestionCaption, UninstallQuestion("Qv Abgebrochen"), main, IDYES);
    ExpectQuestion(first, kPurgeCaption, PurgeQuestion(installed.target, "Qv Abgebrochen"), main);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, first.Pid());
    REQUIRE(process != nullptr);
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    // ended at the purge question: the listed file is gone, the entry with its record is not
    CHECK(FilesIn(installed.target) == std::vector<std::string>{"Eigene Notiz.txt", "Setup.lst", "Uninst.exe"});
    DWORD created = 0;
    CHECK(RegistryDword(HKEY_LOCAL_MACHINE, key, "CreatedProgramFolder", &created));
    CHECK(created == 1);
    CHECK_FALSE(PathExists(SelfRemovalScriptPath()));

    Run second = installed.StartUninstaller("/UQ");
    CHECK(second.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(second.Pid()));
    CHECK_FALSE(PathExists(installed.target));
    CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, key));
}
