// Shortcut files through the shell's shell-link object, one COM session per shortcut.
#include "install/shell_link.h"

#include <objidl.h>
#include <shobjidl.h>

#include "support/text_helpers.h"
#include "support/win_support.h"
#include "files/file_path_rules.h"

namespace {

// Defined here so that the program needs no import library for them.
const GUID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIidShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

void SaveShellLink(const wchar_t* fileName, const char* target, const char* arguments) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        link->SetPath(target);
        link->SetWorkingDirectory(PathFolderPart(target).CStr());
        link->SetArguments(arguments != nullptr ? arguments : "");
        link->SetShowCmd(SW_SHOWNORMAL);
        file->Save(fileName, TRUE);
        file->Release();
    }
    link->Release();
}

}  // namespace

void CreateShellLink(const char* linkPath, const char* target, const char* arguments) {
    if (!FitsWindowsPath(target) || !FileExists(target)) return;
    WorkPath fileName;
    fileName.Assign(linkPath);
    fileName.Append(".lnk");
    if (linkPath == nullptr || !fileName.Fits()) return;
    wchar_t wideName[kPathWidth];
    if (MultiByteToWideChar(CP_ACP, 0, fileName.CStr(), -1, wideName, kPathWidth) == 0) return;
    HRESULT initialized = CoInitialize(nullptr);
    SaveShellLink(wideName, target, arguments);
    // Only a successful CoInitialize (S_OK or S_FALSE) is to be balanced.
    if (SUCCEEDED(initialized)) CoUninitialize();
}
