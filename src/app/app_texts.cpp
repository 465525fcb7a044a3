// The program's own fixed texts and the texts the main window composes.
#include "app/app_texts.h"

#include "list/install_context.h"
#include "support/text_helpers.h"

// The window class, the self-removal script and its counter variable keep the names that earlier
// releases of the program gave them: a copy of an earlier release that is still running is found
// by its window class, and a script that an earlier uninstaller left behind is overwritten, not
// left beside ours.
const char kMainWindowClass[] = "clsVarnekSetup";
const char kMainWindowCaption[] = "Quorvane";

const char kMissingListText[] =
    "Diese Anwendung kann nicht automatisch\rentfernt werden, da die Datei SETUP.LST fehlt.";
const char kMissingListCaption[] = "Uninstall (Fehler)";
const char kUninstallQuestionCaption[] = "Deinstallation";

void ComposeUninstallQuestion(const char* appName, ScratchBuffer& out) {
    out.Assign(appName);
    out.Append("\r\n");
    out.Append("vollständig vom Computer entfernen?\r\r");
    out.Append("(Beenden Sie vor diesem Vorgang alle Anwendungen)");
}

const char kUnusableFolderCaption[] = "Setup - Ordnername nicht lesbar";

void ComposeUnusableFolderText(const char* folder, ScratchBuffer& out) {
    out.Assign("Setup.exe kann in diesem Ordner nicht arbeiten:\r\r");
    out.Append(folder);
    out.Append("\r\rSein Name enthält Zeichen, die Windows hier nicht anders schreiben kann, und er hat keinen "
               "kurzen Namen.\r\rKopieren Sie Setup.exe mit seinen Dateien in einen Ordner mit einfacherem Namen, "
               "etwa C:\\Setup, und starten Sie es dort.");
}

const char kUnknownSwitchCaption[] = "Setup - unbekannter Schalter";

void ComposeUnknownSwitchText(const char* given, ScratchBuffer& out) {
    out.Assign("Diesen Schalter kennt Setup.exe nicht:\r\r");
    out.Append(given);
    out.Append("\r\rBekannt sind /S, /Q, /U, /UQ, /CHECK, /LOG=Datei, /DIR=Ordner und /?.\r\r"
               "Es wurde nichts verändert.");
}

void ComposeFolderSwitchText(const char* folder, const char* reason, bool uninstalling, ScratchBuffer& out) {
    out.Assign("Dieser Programmordner (/DIR=) ist nicht zulässig:\r\r");
    out.Append(folder);
    out.Append("\r\r");
    out.Append(reason);
    out.Append(uninstalling ? "\r\rEs wurde nichts gelöscht." : "\r\rEs wurde nichts installiert.");
}
