// Rules that list values must follow before anything is installed or removed.
#include "list/list_rules.h"

#include "support/text_helpers.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows drops trailing dots and blanks from a name, so "..", ". ." and "..." all lead to the
// folder itself or its parent.
bool IsDotComponent(const char* start, const char* end) {
    bool dot = false;
    for (const char* p = start; p < end; ++p) {
        if (*p == '.') dot = true;
        else if (*p != ' ') return false;
    }
    return dot;
}

// Windows opens a device, not a file, for these names, with any extension ("CON.txt") and with the
// superscript digits of code page 1252 too ("COM\xB9").
bool IsDeviceName(const char* start, const char* end) {
    const char* stem = start;
    while (stem < end && *stem != '.') ++stem;
    while (stem > start && stem[-1] == ' ') --stem;
    char name[8] = {};
    size_t length = static_cast<size_t>(stem - start);
    if (length < 3 || length > 7) return false;
    for (size_t i = 0; i < length; ++i) name[i] = UpperAscii(start[i]);
    static const char kDevices[][8] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (EqualsNoCase(name, device)) return true;
    unsigned char digit = static_cast<unsigned char>(name[3]);
    bool portDigit = (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    return length == 4 && portDigit && (FindTextExact(name, "COM") == name || FindTextExact(name, "LPT") == name);
}

void SetProblem(ListProblem* problem, ListProblemKind kind, const char* section, const char* key,
                const char* value) {
    problem->Kind = kind;
    problem->Section = section;
    problem->Key.Assign(key);
    problem->Value = value;
}

// The problems found so far and where they go.
struct ProblemReport {
    ListProblemSink Sink;
    void* Data;
    bool Clean;
};

// Hands a problem of the value to the sink; false when the sink wants no more.
bool Report(ProblemReport& report, ListProblemKind kind, const char* section, const char* key, const char* value) {
    if (kind == ListProblemKind::None) return true;
    report.Clean = false;
    ListProblem problem;
    SetProblem(&problem, kind, section, key, value);
    return report.Sink(problem, report.Data);
}

// For values that name folders the runs create, empty and remove: a wildcard there could match
// other folders, and a name Windows refuses would leave half an installation behind. A value that
// begins with a blank or a control character counts as empty and is not used: an AppName then
// makes no group and no entry, a WildSubFolder no sub-folder.
ListProblemKind NamedFolderProblem(const char* value) {
    ListProblemKind kind = PathValueProblem(value, true);
    if (kind == ListProblemKind::None && IsListValueSet(value)) kind = FolderNameProblem(value);
    return kind;
}

ListProblemKind ProgramFolderProblem(const InstallContext& context) {
    const char* folder = context.Folder.CStr();
    ListProblemKind kind = PathValueProblem(folder, true);
    if (kind == ListProblemKind::None) kind = FolderNameProblem(folder);
    if (kind == ListProblemKind::None && !NamesFolder(folder)) kind = ListProblemKind::NoProgramFolder;
    if (kind == ListProblemKind::None && !context.TargetDir.Fits()) kind = ListProblemKind::TooLong;
    return kind;
}

ListProblemKind GroupProblem(const InstallContext& context) {
    FieldText group;
    group.Assign(JoinPath(context.ProgramsDir.CStr(), context.AppName.CStr()));
    return group.Fits() && context.ProgramsDir.Fits() ? ListProblemKind::None : ListProblemKind::TooLong;
}

// The first character chooses the folder (W, S, F or a backslash); what follows must stay in it.
ListProblemKind AltFolderProblem(const char* alt) {
    if (alt[0] == 0) return ListProblemKind::None;
    ListProblemKind kind = PathValueProblem(alt + 1, false);
    if (kind == ListProblemKind::None && IsListValueSet(alt)) kind = FolderNameProblem(alt + 1);
    return kind;
}

// The program RunOnce starts is its first word, or the whole value when that names a file: both
// must stay in the program folder. Arguments may name drives ("/log=C:\\x.log"), so the whole value
// is held only to the rules a file name needs.
ListProblemKind RunOnceProblem(const char* runOnce) {
    PathBuffer<kFieldWidth> program;
    size_t length = 0;
    while (runOnce[length] != 0 && runOnce[length] != ' ') ++length;
    program.Assign(runOnce, length);
    ListProblemKind kind = PathValueProblem(program.CStr(), true);
    if (kind == ListProblemKind::None) {
        kind = PathValueProblem(runOnce, true);
        if (kind == ListProblemKind::Drive) kind = ListProblemKind::None;
    }
    return kind;
}

bool ReportEntry(ProblemReport& report, const ListEntry& entry, int index) {
    PathBuffer<16> key;
    key.Assign(DecimalText(static_cast<unsigned>(index), false));
    const char* k = key.CStr();
    return Report(report, PathValueProblem(entry.Files.CStr(), false), "Files", k, entry.Files.CStr()) &&
           Report(report, PathValueProblem(entry.Links.CStr(), false), "Links", k, entry.Links.CStr()) &&
           Report(report, PathValueProblem(entry.DesktopLinks.CStr(), false), "DesktopLinks", k,
                  entry.DesktopLinks.CStr()) &&
           Report(report, PathValueProblem(entry.WildCopy.CStr(), false), "WildCopy", k, entry.WildCopy.CStr()) &&
           Report(report, NamedFolderProblem(entry.WildSubFolder.CStr()), "WildSubFolder", k,
                  entry.WildSubFolder.CStr()) &&
           Report(report, AltFolderProblem(entry.AltFolder.CStr()), "AltFolder", k, entry.AltFolder.CStr());
}

}  // namespace

const char* ListProblemReason(ListProblemKind kind) {
    switch (kind) {
    case ListProblemKind::DotFolder:
        return "Ordnernamen aus Punkten (wie \"..\") würden aus dem Ordner der Anwendung herausführen.";
    case ListProblemKind::Drive:
        return "Laufwerksangaben (wie \"C:\") sind hier nicht erlaubt.";
    case ListProblemKind::LeadingBackslash:
        return "Der Wert darf nicht mit \"\\\" beginnen.";
    case ListProblemKind::NoProgramFolder:
        return "Es ist kein Programmordner angegeben: Folder (oder AppName) darf nicht leer sein.";
    case ListProblemKind::TooLong:
        return "Der Ordner wird damit zu lang.";
    case ListProblemKind::BadCharacter:
        return "Die Zeichen < > \" | ? * und Steuerzeichen sind in Ordnernamen nicht erlaubt.";
    case ListProblemKind::DeviceName:
        return "Gerätenamen (wie CON, NUL oder COM1) sind als Datei- und Ordnernamen nicht erlaubt.";
    case ListProblemKind::StartupGroup:
        return "Die Programmgruppe wäre der Autostart-Ordner: Die Deinstallation würde bei jeder Anmeldung starten.";
    case ListProblemKind::NoAppName:
        return "AppName fehlt (oder SETUP.LST selbst): Setup.exe zeigt dann nur seine Hilfe.";
    case ListProblemKind::UnknownSection:
        return "Diesen Abschnitt liest Setup.exe nicht (unbekannt oder doppelt).";
    case ListProblemKind::UnknownKey:
        return "Diesen Schlüssel liest Setup.exe nicht (unbekannt oder doppelt; nummeriert: 1 bis 128).";
    case ListProblemKind::ValueCut:
        return "Der Wert wird gekürzt.";
    case ListProblemKind::MissingFile:
        return "Die Datei fehlt im Ordner von Setup.exe.";
    case ListProblemKind::NoMatch:
        return "Das Muster trifft keine Datei im Ordner von Setup.exe.";
    case ListProblemKind::UnknownFolder:
        return "Unbekannter Ordner (erlaubt sind W, S, F oder \\ am Anfang): Die Datei käme in den Programmordner.";
    case ListProblemKind::TargetTooLong:
        return "Der Zielpfad wird länger als 259 Zeichen.";
    case ListProblemKind::NotInstalled:
        return "Nach der Installation liegt keine solche Datei im Programmordner (aus [Files] oder [WildCopy]).";
    case ListProblemKind::MisleadingFolder:
        return "W oder S allein (und Wörter wie System) bringen die Datei in den Programmordner: Der Windows-Ordner "
               "ist W\\, der System-Ordner S\\.";
    case ListProblemKind::MissingFolder:
        return "Diesen Ordner gibt es nicht, und die Installation legt ihn nicht an: Die Datei kann nicht kopiert "
               "werden.";
    case ListProblemKind::NoFilesEntry:
        return "Ohne [Files] mit derselben Nummer wird dieser Eintrag nicht verwendet.";
    case ListProblemKind::Utf8List:
        return "SETUP.LST ist als UTF-8 gespeichert, Setup.exe liest sie als Windows-1252: Umlaute werden falsch "
               "gelesen. Speichern Sie die Liste als Windows-1252 (ANSI).";
    case ListProblemKind::BadVersion:
        return "ProductVersion besteht aus Ziffern und Punkten, mit bis zu vier Teilen (etwa 2.1.0).";
    case ListProblemKind::NotLocalFolder:
        return "Der Programmordner muss als ganzer Pfad auf einem lokalen Laufwerk angegeben sein, etwa "
               "C:\\Programme\\Anwendung.";
    case ListProblemKind::None:
        break;
    }
    return "";
}

const char kInstallRefusedCaption[] = "Installation abgebrochen";
const char kUninstallRefusedCaption[] = "Deinstallation abgebrochen";

ListProblemKind PathValueProblem(const char* value, bool refuseRoot) {
    if (value == nullptr) return ListProblemKind::None;
    if (refuseRoot && IsSeparator(value[0])) return ListProblemKind::LeadingBackslash;
    const char* start = value;
    for (const char* p = value;; ++p) {
        if (*p == ':') return ListProblemKind::Drive;
        if (*p == 0 || IsSeparator(*p)) {
            if (IsDotComponent(start, p)) return ListProblemKind::DotFolder;
            if (IsDeviceName(start, p)) return ListProblemKind::DeviceName;
            if (*p == 0) break;
            start = p + 1;
        }
    }
    return ListProblemKind::None;
}

ListProblemKind FolderNameProblem(const char* value) {
    if (value == nullptr) return ListProblemKind::None;
    for (const char* p = value; *p != 0; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < ' ' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*')
            return ListProblemKind::BadCharacter;
    }
    return ListProblemKind::None;
}

ListProblemKind ProgramFolderPathProblem(const char* path) {
    char drive = UpperAscii(path[0]);
    if (drive < 'A' || drive > 'Z' || path[1] != ':' || !IsSeparator(path[2])) return ListProblemKind::NotLocalFolder;
    const char* names = path + 3;
    if (!NamesFolder(names)) return ListProblemKind::NotLocalFolder;
    ListProblemKind kind = PathValueProblem(names, true);
    return kind != ListProblemKind::None ? kind : FolderNameProblem(names);
}

bool NamesFolder(const char* value) {
    for (const char* p = value; p != nullptr && *p != 0; ++p)
        if (*p != ' ' && *p != '.' && !IsSeparator(*p)) return true;
    return false;
}

bool ReportListProblems(const InstallContext& context, ListProblemSink sink, void* data) {
    ProblemReport report = {sink, data, true};
    const char* appName = context.AppName.CStr();
    bool more = Report(report, NamedFolderProblem(appName), "General", "AppName", appName) &&
                Report(report, ProgramFolderProblem(context), "General", "Folder", context.Folder.CStr()) &&
                Report(report, GroupProblem(context), "General", "AppName", appName) &&
                Report(report, PathValueProblem(context.RegFile.CStr(), true), "General", "RegFile",
                       context.RegFile.CStr()) &&
                Report(report, RunOnceProblem(context.RunOnce.CStr()), "General", "RunOnce", context.RunOnce.CStr());
    for (int i = 1; more && i < kListEntryCount; ++i) more = ReportEntry(report, context.InstallList[i], i);
    return report.Clean;
}

bool CheckListValues(const InstallContext& context, ListProblem* problem) {
    *problem = ListProblem();
    return ReportListProblems(
        context,
        [](const ListProblem& found, void* first) {
            *static_cast<ListProblem*>(first) = found;
            return false;
        },
        problem);
}

ListProblem StartupGroupProblem(const char* appName) {
    ListProblem problem;
    SetProblem(&problem, ListProblemKind::StartupGroup, "General", "AppName", appName != nullptr ? appName : "");
    return problem;
}

void ComposeListProblemText(const ListProblem& problem, bool uninstalling, ScratchBuffer& out) {
    out.Assign("Dieser Eintrag in SETUP.LST ist nicht zulässig:\r\r[");
    out.Append(problem.Section);
    out.Append("]\r");
    out.Append(problem.Key);
    out.AppendChar('=');
    out.Append(problem.Value);
    out.Append("\r\r");
    out.Append(ListProblemReason(problem.Kind));
    out.Append(uninstalling ? "\r\rEs wurde nichts gelöscht." : "\r\rEs wurde nichts installiert.");
}
