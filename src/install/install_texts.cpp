// Texts and command lines the install run composes.
#include "install/install_texts.h"

#include "support/text_helpers.h"

const char kProgressInstallTitle[] = "Installation läuft...";
const char kPhaseCopying[] = "Kopieren von:";
const char kPhaseUserFiles[] = "Anwenderdateien kopieren:";
const char kPhaseUpdating[] = "System wird aktualisiert:";
const char kItemGroups[] = "Gruppen & Symbole bilden";
const char kItemShortcuts[] = "Verknüpfungen erstellen - Moment...";

const char kErrorCaption[] = "Fehler";
const char kAbortCaption[] = "Installation abgebrochen";
const char kTargetNotCreatedText[] = "Zielverzeichnis konnte nicht erstellt werden.";
const char kNoFilesText[] = "Installationsdateien nicht gefunden.";
const char kSuccessCaption[] = "Installation erfolgreich";
const char kUninstallLinkCaption[] = "Verknüpfung für Deinstallation";
const char kUninstallLinkQuestion[] =
    "Zusätzliche Verknüpfung \"Uninstall (Deinstallation).lnk\" erstellen?\r\r"
    "(Deinstallation immer möglich über [Systemsteuerung\\Software])";

void ComposeSourceMissingQuestion(const char* sourcePath, ScratchBuffer& out) {
    out.Assign(sourcePath);
    out.Append(" nicht gefunden.");
}

void ComposeSourceMissingAbort(const char* listedName, ScratchBuffer& out) {
    out.Assign(listedName);
    out.Append(" nicht gefunden.\r");
    out.Append("Setup abgebrochen.");
}

void ComposeSuccessText(const char* appName, bool copyOnly, ScratchBuffer& out) {
    out.Assign("Die Anwendung\r");
    out.Append(appName);
    out.Append("\rbefindet sich nun auf diesem Computer.");
    if (!copyOnly) {
        out.Append("\r\r");
        out.Append("(Deinstallation möglich über\rSystemsteuerung\\Software)");
    }
}

void ComposeInstalledElsewhereText(const char* appName, const char* otherFolder, ScratchBuffer& out) {
    out.Assign("Die Anwendung\r");
    out.Append(appName);
    out.Append("\rist bereits im Ordner\r\r");
    out.Append(otherFolder);
    out.Append("\r\rinstalliert. Deinstallieren Sie sie dort zuerst.\r\r");
    out.Append("Es wurde nichts installiert.");
}

void ComposeOtherApplicationsFolderText(const char* programFolder, const char* otherAppName, const char* appName,
                                        ScratchBuffer& out) {
    out.Assign("Der Programmordner\r");
    out.Append(programFolder);
    out.Append("\rgehört bereits zur Anwendung \"");
    out.Append(otherAppName);
    out.Append("\".\r\r\"");
    out.Append(appName);
    out.Append("\" kann nicht in denselben Ordner installiert werden.\r\r");
    out.Append("Es wurde nichts installiert.");
}

void ComposeRegistryImportError(const char* path, ScratchBuffer& out) {
    out.Assign("Fehler beim Registrieren von «");
    out.Append(path);
    out.Append("»");
}

void ComposeStartError(const char* path, ScratchBuffer& out) {
    out.Assign("Fehler beim Ausführen von «");
    out.Append(path);
    out.Append("»");
}

bool ComposeRegistryImportCommand(const char* windowsDir, const char* regFilePath, bool isNT, ScratchBuffer& out) {
    out.Assign(isNT ? "" : "start /m ");
    out.AppendChar('"');
    out.Append(JoinPath(windowsDir, "regedit.exe"));
    out.Append("\" /S \"");
    out.Append(regFilePath);
    out.AppendChar('"');
    return out.Fits();
}

bool ComposeRunOnceCommand(const char* programFolder, const char* runOnce, bool wholeValueIsFile,
                           ScratchBuffer& out) {
    size_t programLength = 0;
    while (runOnce[programLength] != 0 && (wholeValueIsFile || runOnce[programLength] != ' ')) ++programLength;
    PathBuffer<kEntryWidth> program;
    program.Assign(runOnce, programLength);
    WorkPath path = JoinPath(programFolder, program.CStr());
    out.Assign("\"");
    out.Append(path);
    out.AppendChar('"');
    out.Append(runOnce + programLength);
    return out.Fits() && program.Fits();
}
