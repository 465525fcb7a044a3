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
    "Diese Anwendung kann nicht automatisch\renfernt werden, da die Datei SETUP.LST fehlt.";
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
