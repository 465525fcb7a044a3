// The author's dry run (/CHECK): every problem of Setup.lst reported at once, nothing written.
#include "install/check_run.h"

#include <cstring>

#include "files/placement_rules.h"
#include "files/product_version_rules.h"
#include "install/altfolder_check_rules.h"
#include "install/check_rules.h"
#include "install/nearest_name_rules.h"
#include "files/list_check.h"
#include "list/list_encoding_rules.h"
#include "list/list_loading.h"
#include "list/list_text_rules.h"
#include "list/list_rules.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
#include "package/package_source.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

CheckReport g_report;
// The program RunOnce starts when its whole value names no file: its first word.
FieldText g_runOnceProgram;
// A file of the install lands where RunOnce (or its program) and RegFile name one.
bool g_runOnceFound = false;
bool g_regFileFound = false;

void Report(ListProblemKind kind, const char* section, const char* key, const char* value,
            const char* detail = nullptr) {
    AddCheckProblem(kind, section, key, value, detail, g_report);
    LogAction(kLogProblem, g_report.Line.CStr());
}

bool TakeProblem(const ListProblem& problem, void*) {
    Report(problem.Kind, problem.Section, problem.Key.CStr(), problem.Value);
    return true;
}

// A file the install would copy to target. Every path the install composes in the program folder
// begins with the folder's text as loaded; RunOnce and RegFile name a file below it.
void SeeTarget(const WorkPath& target) {
    size_t length = g_ctx.TargetDir.Length();
    if (strncmp(target.CStr(), g_ctx.TargetDir.CStr(), length) != 0 || target.At(length) != '\\') return;
    const char* name = target.CStr() + length + 1;
    if (lstrcmpiA(name, g_ctx.RunOnce.CStr()) == 0 || lstrcmpiA(name, g_runOnceProgram.CStr()) == 0)
        g_runOnceFound = true;
    if (lstrcmpiA(name, g_ctx.RegFile.CStr()) == 0) g_regFileFound = true;
}

// One file the pattern finds, as the install copies it into the folder under its own name; only
// the first whose path would be too long is named.
void SeeMatch(const char* section, const char* key, const char* pattern, const WorkPath& folder, const char* name,
              bool* tooLong) {
    WorkPath target = JoinPath(folder.CStr(), name);
    if (!target.Fits() && !*tooLong) Report(ListProblemKind::TargetTooLong, section, key, pattern, name);
    *tooLong = *tooLong || !target.Fits();
    SeeTarget(target);
}

// Every file the pattern finds beside the program, or in a packed program's package.
void SeeMatches(const char* section, const char* key, const char* pattern, const WorkPath& folder) {
    bool tooLong = false;
    if (IsPackedRun()) {
        PackageSearch search;
        CopySource source;
        while (NextPackageMatch(pattern, search, &source))
            SeeMatch(section, key, pattern, folder, PathFilePart(source.Name).CStr(), &tooLong);
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(g_ctx.SourceDir.CStr(), pattern).CStr(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            SeeMatch(section, key, pattern, folder, found.cFileName, &tooLong);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The install copies a listed file or pattern, and a [WildCopy] group, only when the first match
// of its path beside the program (or in its package) is a file.
bool SourceFound(const char* value) {
    CopySource source;
    if (IsPackedRun()) return FindPackageFile(value, &source);
    WorkPath path = JoinPath(g_ctx.SourceDir.CStr(), value);
    return path.Fits() && FileExists(path.CStr());
}

// A listed file or pattern ([Files]) or a [WildCopy] pattern, as the install copies it into the
// folder: a pattern each file it finds under that file's name, a file under its name alone.
void CheckSource(const char* section, const char* key, const char* value, ListProblemKind missing,
                 const WorkPath& folder) {
    if (!IsListValueSet(value)) return;
    if (!SourceFound(value)) {
        Report(missing, section, key, value);
        return;
    }
    if (missing == ListProblemKind::NoMatch || strpbrk(value, "*?") != nullptr) {
        SeeMatches(section, key, value, folder);
        return;
    }
    WorkPath target = InstalledFilePath(folder.CStr(), value);
    if (!target.Fits() || !folder.Fits()) Report(ListProblemKind::TargetTooLong, section, key, value);
    SeeTarget(target);
}

// The names met so far, each ending in a zero, for telling the first section or key of a name
// from a later one: the profile reader reads the first.
struct NameList {
    char Names[32768];
    size_t Used;
};
NameList g_sectionNames;
NameList g_keyNames;

// True when the list holds the name already; false (and the name taken in) when it is new. A
// name that no longer fits counts as new.
bool NamedBefore(NameList& list, const char* name, size_t length) {
    for (size_t at = 0; at < list.Used; at += strlen(list.Names + at) + 1)
        if (ListNameIs(name, length, list.Names + at)) return true;
    if (list.Used + length + 1 <= sizeof list.Names) {
        memcpy(list.Names + list.Used, name, length);
        list.Names[list.Used + length] = 0;
        list.Used += length + 1;
    }
    return false;
}

// The walk of the list's names: its section, and whether the program reads it; whether the list
// was saved as UTF-8, and the first line with a character beyond ASCII was named for it.
struct NameCheck {
    FieldText Section;
    bool Read = false;
    bool Utf8 = false;
};

// A detail that the line leaves out when there is none (the detail lives as long as the call).
const char* NullIfEmpty(const PathBuffer<64>& detail) {
    return detail.IsEmpty() ? nullptr : detail.CStr();
}

bool HasNonAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return true;
    return false;
}

bool CheckLine(const ListTextLine& line, void* data) {
    NameCheck& check = *static_cast<NameCheck*>(data);
    LongText key;
    key.Append(line.Key != nullptr ? line.Key : "", line.KeyLength);
    LongText value;
    TakeListValue(line, LongText::kMaxLength, value);
    if (line.Key == nullptr) {
        check.Section.Clear();
        check.Section.Append(line.Section, line.SectionLength);
    }
    // The first line that shows what the author would see wrong names the list's encoding.
    const char* name = line.Key == nullptr ? line.Section : key.CStr();
    size_t nameLength = line.Key == nullptr ? line.SectionLength : key.Length();
    if (check.Utf8 && (HasNonAscii(name, nameLength) || HasNonAscii(value.CStr(), value.Length()))) {
        Report(ListProblemKind::Utf8List, check.Section.CStr(), key.CStr(), value.CStr());
        check.Utf8 = false;
    }
    if (line.Key == nullptr) {
        check.Read = ListValueLimit(check.Section.CStr(), nullptr) != 0 &&
                     !NamedBefore(g_sectionNames, line.Section, line.SectionLength);
        g_keyNames.Used = 0;
        if (!check.Read)
            Report(ListProblemKind::UnknownSection, check.Section.CStr(), nullptr, nullptr,
                   NullIfEmpty(MeantNameDetail(NearestKnownName(check.Section.CStr(), KnownSectionName), true)));
        return true;
    }
    if (!check.Read) return true;
    // A second key of one name is never read: the value read is the first one's.
    bool second = NamedBefore(g_keyNames, line.Key, line.KeyLength);
    size_t limit = second ? 0 : ListValueLimit(check.Section.CStr(), key.CStr());
    if (limit == 0) {
        bool general = EqualsNoCase(check.Section.CStr(), "General");
        const char* meant = general && !second ? NearestKnownName(key.CStr(), KnownGeneralKeyName) : nullptr;
        Report(ListProblemKind::UnknownKey, check.Section.CStr(), key.CStr(), second ? "" : value.CStr(),
               NullIfEmpty(MeantNameDetail(meant, false)));
    } else if (value.Length() > limit) {
        Report(ListProblemKind::ValueCut, check.Section.CStr(), key.CStr(), value.CStr());
    }
    return true;
}

// Sections and keys the program does not read, and values longer than the loading keeps.
void CheckNames() {
    static NameCheck check;
    check = NameCheck();
    g_sectionNames.Used = 0;
    g_keyNames.Used = 0;
    const ListText& list = LoadedListText();
    check.Utf8 = LooksLikeUtf8(reinterpret_cast<const unsigned char*>(list.Text), list.Size);
    WalkListText(list.Text, list.Size, CheckLine, &check);
}

// The files of a listed value or pattern as the install takes them from beside the program, in
// the log, by their paths below the program's folder.
void LogSourceFiles(const char* value) {
    if (!IsListValueSet(value)) return;
    if (strpbrk(value, "*?") == nullptr) {
        LogAction(kLogPackageFile, value);
        return;
    }
    LongText folder = PathFolderPart(value);
    bool inFolder = folder.Length() < strlen(value);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(g_ctx.SourceDir.CStr(), value).CStr(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        LogAction(kLogPackageFile, inFolder ? JoinPath(folder.CStr(), found.cFileName).CStr() : found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The order the install takes its files in: the list, the listed files, then the wildcard groups.
// A package packed in this order is read by a packed program once, front to back (tools/pack
// reads it from the log).
void LogInstallOrder() {
    if (!RunLogIsOpen() || IsPackedRun()) return;
    LogAction(kLogPackageFile, kListFileName);
    // Entry 0 is the program itself, which is no file of a package.
    for (int i = 1; i < kListEntryCount; ++i) LogSourceFiles(g_ctx.InstallList[i].Files.CStr());
    for (int i = 1; i < kListEntryCount; ++i) LogSourceFiles(g_ctx.InstallList[i].WildCopy.CStr());
}

// Links, DesktopLinks, Extensions and AltFolder belong to the file of the same number; without one
// the install passes them over.
void CheckEntryWithoutFile(const ListEntry& entry, const char* key) {
    if (IsListValueSet(entry.Files)) return;
    const struct {
        const char* Section;
        const EntryText& Value;
    } parts[] = {{"Links", entry.Links}, {"DesktopLinks", entry.DesktopLinks}, {"Extensions", entry.Extensions},
                 {"AltFolder", entry.AltFolder}};
    for (const auto& part : parts)
        if (IsListValueSet(part.Value)) Report(ListProblemKind::NoFilesEntry, part.Section, key, part.Value.CStr());
}

// A letter the install does not know, one that does not lead where it seems to, and a sub-folder
// of the Windows or System folder that is not there (the install makes none there).
void CheckAltFolder(const char* alt, const char* key) {
    if (!IsKnownAltFolder(alt)) Report(ListProblemKind::UnknownFolder, "AltFolder", key, alt);
    if (MisleadingAltFolderLetter(alt) != 0) Report(ListProblemKind::MisleadingFolder, "AltFolder", key, alt);
    EntryText sub = AltFolderSystemSubFolder(alt);
    if (sub.IsEmpty()) return;
    WorkPath folder = JoinPath(alt[0] == 'W' ? g_ctx.WindowsDir.CStr() : g_ctx.SystemDir.CStr(), sub.CStr());
    if (folder.Fits() && !FolderExists(folder.CStr()))
        Report(ListProblemKind::MissingFolder, "AltFolder", key, alt, folder.CStr());
}

}  // namespace

RunResult RunListCheck() {
    if (!IsListValueSet(g_ctx.AppName)) Report(ListProblemKind::NoAppName, "General", "AppName", "");
    ReportListProblems(g_ctx, TakeProblem, nullptr);
    if (GroupIsStartupFolder()) Report(ListProblemKind::StartupGroup, "General", "AppName", g_ctx.AppName.CStr());
    if (g_ctx.HasList) CheckNames();
    const char* runOnce = g_ctx.RunOnce.CStr();
    g_runOnceProgram.Assign(runOnce, strcspn(runOnce, " "));
    g_runOnceFound = !IsListValueSet(runOnce);
    g_regFileFound = !IsListValueSet(g_ctx.RegFile);
    for (int i = 1; i < kListEntryCount; ++i) {
        auto number = DecimalText(static_cast<unsigned>(i), false);
        const char* key = number.CStr();
        const ListEntry& entry = g_ctx.InstallList[i];
        CheckEntryWithoutFile(entry, key);
        CheckAltFolder(entry.AltFolder.CStr(), key);
        CheckSource("Files", key, entry.Files.CStr(), ListProblemKind::MissingFile,
                    InstalledFolderFor(entry.AltFolder.CStr(), ContextFolders()));
        WorkPath folder;
        WildGroupFolder(g_ctx.TargetDir.CStr(), entry.WildSubFolder.CStr(), &folder);
        CheckSource("WildCopy", key, entry.WildCopy.CStr(), ListProblemKind::NoMatch, folder);
    }
    const char* version = g_ctx.ProductVersion.CStr();
    VersionNumber parsed;
    if (IsListValueSet(version) && !ParseProductVersion(version, parsed))
        Report(ListProblemKind::BadVersion, "General", "ProductVersion", version);
    if (!g_runOnceFound) Report(ListProblemKind::NotInstalled, "General", "RunOnce", runOnce);
    if (!g_regFileFound) Report(ListProblemKind::NotInstalled, "General", "RegFile", g_ctx.RegFile.CStr());
    LogInstallOrder();
    FinishCheckReport(g_report);
    // Under /Q the log has a line per problem already; the box's text would repeat them all in one.
    if (!g_ctx.Unattended)
        TellUser(nullptr, g_report.Text.CStr(), kCheckCaption,
                 g_report.Problems == 0 ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
    return g_report.Problems == 0 ? RunResult::Done : RunResult::Refused;
}
