// The program's own fixed texts and the texts the main window composes.
#include "app_texts.h"

#include "../support/text_helpers.h"

const char AboutText[] =
    "Quorvane Version 3.7.0.0\r\n"
    "Freeware: darf frei weitergegeben werden.\r\n"
    "\r\n"
    "Quorvane-Projekt\r\n"
    "Installation und Deinstallation\r\n"
    "für Windows-Anwendungen\r\n"
    "Kontakt: siehe Projektseite";

FieldText AboutTextLine(int line, size_t maxChars) {
    FieldText result;
    const char* p = AboutText;
    for (int current = 1; current < line && *p != 0; ++p)
        if (*p == '\n') ++current;
    size_t n = 0;
    while (p[n] != 0 && p[n] != '\r' && p[n] != '\n') ++n;
    result.Assign(p, n < maxChars ? n : maxChars);
    return result;
}

const char kMainWindowClass[] = "clsVarnekSetup";
const char kMainWindowCaption[] = "Quorvane";

const char kMissingListText[] =
    "Diese Anwendung kann nicht automatisch\renfernt werden, da die Datei SETUP.LST fehlt.";
const char kMissingListCaption[] = "Uninstall (Fehler)";
const char kUninstallQuestionCaption[] = "Deinstallation";

void ComposeUninstallQuestion(const char* appName, ScratchBuffer& out) {
    out.Assign(appName);
    out.Append("\r\n");
    out.Append("vollständig vom Computer entfernen?\r\r");
    out.Append("(Beenden Sie vor diesem Vorgang alle Anwendungen)");
}

bool CommandLineWantsSilentInstall(const char* commandLine) {
    return FindTextNoCase(commandLine, "/S") != nullptr;
}

bool CommandLineWantsQuietUninstall(const char* commandLine) {
    return FindTextNoCase(commandLine, "/UQ") != nullptr;
}

// The program's own path is part of the command line, so a copy named Uninst.exe started with
// its folder selects the uninstall by itself.
bool CommandLineSelectsUninstall(const char* commandLine) {
    return FindTextNoCase(commandLine, "/U") != nullptr || FindTextNoCase(commandLine, "\\Uninst.exe") != nullptr;
}

bool CommandLineWantsSyntaxHelp(const char* commandLine) {
    return FindTextExact(commandLine, "/?") != nullptr;
}
