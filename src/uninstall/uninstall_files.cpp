// The listed files of an uninstall: each one where the install run placed it, with its
// help-index and settings companions, its desktop shortcut and its file types. Files in the
// Windows, System or Fonts folder go only after a question.
#include "../app/install_context.h"
#include "../install/file_types.h"
#include "../support/text_helpers.h"
#include "../support/win_support.h"
#include "../ui/progress_window.h"
#include "uninstall_steps.h"
#include "uninstall_texts.h"

namespace {

constexpr UINT kQuestionStyle = MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

// The install run wrote the open command from the entry's folder joined with the whole listed
// value; only the same command lets the removal tell its own keys from another program's.
void RemoveFileTypes(const WorkPath& folder, const ListEntry& entry) {
    WorkPath program = JoinPath(folder.CStr(), entry.Files.CStr());
    OpenCommandText command = OpenCommandFor(program.CStr(), entry.Extensions.CStr());
    UnregisterFileTypes(command.CStr(), entry.Extensions.CStr());
}

void RemoveDesktopShortcut(const EntryText& name) {
    ShellFolderText desktop = GetShellFolder("Desktop");
    WorkPath link;
    if (desktop.Fits() && DesktopShortcutPath(desktop.CStr(), name.CStr(), &link)) DeleteFileA(link.CStr());
}

bool MayDeleteSystemFile(const char* path) {
    if (g_ctx.QuietUninstall) return false;
    ComposeSystemFileQuestion(path, g_ctx.ScratchText);
    return MessageBoxA(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kSystemFileCaption, kQuestionStyle) == IDYES;
}

// The install run loaded the installed copy; a table that knows the font by its listed name
// gets that name too. Wine never unloads a font this way; the file is deleted all the same.
void UnloadFont(const char* path, const EntryText& files) {
    bool unloaded = RemoveFontResourceA(path) || RemoveFontResourceA(files.CStr());
    // A hung window must not stop the uninstall.
    if (unloaded) SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
}

void RemoveListedFile(const WorkPath& path, const EntryText& files, const InstallFolders& folders) {
    if (!FileExists(path.CStr()) || IsUninstallerOwnFile(path.CStr())) return;
    if (IsSystemFolderPath(path.CStr(), folders) && !MayDeleteSystemFile(path.CStr())) return;
    if (IsFontsFolderPath(path.CStr(), folders)) UnloadFont(path.CStr(), files);
    ShowProgressItem(path.CStr());
    SetFileAttributesA(path.CStr(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.CStr())) return;
    ComposeListedFileNotDeletedText(path.CStr(), g_ctx.ScratchText);
    MessageBoxA(g_ctx.ProgressWindow, g_ctx.ScratchText.CStr(), kListedFileNotDeletedCaption, MB_OK | MB_ICONHAND);
}

void RemoveCompanions(const WorkPath& path) {
    CompanionFiles companions = CompanionFilesOf(path.CStr());
    for (int i = 0; i < companions.Count; ++i) {
        SetFileAttributesA(companions.Paths[i].CStr(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(companions.Paths[i].CStr());
    }
}

}  // namespace

void RemoveInstalledFiles() {
    InstallFolders folders = ContextFolders();
    // Entry 0 is the program itself, removed by the self-removal script.
    for (int i = 1; i < kListEntryCount; ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        if (!IsListedValue(entry.Files.CStr()) || FindTextExact(entry.Files.CStr(), "Uninst.exe") != nullptr) continue;
        WorkPath folder = InstalledFolderFor(entry.AltFolder.CStr(), folders);
        if (!folder.Fits()) continue;
        // The install run registers every entry whose list of extensions is not empty.
        if (!entry.Extensions.IsEmpty()) RemoveFileTypes(folder, entry);
        if (!entry.DesktopLinks.IsEmpty()) RemoveDesktopShortcut(entry.DesktopLinks);
        WorkPath path = InstalledFilePath(folder.CStr(), entry.Files.CStr());
        if (!path.Fits()) continue;
        RemoveListedFile(path, entry.Files, folders);
        RemoveCompanions(path);
    }
}
