// The listed files of an uninstall: each one where the install run placed it, with its
// help-index and settings companions, its desktop shortcut and its file types. Files in the
// Windows, System or Fonts folder go only after a question.
#include "files/file_ops.h"
#include "files/file_types.h"
#include "files/font_files.h"
#include "files/placement_rules.h"
#include "ui/progress_window.h"
#include "files/shell_link.h"
#include "files/uninstall_entry.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "uninstall/uninstall_rules.h"
#include "uninstall/uninstall_steps.h"
#include "uninstall/uninstall_texts.h"

namespace {

// The install run wrote the open command from the entry's folder joined with the whole listed
// value; only the same command lets the removal tell its own keys from another program's. What
// the keys held before, the install kept in the uninstall entry; an entry that names another
// folder keeps what that installation found, not this one.
void RemoveFileTypes(const WorkPath& folder, const ListEntry& entry) {
    WorkPath program = JoinPath(folder.CStr(), entry.Files.CStr());
    OpenCommandText command = OpenCommandFor(program.CStr(), entry.Extensions.CStr());
    PathBuffer<256> uninstallKey = UninstallKeyFor(g_ctx.AppName.CStr());
    bool ownEntry = EntryBelongsTo(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr());
    UnregisterFileTypes(command.CStr(), entry.Extensions.CStr(), g_ctx.AppName.CStr(), ownEntry ? uninstallKey.CStr() : nullptr);
}

// Only while it still points at this installation's file: a shortcut of the same name may be
// another program's, or that of an installation of the same application in another folder.
void RemoveDesktopShortcut(const WorkPath& folder, const ListEntry& entry) {
    if (!EntryBelongsTo(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr())) return;
    ShellFolderText desktop = GetShellFolder("Desktop", g_ctx.AllUsersMode);
    WorkPath link;
    WorkPath target = ShortcutTargetFor(folder.CStr(), entry.Files.CStr());
    if (desktop.Fits() && target.Fits() && ShortcutPath(desktop.CStr(), entry.DesktopLinks.CStr(), &link))
        DeleteShellLinkTo(link.CStr(), target.CStr());
}

void RemoveListedFile(const WorkPath& path, const EntryText& files, const InstallFolders& folders) {
    if (!FileExists(path.CStr()) || IsUninstallerOwnFile(path.CStr())) return;
    if (IsSystemFolderPath(path.CStr(), folders) && !MayDeleteSystemFile(path.CStr())) return;
    DeleteInstalledFile(path.CStr(), files.CStr());
}

void RemoveCompanions(const WorkPath& path) {
    CompanionFiles companions = CompanionFilesOf(path.CStr());
    for (int i = 0; i < companions.Count; ++i) {
        SetFileAttributesA(companions.Paths[i].CStr(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(companions.Paths[i].CStr());
    }
}

}  // namespace

// A quiet uninstall keeps the file without a word; an unattended one keeps it too, and says so.
bool MayDeleteSystemFile(const char* path) {
    if (g_ctx.QuietUninstall && !g_ctx.Unattended) return false;
    ComposeSystemFileQuestion(path, g_ctx.ScratchText);
    return AskToDelete(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kSystemFileCaption);
}

bool DeleteInstalledFile(const char* path, const char* fontName) {
    // The install run loaded the installed copy; a table that knows the font by its listed name
    // gets that name too. The file is deleted whether or not it was unloaded.
    if (IsFontsFolderPath(path, g_ctx.FontsDir.CStr()) && UnloadFont(path, fontName)) BroadcastFontChange();
    ShowProgressItem(path);
    if (DeleteOneFile(path, false)) {
        LogAction(kLogDeleted, path);
        return true;
    }
    LogFailure(path, GetLastError());
    ComposeListedFileNotDeletedText(path, g_ctx.ScratchText);
    AskUser(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kListedFileNotDeletedCaption, MB_OK | MB_ICONHAND, IDOK);
    return false;
}

void RemoveInstalledFiles() {
    InstallFolders folders = ContextFolders();
    // Entry 0 is the program itself, removed by the self-removal script.
    for (int i = 1; i < kListEntryCount && !RunStopped(); ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListValueSet(entry.Files) || FindTextExact(entry.Files.CStr(), kUninstallerFileName) != nullptr) continue;
        WorkPath folder = InstalledFolderFor(entry.AltFolder.CStr(), folders);
        if (!folder.Fits()) continue;
        // The install run registers every entry whose list of extensions is not empty.
        if (IsListValueSet(entry.Extensions)) RemoveFileTypes(folder, entry);
        if (IsListValueSet(entry.DesktopLinks)) RemoveDesktopShortcut(folder, entry);
        WorkPath path = InstalledFilePath(folder.CStr(), entry.Files.CStr());
        if (!path.Fits()) continue;
        RemoveListedFile(path, entry.Files, folders);
        RemoveCompanions(path);
    }
}
