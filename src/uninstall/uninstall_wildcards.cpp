// The wildcard groups of an uninstall: the files each [WildCopy] pattern copied, after a
// question (the user may have made files of the same type), then the [WildSubFolder] folders.
#include "files/file_ops.h"
#include "files/progress_item.h"
#include "list/install_context.h"
#include "list/list_rules.h"
#include "list/user_boxes.h"
#include "support/win_support.h"
#include "uninstall/uninstall_rules.h"
#include "uninstall/uninstall_steps.h"
#include "uninstall/uninstall_texts.h"

namespace {

constexpr UINT kQuestionStyle = MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

// Asks (unless quiet) and deletes the pattern's files; false when the user keeps them.
bool RemovePatternFiles(HWND owner, const ListEntry& entry) {
    ShowProgressItemNow(entry.WildCopy.CStr());
    WorkPath pattern = WildPatternPath(g_ctx.TargetDir.CStr(), entry.WildSubFolder.CStr(), entry.WildCopy.CStr());
    // A pattern that cannot be looked at keeps its sub-folder too.
    if (!pattern.Fits()) return false;
    if (!FileExists(pattern.CStr())) return true;
    if (!g_ctx.QuietUninstall) {
        ComposeUserFilesQuestion(pattern.CStr(), g_ctx.ScratchText);
        if (AskUser(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kUserFilesCaption, kQuestionStyle, IDNO) != IDYES)
            return false;
    }
    // A pattern such as "*.*" in the program folder also matches the uninstaller and the list
    // copy; they stay for the self-removal script, which would otherwise find no list and leave
    // the folder behind.
    DeleteMatchingFiles(owner, pattern.CStr(), IsUninstallerOwnFile);
    return true;
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
    WorkPath folder = WildSubFolderPath(g_ctx.TargetDir.CStr(), sub.CStr());
    if (!folder.Fits()) return;
    DeleteFolderTree(g_ctx.ProgressWindow, folder.CStr());
    RemoveFolderOrLink(folder.CStr());
}

}  // namespace

void RemoveUserFiles(HWND owner) {
    // Every question comes first, so that no sub-folder goes before the user could say that
    // files in it are to stay.
    bool kept[kListEntryCount] = {};
    for (int i = 0; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (IsListValueSet(entry.WildCopy)) kept[i] = !RemovePatternFiles(owner, entry);
    }
    for (int i = 0; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListValueSet(entry.WildCopy) || !IsListValueSet(entry.WildSubFolder)) continue;
        if (!HoldsKeptFiles(entry.WildSubFolder, kept)) RemoveSubFolder(entry.WildSubFolder);
    }
}
