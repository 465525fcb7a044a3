// Texts the uninstall run shows.
#include "uninstall/uninstall_texts.h"

const char kProgressUninstallTitle[] = "Deinstallation läuft...";
const char kPhaseDeleting[] = "Löschen von";

const char kSystemFileCaption[] = "S Y S T E M D A T E I   LÖSCHEN";
const char kListedFileNotDeletedCaption[] = "Datei konnte nicht gelöscht werden.";
const char kUserFilesCaption[] = "Anwenderdateien löschen";
const char kPurgeCaption[] = "Löschvorgang bestätigen";
const char kUninstalledCaption[] = "Deinstallation erfolgreich";
const char kUninstallIncompleteCaption[] = "Deinstallation unvollständig";

void ComposeSystemFileQuestion(const char* path, ScratchBuffer& out) {
    out.Assign(path);
    out.Append("\r\r");
    out.Append("ACHTUNG: Datei eines Systemordners!\r");
    out.Append("Dieser Löschvorgang könnte u.U. Folgen für andere Anwendungen haben.\r\r");
    out.Append("Datei dennoch löschen?");
}

void ComposeListedFileNotDeletedText(const char* path, ScratchBuffer& out) {
    out.Assign(path);
    out.Append("\r\rLöschen Sie die Datei ggf. von Hand.");
}

void ComposeUserFilesQuestion(const char* pattern, ScratchBuffer& out) {
    out.Assign(pattern);
    out.Append("\r\r");
    out.Append("Sollen diese Dateien auch gelöscht werden?\r\r");
    out.Append("(Achtung: Haben Sie Dateien dieses Typs geschrieben?!)");
}

void ComposePurgeQuestion(const char* programFolder, const char* appName, ScratchBuffer& out) {
    out.Assign("Alle Dateien im Programmordner \r\n\r\n");
    out.Append(programFolder);
    out.Append("\r\n\r\nrestlos löschen?\r\n\r\n\r\n");
    out.Append("(Antworten Sie NEIN, wenn Sie mit\r\n");
    out.AppendChar('"');
    out.Append(appName);
    out.Append("\" Dateien erstellt haben)");
}

void ComposeUninstalledText(const char* appName, bool purged, bool isNT, ScratchBuffer& out) {
    out.Assign(appName);
    if (!purged) {
        out.Append("\rwurde vom Computer entfernt.\r\r");
        out.Append("(Möglicherweise von Ihnen erstellte\r");
        out.Append("Dateien wurden nicht gelöscht)");
        return;
    }
    out.Append("\rwurde vollständig vom Computer entfernt.");
    if (isNT) {
        out.Append("\r\r");
        out.Append("(In der folgenden Konsole wird noch das Deinstallationsprogramm entfernt.)");
    }
}

void ComposeUninstallerLeftText(const char* appName, const char* uninstallerPath, const char* listPath,
                                ScratchBuffer& out) {
    out.Assign(appName);
    out.Append("\rwurde vom Computer entfernt.\r\r");
    out.Append("Das Deinstallationsprogramm konnte sich aber nicht selbst entfernen.\r");
    out.Append("Bitte löschen Sie diese Dateien von Hand:\r\r");
    out.Append(uninstallerPath);
    out.AppendChar('\r');
    out.Append(listPath);
}
