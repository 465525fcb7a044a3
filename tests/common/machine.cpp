// The machine the tests run on, read and changed through Windows' own APIs and its Unix side.
#include "machine.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

namespace e2e {

namespace {

const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

// The all-users folders as the program reads them: the machine's Shell Folders value first.
std::string ShellFolder(bool allUsers, const char* common, int commonCsidl, int userCsidl) {
    if (!allUsers) return SpecialFolder(userCsidl);
    std::string value = RegistryText(HKEY_LOCAL_MACHINE, kShellFolders, common);
    return value.empty() ? SpecialFolder(commonCsidl) : value;
}

}  // namespace

std::string FreshFolder(const std::string& name, const std::string& base) {
    CreateDirectoryA(base.c_str(), nullptr);
    std::string path = base + "\\" + name;
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    static char buffer[1 << 16];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        for (const std::string& name : FolderNames(path)) RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> FolderNames(const std::string& folder) { return Matching(folder + "\\*"); }

std::vector<std::string> Matching(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::strcmp(data.cFileName, ".") && std::strcmp(data.cFileName, "..")) names.push_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

void SetFileDay(const std::string& path, int year, int month, int day) {
    SYSTEMTIME system = {};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = static_cast<WORD>(month);
    system.wDay = static_cast<WORD>(day);
    FILETIME time;
    SystemTimeToFileTime(&system, &time);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

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
    return ShellFolder(allUsers, "Common Programs", CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS);
}

std::string DesktopDir(bool allUsers) {
    return ShellFolder(allUsers, "Common Desktop", CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY);
}

Shortcut ReadShortcut(const std::string& path) {
    Shortcut result;
    result.exists = PathExists(path);
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (result.exists && SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                                    reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[1024] = "";
            link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
            result.target = text;
            text[0] = 0;
            link->GetArguments(text, sizeof text);
            result.arguments = text;
            text[0] = 0;
            link->GetWorkingDirectory(text, sizeof text);
            result.workingDirectory = text;
        }
        if (file != nullptr) file->Release();
        link->Release();
    }
    CoUninitialize();
    return result;
}

std::string RegistryText(HKEY root, const std::string& key, const char* value, bool* exists) {
    if (exists) *exists = false;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return "";
    char buffer[2048] = "";
    DWORD size = sizeof buffer - 1;
    LONG status = RegQueryValueExA(handle, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS) return "";
    if (exists) *exists = true;
    return std::string(buffer, size && buffer[size - 1] == 0 ? size - 1 : size);
}

bool RegistryDword(HKEY root, const std::string& key, const char* value, DWORD* out) {
    DWORD type = 0, size = sizeof *out;
    return RegGetValueA(root, key.c_str(), value, RRF_RT_REG_DWORD, &type, out, &size) == ERROR_SUCCESS;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

void RemoveRegistryTree(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

void EndDescendantsOf(DWORD ancestor) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) all.push_back(entry);
    CloseHandle(snapshot);
    std::vector<DWORD> family{ancestor};
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

std::string UnixPathOf(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(const WCHAR*);
    Convert convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unixPath = convert(wide);
    if (unixPath == nullptr) return "";
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Wine starts a Unix program detached, without a process to wait for: its end is seen through
// a file in /tmp (outside every folder a snapshot looks at) that holds its exit status.
bool RunUnixShell(const std::string& command, DWORD ms) {
    char marker[64];
    wsprintfA(marker, "/tmp/qv-shell-%lu.status", GetCurrentProcessId());
    std::string windowsMarker = WindowsPath(marker);
    DeleteFileA(windowsMarker.c_str());
    std::string line = "Z:\\bin\\sh -c \"(" + command + ") >/dev/null 2>&1; echo $? > " + marker + "\"";
    // A Unix command line is UTF-8, as the Unix paths in it are: taken so, not as code page 1252.
    std::wstring wide(line.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, &wide[0], static_cast<int>(wide.size()))));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (wide.empty() ||
        !CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::string status;
    WaitFor(
        [&] {
            status = ReadFileBytes(windowsMarker);
            return status != "<missing>" && !status.empty() && status.back() == '\n';
        },
        ms);
    DeleteFileA(windowsMarker.c_str());
    return status == "0\n";
}

std::string PseudoRandomBytes(size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    unsigned state = seed != 0 ? seed : 1;
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state & 0xFF);
    }
    return bytes;
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace e2e
