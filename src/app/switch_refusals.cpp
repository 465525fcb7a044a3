// Switches the program does not know, and the program folder of /DIR=.
#include "app/switch_refusals.h"

#include <windows.h>

#include "app/app_texts.h"
#include "app/commands.h"
#include "files/uninstall_entry.h"
#include "list/install_context.h"
#include "list/list_rules.h"
#include "ui/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

// Removable drives count as local: a program may be installed onto a USB stick. A network
// drive may be gone at the next start, a drive letter without a volume holds nothing.
bool IsLocalDrive(char letter) {
    char root[] = {letter, ':', '\\', 0};
    UINT type = GetDriveTypeA(root);
    return type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_RAMDISK;
}

ListProblemKind FolderSwitchProblem(const WorkPath& dir) {
    if (!dir.Fits() || dir.Length() > FieldText::kMaxLength) return ListProblemKind::TooLong;
    ListProblemKind kind = ProgramFolderPathProblem(dir.CStr());
    if (kind == ListProblemKind::None && !IsLocalDrive(dir.First())) kind = ListProblemKind::NotLocalFolder;
    return kind;
}

// The uninstaller lies in the program folder: the list's folder is kept when it is that one (as
// the install spelt it, which is how the record names its files), else the entry's folder or the
// own one. Only a folder that an installation names or recorded: a copy renamed Uninst.exe beside
// the package's files must not take them for installed ones.
void TakeUninstallerFolder() {
    const char* own = g_ctx.SourceDir.CStr();
    if (IsSameFolder(g_ctx.TargetDir.CStr(), own)) return;
    PathBuffer<1025> location = EntryInstallLocation(g_ctx.AppName.CStr());
    if (!location.IsEmpty() && location.Length() <= FieldText::kMaxLength && IsSameFolder(location.CStr(), own))
        g_ctx.TargetDir.Assign(location.CStr());
    else if (FileExists(JoinPath(own, kRecordFileName).CStr()))
        g_ctx.TargetDir.Assign(own);
}

}  // namespace

bool RefuseUnknownSwitch() {
    if (g_switches.Unknown.IsEmpty()) return false;
    ComposeUnknownSwitchText(g_switches.Unknown.CStr(), g_ctx.ScratchText);
    TellUser(nullptr, g_ctx.ScratchText.CStr(), kUnknownSwitchCaption, MB_OK | MB_ICONHAND);
    return true;
}

bool RefuseProgramFolder() {
    if (!g_switches.DirWanted) {
        if (g_switches.StartedAsUninstaller) TakeUninstallerFolder();
        return false;
    }
    ListProblemKind kind = FolderSwitchProblem(g_switches.Dir);
    if (kind == ListProblemKind::None) {
        g_ctx.TargetDir.Assign(g_switches.Dir);
        return false;
    }
    ComposeFolderSwitchText(g_switches.Dir.CStr(), ListProblemReason(kind), g_switches.Uninstall, g_ctx.ScratchText);
    TellUser(nullptr, g_ctx.ScratchText.CStr(), g_switches.Uninstall ? kUninstallRefusedCaption : kInstallRefusedCaption,
             MB_OK | MB_ICONHAND);
    return true;
}
