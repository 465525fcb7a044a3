// The [WildCopy] groups of an install run.
#include "install/wildcard_groups.h"

#include "files/file_ops.h"
#include "files/placement_rules.h"
#include "install/install_texts.h"
#include "list/install_context.h"
#include "package/package_source.h"
#include "support/win_support.h"
#include "ui/progress_window.h"

void CopyWildcardGroups(const char* sourceDir) {
    ShowProgressPhase(kPhaseUserFiles);
    for (int i = 1; i < kListEntryCount && !RunStopped(); ++i) {
        const ListEntry& entry = g_ctx.InstallList[i];
        EnterFolder(sourceDir);
        if (!IsListValueSet(entry.WildCopy) || !SourceHasMatch(entry.WildCopy.CStr())) continue;
        ShowProgressItemNow(entry.WildCopy.CStr());
        WorkPath dest;
        WildGroupFolder(g_ctx.TargetDir.CStr(), entry.WildSubFolder.CStr(), &dest);
        if (IsListValueSet(entry.WildSubFolder)) {
            EnterFolder(g_ctx.TargetDir.CStr());
            // The trailing backslash lets the copy create every level of a nested sub-folder.
            dest.AppendChar('\\');
            if (dest.Fits()) MakeFolder(dest.CStr());
        }
        EnterFolder(sourceDir);
        if (dest.Fits() && IsPackedRun()) CopyPackageMatches(entry.WildCopy.CStr(), dest.CStr());
        else if (dest.Fits()) CopyMatchingFiles(entry.WildCopy.CStr(), dest.CStr());
        if (g_ctx.PackageDamaged) return;
        PumpPendingMessages();
    }
}
