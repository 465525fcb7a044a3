// Reading back an installation's footprint through Windows' own APIs, and removing it.
#include "footprint.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "driver.h"
#include "test_files.h"

namespace e2e {

namespace {

const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

void RemoveExtension(const std::string& extension) {
    RemoveRegistryTree(HKEY_CLASSES_ROOT, "." + extension);
}

}  // namespace

std::string ProgramFilesDir() {
    return RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
}

std::string WindowsDir() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string SystemDir() {
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

std::string FontsDir() { return WindowsDir() + "\\Fonts"; }

std::string ProgramsDir(bool allUsers) {
    if (allUsers) {
        std::string value = RegistryText(HKEY_LOCAL_MACHINE, kShellFolders, "Common Programs");
        return value.empty() ? SpecialFolder(CSIDL_COMMON_PROGRAMS) : value;
    }
    return SpecialFolder(CSIDL_PROGRAMS);
}

std::string DesktopDir(bool allUsers) {
    if (allUsers) {
        std::string value = RegistryText(HKEY_LOCAL_MACHINE, kShellFolders, "Common Desktop");
        return value.empty() ? SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) : value;
    }
    return SpecialFolder(CSIDL_DESKTOPDIRECTORY);
}

Shortcut ReadShortcut(const std::string& path) {
    Shortcut result;
    std::string bytes = ReadFileBytes(path);
    if (bytes == "<missing>") return result;
    result.exists = true;
    if (bytes.size() >= 0x42) {
        result.showCommand = static_cast<unsigned char>(bytes[0x3C]) | (static_cast<unsigned char>(bytes[0x3D]) << 8);
        result.hotkey = static_cast<WORD>(static_cast<unsigned char>(bytes[0x40]) |
                                          (static_cast<unsigned char>(bytes[0x41]) << 8));
    }
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char text[1024] = "";
                link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
                result.target = text;
                text[0] = 0;
                link->GetArguments(text, sizeof text);
                result.arguments = text;
                text[0] = 0;
                link->GetWorkingDirectory(text, sizeof text);
                result.workingDirectory = text;
                text[0] = 0;
                link->GetDescription(text, sizeof text);
                result.description = text;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return result;
}

FileFacts Facts(const std::string& path) {
    FileFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return facts;
    facts.exists = true;
    facts.attributes = data.dwFileAttributes;
    facts.lastWrite = data.ftLastWriteTime;
    facts.creation = data.ftCreationTime;
    facts.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return facts;
}

void SetFileDay(const std::string& path, int year, int month, int day, int seconds) {
    SYSTEMTIME system = {};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = static_cast<WORD>(month);
    system.wDay = static_cast<WORD>(day);
    system.wHour = static_cast<WORD>(seconds / 3600);
    system.wMinute = static_cast<WORD>(seconds / 60 % 60);
    system.wSecond = static_cast<WORD>(seconds % 60);
    FILETIME time;
    SystemTimeToFileTime(&system, &time);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

std::string StoredName(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return data.cFileName;
}

std::string RegistryText(HKEY root, const std::string& key, const char* value, bool* exists) {
    return ReadRegistryText(root, key, value, exists);
}

bool RegistryDword(HKEY root, const std::string& key, const char* value, DWORD* out) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = sizeof *out;
    LONG status = RegQueryValueExA(handle, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS && type == REG_DWORD;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumValueA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(handle);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveInstallation(const std::string& appName, const std::string& folder,
                        const std::vector<std::string>& desktopLinks, const std::vector<std::string>& extensions,
                        const std::vector<std::string>& applications) {
    if (!folder.empty()) RemoveTree(ProgramFilesDir() + "\\" + folder);
    if (!appName.empty()) {
        RemoveTree(ProgramsDir(true) + "\\" + appName);
        RemoveTree(ProgramsDir(false) + "\\" + appName);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKeyBase + appName);
    }
    for (const std::string& link : desktopLinks) {
        DeleteFileA((DesktopDir(true) + "\\" + link + ".lnk").c_str());
        DeleteFileA((DesktopDir(false) + "\\" + link + ".lnk").c_str());
    }
    for (const std::string& extension : extensions) RemoveExtension(extension);
    for (const std::string& application : applications) {
        RemoveRegistryTree(HKEY_CLASSES_ROOT, "Applications\\" + application);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Applications\\" + application);
    }
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string RecorderLog(const std::string& exeName) {
    std::string bytes = ReadFileBytes("C:\\qvrec\\" + exeName + ".log");
    return bytes == "<missing>" ? "" : bytes;
}

void ClearRecorderLogs() {
    RemoveTree("C:\\qvrec");
}

std::string RecorderProgram() { return ToolsFolder() + "\\recorder.exe"; }

std::string SelfRemovalScriptPath() { return WindowsDir() + "\\VarnekUninstall.bat"; }

// Ends the processes descended from the given one (found by their parent's id), deepest last.
static void EndDescendantsOf(DWORD ancestor) {
    std::vector<DWORD> family{ancestor};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) all.push_back(entry);
    CloseHandle(snapshot);
    for (size_t i = 0; i < family.size(); ++i)
        for (const PROCESSENTRY32& process : all)
            if (process.th32ParentProcessID == family[i] &&
                std::find(family.begin(), family.end(), process.th32ProcessID) == family.end())
                family.push_back(process.th32ProcessID);
    for (size_t i = 1; i < family.size(); ++i) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, family[i]);
        if (process == nullptr) continue;
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

bool WaitForSelfRemoval(DWORD uninstallerPid, DWORD ms) {
    std::string script = SelfRemovalScriptPath();
    if (WaitFor([&] { return !PathExists(script); }, ms)) return true;
    EndDescendantsOf(uninstallerPid);
    return false;
}

DemoPackage::DemoPackage(const std::string& name)
    : package(name), target(ProgramFilesDir() + "\\" + kAppName), font(FontsDir() + "\\DejaVuSans.ttf") {
    Clean();
    package.CopyFrom(DemoFolder()).CopyIn(DejaVuFont(), "DejaVuSans.ttf");
}

DemoPackage::~DemoPackage() { Clean(); }

void DemoPackage::Clean() {
    RemoveInstallation(kAppName, kAppName, {"Quorvane Notizen"}, {"qvn"}, {"Notizen.qvn"});
    DeleteFileA(font.c_str());
    DeleteFileA(SelfRemovalScriptPath().c_str());
    ClearRecorderLogs();
}

bool DemoPackage::InstallSilently() {
    Run setup = package.Start("/S");
    return setup.Exit(60000) == 0 && PathExists(target + "\\Uninst.exe");
}

Run DemoPackage::StartUninstaller(const std::string& arguments) const {
    return StartInstalled(target + "\\Uninst.exe", arguments);
}

}  // namespace e2e
