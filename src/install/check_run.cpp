// The author's dry run (/CHECK): every problem of Setup.lst reported at once, nothing written.
#include "install/check_run.h"

#include <cstring>

#include "files/placement_rules.h"
#include "install/check_rules.h"
#include "list/list_check.h"
#include "list/list_rules.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "list/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

CheckReport g_report;
// The program RunOnce starts when its whole value names no file: its first word.
FieldText g_runOnceProgram;
// A file of the install lands where RunOnce (or its program) and RegFile name one.
bool g_runOnceFound = false;
bool g_regFileFound = false;
// The lists of section names and keys, each name ending in a zero and the list in another.
char g_sectionNames[16384];
char g_keyNames[32768];

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

// Every file the pattern finds beside the program, as the install copies it into the folder
// under its own name; only the first whose path would be too long is named.
void SeeMatches(const char* section, const char* key, const char* pattern, const WorkPath& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(g_ctx.SourceDir.CStr(), pattern).CStr(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    bool tooLong = false;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        WorkPath target = JoinPath(folder.CStr(), found.cFileName);
        if (!target.Fits() && !tooLong) Report(ListProblemKind::TargetTooLong, section, key, pattern, found.cFileName);
        tooLong = tooLong || !target.Fits();
        SeeTarget(target);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The install copies a listed file or pattern, and a [WildCopy] group, only when the first match
// of its path beside the program is a file.
bool SourceFound(const char* value) {
    WorkPath source = JoinPath(g_ctx.SourceDir.CStr(), value);
    return source.Fits() && FileExists(source.CStr());
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

// True when the list of names, up to name, holds it already: of two sections or keys of one name
// the profile reader reads the first.
bool NamedBefore(const char* names, const char* name) {
    for (; names < name; names += strlen(names) + 1)
        if (lstrcmpiA(names, name) == 0) return true;
    return false;
}

// Sections and keys the program does not read, and values longer than the loading keeps.
void CheckNames() {
    const char* list = g_ctx.ListPath.CStr();
    g_sectionNames[GetPrivateProfileSectionNamesA(g_sectionNames, sizeof g_sectionNames, list)] = 0;
    for (const char* section = g_sectionNames; *section != 0; section += strlen(section) + 1) {
        if (ListValueLimit(section, nullptr) == 0 || NamedBefore(g_sectionNames, section)) {
            Report(ListProblemKind::UnknownSection, section, nullptr, nullptr);
            continue;
        }
        g_keyNames[GetPrivateProfileStringA(section, nullptr, "", g_keyNames, sizeof g_keyNames, list)] = 0;
        for (const char* key = g_keyNames; *key != 0; key += strlen(key) + 1) {
            LongText value;
            GetPrivateProfileStringA(section, key, "", value.RawData(), value.RawSize(), list);
            value.Adopt();
            // A second key of one name is never read: the value read is the first one's.
            bool second = NamedBefore(g_keyNames, key);
            size_t limit = second ? 0 : ListValueLimit(section, key);
            if (limit == 0) Report(ListProblemKind::UnknownKey, section, key, second ? "" : value.CStr());
            else if (value.Length() > limit) Report(ListProblemKind::ValueCut, section, key, value.CStr());
        }
    }
}

}  // namespace

RunResult RunListCheck() {
    if (!IsListValueSet(g_ctx.AppName)) Report(ListProblemKind::NoAppName, "General", "AppName", "");
    ReportListProblems(g_ctx, TakeProblem, nullptr);
    if (GroupIsStartupFolder()) Report(ListProblemKind::StartupGroup, "General", "AppName", g_ctx.AppName.CStr());
    // Without a list the profile reader would read the system's own WIN.INI.
    if (!g_ctx.ListPath.IsEmpty() && FileExists(g_ctx.ListPath.CStr())) CheckNames();
    const char* runOnce = g_ctx.RunOnce.CStr();
    g_runOnceProgram.Assign(runOnce, strcspn(runOnce, " "));
    g_runOnceFound = !IsListValueSet(runOnce);
    g_regFileFound = !IsListValueSet(g_ctx.RegFile);
    for (int i = 1; i < kListEntryCount; ++i) {
        char key[4];
        wsprintfA(key, "%d", i);
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsKnownAltFolder(entry.AltFolder.CStr()))
            Report(ListProblemKind::UnknownFolder, "AltFolder", key, entry.AltFolder.CStr());
        CheckSource("Files", key, entry.Files.CStr(), ListProblemKind::MissingFile,
                    InstalledFolderFor(entry.AltFolder.CStr(), ContextFolders()));
        WorkPath folder(g_ctx.TargetDir.CStr());
        if (IsListValueSet(entry.WildSubFolder)) {
            folder.AppendChar('\\');
            folder.Append(entry.WildSubFolder);
        }
        CheckSource("WildCopy", key, entry.WildCopy.CStr(), ListProblemKind::NoMatch, folder);
    }
    if (!g_runOnceFound) Report(ListProblemKind::NotInstalled, "General", "RunOnce", runOnce);
    if (!g_regFileFound) Report(ListProblemKind::NotInstalled, "General", "RegFile", g_ctx.RegFile.CStr());
    FinishCheckReport(g_report);
    // Under /Q the log has a line per problem already; the box's text would repeat them all in one.
    if (!g_ctx.Unattended)
        TellUser(nullptr, g_report.Text.CStr(), kCheckCaption,
                 g_report.Problems == 0 ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
    return g_report.Problems == 0 ? RunResult::Done : RunResult::Refused;
}
