// The wildcard groups of an uninstall: the files each [WildCopy] pattern matches that no record
// names, after a question (the user may have made files of the same type), then the
// [WildSubFolder] folders.
#include "files/file_ops.h"
#include "files/file_path_rules.h"
#include "files/placement_rules.h"
#include "ui/progress_window.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "list/list_rules.h"
#include "ui/user_boxes.h"
#include "support/win_support.h"
#include "uninstall/uninstall_rules.h"
#include "uninstall/uninstall_steps.h"
#include "uninstall/uninstall_texts.h"

namespace {

// A pattern such as "*.*" in the program folder also matches the uninstaller, its list copy and
// the record; they stay for the self-removal script, which would otherwise find no list and leave
// the folder behind. A file the record names was decided on already.
bool IsSpared(const char* path) {
    return IsUninstallerOwnFile(path) || IsRecordedFile(path);
}

// Walks the pattern's plain files that are not spared; with log, each is logged as kept. True
// when there is one.
bool FindUserFiles(const char* pattern, bool log) {
    WIN32_FIND_DATAA found;
    HANDLE search = FitsWindowsPath(pattern) ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return false;
    bool any = false;
    do {
        WorkPath path = FoundFilePath(pattern, found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !path.Fits() || IsSpared(path.CStr())) continue;
        any = true;
        if (log) LogAction(kLogKept, path.CStr());
    } while ((log || !any) && FindNextFileA(search, &found));
    FindClose(search);
    return any;
}

enum class PatternFiles {
    None,     // no file of the user's matches: nothing asked
    Deleted,  // the user agreed (or /UQ did), and they are gone
    Kept,     // the user said no, or nobody was there to ask
};

// Asks (unless quiet) and deletes the pattern's files. Unattended, they stay without a question,
// each logged.
PatternFiles RemovePatternFiles(HWND owner, const ListEntry& entry) {
    ShowProgressItemNow(entry.WildCopy.CStr());
    WorkPath pattern = WildPatternPath(g_ctx.TargetDir.CStr(), entry.WildSubFolder.CStr(), entry.WildCopy.CStr());
    // A pattern that cannot be looked at keeps its sub-folder too.
    if (!pattern.Fits()) return PatternFiles::Kept;
    if (!FindUserFiles(pattern.CStr(), g_ctx.Unattended)) return PatternFiles::None;
    if (g_ctx.Unattended) return PatternFiles::Kept;
    if (!g_ctx.QuietUninstall) {
        ComposeUserFilesQuestion(pattern.CStr(), g_ctx.ScratchText);
        if (!AskToDelete(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kUserFilesCaption)) return PatternFiles::Kept;
    }
    DeleteMatchingFiles(owner, pattern.CStr(), IsSpared);
    return PatternFiles::Deleted;
}

// True when an entry whose files the user kept has them in this sub-folder or below it: the
// sub-folder's tree stays then, whichever entry it belongs to.
bool HoldsKeptFiles(const EntryText& sub, const bool kept[]) {
    for (int i = 0; i < kListEntryCount; ++i) {
        const EntryText& keptSub = g_ctx.InstallList[i].WildSubFolder;
        if (kept[i] && IsListValueSet(keptSub) && SubFolderHoldsKept(sub.CStr(), keptSub.CStr())) return true;
    }
    return false;
}

void RemoveSubFolder(const EntryText& sub) {
    // A name of blanks or dots would be the program folder itself, which only the self-removal
    // script may empty.
    if (!NamesFolder(sub.CStr())) return;
    WorkPath folder;
    WildGroupFolder(g_ctx.TargetDir.CStr(), sub.CStr(), &folder);
    if (!folder.Fits() || KeepsRecordedFileIn(folder.CStr())) return;
    DeleteFolderTree(g_ctx.ProgressWindow, folder.CStr());
    RemoveFolderOrLink(folder.CStr());
}

}  // namespace

void RemoveUserFiles(HWND owner, bool treesNeedConsent) {
    // Every question comes first, so that no sub-folder goes before the user could say that
    // files in it are to stay.
    bool kept[kListEntryCount] = {};
    bool consented[kListEntryCount] = {};
    for (int i = 0; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListValueSet(entry.WildCopy)) continue;
        PatternFiles files = RemovePatternFiles(owner, entry);
        kept[i] = files == PatternFiles::Kept;
        consented[i] = files == PatternFiles::Deleted || (g_ctx.QuietUninstall && !g_ctx.Unattended);
    }
    // Unattended, a sub-folder's tree keeps whatever the user put there.
    if (g_ctx.Unattended) return;
    for (int i = 0; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListValueSet(entry.WildCopy) || !IsListValueSet(entry.WildSubFolder)) continue;
        if (HoldsKeptFiles(entry.WildSubFolder, kept) || (treesNeedConsent && !consented[i])) continue;
        RemoveSubFolder(entry.WildSubFolder);
    }
}
