// Where an installation puts things, for the install and the uninstall alike.
#include "files/placement_rules.h"

#include "list/install_context.h"
#include "list/list_rules.h"
#include "support/text_helpers.h"

const char kUninstallLinkName[] = "Uninstall (Deinstallation)";
const char kUninstallKeyBase[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kCreatedProgramFolderValue[] = "CreatedProgramFolder";

namespace {

bool ContainsFolder(const char* path, const char* folder) {
    return folder != nullptr && folder[0] != 0 && FindTextNoCase(path, folder) != nullptr;
}

}  // namespace

InstallFolders ContextFolders() {
    InstallFolders folders;
    folders.WindowsDir = g_ctx.WindowsDir.CStr();
    folders.SystemDir = g_ctx.SystemDir.CStr();
    folders.FontsDir = g_ctx.FontsDir.CStr();
    folders.TargetDir = g_ctx.TargetDir.CStr();
    return folders;
}

WorkPath InstalledFolderFor(const char* altFolder, const InstallFolders& folders) {
    WorkPath folder;
    const char* alt = altFolder != nullptr ? altFolder : "";
    if (alt[0] == 'W' && alt[1] == '\\') {
        folder.Assign(folders.WindowsDir);
        folder.Append(alt + 1);
    } else if (alt[0] == 'S' && alt[1] == '\\') {
        folder.Assign(folders.SystemDir);
        folder.Append(alt + 1);
    } else if (alt[0] == 'F') {
        folder.Assign(folders.FontsDir);
    } else if (IsProgramSubFolder(alt)) {
        folder.Assign(folders.TargetDir);
        folder.Append(alt);
    } else {
        folder.Assign(folders.TargetDir);
    }
    return folder;
}

bool IsProgramSubFolder(const char* altFolder) {
    return altFolder != nullptr && altFolder[0] == '\\';
}

WorkPath InstalledFilePath(const char* folder, const char* files) {
    LongText name = PathFilePart(files);
    WorkPath path = JoinPath(folder, name.CStr());
    if (!name.Fits()) path.MarkCut();
    return path;
}

WorkPath ShortcutTargetFor(const char* folder, const char* files) {
    return JoinPath(folder, files);
}

bool IsSystemFolderPath(const char* path, const InstallFolders& folders) {
    return ContainsFolder(path, folders.WindowsDir) || ContainsFolder(path, folders.SystemDir) ||
           ContainsFolder(path, folders.FontsDir);
}

bool IsFontsFolderPath(const char* path, const char* fontsDir) {
    return ContainsFolder(path, fontsDir);
}

bool WildGroupFolder(const char* programFolder, const char* wildSubFolder, WorkPath* folder) {
    folder->Assign(programFolder);
    if (IsListValueSet(wildSubFolder)) *folder = JoinPath(programFolder, wildSubFolder);
    return folder->Fits();
}

bool ProgramGroupFolder(const char* programsDir, const char* appName, WorkPath* group) {
    group->Clear();
    if (programsDir == nullptr || programsDir[0] == 0 || !IsListValueSet(appName) || !NamesFolder(appName))
        return false;
    *group = JoinPath(programsDir, appName);
    return group->Fits();
}

bool ShortcutPath(const char* folder, const char* name, WorkPath* link) {
    link->Clear();
    if (folder == nullptr || folder[0] == 0) return false;
    *link = JoinPath(folder, name);
    link->Append(".lnk");
    return link->Fits();
}

PathBuffer<256> UninstallKeyFor(const char* appName) {
    PathBuffer<256> key(kUninstallKeyBase);
    key.Append(appName);
    return key;
}

WorkPath UninstallCommand(const char* uninstallerPath, bool quiet) {
    WorkPath command("\"");
    command.Append(uninstallerPath);
    // Unattended, the uninstall keeps what the user may have made or changed: deployment tools
    // and the system's settings run this value without anybody to ask.
    command.Append(quiet ? "\" /U /Q" : "\" /U");
    return command;
}
