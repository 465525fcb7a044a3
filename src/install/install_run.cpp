// The install run: program group and folder, the listed files with their shortcuts, fonts and
// file types, the uninstaller and its registry entry, the wildcard groups, the report, and the
// registry file and program started at the end.
#include "install_run.h"

#include <shellapi.h>

#include "../app/install_context.h"
#include "../app/list_rules.h"
#include "../support/text_helpers.h"
#include "../support/win_support.h"
#include "../ui/progress_window.h"
#include "file_ops.h"
#include "file_types.h"
#include "font_files.h"
#include "install_texts.h"
#include "shell_link.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;

// State of one run.
struct InstallRun {
    HWND owner = nullptr;
    WorkPath sourceDir;  // the program's folder, with a trailing backslash
    HCURSOR savedCursor = nullptr;
    bool anyCopied = false;
};

bool IsListed(const EntryText& value) {
    return static_cast<unsigned char>(value.First()) > ' ';
}

// The start-menu group lies below the programs folder; without that folder it would land in
// the root of the current drive, so no group is made then.
bool HasProgramGroup() {
    return !g_ctx.ProgramsDir.IsEmpty() && !g_ctx.CopyOnlyMode;
}

void RestoreCursor(const InstallRun& run) {
    SetCursor(run.savedCursor);
}

int Abort(const InstallRun& run, const char* text) {
    RestoreCursor(run);
    CloseProgressWindow();
    MessageBoxA(run.owner, text, kAbortCaption, MB_ICONHAND);
    return kExitFailed;
}

bool RefuseBadList(HWND owner) {
    ListProblem problem;
    if (CheckListValues(g_ctx, &problem)) return false;
    ComposeListProblemText(problem, false, g_ctx.ScratchText);
    MessageBoxA(owner, g_ctx.ScratchText.CStr(), kInstallRefusedCaption, MB_ICONHAND);
    return true;
}

void Prepare(InstallRun& run) {
    run.sourceDir.Assign(PathFolderPart(ModulePath().CStr()));
    if (run.sourceDir.Last() != '\\') run.sourceDir.AppendChar('\\');
    EnterFolder(run.sourceDir.CStr());

    g_ctx.ProgramGroupDir.Assign(JoinPath(g_ctx.ProgramsDir.CStr(), g_ctx.AppName.CStr()));
    if (HasProgramGroup()) CreateDirectoryA(g_ctx.ProgramGroupDir.CStr(), nullptr);

    OpenProgressWindow(run.owner, kProgressInstallTitle, kPhaseCopying);
    run.savedCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    PumpPendingMessages();
}

bool CreateTargetDir() {
    if (FolderExists(JoinPath(g_ctx.TargetDir.CStr(), ".").CStr())) return true;
    return CreateDirectoryA(g_ctx.TargetDir.CStr(), nullptr) != 0;
}

// Asks Retry/Cancel while the listed file is missing from the source folder.
bool SourceFileFound(const InstallRun& run, const EntryText& files) {
    WorkPath source = JoinPath(run.sourceDir.CStr(), files.CStr());
    while (!(source.Fits() && FileExists(source.CStr()))) {
        ComposeSourceMissingQuestion(source.CStr(), g_ctx.ScratchText);
        if (MessageBoxA(run.owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_RETRYCANCEL | MB_ICONQUESTION) != IDRETRY)
            break;
    }
    return source.Fits() && FileExists(source.CStr());
}

WorkPath DestinationFolder(const EntryText& altFolder) {
    WorkPath dest;
    char first = altFolder.First();
    char second = altFolder.At(1);
    if (first == 'W' && second == '\\') {
        dest.Assign(g_ctx.WindowsDir);
        dest.Append(altFolder.CStr() + 1);
    } else if (first == 'S' && second == '\\') {
        dest.Assign(g_ctx.SystemDir);
        dest.Append(altFolder.CStr() + 1);
    } else if (first == 'F') {
        dest.Assign(g_ctx.FontsDir);
    } else if (first == '\\') {
        dest.Assign(g_ctx.TargetDir);
        dest.Append(altFolder);
        if (dest.Fits()) CreateDirectoryA(dest.CStr(), nullptr);
    } else {
        dest.Assign(g_ctx.TargetDir);
    }
    return dest;
}

bool IsUninstallerEntry(const EntryText& files) {
    return FindTextExact(files.CStr(), "Setup.exe") != nullptr && files.Length() < 10 && !g_ctx.CopyOnlyMode;
}

void WriteUninstallEntry(const WorkPath& uninstaller) {
    PathBuffer<256> key = UninstallKeyFor(g_ctx.AppName.CStr());
    WriteRegString(HKEY_LOCAL_MACHINE, key.CStr(), "DisplayName", g_ctx.AppName.CStr());
    WriteRegString(HKEY_LOCAL_MACHINE, key.CStr(), "UninstallString", UninstallCommand(uninstaller.CStr(), false).CStr());
    // Beyond the two values every list of installed software needs, these let it show the
    // icon and the folder, and let deployment tools remove the application silently.
    WriteRegString(HKEY_LOCAL_MACHINE, key.CStr(), "QuietUninstallString",
                   UninstallCommand(uninstaller.CStr(), true).CStr());
    WriteRegString(HKEY_LOCAL_MACHINE, key.CStr(), "InstallLocation", g_ctx.TargetDir.CStr());
    WriteRegString(HKEY_LOCAL_MACHINE, key.CStr(), "DisplayIcon", uninstaller.CStr());
    WriteRegDword(HKEY_LOCAL_MACHINE, key.CStr(), "NoModify", 1);
    WriteRegDword(HKEY_LOCAL_MACHINE, key.CStr(), "NoRepair", 1);
}

// The program itself becomes Uninst.exe beside a hidden copy of the list.
void InstallUninstaller(InstallRun& run) {
    const char* target = g_ctx.TargetDir.CStr();
    EnterFolder(run.sourceDir.CStr());
    CopyFileToFolder(run.owner, "Setup.lst", target);
    SetFileAttributesA(JoinPath(target, "Setup.lst").CStr(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WorkPath setupCopy = JoinPath(target, "Setup.exe");
    WorkPath uninstaller = JoinPath(target, "Uninst.exe");
    if (!setupCopy.Fits() || !uninstaller.Fits()) return;
    DeleteFileA(setupCopy.CStr());
    DeleteFileA(uninstaller.CStr());
    if (CopyFileToFolder(run.owner, "Setup.exe", target) && MoveFileA(setupCopy.CStr(), uninstaller.CStr()))
        run.anyCopied = true;
    if (HasProgramGroup())
        CreateShellLink(JoinPath(g_ctx.ProgramGroupDir.CStr(), kUninstallLinkName).CStr(), uninstaller.CStr(), "/U", 0);
    WriteUninstallEntry(uninstaller);
}

void BroadcastFontChange() {
    DWORD_PTR ignored = 0;
    // A hung window anywhere must not hang the installation.
    SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
}

// A font that replaces an installed one is unloaded and removed first, so the new one takes
// effect; a newer installed font is kept by the copy anyway.
void MakeRoomForFont(const EntryText& files, const WorkPath& dest) {
    WorkPath installed = JoinPath(dest.CStr(), PathFilePart(files.CStr()).CStr());
    if (installed.Fits() && FileExists(installed.CStr()) && IsSourceNotOlder(files.CStr(), installed.CStr()))
        RemoveInstalledFont(installed.CStr());
}

void LoadFont(const EntryText& files, const WorkPath& dest) {
    // The installed copy is loaded, not the source, which may lie on removable or temporary media.
    WorkPath installed = JoinPath(dest.CStr(), PathFilePart(files.CStr()).CStr());
    if (installed.Fits()) AddFontResourceA(installed.CStr());
    BroadcastFontChange();
    BroadcastFontChange();
}

void CreateEntryShortcuts(const ListEntry& entry, const WorkPath& target) {
    if (g_ctx.CopyOnlyMode) return;
    if (!entry.Links.IsEmpty() && HasProgramGroup())
        CreateShellLink(JoinPath(g_ctx.ProgramGroupDir.CStr(), entry.Links.CStr()).CStr(), target.CStr(), nullptr, 0);
    if (!entry.DesktopLinks.IsEmpty()) {
        ShellFolderText desktop = GetShellFolder("Desktop");
        if (!desktop.IsEmpty())
            CreateShellLink(JoinPath(desktop.CStr(), entry.DesktopLinks.CStr()).CStr(), target.CStr(), nullptr, 0);
    }
}

// Returns false when the source went missing after its existence test: the copy then finds
// nothing to copy and does not say so, and the run asks for the file again.
bool InstallListedFile(InstallRun& run, const ListEntry& entry, const WorkPath& dest) {
    EnterFolder(run.sourceDir.CStr());
    bool toFonts = FindTextExact(dest.CStr(), g_ctx.FontsDir.CStr()) != nullptr;
    if (toFonts) MakeRoomForFont(entry.Files, dest);
    bool copied = CopyFileToFolder(run.owner, entry.Files.CStr(), dest.CStr());
    if (copied && !FileExists(JoinPath(run.sourceDir.CStr(), entry.Files.CStr()).CStr())) return false;
    if (copied) run.anyCopied = true;
    if (toFonts) LoadFont(entry.Files, dest);

    WorkPath target = JoinPath(dest.CStr(), entry.Files.CStr());
    CreateEntryShortcuts(entry, target);
    if (!entry.Extensions.IsEmpty())
        RegisterFileTypes(OpenCommandFor(target.CStr(), entry.Extensions.CStr()).CStr(), entry.Extensions.CStr());
    return true;
}

// Installs one entry; returns false when its file is missing and the user gave up on it.
bool InstallEntry(InstallRun& run, const ListEntry& entry) {
    for (;;) {
        if (!SourceFileFound(run, entry.Files)) return false;
        ShowProgressItem(entry.Files.CStr());
        if (IsUninstallerEntry(entry.Files)) {
            InstallUninstaller(run);
            return true;
        }
        if (InstallListedFile(run, entry, DestinationFolder(entry.AltFolder))) return true;
    }
}

// Returns false when a listed file is missing and the user gave up on it.
bool InstallEntries(InstallRun& run) {
    for (int i = 0; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListed(entry.Files)) continue;
        if (!InstallEntry(run, entry)) {
            RestoreCursor(run);
            ComposeSourceMissingAbort(entry.Files.CStr(), g_ctx.ScratchText);
            MessageBoxA(run.owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_ICONHAND);
            run.anyCopied = false;
            return false;
        }
    }
    return true;
}

void CopyWildcardGroups(const InstallRun& run) {
    ShowProgressPhase(kPhaseUserFiles);
    for (int i = 1; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        EnterFolder(run.sourceDir.CStr());
        if (!IsListed(entry.WildCopy) || !FileExists(entry.WildCopy.CStr())) continue;
        ShowProgressItem(entry.WildCopy.CStr());
        WorkPath dest(g_ctx.TargetDir.CStr());
        if (IsListed(entry.WildSubFolder)) {
            EnterFolder(g_ctx.TargetDir.CStr());
            dest.AppendChar('\\');
            dest.Append(entry.WildSubFolder);
            // The trailing backslash lets the copy create every level of a nested sub-folder.
            dest.AppendChar('\\');
            if (dest.Fits()) CreateDirectoryA(dest.CStr(), nullptr);
        }
        EnterFolder(run.sourceDir.CStr());
        if (dest.Fits()) CopyMatchingFiles(entry.WildCopy.CStr(), dest.CStr());
        PumpPendingMessages();
    }
}

// Kilobytes of the files below the folder, for the list of installed software.
unsigned long long FolderBytes(const char* folder, int depth) {
    unsigned long long total = 0;
    WorkPath pattern = JoinPath(folder, "*");
    if (!pattern.Fits() || depth > 16) return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.CStr(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (data.cFileName[0] == '.' || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
            total += FolderBytes(JoinPath(folder, data.cFileName).CStr(), depth + 1);
        } else {
            total += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return total;
}

void RecordEstimatedSize() {
    if (g_ctx.CopyOnlyMode) return;
    unsigned long long kilobytes = (FolderBytes(g_ctx.TargetDir.CStr(), 0) + 1023) / 1024;
    WriteRegDword(HKEY_LOCAL_MACHINE, UninstallKeyFor(g_ctx.AppName.CStr()).CStr(), "EstimatedSize",
                  kilobytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kilobytes));
}

void ShowClosingTexts(HWND owner) {
    ShowProgressPhase(kPhaseUpdating);
    ShowProgressItem(kItemGroups);
    ShowProgressPhase(kPhaseUpdating);
    ShowProgressItem(kItemShortcuts);
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
        if (HasProgramGroup() && link.Fits()) DeleteFileA(link.CStr());
        return;
    }
    ComposeSuccessText(g_ctx.AppName.CStr(), g_ctx.CopyOnlyMode, g_ctx.ScratchText);
    ShowIconMessage(owner, g_ctx.ScratchText.CStr(), kSuccessCaption, "i", MB_USERICON);
    if (g_ctx.CopyOnlyMode) return;
    int answer = IDNO;
    if (ShiftOrCtrlHeld())
        answer = MessageBoxA(owner, kUninstallLinkQuestion, kUninstallLinkCaption,
                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND);
    if (answer != IDYES && HasProgramGroup() && link.Fits()) DeleteFileA(link.CStr());
}

// The program folder with a trailing backslash becomes the current folder, as the registry
// file and the program to start expect; returns that folder.
WorkPath EnterProgramFolder() {
    WorkPath folder(g_ctx.TargetDir.CStr());
    folder.AppendChar('\\');
    EnterFolder(folder.CStr());
    Sleep(100);
    return folder;
}

void ImportRegistryFile(HWND owner) {
    if (g_ctx.RegFile.IsEmpty()) return;
    WorkPath path = EnterProgramFolder();
    path.Append(g_ctx.RegFile);
    // The registry editor reports nothing for a file it cannot find, in silent mode: a missing
    // file would pass for an import.
    bool composed = path.Fits() && FileExists(path.CStr()) &&
                    ComposeRegistryImportCommand(g_ctx.WindowsDir.CStr(), path.CStr(), g_ctx.IsNT, g_ctx.ScratchText);
    if (composed && WinExec(g_ctx.ScratchText.CStr(), SW_SHOWNORMAL) >= 32) return;
    ComposeRegistryImportError(path.CStr(), g_ctx.ScratchText);
    MessageBoxA(owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_ICONHAND);
}

void StartRunOnce(HWND owner) {
    if (g_ctx.RunOnce.IsEmpty()) return;
    WorkPath folder = EnterProgramFolder();
    WorkPath path(folder.CStr());
    path.Append(g_ctx.RunOnce);
    bool wholeValueIsFile = path.Fits() && FileExists(path.CStr());
    if (path.Fits() && ComposeRunOnceCommand(g_ctx.TargetDir.CStr(), g_ctx.RunOnce.CStr(), wholeValueIsFile,
                                             g_ctx.ScratchText)) {
        if (WinExec(g_ctx.ScratchText.CStr(), SW_SHOWNORMAL) >= 32) return;
        // not a program: a document, opened with the program its type is associated with
        if (reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.CStr(), nullptr, nullptr, SW_SHOWNORMAL)) > 32)
            return;
    }
    ComposeStartError(path.CStr(), g_ctx.ScratchText);
    MessageBoxA(owner, g_ctx.ScratchText.CStr(), kErrorCaption, MB_ICONHAND);
}

}  // namespace

int RunInstall(HWND owner) {
    if (RefuseBadList(owner)) return kExitFailed;
    InstallRun run;
    run.owner = owner;
    Prepare(run);
    if (!CreateTargetDir()) return Abort(run, kTargetNotCreatedText);

    bool complete = InstallEntries(run);
    if (!complete || !run.anyCopied) return Abort(run, kNoFilesText);

    CopyWildcardGroups(run);
    ShowClosingTexts(owner);
    RecordEstimatedSize();
    ReportAndDecideUninstallLink(owner);
    ImportRegistryFile(owner);
    StartRunOnce(owner);
    RestoreCursor(run);
    return kExitDone;
}
