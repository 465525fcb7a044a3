// The uninstall run: the listed files and their traces, the wildcard groups and the start-menu
// group; the question whether the program folder is to be emptied; and, once the self-removal
// script is ready (or known to be impossible), the closing message and the uninstall entry.
#include "uninstall/uninstall_run.h"

#include "files/file_ops.h"
#include "files/placement_rules.h"
#include "files/shell_link.h"
#include "files/uninstall_entry.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "ui/progress_window.h"
#include "uninstall/uninstall_steps.h"
#include "uninstall/uninstall_texts.h"

namespace {

// The list copy was made read-only, hidden and system, the record hidden and system; the script
// has to delete them.
void ClearOwnFileAttributes() {
    WorkPath list = JoinPath(g_ctx.TargetDir.CStr(), kListFileName);
    if (list.Fits()) SetFileAttributesA(list.CStr(), FILE_ATTRIBUTE_NORMAL);
    WorkPath record = JoinPath(g_ctx.TargetDir.CStr(), kRecordFileName);
    if (record.Fits()) SetFileAttributesA(record.CStr(), FILE_ATTRIBUTE_NORMAL);
}

void RemoveGroupShortcut(const WorkPath& group, const char* name, const WorkPath& target) {
    WorkPath link;
    if (ShortcutPath(group.CStr(), name, &link) && target.Fits()) DeleteShellLinkTo(link.CStr(), target.CStr());
}

// The group is shared by name with any other program: only the shortcuts this installation
// made go, each while it still points at this installation's file, and the folder only when
// nothing else is left in it. A startup folder, which older installations could take as their
// group, always stays.
void RemoveProgramGroup() {
    WorkPath group;
    if (!ProgramGroupFolder(g_ctx.ProgramsDir.CStr(), g_ctx.AppName.CStr(), &group)) return;
    if (!EntryBelongsTo(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr())) return;
    InstallFolders folders = ContextFolders();
    for (int i = 1; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListValueSet(entry.Files) || !IsListValueSet(entry.Links)) continue;
        WorkPath folder = InstalledFolderFor(entry.AltFolder.CStr(), folders);
        RemoveGroupShortcut(group, entry.Links.CStr(), ShortcutTargetFor(folder.CStr(), entry.Files.CStr()));
    }
    RemoveGroupShortcut(group, kUninstallLinkName, JoinPath(g_ctx.TargetDir.CStr(), kUninstallerFileName));
    if (IsFolderEmpty(group.CStr()) && !IsStartupFolder(group.CStr())) RemoveFolderOrLink(group.CStr());
}

// The key holds values only (the install run writes no sub-keys), so deleting it removes every
// value the install run wrote. An entry that names another folder belongs to an installation
// there, made later under the same name.
void RemoveUninstallEntry() {
    if (!IsListValueSet(g_ctx.AppName)) return;
    if (!EntryBelongsTo(g_ctx.AppName.CStr(), g_ctx.TargetDir.CStr())) return;
    PathBuffer<256> key = UninstallKeyFor(g_ctx.AppName.CStr());
    if (key.Fits() && RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.CStr()) == ERROR_SUCCESS)
        LogAction(kLogRemoved, JoinPath("HKLM", key.CStr()).CStr());
}

// Read before anything is removed. An entry without the value (made before the install recorded
// it) or no entry at all counts as a folder that was there before: it is kept.
void ReadProgramFolderOrigin() {
    g_ctx.ProgramFolderCreated = false;
    if (!IsListValueSet(g_ctx.AppName)) return;
    PathBuffer<256> key = UninstallKeyFor(g_ctx.AppName.CStr());
    DWORD created = 0;
    g_ctx.ProgramFolderCreated = key.Fits() &&
                                 ReadRegDword(HKEY_LOCAL_MACHINE, key.CStr(), kCreatedProgramFolderValue, &created) &&
                                 created == 1;
}

// Anything in the folder besides the uninstaller, its list copy and the record: what the purge
// would delete.
bool HoldsOtherFiles(const char* folder) {
    WorkPath pattern = JoinPath(folder, "*");
    WIN32_FIND_DATAA found;
    HANDLE search = pattern.Fits() ? FindFirstFileA(pattern.CStr(), &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return false;
    bool other = false;
    do {
        const char* name = found.cFileName;
        other = lstrcmpA(name, ".") != 0 && lstrcmpA(name, "..") != 0 && !EqualsNoCase(name, kUninstallerFileName) &&
                !EqualsNoCase(name, kListFileName) && !EqualsNoCase(name, kRecordFileName);
    } while (!other && FindNextFileA(search, &found));
    FindClose(search);
    return other;
}

// The script works in the folder the running program lies in. Only when that is the program
// folder and the installation made it may the script remove it, and the user be offered, or a
// quiet uninstall take, the purge; otherwise the folder keeps everything the run did not list.
void DecideFolderRemoval(HWND owner) {
    g_ctx.PurgeProgramFolder = false;
    g_ctx.RemoveProgramFolder = g_ctx.ProgramFolderCreated && RunsFromProgramFolder();
    // The run's log stays, and with it the folder.
    if (!g_ctx.RemoveProgramFolder || RunLogLiesIn(g_ctx.TargetDir.CStr())) return;
    if (g_ctx.QuietUninstall && !g_ctx.Unattended) {
        g_ctx.PurgeProgramFolder = true;
        return;
    }
    // Unattended, files the user may have made stay; nothing is asked about a folder that holds
    // none.
    if (g_ctx.Unattended && !HoldsOtherFiles(g_ctx.TargetDir.CStr())) return;
    ComposePurgeQuestion(g_ctx.TargetDir.CStr(), g_ctx.AppName.CStr(), g_ctx.ScratchText);
    g_ctx.PurgeProgramFolder = AskToDelete(owner, g_ctx.ScratchText.CStr(), kPurgeCaption);
}

// Without a script, the files it would have deleted are named: the uninstaller and its list
// beside it.
void ReportUninstalled(HWND owner, bool selfRemovalReady) {
    if (g_ctx.QuietUninstall && !g_ctx.Unattended) return;
    if (selfRemovalReady) {
        ComposeUninstalledText(g_ctx.AppName.CStr(), g_ctx.PurgeProgramFolder, g_ctx.IsNT, g_ctx.ScratchText);
        TellUser(owner, g_ctx.ScratchText.CStr(), kUninstalledCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    LongText folder = PathFolderPart(ModulePath().CStr());
    ComposeUninstallerLeftText(g_ctx.AppName.CStr(), JoinPath(folder.CStr(), kUninstallerFileName).CStr(),
                               JoinPath(folder.CStr(), kListFileName).CStr(), g_ctx.ScratchText);
    TellUser(owner, g_ctx.ScratchText.CStr(), kUninstallIncompleteCaption, MB_OK | MB_ICONEXCLAMATION);
}

// A process keeps its current folder open: the program folder could not be removed by the
// script while this process is still ending in it.
void LeaveProgramFolder() {
    if (!g_ctx.WindowsDir.IsEmpty()) EnterFolder(g_ctx.WindowsDir.CStr());
}

// An installation with a record loses exactly what it names. What it does not name goes only with
// the user's consent (a question answered Yes, or /UQ), and only from a program folder the install
// made. An installation by an earlier release is removed as its list describes.
// Each step looks whether the window was closed during the one before: then nothing more goes.
void RemoveInstallation(HWND owner) {
    if (LoadInstallationRecord()) {
        RemoveRecordedItems();
        if (!RunStopped() && (g_ctx.ProgramFolderCreated || g_ctx.Unattended)) RemoveUserFiles(owner, true);
        if (!RunStopped()) RemoveRecordedFolders();
        return;
    }
    RemoveInstalledFiles();
    if (!RunStopped()) RemoveUserFiles(owner, false);
    if (!RunStopped()) RemoveProgramGroup();
}

}  // namespace

RunResult RunUninstall(HWND owner) {
    InvalidateRect(owner, nullptr, FALSE);
    ReadProgramFolderOrigin();
    OpenProgressWindow(owner, kProgressUninstallTitle, kPhaseDeleting);
    RemoveInstallation(owner);
    CloseProgressWindow();
    if (RunStopped()) return RunResult::Failed;
    ClearOwnFileAttributes();
    DecideFolderRemoval(owner);
    LeaveProgramFolder();
    return RunResult::Done;
}

// The entry goes last, after the closing message: an uninstall ended before that point (or one
// whose uninstaller cannot remove itself) can be started again from the list of installed
// software, and still knows whether the program folder is its own.
RunResult FinishUninstall(HWND owner, bool selfRemovalReady) {
    ReportUninstalled(owner, selfRemovalReady);
    if (!selfRemovalReady) return RunResult::Failed;
    RemoveUninstallEntry();
    return RunResult::Done;
}
