// The uninstall entry of an application: writing it, and which installation it belongs to.
#include "files/uninstall_entry.h"

#include "files/placement_rules.h"
#include "files/product_version_rules.h"
#include "files/version_info_rules.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "support/text_helpers.h"
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

namespace {

// A value of the uninstall entry, written and logged.
void WriteEntryText(const char* key, const char* name, const char* text) {
    WriteRegString(HKEY_LOCAL_MACHINE, key, name, text);
    LogAction(kLogRegistry, JoinPath(JoinPath("HKLM", key).CStr(), name).CStr(), text);
}

void WriteEntryNumber(const char* key, const char* name, DWORD value) {
    WriteRegDword(HKEY_LOCAL_MACHINE, key, name, value);
    LogAction(kLogRegistry, JoinPath(JoinPath("HKLM", key).CStr(), name).CStr(), DecimalText(value, false).CStr());
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
            if (data.cFileName[0] == '.' || IsLinkAttributes(data.dwFileAttributes)) continue;
            total += FolderBytes(JoinPath(folder, data.cFileName).CStr(), depth + 1);
        } else {
            total += FileSize64(data.nFileSizeHigh, data.nFileSizeLow);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return total;
}

// The installed program of [Files] 1, when it is a program (.exe); empty otherwise.
WorkPath FirstProgram() {
    const ListEntry& first = g_ctx.InstallList[1];
    WorkPath program = InstalledFilePath(InstalledFolderFor(first.AltFolder.CStr(), ContextFolders()).CStr(),
                                         first.Files.CStr());
    if (!IsListValueSet(first.Files) || !program.Fits() || !EndsWithNoCase(program.CStr(), ".exe") ||
        !FileExists(program.CStr()))
        program.Clear();
    return program;
}

// The publisher and version a program's version resource names, where the list gives none.
void ReadVersionResource(const char* program, CompanyText& publisher, VersionNumber& version) {
    HMODULE module = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC resource = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)) : nullptr;
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const unsigned char* block = loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    size_t size = block != nullptr ? SizeofResource(module, resource) : 0;
    if (block != nullptr) {
        if (publisher.IsEmpty()) VersionResourceCompanyName(block, size, publisher);
        if (version.Text.IsEmpty()) VersionResourceProductVersion(block, size, version);
    }
    if (module != nullptr) FreeLibrary(module);
}

}  // namespace

void WriteUninstallEntry(const char* uninstaller, bool createdProgramFolder) {
    PathBuffer<256> key = UninstallKeyFor(g_ctx.AppName.CStr());
    WriteEntryText(key.CStr(), "DisplayName", g_ctx.AppName.CStr());
    WriteEntryText(key.CStr(), "UninstallString", UninstallCommand(uninstaller, false).CStr());
    // Beyond the two values every list of installed software needs, these let it show the
    // folder, and let deployment tools remove the application silently.
    WriteEntryText(key.CStr(), "QuietUninstallString", UninstallCommand(uninstaller, true).CStr());
    WriteEntryText(key.CStr(), "InstallLocation", g_ctx.TargetDir.CStr());
    WriteEntryText(key.CStr(), "DisplayIcon", uninstaller);
    WriteEntryNumber(key.CStr(), "NoModify", 1);
    WriteEntryNumber(key.CStr(), "NoRepair", 1);
    // A reinstall finds the folder it made the first time: the first answer stays.
    if (!RegValueExists(HKEY_LOCAL_MACHINE, key.CStr(), kCreatedProgramFolderValue))
        WriteEntryNumber(key.CStr(), kCreatedProgramFolderValue, createdProgramFolder ? 1 : 0);
}

void CompleteUninstallEntry() {
    PathBuffer<256> key = UninstallKeyFor(g_ctx.AppName.CStr());
    unsigned long long kilobytes = (FolderBytes(g_ctx.TargetDir.CStr(), 0) + 1023) / 1024;
    WriteEntryNumber(key.CStr(), "EstimatedSize", kilobytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kilobytes));
    // Deployment tools tell versions apart by these, and the list shows the program's own icon.
    CompanyText publisher;
    publisher.Assign(g_ctx.Publisher);
    VersionNumber version;
    if (IsListValueSet(g_ctx.ProductVersion)) ParseProductVersion(g_ctx.ProductVersion.CStr(), version);
    WorkPath program = FirstProgram();
    if (!program.IsEmpty() && (publisher.IsEmpty() || version.Text.IsEmpty()))
        ReadVersionResource(program.CStr(), publisher, version);
    // An earlier version's values go when this one has none: a deployment tool would take the
    // application for the earlier version.
    if (!publisher.IsEmpty()) WriteEntryText(key.CStr(), "Publisher", publisher.CStr());
    else DeleteRegValue(HKEY_LOCAL_MACHINE, key.CStr(), "Publisher");
    if (!version.Text.IsEmpty()) {
        WriteEntryText(key.CStr(), "DisplayVersion", version.Text.CStr());
        WriteEntryNumber(key.CStr(), "VersionMajor", version.Parts[0]);
        WriteEntryNumber(key.CStr(), "VersionMinor", version.Parts[1]);
    } else {
        static const char* const kVersionValues[] = {"DisplayVersion", "VersionMajor", "VersionMinor"};
        for (const char* name : kVersionValues) DeleteRegValue(HKEY_LOCAL_MACHINE, key.CStr(), name);
    }
    if (!program.IsEmpty()) WriteEntryText(key.CStr(), "DisplayIcon", program.CStr());
}
