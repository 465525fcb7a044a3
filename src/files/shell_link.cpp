// Shortcut files through the shell's shell-link object, one COM session per shortcut.
#include "files/shell_link.h"

#include <objidl.h>
#include <shobjidl.h>

#include "files/file_path_rules.h"
#include "files/install_record.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

// Defined here so that the program needs no import library for them.
const GUID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIidShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Hands a new shell-link object and its file interface to work; nothing happens without them.
template <typename Work>
void WithShellLink(Work work) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        work(link, file);
        file->Release();
    }
    link->Release();
}

bool SaveShellLink(const wchar_t* fileName, const char* target, const char* arguments) {
    bool saved = false;
    WithShellLink([&](IShellLinkA* link, IPersistFile* file) {
        link->SetPath(target);
        link->SetWorkingDirectory(PathFolderPart(target).CStr());
        link->SetArguments(arguments != nullptr ? arguments : "");
        link->SetShowCmd(SW_SHOWNORMAL);
        saved = SUCCEEDED(file->Save(fileName, TRUE));
    });
    return saved;
}

// GetPath reads the stored path and resolves nothing, so it works for a target that is gone.
void LoadShellLinkTarget(const wchar_t* fileName, LongText& target) {
    WithShellLink([&](IShellLinkA* link, IPersistFile* file) {
        if (SUCCEEDED(file->Load(fileName, STGM_READ)) &&
            link->GetPath(target.RawData(), static_cast<int>(target.RawSize()), nullptr, 0) == S_OK)
            target.Adopt();
    });
}

bool ToWideName(const char* fileName, wchar_t (&wideName)[kPathWidth]) {
    return MultiByteToWideChar(CP_ACP, 0, fileName, -1, wideName, kPathWidth) != 0;
}

// The target path a shortcut file holds; empty when the file is missing, is no shortcut, or
// names no file.
LongText ShellLinkTarget(const char* linkFile) {
    LongText target;
    wchar_t wideName[kPathWidth];
    if (linkFile == nullptr || !FitsWindowsPath(linkFile) || !FileExists(linkFile) || !ToWideName(linkFile, wideName))
        return target;
    HRESULT initialized = CoInitialize(nullptr);
    LoadShellLinkTarget(wideName, target);
    if (SUCCEEDED(initialized)) CoUninitialize();
    return target;
}

}  // namespace

void CreateShellLink(const char* linkFile, const char* target, const char* arguments) {
    if (!FitsWindowsPath(target) || !FileExists(target) || linkFile == nullptr || !FitsWindowsPath(linkFile)) return;
    wchar_t wideName[kPathWidth];
    if (!ToWideName(linkFile, wideName)) return;
    HRESULT initialized = CoInitialize(nullptr);
    bool saved = SaveShellLink(wideName, target, arguments);
    // Only a successful CoInitialize (S_OK or S_FALSE) is to be balanced.
    if (SUCCEEDED(initialized)) CoUninitialize();
    LogAction(kLogShortcut, linkFile, target);
    if (saved) RecordLink(linkFile, target);
}

bool DeleteShellLinkTo(const char* linkFile, const char* target) {
    if (target == nullptr || target[0] == 0) return false;
    LongText stored = ShellLinkTarget(linkFile);
    if (stored.IsEmpty() || !EqualsNoCase(stored.CStr(), target)) return false;
    // Attributes set on a link of the file system could reach the file it points to.
    DWORD attributes = GetFileAttributesA(linkFile);
    if (attributes != INVALID_FILE_ATTRIBUTES && !IsLinkAttributes(attributes))
        SetFileAttributesA(linkFile, FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(linkFile)) return false;
    LogAction(kLogDeleted, linkFile);
    return true;
}
