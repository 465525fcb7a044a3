// Dialog scenarios: the intro and confirmation dialogs before an installation, and the syntax
// help with its two launch buttons, driven from outside as a user would.
#include <doctest.h>

#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {

const char kIntroCaption[] = "Dialog Test  (Installation)";
const char kMainCaption[] = "Dialog Test";
const char kSyntaxCaption[] = "Quorvane - SETUP.LST nicht gefunden";
const char kAboutFirstLine[] = "Quorvane Version 3.7.0.0\r\n";
const char kFolder[] = "QvDialogTest";

const char kIntroList[] =
    "[General]\r\nAppName=Dialog Test\r\nFolder=QvDialogTest\r\n"
    "Intro1=Willkommen zur Installation\r\nIntro2=\r\nIntro3=Viel Spa\xDF!\r\n"
    "[Files]\r\n1=Readme.txt\r\n";
const char kIntroText[] = "\r\nWillkommen zur Installation\r\n\r\n\r\n\r\nViel Spa\xDF!";

const char kPlainList[] =
    "[General]\r\nAppName=Dialog Test\r\nFolder=QvDialogTest\r\n[Files]\r\n1=Readme.txt\r\n";

constexpr int kCopyButton = 102;
constexpr int kListEditorButton = 103;
constexpr int kMainText = 101;

// The example that follows the about text in the syntax help, written out byte for byte.
std::string HelpExample() {
    const std::string divider(56, '\xF7');
    return std::string("Beispiel f\xFC" "r SETUP.LST:\r\n") +
           divider + "\r\n" +
           std::string(
        "[General]\r\n"
        "AppName=Meine Anwendung\r\n"
        "Version=Version 1.0\xDF\r\n"
        "Copyright=\xA9" " 2010 Meine Firma\r\n"
        "Folder=Alte Programme\t{ fakultativ, sonst AppName }\r\n"
        "RegFile=RegisterMe.reg\t{ fakultativ }\r\n"
        "RunOnce=Write311.exe\t{ fakultativ }\r\n"
        "AllUsers=1|0\t\t{ fakultativ, sonst 1 }\r\n"
        "CopyOnly=0|1\t\t{ fakultativ, sonst 0 }\r\n"
        "Intro1=1. Zeile\t\t{ fakultativ f\xFC" "r Startdialog }\r\n"
        "Intro2=2. Zeile\r\n"
        "Intro3=3. Zeile\r\n"
        "\r\n"
        "[Files]\r\n"
        "1=Write311.exe\r\n"
        "2=Calendar.exe\r\n"
        "3=Cardfile.exe\r\n"
        "4=Muster.wri\r\n"
        "\r\n"
        "[AltFolder]\t\t{ Alt. Ordner f\xFC" "r [Files] }\r\n"
        "1=w\t\t{ C:\\Windows }\r\n"
        "2=w\\ShellNew\t{ C:\\Windows\\ShellNew }\r\n"
        "3=s\t\t{ C:\\Windows\\System }\r\n"
        "4=s\\Viewers\t{ C:\\Windows\\System\\Viewers }\r\n"
        "5=f\t\t{ C:\\Windows\\Fonts }\r\n"
        "6=\\Data\t\t{ C:\\Programme\\Folder\\Data }\r\n"
        "\r\n"
        "[Links]\t{ erstellt Links zu [Files] }\r\n"
        "1=Write\r\n"
        "2=Kalender\r\n"
        "3=Kartei\r\n"
        "\r\n"
        "[DesktopLinks]\t{ erstellt Desktop-Links zu [Files] }\r\n"
        "1=Write (Textverarbeitung)\r\n"
        "2=Kalender\r\n"
        "3=Kartei\r\n"
        "\r\n"
        "[Extensions]\t{ registriert Dateien zu [Files] }\r\n"
        "1=WRI,TXT,DOK\t{ Gro\xDF" "buchstaben => Kurze Dateinamen }\r\n"
        "3=crd\r\n"
        "\r\n"
        "[WildCopy]\t{ kopiert beliebig mit Wildcards }\r\n"
        "1=*.dll\t\t{ ab hier unbh\xE4" "ngig von [Files]! }\r\n"
        "2=*.txt\r\n"
        "3=*.hlp\r\n"
        "\r\n"
        "[WildSubFolder]\t{ optionale Unterordner f\xFC" "r WildCopy }\r\n"
        "2=TexteKartei\t\t{ C:\\Programme\\Folder\\Kartei }\r\n"
        "\r\n"
           ) +
           divider + "\r\n" +
           std::string(
        "Hinweise:\r\n"
        "\r\n"
        "Aus \"Folder\" wird der Zielordner:\r\n"
        "\xB7" "C:\\Programme\\Meine Anwendung\\..\r\n"
        "\r\n"
        "Bei fehlender Variable \"Folder\" wird aus \"AppName\"\r\n"
        "sowohl der Programmordner als auch der Eintrag in\r\n"
        "der Registry erstellt:\r\n"
        "\r\n"
        "\xB7" "C:\\Programme\\Meine Anwendung\\..\r\n"
        "\xB7" "HKLM\\SOFTWARE\\ ... \\Uninstall\\Meine Anwendung\r\n"
        "\r\n"
        "Setup erlaubt bis zu 128 Eintr\xE4" "ge/Sektion.\r\n"
        "Dateinamen und Beschreibungen sollten hier nicht l\xE4" "nger als 80 Zeichen sein.\r\n"
        "\r\n"
        "TIPP: Mit 7-Zip/WinZip eine SFX erstellen, welche Setup.exe startet."
           );
}


std::string TargetFolder() {
    std::string programFiles =
        ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    return programFiles + "\\" + kFolder;
}

std::string ShellFolder(HKEY root, const char* name) {
    return ReadRegistryText(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name);
}

// What an installation of the scenarios' list leaves behind: the target folder, the start-menu
// group and the uninstall entry. Removed before each scenario, so that the absence of the target
// folder afterwards means something, and after the scenarios that do install.
void RemoveDialogInstallation() {
    RemoveTree(TargetFolder());
    RemoveTree(ShellFolder(HKEY_LOCAL_MACHINE, "Common Programs") + "\\" + kMainCaption);
    RemoveTree(ShellFolder(HKEY_CURRENT_USER, "Programs") + "\\" + kMainCaption);
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kMainCaption);
}

// Stops the dialog the way a user can: 0 Escape, 1 Abbrechen, 2 the close box.
void StopDialog(Run& run, const char* caption, int way) {
    CAPTURE(way);
    Window dialog = run.WaitWindow(caption);
    REQUIRE(dialog);
    if (way == 0) dialog.PressEscape();
    if (way == 1) dialog.Press(IDCANCEL);
    if (way == 2) dialog.CloseBox();
    CHECK(dialog.WaitGone());
}

Package DialogPackage(const std::string& name, const char* list) {
    RemoveDialogInstallation();
    Package package(name);
    package.List(list).File("Readme.txt", "readme");
    return package;
}

// A copy of the stand-in editor beside Setup.exe under the given name.
void PlaceStandIn(const Package& package, const std::string& name) {
    CopyFileA((ToolsFolder() + "\\metapad.exe").c_str(), package.Path(name).c_str(), FALSE);
}

// Stand-ins still running end now, so that none outlives its scenario.
void CloseStandIns() {
    for (HWND window = FindWindowA("QvStandInEditor", nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, "QvStandInEditor", nullptr))
        PostMessageA(window, WM_CLOSE, 0, 0);
}

// The about text: its first line, seven lines in all, no line break after the last one.
void CheckAboutText(const std::string& about) {
    CHECK(about.rfind(kAboutFirstLine, 0) == 0);
    size_t breaks = 0;
    for (size_t at = about.find("\r\n"); at != std::string::npos; at = about.find("\r\n", at + 2)) ++breaks;
    CHECK(breaks == 6);
    CHECK(about.substr(about.size() - 2) != "\r\n");
}

HWND FocusOf(const Window& dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog.Handle(), nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool HasProgramIcon(const Window& dialog) {
    for (HWND child = GetWindow(dialog.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = "";
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageA(child, STM_GETICON, 0, 0) != 0)
            return true;
    }
    return false;
}

void EmptyTheClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

// The clipboard may be open in the editor that is pasting from it: try for a while.
std::string ClipboardText() {
    if (!WaitFor([] { return OpenClipboard(nullptr) != 0; }, 3000)) return "<clipboard busy>";
    std::string text = "<no text>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        const char* bytes = static_cast<const char*>(GlobalLock(data));
        if (bytes != nullptr) text = bytes;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// The help text: the about text, an empty line, the example.
void CheckHelpText(const std::string& text) {
    std::string example = HelpExample();
    REQUIRE(text.size() > example.size() + 4);
    size_t aboutLength = text.size() - example.size() - 4;
    CheckAboutText(text.substr(0, aboutLength));
    CHECK(text.substr(aboutLength, 4) == "\r\n\r\n");
    CHECK(text.substr(aboutLength + 4) == example);
}

std::string ExpectedMainStart() {
    return std::string("Anwendung:\tDialog Test\r\n") + "Zielordner:\t" + TargetFolder() + "\r\n\r\n" +
           "Beenden Sie alle aktiven Programme, welche zu \"Dialog Test\" geh\xF6" "ren. "
           "Das Setup \xFC" "berschreibt bestehende gleichnamige Dateien. "
           "Die Dateien werden in den Programmordner kopiert und k\xF6" "nnen jederzeit wieder vollst\xE4" "ndig "
           "entfernt werden: Systemsteuerung/Software/Entfernen...\r\n\r\n";
}

}  // namespace

TEST_CASE("intro dialog: caption, the three lines, OK and Abbrechen with OK as default and focus") {
    Package package = DialogPackage("intro", kIntroList);
    Run run = package.Start();
    Window intro = run.WaitWindow(kIntroCaption);
    REQUIRE(intro);
    CHECK(intro.Text(kMainText) == kIntroText);
    CHECK(intro.ButtonIds() == std::vector<int>{IDOK, IDCANCEL});
    CHECK(intro.Text(IDOK) == "&OK");
    CHECK(intro.Text(IDCANCEL) == "&Abbrechen");
    CHECK(intro.DefaultButton() == IDOK);
    CHECK(FocusOf(intro) == GetDlgItem(intro.Handle(), IDOK));
    CHECK(intro.Owner() == run.MainWindow().Handle());
    CHECK(run.DialogCaptions() == std::vector<std::string>{kIntroCaption});
    intro.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("intro dialog: Enter goes on to the confirmation dialog") {
    Package package = DialogPackage("intro-enter", kIntroList);
    Run run = package.Start();
    Window intro = run.WaitWindow(kIntroCaption);
    REQUIRE(intro);
    intro.PressEnter();
    Window main = run.WaitWindow(kMainCaption);
    REQUIRE(main);
    CHECK_FALSE(intro.IsVisible());
    main.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
    CHECK_FALSE(PathExists(TargetFolder()));
}

TEST_CASE("intro dialog: Escape, Abbrechen and the close box stop before the confirmation, nothing installed") {
    for (int way = 0; way < 3; ++way) {
        Package package = DialogPackage("intro-stop", kIntroList);
        Run run = package.Start();
        StopDialog(run, kIntroCaption, way);
        CHECK_FALSE(run.WaitWindow(kMainCaption, "#32770", 1000));
        CHECK(run.Exit() == 0);
        CHECK_FALSE(PathExists(TargetFolder()));
    }
}

TEST_CASE("intro dialog: notifications of the text control leave it open") {
    Package package = DialogPackage("intro-notify", kIntroList);
    Run run = package.Start();
    Window intro = run.WaitWindow(kIntroCaption);
    REQUIRE(intro);
    intro.Notify(kMainText, EN_SETFOCUS);
    intro.Notify(kMainText, EN_KILLFOCUS);
    intro.Notify(kMainText, EN_VSCROLL);
    Sleep(700);
    CHECK(intro.IsVisible());
    CHECK_FALSE(run.HasEnded());
    CHECK_FALSE(run.WaitWindow(kMainCaption, "#32770", 200));
    intro.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("intro dialog: Intro1 empty with Intro2 and Intro3 set shows no intro") {
    Package package = DialogPackage(
        "intro-none",
        "[General]\r\nAppName=Dialog Test\r\nFolder=QvDialogTest\r\nIntro2=Zwei\r\nIntro3=Drei\r\n[Files]\r\n1=Readme.txt\r\n");
    Run run = package.Start();
    Window main = run.WaitWindow(kMainCaption);
    REQUIRE(main);
    CHECK(run.DialogCaptions() == std::vector<std::string>{kMainCaption});
    main.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("confirmation dialog: caption, application, target folder, warning and about text") {
    Package package = DialogPackage("main", kPlainList);
    Run run = package.Start();
    Window main = run.WaitWindow(kMainCaption);
    REQUIRE(main);
    std::string text = main.Text(kMainText);
    std::string start = ExpectedMainStart();
    REQUIRE(text.size() > start.size());
    CHECK(text.substr(0, start.size()) == start);
    CheckAboutText(text.substr(start.size()));
    main.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("confirmation dialog: Setup and Abbrechen, Setup the default with the focus, the program icon") {
    Package package = DialogPackage("main-buttons", kPlainList);
    Run run = package.Start();
    Window main = run.WaitWindow(kMainCaption);
    REQUIRE(main);
    CHECK(main.ButtonIds() == std::vector<int>{IDOK, IDCANCEL});
    CHECK(main.Text(IDOK) == "&Setup");
    CHECK(main.Text(IDCANCEL) == "&Abbrechen");
    CHECK(main.DefaultButton() == IDOK);
    CHECK(FocusOf(main) == GetDlgItem(main.Handle(), IDOK));
    CHECK(HasProgramIcon(main));
    CHECK(main.Owner() == run.MainWindow().Handle());
    main.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("confirmation dialog: Enter ends it with 1, the installation runs and the program ends") {
    Package package = DialogPackage("main-enter", kPlainList);
    Run run = package.Start();
    Window main = run.WaitWindow(kMainCaption);
    REQUIRE(main);
    main.PressEnter();
    CHECK(main.WaitGone());
    // the install run reports its success; without an install run the program simply ends
    Window success = run.WaitWindow("Installation erfolgreich", "#32770", 10000);
    if (success) {
        CHECK(PathExists(TargetFolder() + "\\Readme.txt"));
        success.Press(IDOK);
    }
    CHECK(run.Exit() == 0);
    RemoveDialogInstallation();
}

TEST_CASE("confirmation dialog: Escape, Abbrechen and the close box stop with nothing installed") {
    for (int way = 0; way < 3; ++way) {
        Package package = DialogPackage("main-stop", kPlainList);
        Run run = package.Start();
        StopDialog(run, kMainCaption, way);
        CHECK(run.Exit() == 0);
        CHECK_FALSE(PathExists(TargetFolder()));
        CHECK(PathExists(package.Path("Setup.lst")));
    }
}

TEST_CASE("confirmation dialog: notifications of the text control and unknown commands leave it open") {
    Package package = DialogPackage("main-notify", kPlainList);
    Run run = package.Start();
    Window main = run.WaitWindow(kMainCaption);
    REQUIRE(main);
    main.Notify(kMainText, EN_SETFOCUS);
    main.Notify(kMainText, EN_KILLFOCUS);
    main.Notify(kMainText, EN_VSCROLL);
    main.Press(3);
    Sleep(700);
    CHECK(main.IsVisible());
    CHECK_FALSE(run.HasEnded());
    main.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("/s skips the confirmation dialog but not the intro") {
    SUBCASE("with an intro: the intro, then no confirmation") {
        Package package = DialogPackage("silent-intro", kIntroList);
        Run run = package.Start("/s");
        Window intro = run.WaitWindow(kIntroCaption);
        REQUIRE(intro);
        intro.PressEnter();
        CHECK(intro.WaitGone());
        CHECK_FALSE(run.WaitWindow(kMainCaption, "#32770", 1500));
        CHECK(run.Exit() == 0);
    }
    SUBCASE("without an intro: neither dialog") {
        Package package = DialogPackage("silent-plain", kPlainList);
        Run run = package.Start("/S");
        CHECK_FALSE(run.WaitWindow(kMainCaption, "#32770", 1500));
        CHECK_FALSE(run.WaitWindow(kIntroCaption, "#32770", 100));
        CHECK(run.Exit() == 0);
    }
    RemoveDialogInstallation();
}

TEST_CASE("syntax help: \"/?\" shows it even with a valid list, caption, text, buttons") {
    Package package = DialogPackage("help-switch", kIntroList);
    Run run = package.Start("/?");
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    CheckHelpText(help.Text(kMainText));
    CHECK(help.ButtonIds() == std::vector<int>{IDOK, kCopyButton, kListEditorButton});
    CHECK(help.Text(IDOK) == "&OK");
    CHECK(help.Text(kCopyButton) == "&Kopieren");
    CHECK(help.Text(kListEditorButton) == "&Talmer...");
    CHECK(help.DefaultButton() == IDOK);
    CHECK(FocusOf(help) == GetDlgItem(help.Handle(), IDOK));
    CHECK(HasProgramIcon(help));
    CHECK(help.Owner() == run.MainWindow().Handle());
    CHECK(run.DialogCaptions() == std::vector<std::string>{kSyntaxCaption});
    help.PressEnter();
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
    CHECK_FALSE(PathExists(TargetFolder()));
}

TEST_CASE("syntax help: without Talmer.exe beside the program its button is greyed") {
    Package package("help-no-talmer");
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    CHECK_FALSE(help.IsEnabled(kListEditorButton));
    CHECK(help.IsEnabled(kCopyButton));
    CHECK(help.IsEnabled(IDOK));
    help.PressEscape();
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
}

TEST_CASE("syntax help: with Talmer.exe beside the program its button starts it and ends the help") {
    Package package("help-talmer");
    PlaceStandIn(package, "Talmer.exe");
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    CHECK(help.IsEnabled(kListEditorButton));
    help.Press(kListEditorButton);
    CHECK(help.WaitGone());
    CHECK(WaitFor([&] { return PathExists(package.Path("Talmer.started")); }));
    CHECK(run.Exit() == 0);
    CloseStandIns();
}

TEST_CASE("syntax help: the close box ends it") {
    Package package("help-close");
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    help.CloseBox();
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
}

TEST_CASE("syntax help: Kopieren starts metapad.exe, not the later editors, and pastes the text into it") {
    Package package("help-metapad");
    PlaceStandIn(package, "metapad.exe");
    PlaceStandIn(package, "Fenwo.exe");
    PlaceStandIn(package, "Notepad.exe");
    EmptyTheClipboard();
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    std::string shown = help.Text(kMainText);
    help.Press(kCopyButton);
    CHECK(WaitFor([&] { return PathExists(package.Path("metapad.started")); }));
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
    CHECK(ClipboardText() == shown);
    CHECK(WaitFor([&] { return ReadFileBytes(package.Path("metapad.pasted")) == shown; }, 5000));
    CHECK_FALSE(PathExists(package.Path("Fenwo.started")));
    CHECK_FALSE(PathExists(package.Path("Notepad.started")));
    CloseStandIns();
}

TEST_CASE("syntax help: Kopieren goes on to Fenwo.exe when there is no metapad.exe") {
    Package package("help-fenwo");
    PlaceStandIn(package, "Fenwo.exe");
    PlaceStandIn(package, "Notepad.exe");
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    std::string shown = help.Text(kMainText);
    help.Press(kCopyButton);
    CHECK(WaitFor([&] { return PathExists(package.Path("Fenwo.started")); }));
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
    CHECK(WaitFor([&] { return ReadFileBytes(package.Path("Fenwo.pasted")) == shown; }, 5000));
    CHECK_FALSE(PathExists(package.Path("Notepad.started")));
    CloseStandIns();
}

TEST_CASE("syntax help: Kopieren ends the chain with Notepad.exe, found beside the program first") {
    Package package("help-notepad");
    PlaceStandIn(package, "Notepad.exe");
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    std::string shown = help.Text(kMainText);
    help.Press(kCopyButton);
    CHECK(WaitFor([&] { return PathExists(package.Path("Notepad.started")); }));
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
    CHECK(WaitFor([&] { return ReadFileBytes(package.Path("Notepad.pasted")) == shown; }, 5000));
    CloseStandIns();
}

// Wine brings its own notepad.exe in the system folder. A Notepad.exe beside the program that is
// no program at all is found first and fails to start, so the whole chain fails.
TEST_CASE("syntax help: Kopieren with no editor that starts keeps the help open, the text on the clipboard") {
    Package package("help-no-editor");
    package.File("Notepad.exe", "this is no program");
    EmptyTheClipboard();
    Run run = package.Start();
    Window help = run.WaitWindow(kSyntaxCaption);
    REQUIRE(help);
    std::string shown = help.Text(kMainText);
    CHECK(shown.size() > 2000);
    HWND text = GetDlgItem(help.Handle(), kMainText);
    SendMessageA(text, EM_SETSEL, 5, 10);
    help.Press(kCopyButton);
    CHECK(WaitFor([&] { return ClipboardText() == shown; }, 5000));
    Sleep(3000);  // longer than the pause before a paste: the help would be gone by now
    CHECK(help.IsVisible());
    // the whole text was selected for the copy, and the selection removed again
    DWORD selection = static_cast<DWORD>(SendMessageA(text, EM_GETSEL, 0, 0));
    CHECK(LOWORD(selection) == HIWORD(selection));
    CHECK_FALSE(run.HasEnded());
    CHECK(ClipboardText() == shown);
    help.Press(IDOK);
    CHECK(help.WaitGone());
    CHECK(run.Exit() == 0);
}
