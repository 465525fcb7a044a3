// The uninstall of an installation that has a record: exactly the items the record names, each
// only while it is as the install left it. A file changed since is the user's: asked about, kept
// by an unattended uninstall, and deleted by /UQ only in a program folder the install made.
#include "files/file_ops.h"
#include "files/file_types.h"
#include "files/font_files.h"
#include "files/install_record.h"
#include "files/placement_rules.h"
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

RecordBook g_book;

// The folders an installation puts things in: a record line naming a place outside them was not
// written by an install, and is passed over.
bool IsInstallPlace(const char* path) {
    ShellFolderText desktop = GetShellFolder("Desktop", g_ctx.AllUsersMode);
    return IsPathBelow(path, g_ctx.TargetDir.CStr()) || IsPathBelow(path, g_ctx.WindowsDir.CStr()) ||
           IsPathBelow(path, g_ctx.SystemDir.CStr()) || IsPathBelow(path, g_ctx.ProgramsDir.CStr()) ||
           IsPathBelow(path, desktop.CStr());
}

// A file changed since the install put it there is the user's now.
bool MayDeleteChangedFile(const char* path, bool inSystemFolder) {
    if (g_ctx.Unattended) return false;
    // /UQ means everything in a program folder the install made, and nothing else.
    if (g_ctx.QuietUninstall)
        return g_ctx.ProgramFolderCreated && !inSystemFolder && IsPathBelow(path, g_ctx.TargetDir.CStr());
    ComposeUserFilesQuestion(path, g_ctx.ScratchText);
    return AskToDelete(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kUserFilesCaption);
}

// Returns false when the file stays.
bool RemoveRecordedFile(RecordLine& file) {
    const char* path = file.Text;
    if (!IsPathBelow(path, g_ctx.TargetDir.CStr()) && !IsPathBelow(path, g_ctx.WindowsDir.CStr()) &&
        !IsPathBelow(path, g_ctx.SystemDir.CStr()))
        return true;
    RecordedFile state = StateOfRecordedFile(file);
    if (state == RecordedFile::Gone || IsUninstallerOwnFile(path) || IsRunLog(path)) return true;
    bool inSystemFolder = IsSystemFolderPath(path, ContextFolders());
    if (state == RecordedFile::Changed) {
        if (!MayDeleteChangedFile(path, inSystemFolder)) {
            LogAction(kLogKeptChanged, path);
            return false;
        }
    } else if (inSystemFolder && !MayDeleteSystemFile(path)) {
        return false;
    }
    return DeleteInstalledFile(path, PathFilePart(path).CStr());
}

void RemoveRecordedLink(const RecordLine& link) {
    if (IsInstallPlace(link.Text)) DeleteShellLinkTo(link.Text, link.Other);
}

// What the registration replaced, the uninstall entry kept; an entry that names another folder
// keeps what that installation found.
// A registry value the install wrote: a font's registration, taken back once its file is gone.
void RemoveRecordedValue(const RecordLine& value) {
    PathBuffer<256> uninstallKey = UninstallKeyFor(g_ctx.AppName.CStr());
    bool ownEntry = EntryBelongsTo(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr());
    UnregisterFont(value.Text, value.Other, ownEntry ? uninstallKey.CStr() : nullptr);
}

void RemoveRecordedFileTypes(const RecordLine& types) {
    PathBuffer<256> uninstallKey = UninstallKeyFor(g_ctx.AppName.CStr());
    bool ownEntry = EntryBelongsTo(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr());
    UnregisterFileTypes(types.Other, types.Text, g_ctx.AppName.CStr(), ownEntry ? uninstallKey.CStr() : nullptr);
}

}  // namespace

bool LoadInstallationRecord() {
    FreeRecordBook(&g_book);
    WorkPath path = RecordPathFor(g_ctx.TargetDir.CStr());
    return path.Fits() && LoadRecordBook(path.CStr(), &g_book);
}

bool IsRecordedFile(const char* path) {
    RecordLine probe;
    probe.Kind = RecordKind::File;
    probe.Text = path;
    return NewestLineFor(g_book, probe) >= 0;
}

bool KeepsRecordedFileIn(const char* folder) {
    for (int i = 0; i < g_book.Count; ++i)
        if (g_book.Lines[i].Kept && IsPathBelow(g_book.Lines[i].Text, folder)) return true;
    return false;
}

void RemoveRecordedItems() {
    // The newest line of an item tells its state. In the order the install went, as the list
    // has it: so come the questions too.
    for (int i = 0; i < g_book.Count && !RunStopped(); ++i) {
        RecordLine& item = g_book.Lines[i];
        if (!IsNewestLine(g_book, i)) continue;
        switch (item.Kind) {
        case RecordKind::File: item.Kept = !RemoveRecordedFile(item); break;
        case RecordKind::Link: RemoveRecordedLink(item); break;
        case RecordKind::FileType: RemoveRecordedFileTypes(item); break;
        case RecordKind::Value: RemoveRecordedValue(item); break;
        default: break;
        }
    }
}

void RemoveRecordedFolders() {
    // Inner folders were made after the folders they lie in.
    for (int i = g_book.Count - 1; i >= 0; --i) {
        const RecordLine& folder = g_book.Lines[i];
        if (folder.Kind != RecordKind::Folder || !IsNewestLine(g_book, i) || !IsInstallPlace(folder.Text)) continue;
        // The program folder goes with the uninstaller in it, by the self-removal script.
        if (SameFolderText(folder.Text, g_ctx.TargetDir.CStr())) continue;
        if (IsFolderEmpty(folder.Text) && !IsStartupFolder(folder.Text) && RemoveFolderOrLink(folder.Text))
            LogAction(kLogRemoved, folder.Text);
    }
    FreeRecordBook(&g_book);
}
