// The program's own texts: code page 1252 bytes, the about text's shape, the main window's texts
// and the command-line decisions.
#include <doctest.h>

#include <cstring>
#include <string>

#include "app/app_texts.h"
#include "ui/dialog_texts.h"

TEST_CASE("German texts are compiled to code page 1252 bytes") {
    CHECK(std::string("läuft") == "l\xE4uft");
    CHECK(std::string("Einträge") == "Eintr\xE4ge");
    CHECK(std::string("÷") == "\xF7");
    CHECK(std::string("·") == "\xB7");
    CHECK(std::string("ß") == "\xDF");
    CHECK(std::string("©") == "\xA9");
    CHECK(std::string("«»") == "\xAB\xBB");
}

TEST_CASE("the about text has seven CR LF separated lines and a short contact line") {
    std::string about = kAboutText;
    CHECK(about.rfind("Quorvane Version 3.7.0.0\r\n", 0) == 0);
    size_t breaks = 0;
    for (size_t i = 0; i + 1 < about.size(); ++i)
        if (about[i] == '\r' && about[i + 1] == '\n') ++breaks;
    CHECK(breaks == 6);
    CHECK(about.back() != '\n');
    CHECK(std::string(AboutTextLine(1, 127).CStr()) == "Quorvane Version 3.7.0.0");
    CHECK(std::string(AboutTextLine(3, 127).CStr()).empty());
    CHECK(AboutTextLine(7, 127).Length() <= 28);
    CHECK(AboutTextLine(7, 127).Length() > 0);
    CHECK(AboutTextLine(7, 5).Length() == 5);
}

TEST_CASE("the uninstall question and the missing-list error") {
    ScratchBuffer text;
    ComposeUninstallQuestion("Meine Anwendung", text);
    CHECK(std::string(text.CStr()) ==
          "Meine Anwendung\r\nvollst\xE4ndig vom Computer entfernen?\r\r(Beenden Sie vor diesem Vorgang alle Anwendungen)");
    CHECK(std::string(kMissingListText) ==
          "Diese Anwendung kann nicht automatisch\renfernt werden, da die Datei SETUP.LST fehlt.");
    CHECK(std::string(kMissingListCaption) == "Uninstall (Fehler)");
    CHECK(std::string(kMainWindowClass) == "clsVarnekSetup");
}

TEST_CASE("command-line decisions") {
    struct Row { const char* line; bool silent; bool quiet; bool uninstall; bool help; };
    const Row rows[] = {
        {"\"C:\\Src\\Setup.exe\"", false, false, false, false},
        {"\"C:\\Src\\Setup.exe\" /s", true, false, false, false},
        {"Setup.exe /UQ", false, true, true, false},
        {"Setup.exe /Update", false, false, true, false},
        {"\"C:\\Program Files\\App\\Uninst.exe\"", false, false, true, false},
        {"C:\\PROGRA~1\\App\\UNINST.EXE", false, false, true, false},
        {"Uninst.exe", false, false, false, false},  // bare name from its own folder: no backslash
        {"Setup.exe /?", false, false, false, true},
        {"Setup.exe /u /s", true, false, true, false},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.line));
        CHECK(CommandLineWantsSilentInstall(row.line) == row.silent);
        CHECK(CommandLineWantsQuietUninstall(row.line) == row.quiet);
        CHECK(CommandLineSelectsUninstall(row.line) == row.uninstall);
        CHECK(CommandLineWantsSyntaxHelp(row.line) == row.help);
    }
}
