// The install run: program group and folder, the listed files with their shortcuts, fonts and
// file types, the uninstaller and its registry entry, the wildcard groups and the report; then
// the last steps (install/final_steps.h).
#include "install/install_run.h"

#include "ui/user_boxes.h"
#include "list/run_log.h"
#include "list/log_texts.h"
#include "files/file_ops.h"
#include "files/file_types.h"
#include "files/font_files.h"
#include "files/install_record.h"
#include "files/placement_rules.h"
#include "ui/progress_window.h"
#include "files/shell_link.h"
#include "files/uninstall_entry.h"
#include "install/final_steps.h"
#include "install/install_texts.h"
#include "install/wildcard_groups.h"
#include "list/install_context.h"
#include "files/list_check.h"
#include "list/list_loading.h"
#include "package/package_source.h"
#include "package/package_texts.h"
#include "res/resource.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

// State of one run.
struct InstallRun {
    HWND Owner = nullptr;
    WorkPath SourceDir;   // the program's folder, with a trailing backslash
    WorkPath SourcePath;  // the listed file being installed, in that folder
    WorkPath ListSource;  // the list beside the program, copied into the program folder
    HCURSOR SavedCursor = nullptr;
    bool AnyCopied = false;
    bool CreatedProgramFolder = false;  // the folder was not there before this run
    bool CreatedProgramGroup = false;
};

// The start-menu group lies below the programs folder; without that folder it would land in
// the root of the current drive, so no group is made then.
bool HasProgramGroup() {
    return !g_ctx.ProgramGroupDir.IsEmpty() && !g_ctx.CopyOnlyMode;
}

void RestoreCursor(const InstallRun& run) {
    SetCursor(run.SavedCursor);
}

// A program folder that holds the list copy of another application belongs to that one: the
// list copy would be kept by the date rule or replaced, and either uninstall would then remove the
// other's files, group and entry. Nothing is written before this check.
bool RefuseOtherApplicationsFolder(HWND owner) {
    WorkPath list = JoinPath(g_ctx.TargetDir.CStr(), kListFileName);
    if (!list.Fits() || !FileExists(list.CStr())) return false;
    FieldText other = ListAppNameOf(list.CStr());
    if (!IsListValueSet(other) || lstrcmpiA(other.CStr(), g_ctx.AppName.CStr()) == 0) return false;
    ComposeOtherApplicationsFolderText(g_ctx.TargetDir.CStr(), other.CStr(), g_ctx.AppName.CStr(),
                                       g_ctx.ScratchText);
    AskUser(owner, g_ctx.ScratchText.CStr(), kAbortCaption, MB_ICONHAND, IDOK);
    return true;
}

// The run ends part-way: the record keeps what is in place, and the text says why (none when
// the window was closed: nobody is there to read it).
RunResult Abort(const InstallRun& run, const char* text) {
    CloseInstallRecord();
    RestoreCursor(run);
    CloseProgressWindow();
    if (!RunStopped()) AskUser(run.Owner, text, kAbortCaption, MB_ICONHAND, IDOK);
    return RunResult::Failed;
}

// A package that proved damaged while its files were put in place: the run stops with the same
// refusal as one found before. What is in place stays recorded, for the uninstall.
RunResult StopForDamagedPackage(const InstallRun& run) {
    ComposePackageProblemText(PackageRefusal(), true, g_ctx.ScratchText);
    return Abort(run, g_ctx.ScratchText.CStr());
}

// The free space of the volume the program folder lies on (or will): asked of the folder, or of
// the nearest folder above it that is there.
unsigned long long FreeSpaceAt(const char* folder) {
    LongText at(folder);
    ULARGE_INTEGER free;
    for (int levels = 0; levels < 64 && at.Length() > 0; ++levels) {
        if (GetDiskFreeSpaceExA(JoinPath(at.CStr(), "").CStr(), &free, nullptr, nullptr)) return free.QuadPart;
        LongText up = PathFolderPart(at.CStr());
        if (up.Length() >= at.Length()) break;
        at = up;
    }
    return ~0ull;
}

// A packed program knows what its files take before it writes one: without the room, nothing is
// written.
bool RefuseWithoutRoom(HWND owner) {
    if (!IsPackedRun()) return false;
    unsigned long long needed = PackageUnpackedBytes();
    unsigned long long free = FreeSpaceAt(g_ctx.TargetDir.CStr());
    if (free >= needed) return false;
    ComposeNoRoomText(g_ctx.TargetDir.CStr(), needed, free, g_ctx.ScratchText);
    AskUser(owner, g_ctx.ScratchText.CStr(), kAbortCaption, MB_ICONHAND, IDOK);
    return true;
}

void Prepare(InstallRun& run) {
    run.SourceDir.Assign(PathFolderPart(ModulePath().CStr()));
    if (run.SourceDir.Last() != '\\') run.SourceDir.AppendChar('\\');
    EnterFolder(run.SourceDir.CStr());

    WorkPath group;
    if (ProgramGroupFolder(g_ctx.ProgramsDir.CStr(), g_ctx.AppName.CStr(), &group)) g_ctx.ProgramGroupDir.Assign(group);
    else g_ctx.ProgramGroupDir.Clear();
    if (HasProgramGroup()) run.CreatedProgramGroup = MakeFolder(g_ctx.ProgramGroupDir.CStr());

    OpenProgressWindow(run.Owner, kProgressInstallTitle, kPhaseCopying);
    run.SavedCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    PumpPendingMessages();
}

bool CreateTargetDir(InstallRun& run) {
    if (FolderExists(JoinPath(g_ctx.TargetDir.CStr(), ".").CStr())) return true;
    run.CreatedProgramFolder = MakeFolder(g_ctx.TargetDir.CStr());
    return run.CreatedProgramFolder;
}

// The record lies in the program folder, so it begins once that is there; the two folders made
// before it are its first lines. An installation without uninstaller has nothing to record for.
void BeginRecord(const InstallRun& run) {
    if (g_ctx.CopyOnlyMode || !BeginInstallRecord(g_ctx.TargetDir.CStr(), g_ctx.AppName.CStr())) return;
    if (run.CreatedProgramGroup) RecordFolder(g_ctx.ProgramGroupDir.CStr());
    if (run.CreatedProgramFolder) RecordFolder(g_ctx.TargetDir.CStr());
}

// The listed file where the run takes it from: beside the program, or in its package.
bool FindListedSource(InstallRun& run, const char* files, CopySource* source) {
    if (IsPackedRun()) return FindPackageFile(files, source);
    run.SourcePath = JoinPath(run.SourceDir.CStr(), files);
    if (!run.SourcePath.Fits() || !FileExists(run.SourcePath.CStr())) return false;
    FindFolderSource(run.SourcePath.CStr(), source);
    source->Name = files;
    return true;
}

// Asks Retry/Cancel while the listed file is missing from the source folder. A package cannot
// change while the program runs (it holds its own file): nothing is asked there.
bool SourceFileFound(const InstallRun& run, const EntryText& files) {
    CopySource found;
    if (IsPackedRun()) return FindPackageFile(files.CStr(), &found);
    WorkPath source = JoinPath(run.SourceDir.CStr(), files.CStr());
    while (!(source.Fits() && FileExists(source.CStr()))) {
        ComposeSourceMissingQuestion(source.CStr(), g_ctx.ScratchText);
        if (AskUser(run.Owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_RETRYCANCEL | MB_ICONQUESTION, IDCANCEL) !=
            IDRETRY)
            break;
    }
    return source.Fits() && FileExists(source.CStr());
}

// The entry's folder; a sub-folder of the program folder is made first.
WorkPath DestinationFolder(const EntryText& altFolder) {
    WorkPath dest = InstalledFolderFor(altFolder.CStr(), ContextFolders());
    if (IsProgramSubFolder(altFolder.CStr()) && dest.Fits()) MakeFolder(dest.CStr());
    return dest;
}

// The value "Setup.exe" itself is the program, which becomes the uninstaller instead of being
// copied. Fewer than 10 characters: a longer value with the name in it ("Bin\\Setup.exe",
// "XSetup.exe") names another file, copied as any other.
bool IsUninstallerEntry(const EntryText& files) {
    return FindTextExact(files.CStr(), kSetupFileName) != nullptr && files.Length() < 10 && !g_ctx.CopyOnlyMode;
}

// The list copy and the program itself: from the package, or beside the program.
void FindOwnSources(InstallRun& run, CopySource* list, CopySource* program) {
    if (IsPackedRun()) {
        PackageListSource(list);
        ProgramPartSource(program);
        return;
    }
    // A source names its file by pointer: the paths live in the run.
    run.ListSource = JoinPath(run.SourceDir.CStr(), kListFileName);
    FindFolderSource(run.ListSource.CStr(), list);
    list->Name = kListFileName;
    run.SourcePath = JoinPath(run.SourceDir.CStr(), kSetupFileName);
    FindFolderSource(run.SourcePath.CStr(), program);
    program->Name = kSetupFileName;
}

// The program itself becomes Uninst.exe beside a hidden copy of the list.
void InstallUninstaller(InstallRun& run) {
    const char* target = g_ctx.TargetDir.CStr();
    EnterFolder(run.SourceDir.CStr());
    CopySource list;
    CopySource program;
    FindOwnSources(run, &list, &program);
    CopyFileToFolder(run.Owner, list, target, false);
    SetFileAttributesA(JoinPath(target, kListFileName).CStr(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WorkPath setupCopy = JoinPath(target, kSetupFileName);
    WorkPath uninstaller = JoinPath(target, kUninstallerFileName);
    if (!setupCopy.Fits() || !uninstaller.Fits()) return;
    DeleteFileA(setupCopy.CStr());
    DeleteFileA(uninstaller.CStr());
    if (CopyFileToFolder(run.Owner, program, target, false) && MoveFileA(setupCopy.CStr(), uninstaller.CStr()))
        run.AnyCopied = true;
    WorkPath link;
    if (HasProgramGroup() && ShortcutPath(g_ctx.ProgramGroupDir.CStr(), kUninstallLinkName, &link))
        CreateShellLink(link.CStr(), uninstaller.CStr(), "/U");
    WriteUninstallEntry(uninstaller.CStr(), run.CreatedProgramFolder);
}

void LoadFont(const EntryText& files, const WorkPath& dest) {
    // The installed copy is loaded, not the source, which may lie on removable or temporary media.
    WorkPath installed = InstalledFilePath(dest.CStr(), files.CStr());
    if (!installed.Fits()) return;
    AddFontResourceA(installed.CStr());
    // Loaded, a font lasts until the next restart; registered, Windows loads it again then.
    PathBuffer<256> entryKey = UninstallKeyFor(g_ctx.AppName.CStr());
    RegisterFont(installed.CStr(), g_ctx.CopyOnlyMode ? nullptr : entryKey.CStr());
    // Twice, as the installers this program's lists were written for did: windows that missed
    // the first (still busy with the copy) repaint their font lists with the second.
    BroadcastFontChange();
    BroadcastFontChange();
}

void CreateEntryShortcuts(const ListEntry& entry, const WorkPath& target) {
    if (g_ctx.CopyOnlyMode) return;
    WorkPath link;
    if (IsListValueSet(entry.Links) && HasProgramGroup() &&
        ShortcutPath(g_ctx.ProgramGroupDir.CStr(), entry.Links.CStr(), &link))
        CreateShellLink(link.CStr(), target.CStr(), nullptr);
    if (IsListValueSet(entry.DesktopLinks)) {
        ShellFolderText desktop = GetShellFolder("Desktop", g_ctx.AllUsersMode);
        if (desktop.Fits() && ShortcutPath(desktop.CStr(), entry.DesktopLinks.CStr(), &link))
            CreateShellLink(link.CStr(), target.CStr(), nullptr);
    }
}

// What the registration replaces is kept in the uninstall entry, for the uninstall to put back;
// an installation without uninstaller has no entry to keep it in.
void RegisterEntryFileTypes(const ListEntry& entry, const WorkPath& target) {
    PathBuffer<256> uninstallKey = UninstallKeyFor(g_ctx.AppName.CStr());
    const char* entryKey = g_ctx.CopyOnlyMode ? nullptr : uninstallKey.CStr();
    OpenCommandText command = OpenCommandFor(target.CStr(), entry.Extensions.CStr());
    RegisterFileTypes(command.CStr(), entry.Extensions.CStr(), g_ctx.AppName.CStr(), entryKey);
    RecordFileTypes(entry.Extensions.CStr(), command.CStr());
}

bool HasWildcard(const char* value) {
    for (; *value != 0; ++value)
        if (*value == '*' || *value == '?') return true;
    return false;
}

// Returns false when the source went missing after its existence test: the copy then finds
// nothing to copy and does not say so, and the run asks for the file again.
bool InstallListedFile(InstallRun& run, const ListEntry& entry, const WorkPath& dest) {
    EnterFolder(run.SourceDir.CStr());
    bool toFonts = IsFontsFolderPath(dest.CStr(), g_ctx.FontsDir.CStr());
    CopySource source;
    bool found = FindListedSource(run, entry.Files.CStr(), &source);
    bool copied = found && (IsPackedRun() && HasWildcard(entry.Files.CStr())
                                ? CopyPackageMatches(entry.Files.CStr(), dest.CStr())
                                : CopyFileToFolder(run.Owner, source, dest.CStr(), true));
    if (!found || (copied && !IsPackedRun() && !FileExists(run.SourcePath.CStr()))) return false;
    if (copied) run.AnyCopied = true;
    if (toFonts) LoadFont(entry.Files, dest);

    WorkPath target = ShortcutTargetFor(dest.CStr(), entry.Files.CStr());
    CreateEntryShortcuts(entry, target);
    if (IsListValueSet(entry.Extensions)) RegisterEntryFileTypes(entry, target);
    return true;
}

// Installs one entry; returns false when its file is missing and the user gave up on it.
bool InstallEntry(InstallRun& run, const ListEntry& entry) {
    for (;;) {
        // A packed program's own part is no file of its package.
        bool uninstaller = IsUninstallerEntry(entry.Files);
        if (!(uninstaller && IsPackedRun()) && !SourceFileFound(run, entry.Files)) return false;
        ShowProgressItemNow(entry.Files.CStr());
        if (uninstaller) {
            InstallUninstaller(run);
            return true;
        }
        if (InstallListedFile(run, entry, DestinationFolder(entry.AltFolder))) return true;
    }
}

// Returns false when a listed file is missing and the user gave up on it.
bool InstallEntries(InstallRun& run) {
    for (int i = 0; i < kListEntryCount && !RunStopped(); ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListValueSet(entry.Files)) continue;
        bool installed = InstallEntry(run, entry);
        if (g_ctx.PackageDamaged || RunStopped()) return false;
        if (!installed) {
            // Nobody can bring the file: the rest is installed, and the exit code says so.
            if (g_ctx.Unattended) {
                LogAction(kLogSkipped, entry.Files.CStr());
                // The list still names the file: an earlier installation's copy stays its own.
                WorkPath folder = InstalledFolderFor(entry.AltFolder.CStr(), ContextFolders());
                CarryPreviousFile(InstalledFilePath(folder.CStr(), entry.Files.CStr()).CStr());
                continue;
            }
            RestoreCursor(run);
            ComposeSourceMissingAbort(entry.Files.CStr(), g_ctx.ScratchText);
            AskUser(run.Owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_ICONHAND, IDOK);
            run.AnyCopied = false;
            return false;
        }
    }
    return true;
}

void ShowClosingTexts(HWND owner) {
    ShowProgressPhase(kPhaseUpdating);
    ShowProgressItemNow(kItemGroups);
    ShowProgressPhase(kPhaseUpdating);
    ShowProgressItemNow(kItemShortcuts);
    CloseProgressWindow();
    InvalidateRect(owner, nullptr, TRUE);
    PumpPendingMessages();
}

bool ShiftOrCtrlHeld() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0;
}

void ReportAndDecideUninstallLink(HWND owner) {
    WorkPath link = JoinPath(g_ctx.ProgramGroupDir.CStr(), kUninstallLinkName);
    link.Append(".lnk");
    if (g_ctx.SilentInstall) {
        if (HasProgramGroup() && link.Fits() && DeleteFileA(link.CStr())) LogAction(kLogDeleted, link.CStr());
        return;
    }
    ComposeSuccessText(g_ctx.AppName.CStr(), g_ctx.CopyOnlyMode, g_ctx.ScratchText);
    TellUserWithIcon(owner, g_ctx.ScratchText.CStr(), kSuccessCaption);
    if (g_ctx.CopyOnlyMode) return;
    int answer = IDNO;
    if (ShiftOrCtrlHeld())
        answer = AskUser(owner, kUninstallLinkQuestion, kUninstallLinkCaption,
                         MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND, IDNO);
    if (answer != IDYES && HasProgramGroup() && link.Fits() && DeleteFileA(link.CStr())) LogAction(kLogDeleted, link.CStr());
}

// One application name has one uninstall entry and one start-menu group: an installation in
// another folder would take both from the one already there, which then could no longer be
// uninstalled, and whose uninstaller would remove the new one's. A folder that is gone holds no
// installation any more, and its entry may be taken over.
bool RefuseInstalledElsewhere(HWND owner) {
    PathBuffer<1025> location = EntryInstallLocation(g_ctx.AppName.CStr());
    if (location.IsEmpty() || IsSameFolder(location.CStr(), g_ctx.TargetDir.CStr())) return false;
    WorkPath probe = JoinPath(location.CStr(), ".");
    if (probe.Fits() && !FolderExists(probe.CStr())) return false;
    ComposeInstalledElsewhereText(g_ctx.AppName.CStr(), location.CStr(), g_ctx.ScratchText);
    AskUser(owner, g_ctx.ScratchText.CStr(), kAbortCaption, MB_ICONHAND, IDOK);
    return true;
}

}  // namespace

RunResult RunInstall(HWND owner) {
    if (RefuseBadList(owner, false)) return RunResult::Refused;
    if (RefuseInstalledElsewhere(owner)) return RunResult::Refused;
    if (RefuseOtherApplicationsFolder(owner)) return RunResult::Refused;
    if (RefuseWithoutRoom(owner)) return RunResult::Refused;
    InstallRun run;
    run.Owner = owner;
    Prepare(run);
    if (!CreateTargetDir(run)) return Abort(run, kTargetNotCreatedText);
    BeginRecord(run);

    bool complete = InstallEntries(run);
    if (g_ctx.PackageDamaged) return StopForDamagedPackage(run);
    if (!complete || !run.AnyCopied || RunStopped()) return Abort(run, kNoFilesText);

    CopyWildcardGroups(run.SourceDir.CStr());
    if (g_ctx.PackageDamaged) return StopForDamagedPackage(run);
    if (RunStopped()) return Abort(run, kNoFilesText);
    // An earlier installation's files that this one no longer has go once the new ones are in place.
    FinishInstallRecord();
    ShowClosingTexts(owner);
    if (!g_ctx.CopyOnlyMode) CompleteUninstallEntry();
    ReportAndDecideUninstallLink(owner);
    ImportRegistryFile(owner);
    StartRunOnce(owner);
    RestoreCursor(run);
    return RunResult::Done;
}
