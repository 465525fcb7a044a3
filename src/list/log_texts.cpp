// The lines of the run's log.
#include "list/log_texts.h"

#include "res/version.h"
#include "support/text_helpers.h"

const char kLogStart[] = "Quorvane " QV_VERSION ", Befehlszeile";
const char kLogMode[] = "Modus";
const char kLogList[] = "Liste";
const char kLogFolders[] = "Quelle und Ziel";
const char kLogFolderMade[] = "Ordner angelegt";
const char kLogCopy[] = "Kopieren";
const char kLogKeptNewer[] = "Behalten (neuer)";
const char kLogKeptSame[] = "Behalten (gleich)";
const char kLogFailed[] = "Fehler";
const char kLogSkipped[] = "Ausgelassen";
const char kLogShortcut[] = "Verknüpfung";
const char kLogFileType[] = "Dateityp";
const char kLogRegistry[] = "Registrierung";
const char kLogImport[] = "Registrierungsdatei importiert";
const char kLogStarted[] = "Gestartet";
const char kLogNotStarted[] = "Nicht gestartet (unbeaufsichtigt)";
const char kLogReplacedAtRestart[] = "Wird beim Neustart ersetzt";
const char kLogDeleted[] = "Gelöscht";
const char kLogKept[] = "Behalten";
const char kLogKeptChanged[] = "Behalten (seit der Installation geändert)";
const char kLogRemoved[] = "Entfernt";
const char kLogShown[] = "Meldung";
const char kLogAnswered[] = "Ohne Anzeige beantwortet";
const char kLogProblem[] = "Problem";
const char kLogPackageFile[] = "Paketdatei";
const char kLogEnd[] = "Ende";

namespace {

void AppendFlat(LogLineText& out, const char* text) {
    bool broken = false;
    for (; text != nullptr && *text != 0; ++text) {
        if (*text == '\r' || *text == '\n') {
            broken = true;
            continue;
        }
        if (broken) out.Append(" / ");
        broken = false;
        out.AppendChar(*text);
    }
}

}  // namespace

void ComposeLogLine(const char* action, const char* detail, const char* other, LogLineText& out) {
    out.Assign(action);
    if (detail == nullptr) return;
    out.Append(": ");
    AppendFlat(out, detail);
    if (other != nullptr) {
        out.Append(" -> ");
        AppendFlat(out, other);
    }
}

void ComposeLogEnd(int exitCode, unsigned long long milliseconds, LogLineText& out) {
    out.Assign(kLogEnd);
    out.Append(": Exitcode ");
    out.Append(DecimalText(exitCode < 0 ? 0u : static_cast<unsigned>(exitCode), false));
    out.Append(" nach ");
    out.Append(DecimalText((milliseconds + 50) / 100, true));
    out.Append(" s");
}
