// The author's check of Setup.lst: the [AltFolder] letters the program knows, and the report.
#include "install/check_rules.h"

#include "list/install_context.h"
#include "list/list_key_rules.h"
#include "support/text_helpers.h"

const char kCheckCaption[] = "Prüfung von SETUP.LST";

namespace {

constexpr int kBoxLines = 30;
const char kHeading[] = "Die Prüfung hat in SETUP.LST diese Probleme gefunden:\r";
const char kMoreNote[] = "\r\r... und weitere: Setup.exe /CHECK /LOG=Datei nennt alle.";
const char kNothingFound[] = "Die Prüfung hat in SETUP.LST keine Probleme gefunden.";

}  // namespace

bool IsKnownAltFolder(const char* altFolder) {
    char first = altFolder != nullptr ? altFolder[0] : 0;
    return !IsListValueSet(altFolder) || first == 'W' || first == 'S' || first == 'F' || first == '\\';
}

PathBuffer<64> MeantNameDetail(const char* known, bool section) {
    PathBuffer<64> detail;
    if (known == nullptr) return detail;
    detail.Assign(section ? "meinten Sie [" : "meinten Sie ");
    detail.Append(known);
    detail.Append(section ? "]?" : "?");
    return detail;
}

void AddCheckProblem(ListProblemKind kind, const char* section, const char* key, const char* value,
                     const char* detail, CheckReport& report) {
    PathBuffer<1024>& line = report.Line;
    line.Assign("[");
    line.Append(section);
    line.AppendChar(']');
    if (key != nullptr && key[0] != 0) {
        line.AppendChar(' ');
        line.Append(key);
        line.AppendChar('=');
        line.Append(value);
    }
    if (detail != nullptr) {
        line.Append(" (");
        line.Append(detail);
        line.AppendChar(')');
    }
    line.Append(": ");
    line.Append(ListProblemReason(kind));
    // How many characters this key keeps, from the table the loading uses.
    size_t limit = kind == ListProblemKind::ValueCut ? ListValueLimit(section, key) : 0;
    if (limit > 0) {
        line.Append(" Setup.exe liest hier ");
        line.Append(DecimalText(limit, false).CStr());
        line.Append(" Zeichen.");
    }
    if (report.Problems++ == 0) report.Text.Assign(kHeading);
    if (report.Shown < kBoxLines && report.Text.Length() + line.Length() + sizeof kMoreNote < ScratchBuffer::kMaxLength) {
        report.Text.AppendChar('\r');
        report.Text.Append(line.CStr());
        ++report.Shown;
    }
}

void FinishCheckReport(CheckReport& report) {
    if (report.Problems == 0) report.Text.Assign(kNothingFound);
    else if (report.Shown < report.Problems) report.Text.Append(kMoreNote);
}
