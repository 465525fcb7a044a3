// Texts and command lines of the install run, byte for byte.
#include <doctest.h>

#include <string>

#include "files/placement_rules.h"
#include "install/install_texts.h"

TEST_CASE("the install run's messages") {
    ScratchBuffer text;
    ComposeSourceMissingQuestion("C:\\Quelle\\Write311.exe", text);
    CHECK(std::string(text.CStr()) == "C:\\Quelle\\Write311.exe nicht gefunden.");
    ComposeSourceMissingAbort("Write311.exe", text);
    CHECK(std::string(text.CStr()) == "Write311.exe nicht gefunden.\rSetup abgebrochen.");
    ComposeSuccessText("Meine Anwendung", false, text);
    CHECK(std::string(text.CStr()) ==
          "Die Anwendung\rMeine Anwendung\rbefindet sich nun auf diesem Computer.\r\r"
          "(Deinstallation m\xF6glich \xFC" "ber\rSystemsteuerung\\Software)");
    ComposeSuccessText("Meine Anwendung", true, text);
    CHECK(std::string(text.CStr()) == "Die Anwendung\rMeine Anwendung\rbefindet sich nun auf diesem Computer.");
    ComposeRegistryImportError("C:\\P\\a.reg", text);
    CHECK(std::string(text.CStr()) == "Fehler beim Registrieren von \xAB" "C:\\P\\a.reg\xBB");
    ComposeStartError("C:\\P\\a.exe", text);
    CHECK(std::string(text.CStr()) == "Fehler beim Ausf\xFChren von \xAB" "C:\\P\\a.exe\xBB");
    CHECK(std::string(kUninstallLinkQuestion) ==
          "Zus\xE4tzliche Verkn\xFCpfung \"Uninstall (Deinstallation).lnk\" erstellen?\r\r"
          "(Deinstallation immer m\xF6glich \xFC" "ber [Systemsteuerung\\Software])");
    CHECK(std::string(kItemShortcuts) == "Verkn\xFCpfungen erstellen - Moment...");
    CHECK(std::string(kProgressInstallTitle) == "Installation l\xE4uft...");
}

TEST_CASE("the refusal of another application's program folder names both applications") {
    ScratchBuffer text;
    ComposeOtherApplicationsFolderText("C:\\Program Files\\Gemeinsam", "Alpha", "Beta", text);
    CHECK(std::string(text.CStr()) ==
          "Der Programmordner\rC:\\Program Files\\Gemeinsam\rgeh\xF6rt bereits zur Anwendung \"Alpha\".\r\r"
          "\"Beta\" kann nicht in denselben Ordner installiert werden.\r\rEs wurde nichts installiert.");
    CHECK(std::string(kAbortCaption) == "Installation abgebrochen");
    // the longest folder and names of the list still fit whole
    std::string folder(127, 'f');
    std::string name(79, 'n');
    ComposeOtherApplicationsFolderText(folder.c_str(), name.c_str(), name.c_str(), text);
    CHECK(text.Fits());
    CHECK(std::string(text.CStr()).find("\"" + name + "\" kann nicht") != std::string::npos);
}

TEST_CASE("the registry editor is started by its full path") {
    ScratchBuffer command;
    CHECK(ComposeRegistryImportCommand("C:\\windows", "C:\\Program Files\\App\\Daten.reg", true, command));
    CHECK(std::string(command.CStr()) == "\"C:\\windows\\regedit.exe\" /S \"C:\\Program Files\\App\\Daten.reg\"");
    CHECK(ComposeRegistryImportCommand("C:\\WINDOWS\\", "a.reg", false, command));
    CHECK(std::string(command.CStr()) == "start /m \"C:\\WINDOWS\\regedit.exe\" /S \"a.reg\"");
    CHECK_FALSE(ComposeRegistryImportCommand(std::string(300, 'w').c_str(), "a.reg", true, command));
}

TEST_CASE("the RunOnce command quotes the program path") {
    struct Row { const char* runOnce; bool wholeIsFile; const char* command; };
    const Row rows[] = {
        {"Start.exe", true, "\"C:\\Program Files\\App\\Start.exe\""},
        {"Start.exe /erst", false, "\"C:\\Program Files\\App\\Start.exe\" /erst"},
        {"Mein Tool.exe", true, "\"C:\\Program Files\\App\\Mein Tool.exe\""},
        {"Tool.exe  a  b", false, "\"C:\\Program Files\\App\\Tool.exe\"  a  b"},
        {"Liesmich.txt", true, "\"C:\\Program Files\\App\\Liesmich.txt\""},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.runOnce));
        ScratchBuffer command;
        CHECK(ComposeRunOnceCommand("C:\\Program Files\\App", row.runOnce, row.wholeIsFile, command));
        CHECK(std::string(command.CStr()) == row.command);
    }
    ScratchBuffer command;
    CHECK_FALSE(ComposeRunOnceCommand(("C:\\" + std::string(250, 'f')).c_str(), "Programm.exe", true, command));
}

TEST_CASE("the uninstall entry's key and commands") {
    CHECK(std::string(UninstallKeyFor("Meine Anwendung").CStr()) ==
          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Meine Anwendung");
    CHECK(std::string(UninstallCommand("C:\\Program Files\\App\\Uninst.exe", false).CStr()) ==
          "\"C:\\Program Files\\App\\Uninst.exe\" /U");
    CHECK(std::string(UninstallCommand("C:\\Program Files\\App\\Uninst.exe", true).CStr()) ==
          "\"C:\\Program Files\\App\\Uninst.exe\" /UQ");
}
