// Fonts in the Fonts folder: taking one out of the font table before its file is replaced, and
// registering it in the registry, where Windows finds it again after a restart.
#include "files/font_files.h"

#include <windows.h>

#include "files/file_path_rules.h"
#include "files/font_name_rules.h"
#include "files/install_record.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

bool UnloadFont(const char* fontPath, const char* otherName) {
    return RemoveFontResourceA(fontPath) || RemoveFontResourceA(otherName);
}

bool ReplaceInstalledFont(const char* newCopy, const char* fontPath) {
    if (!FitsWindowsPath(newCopy) || !FitsWindowsPath(fontPath)) return false;
    bool installed = FileExists(fontPath);
    if (installed) {
        UnloadFont(fontPath, PathFilePart(fontPath).CStr());
        SetFileAttributesA(fontPath, FILE_ATTRIBUTE_ARCHIVE);
    }
    bool replaced = MoveFileExA(newCopy, fontPath, MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (installed) BroadcastFontChange();
    return replaced;
}

namespace {

// The key Windows keeps its fonts in, to have them after a restart: a value per font, named as
// the font names itself, with the file's name in the Fonts folder as its data.
const char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// The largest font file read for its name: far beyond any font, short of any harm.
constexpr DWORD kMaxFontBytes = 64u << 20;

// The value name of the font file, from its own name table.
bool FontValueName(const char* fontPath, FontNameText& name) {
    HANDLE file = CreateFileA(fontPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    unsigned char* bytes = size != INVALID_FILE_SIZE && high == 0 && size <= kMaxFontBytes
                               ? static_cast<unsigned char*>(VirtualAlloc(nullptr, size + 1, MEM_COMMIT | MEM_RESERVE,
                                                                          PAGE_READWRITE))
                               : nullptr;
    DWORD got = 0;
    bool named = bytes != nullptr && ReadFile(file, bytes, size, &got, nullptr) && got == size &&
                 FontRegistryName(bytes, size, name);
    CloseHandle(file);
    if (bytes != nullptr) VirtualFree(bytes, 0, MEM_RELEASE);
    return named;
}

// The uninstall entry's value that keeps another installation's registration of a font name.
PathBuffer<160> PriorFontValueName(const char* name) {
    PathBuffer<160> prior("PriorFont:");
    prior.Append(name);
    return prior;
}

}  // namespace

bool RegisterFont(const char* fontPath, const char* entryKey) {
    FontNameText name;
    if (!FontValueName(fontPath, name)) return false;
    LongText fileName = PathFilePart(fontPath);
    PathBuffer<1025> current = ReadRegString(HKEY_LOCAL_MACHINE, kFontsKey, name.CStr());
    PathBuffer<160> prior = PriorFontValueName(name.CStr());
    // What another installation registered under the name is kept, once, for the uninstall.
    if (!current.IsEmpty() && !EqualsNoCase(current.CStr(), fileName.CStr()) && entryKey != nullptr &&
        prior.Fits() && !RegValueExists(HKEY_LOCAL_MACHINE, entryKey, prior.CStr()))
        WriteRegString(HKEY_LOCAL_MACHINE, entryKey, prior.CStr(), current.CStr());
    if (!WriteRegString(HKEY_LOCAL_MACHINE, kFontsKey, name.CStr(), fileName.CStr())) return false;
    PathBuffer<512> value = JoinPathAs<512>(JoinPathAs<512>("HKLM", kFontsKey).CStr(), name.CStr());
    LogAction(kLogRegistry, value.CStr(), fileName.CStr());
    RecordValue(value.CStr(), fileName.CStr());
    return true;
}

void UnregisterFont(const char* value, const char* fileName, const char* entryKey) {
    PathBuffer<512> prefix = JoinPathAs<512>(JoinPathAs<512>("HKLM", kFontsKey).CStr(), "");
    // Only a font value, and only while it is still this installation's: the file it names is gone.
    if (FindTextNoCase(value, prefix.CStr()) != value || FileExists(JoinPath(g_ctx.FontsDir.CStr(), fileName).CStr())) return;
    const char* name = value + prefix.Length();
    PathBuffer<1025> current = ReadRegString(HKEY_LOCAL_MACHINE, kFontsKey, name);
    if (current.IsEmpty() || !EqualsNoCase(current.CStr(), fileName)) return;
    PathBuffer<160> prior = PriorFontValueName(name);
    PathBuffer<1025> kept = entryKey != nullptr && prior.Fits() ? ReadRegString(HKEY_LOCAL_MACHINE, entryKey, prior.CStr())
                                                                : PathBuffer<1025>();
    if (!kept.IsEmpty()) {
        WriteRegString(HKEY_LOCAL_MACHINE, kFontsKey, name, kept.CStr());
        return;
    }
    if (DeleteRegValue(HKEY_LOCAL_MACHINE, kFontsKey, name)) LogAction(kLogRemoved, value);
}
