// The author's check of Setup.lst: the sections and keys the program reads, and the report.
#include "install/check_rules.h"

#include "list/install_context.h"
#include "support/text_helpers.h"

const char kCheckCaption[] = "Prüfung von SETUP.LST";

namespace {

constexpr int kBoxLines = 30;
const char kHeading[] = "Die Prüfung hat in SETUP.LST diese Probleme gefunden:\r";
const char kMoreNote[] = "\r\r... und weitere: Setup.exe /CHECK /LOG=Datei nennt alle.";
const char kNothingFound[] = "Die Prüfung hat in SETUP.LST keine Probleme gefunden.";

// In the order the loading reads them; the last three of [General] are Intro1 to Intro3, the
// short sections [Extensions] and [WildSubFolder].
const char* const kGeneralKeys[] = {"AppName",  "Version", "Copyright", "Folder", "AllUsers", "RunOnce",
                                    "RegFile", "CopyOnly", "Intro1",    "Intro2", "Intro3"};
const char* const kIndexedSections[] = {"Files",     "Links",    "DesktopLinks", "Extensions",
                                        "AltFolder", "WildCopy", "WildSubFolder"};

bool IsListIndex(const char* key) {
    int index = 0;
    for (const char* p = key; *p != 0; ++p) {
        if (*p < '0' || *p > '9' || (p == key && *p == '0') || index > kListEntryCount / 10) return false;
        index = index * 10 + (*p - '0');
    }
    return index >= 1 && index < kListEntryCount;
}

}  // namespace

size_t ListValueLimit(const char* section, const char* key) {
    if (EqualsNoCase(section, "General")) {
        if (key == nullptr) return kListValueChars;
        for (size_t i = 0; i < sizeof kGeneralKeys / sizeof *kGeneralKeys; ++i)
            if (EqualsNoCase(key, kGeneralKeys[i])) return i < 8 ? kListValueChars : kListIntroChars;
        return 0;
    }
    for (size_t i = 0; i < sizeof kIndexedSections / sizeof *kIndexedSections; ++i) {
        if (!EqualsNoCase(section, kIndexedSections[i])) continue;
        if (key != nullptr && !IsListIndex(key)) return 0;
        return i == 3 || i == 6 ? kListShortChars : kListValueChars;
    }
    return 0;
}

bool IsKnownAltFolder(const char* altFolder) {
    char first = altFolder != nullptr ? altFolder[0] : 0;
    return !IsListValueSet(altFolder) || first == 'W' || first == 'S' || first == 'F' || first == '\\';
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
