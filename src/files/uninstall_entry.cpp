// Which installation the uninstall entry of an application belongs to.
#include "files/uninstall_entry.h"

#include "files/placement_rules.h"
#include "support/win_support.h"

PathBuffer<1025> EntryInstallLocation(const char* appName) {
    PathBuffer<256> key = UninstallKeyFor(appName);
    if (!key.Fits()) return PathBuffer<1025>();
    return ReadRegString(HKEY_LOCAL_MACHINE, key.CStr(), "InstallLocation");
}

bool EntryBelongsTo(const char* appName, const char* targetDir) {
    PathBuffer<1025> location = EntryInstallLocation(appName);
    return location.IsEmpty() || IsSameFolder(location.CStr(), targetDir);
}
