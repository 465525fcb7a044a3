// List values that would lead out of their folders are refused, and the refusal names them.
#include <doctest.h>

#include <string>

#include "list/list_rules.h"

namespace {

struct Kind {
    const char* value;
    bool refuseRoot;
    ListProblemKind kind;
};

InstallContext& AcceptableContext() {
    static InstallContext context;
    context = InstallContext();
    context.AppName.Assign("Meine Anwendung");
    context.Folder.Assign("Meine Anwendung");
    context.TargetDir.Assign("C:\\Program Files\\Meine Anwendung");
    context.ProgramsDir.Assign("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    context.InstallList[0].Files.Assign("Setup.exe");
    context.InstallList[1].Files.Assign("Write311.exe");
    context.InstallList[1].AltFolder.Assign("W\\ShellNew");
    context.InstallList[2].WildCopy.Assign("*.txt");
    context.InstallList[2].WildSubFolder.Assign("Texte\\Kartei");
    return context;
}

// The acceptable list with wildcards where they are patterns, and a shortcut name.
InstallContext& CharacterContext() {
    InstallContext& context = AcceptableContext();
    context.InstallList[1].Files.Assign("*.txt");
    context.InstallList[1].WildCopy.Assign("Daten?.*");
    context.InstallList[1].Links.Assign("Mein Programm");
    return context;
}

std::string Refusal(const InstallContext& context) {
    ListProblem problem;
    CHECK_FALSE(CheckListValues(context, &problem));
    CHECK(problem.Kind == ListProblemKind::BadCharacter);
    ScratchBuffer text;
    ComposeListProblemText(problem, false, text);
    return text.CStr();
}

std::string ProblemText(const InstallContext& context, bool uninstalling) {
    ListProblem problem;
    CHECK_FALSE(CheckListValues(context, &problem));
    ScratchBuffer text;
    ComposeListProblemText(problem, uninstalling, text);
    return text.CStr();
}

}  // namespace

TEST_CASE("path values: dot folders, drives and (where refused) a leading backslash") {
    const Kind rows[] = {
        {"Meine Anwendung", true, ListProblemKind::None},
        {"Texte\\Kartei", true, ListProblemKind::None},
        {"a.b\\c..d\\.hidden", true, ListProblemKind::None},
        {"", true, ListProblemKind::None},
        {"..", true, ListProblemKind::DotFolder},
        {".", true, ListProblemKind::DotFolder},
        {"...", true, ListProblemKind::DotFolder},
        {". .", true, ListProblemKind::DotFolder},
        {"a\\..\\..", true, ListProblemKind::DotFolder},
        {"a/../b", true, ListProblemKind::DotFolder},
        {"a\\", true, ListProblemKind::None},
        {"C:\\x", true, ListProblemKind::Drive},
        {"x:", false, ListProblemKind::Drive},
        {"file.txt:stream", false, ListProblemKind::Drive},
        {"\\Data", true, ListProblemKind::LeadingBackslash},
        {"/Data", true, ListProblemKind::LeadingBackslash},
        {"\\Data", false, ListProblemKind::None},
        {"\\..", false, ListProblemKind::DotFolder},
        {"\\\\server\\share", true, ListProblemKind::LeadingBackslash},
        {"CON", true, ListProblemKind::DeviceName},
        {"Daten\\nul.txt", true, ListProblemKind::DeviceName},
        {"com1 .log", true, ListProblemKind::DeviceName},
        {"LPT\xB9", true, ListProblemKind::DeviceName},
        {"Conout$.txt", false, ListProblemKind::DeviceName},
        {"CONSOLE.txt", true, ListProblemKind::None},
        {"COM10", true, ListProblemKind::None},
        {"Aux-Daten\\LPT.txt", true, ListProblemKind::None},
    };
    for (const Kind& row : rows) {
        CAPTURE(std::string(row.value));
        CHECK(PathValueProblem(row.value, row.refuseRoot) == row.kind);
    }
}

TEST_CASE("an acceptable list passes, with the demo's kinds of values") {
    InstallContext& context = AcceptableContext();
    context.InstallList[3].AltFolder.Assign("\\Data");
    context.InstallList[4].AltFolder.Assign("F");
    context.InstallList[5].AltFolder.Assign("S\\Viewers");
    context.RegFile.Assign("Daten\\Register.reg");
    context.RunOnce.Assign("Tool.exe /log=C:\\Temp\\x.log");
    ListProblem problem;
    CHECK(CheckListValues(context, &problem));
    CHECK(problem.Kind == ListProblemKind::None);
}

TEST_CASE("each refused value is named with its section and key") {
    struct Row {
        const char* what;
        void (*spoil)(InstallContext&);
        const char* expectedName;
    };
    const Row rows[] = {
        {"AppName ..", [](InstallContext& c) { c.AppName.Assign(".."); }, "[General]\rAppName=.."},
        {"AppName drive", [](InstallContext& c) { c.AppName.Assign("C:\\x"); }, "[General]\rAppName=C:\\x"},
        {"AppName root", [](InstallContext& c) { c.AppName.Assign("\\x"); }, "[General]\rAppName=\\x"},
        {"Folder ..", [](InstallContext& c) { c.Folder.Assign("a\\..\\.."); }, "[General]\rFolder=a\\..\\.."},
        {"WildSubFolder", [](InstallContext& c) { c.InstallList[2].WildSubFolder.Assign("..\\.."); },
         "[WildSubFolder]\r2=..\\.."},
        {"AltFolder", [](InstallContext& c) { c.InstallList[7].AltFolder.Assign("\\.."); }, "[AltFolder]\r7=\\.."},
        {"AltFolder W", [](InstallContext& c) { c.InstallList[9].AltFolder.Assign("W\\..\\x"); },
         "[AltFolder]\r9=W\\..\\x"},
        {"Files", [](InstallContext& c) { c.InstallList[128].Files.Assign("..\\boot.ini"); },
         "[Files]\r128=..\\boot.ini"},
        {"WildCopy", [](InstallContext& c) { c.InstallList[12].WildCopy.Assign("..\\*.*"); },
         "[WildCopy]\r12=..\\*.*"},
        {"DesktopLinks", [](InstallContext& c) { c.InstallList[1].DesktopLinks.Assign("..\\..\\x"); },
         "[DesktopLinks]\r1=..\\..\\x"},
        {"Links", [](InstallContext& c) { c.InstallList[1].Links.Assign("C:x"); }, "[Links]\r1=C:x"},
        {"Files device", [](InstallContext& c) { c.InstallList[4].Files.Assign("CON.txt"); }, "[Files]\r4=CON.txt"},
        {"RegFile", [](InstallContext& c) { c.RegFile.Assign("..\\..\\outside.reg"); },
         "[General]\rRegFile=..\\..\\outside.reg"},
        {"RunOnce program", [](InstallContext& c) { c.RunOnce.Assign("..\\..\\windows\\system32\\cmd.exe /c x"); },
         "[General]\rRunOnce=..\\..\\windows"},
        {"RunOnce file", [](InstallContext& c) { c.RunOnce.Assign("Mein Ordner\\..\\..\\x.exe"); },
         "[General]\rRunOnce=Mein Ordner"},
        {"empty Folder", [](InstallContext& c) { c.Folder.Clear(); }, "[General]\rFolder=\r"},
        // Windows drops trailing blanks and dots: such a folder is the program-files folder itself
        {"blank Folder", [](InstallContext& c) { c.Folder.Assign("  "); }, "[General]\rFolder=  \r"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.what));
        InstallContext& context = AcceptableContext();
        row.spoil(context);
        std::string text = ProblemText(context, false);
        CHECK(text.find(row.expectedName) != std::string::npos);
        CHECK(text.rfind("Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r", 0) == 0);
        CHECK(text.size() > 30);
    }
}

TEST_CASE("the refusal texts for install and uninstall") {
    InstallContext& context = AcceptableContext();
    context.InstallList[2].WildSubFolder.Assign("..\\..");
    CHECK(ProblemText(context, false) ==
          "Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r[WildSubFolder]\r2=..\\..\r\r"
          "Ordnernamen aus Punkten (wie \"..\") w\xFCrden aus dem Ordner der Anwendung herausf\xFChren.\r\r"
          "Es wurde nichts installiert.");
    CHECK(ProblemText(context, true).find("\r\rEs wurde nichts gel\xF6scht.") != std::string::npos);
    CHECK(std::string(kInstallRefusedCaption) == "Installation abgebrochen");
}

TEST_CASE("an AppName whose group would be a startup folder is named with its own reason") {
    ListProblem problem = StartupGroupProblem("StartUp");
    CHECK(problem.Kind == ListProblemKind::StartupGroup);
    ScratchBuffer text;
    ComposeListProblemText(problem, false, text);
    CHECK(std::string(text.CStr()) ==
          "Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r[General]\rAppName=StartUp\r\r"
          "Die Programmgruppe w\xE4re der Autostart-Ordner: Die Deinstallation w\xFCrde bei jeder Anmeldung "
          "starten.\r\rEs wurde nichts installiert.");
    CHECK(std::string(StartupGroupProblem(nullptr).Value).empty());
}

TEST_CASE("a program folder or start-menu group that was cut is refused") {
    InstallContext& context = AcceptableContext();
    context.TargetDir.Assign(std::string(200, 'x').c_str());
    CHECK_FALSE(context.TargetDir.Fits());
    CHECK(ProblemText(context, false).find("zu lang") != std::string::npos);

    InstallContext& other = AcceptableContext();
    other.ProgramsDir.Assign(("C:\\" + std::string(100, 'p')).c_str());
    other.AppName.Assign(std::string(30, 'a').c_str());
    other.Folder.Assign("ok");
    CHECK(ProblemText(other, false).find("[General]\rAppName=") != std::string::npos);
}

TEST_CASE("folder names: the characters Windows refuses and control characters") {
    for (const char* good : {"Meine Anwendung", "Texte\\Kartei", " Leerzeichen", "Gr\xFC\xDF" "e \xFF", "a.b-c_d (2)"}) {
        CAPTURE(good);
        CHECK(FolderNameProblem(good) == ListProblemKind::None);
    }
    for (const char* bad : {"Qv*", "Qv?", "a<b", "a>b", "a|b", "a\"b", "a\x01" "b", "a\tb", "\x1F"}) {
        CAPTURE(bad);
        CHECK(FolderNameProblem(bad) == ListProblemKind::BadCharacter);
    }
}

TEST_CASE("a wildcard in Folder, AppName, WildSubFolder or an AltFolder sub-folder is refused by name") {
    InstallContext& context = CharacterContext();
    ListProblem problem;
    CHECK(CheckListValues(context, &problem));  // wildcards in Files and WildCopy are patterns

    context.Folder.Assign("Common*");
    CHECK(Refusal(context) ==
          "Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r[General]\rFolder=Common*\r\r"
          "Die Zeichen < > \" | ? * und Steuerzeichen sind in Ordnernamen nicht erlaubt.\r\r"
          "Es wurde nichts installiert.");

    context = CharacterContext();
    context.AppName.Assign("Qv|Test");
    CHECK(Refusal(context).find("[General]\rAppName=Qv|Test\r") != std::string::npos);

    context = CharacterContext();
    context.InstallList[7].WildSubFolder.Assign("Da*");
    CHECK(Refusal(context).find("[WildSubFolder]\r7=Da*\r") != std::string::npos);

    context = CharacterContext();
    context.InstallList[3].AltFolder.Assign("\\Da?ten");
    CHECK(Refusal(context).find("[AltFolder]\r3=\\Da?ten\r") != std::string::npos);
}

TEST_CASE("values that count as empty are not refused for their characters") {
    InstallContext& context = CharacterContext();
    ListProblem problem;
    context.InstallList[2].WildSubFolder.Assign("\x01*");
    context.InstallList[3].AltFolder.Assign("\x02?");
    CHECK(CheckListValues(context, &problem));
    // an AppName that counts as empty names no group; the Folder given beside it is what counts
    context.AppName.Assign(" *");
    CHECK(CheckListValues(context, &problem));
    context.Folder.Assign("\x01Qv");
    CHECK_FALSE(CheckListValues(context, &problem));
    CHECK(problem.Kind == ListProblemKind::BadCharacter);
}
