// The tests that tell the running uninstaller and its list copy apart from the files it removes.
#include "list/install_context.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "uninstall/uninstall_steps.h"

namespace {

// Paths that cannot be opened are compared by their spelling.
bool SameFileOrName(const char* first, const char* second) {
    FileIdentity a = IdentityOf(first);
    FileIdentity b = IdentityOf(second);
    if (!a.Known || !b.Known) return EqualsNoCase(first, second);
    return SameIdentity(a, b);
}

}  // namespace

// Opening files to compare them is slow for thousands of files, so only a file with the name of
// the uninstaller or of its list (however its folder is spelled) is compared.
bool IsUninstallerOwnFile(const char* path) {
    LongText name = PathFilePart(path);
    WorkPath self = ModulePath();
    if (!self.IsEmpty() && EqualsNoCase(name.CStr(), PathFilePart(self.CStr()).CStr()) &&
        SameFileOrName(path, self.CStr()))
        return true;
    const char* list = g_ctx.ListPath.CStr();
    if (list[0] != 0 && EqualsNoCase(name.CStr(), PathFilePart(list).CStr()) && SameFileOrName(path, list)) return true;
    WorkPath record = JoinPath(g_ctx.TargetDir.CStr(), kRecordFileName);
    return EqualsNoCase(name.CStr(), kRecordFileName) && record.Fits() && SameFileOrName(path, record.CStr());
}

bool RunsFromProgramFolder() {
    LongText folder = PathFolderPart(ModulePath().CStr());
    if (folder.IsEmpty() || !folder.Fits() || g_ctx.TargetDir.IsEmpty()) return false;
    return IsSameFile(folder.CStr(), g_ctx.TargetDir.CStr());
}
