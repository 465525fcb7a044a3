// Snapshots of the folders an installation must leave alone, and the sentinel files among them.
#include "sentinel.h"

#include <shlobj.h>

#include <cstring>

#include "machine.h"

namespace e2e {

namespace {

constexpr int kWhole = -1;
const SentinelEntry kKeyEntry = [] { SentinelEntry key; key.folder = true; return key; }();  // a registry key
const char kSentinelName[] = "qv-sentinel.txt";
const char kSentinelBytes[] = "Diese Datei darf keine Installation ver\xE4ndern.\r\n";

std::string Upper(std::string text) {
    CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

std::string TimeText(const FILETIME& time) {
    SYSTEMTIME system;
    FileTimeToSystemTime(&time, &system);
    char text[64];
    wsprintfA(text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", system.wYear, system.wMonth, system.wDay, system.wHour,
              system.wMinute, system.wSecond, system.wMilliseconds);
    return text;
}

std::vector<std::string> SentinelPaths() {
    return {"C:\\" + std::string(kSentinelName), ProgramFilesDir() + "\\" + kSentinelName,
            "C:\\qve2e\\" + std::string(kSentinelName)};
}

// depth 0: the folder's own entries; kWhole: everything below it. Links are recorded, not entered.
void AddTree(Sentinels& snapshot, const std::string& folder, int depth) {
    if (folder.empty()) return;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> below;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder.back() == '\\' ? folder + name : folder + "\\" + name;
        snapshot.Add(path, data);
        bool enter = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                     !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (enter && depth != 0) below.push_back(path);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    for (const std::string& path : below) AddTree(snapshot, path, depth == kWhole ? kWhole : depth - 1);
}

// A key with its values and, to the depth given, its sub-keys; returns the names of its sub-keys.
std::vector<std::string> AddKey(Sentinels& snapshot, HKEY root, const std::string& shown, const std::string& path,
                                int depth) {
    std::vector<std::string> subKeys;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return subKeys;
    snapshot.Add(shown, kKeyEntry);
    static char name[16384], data[65536];  // filled and read before the recursion below
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, size = sizeof data;
        LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;
        SentinelEntry value;  // a value too large for the buffer is known by its size
        value.data = std::to_string(type) + ":" + (result ? std::to_string(size) : std::string(data, size));
        snapshot.Add(shown + " | " + std::string(name, nameSize), value);
    }
    DWORD nameSize = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i)
        subKeys.emplace_back(name, nameSize), nameSize = sizeof name;
    RegCloseKey(key);
    for (size_t i = 0; depth != 0 && i < subKeys.size(); ++i)
        AddKey(snapshot, root, shown + "\\" + subKeys[i], path + "\\" + subKeys[i],
               depth == kWhole ? kWhole : depth - 1);
    return subKeys;
}

}  // namespace

void Sentinels::Add(const std::string& path, const SentinelEntry& entry) {
    std::string key = Upper(path);
    entries_[key] = entry;
    names_[key] = path;
}

void Sentinels::Add(const std::string& path, const WIN32_FIND_DATAA& data) {
    SentinelEntry entry;
    entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.attributes = data.dwFileAttributes;
    if (!entry.folder) {
        entry.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.lastWrite = data.ftLastWriteTime;
    }
    Add(path, entry);
}

Sentinels Sentinels::Take() {
    Sentinels snapshot;
    AddTree(snapshot, "C:\\", 0);
    AddTree(snapshot, WindowsDir(), 0);
    AddTree(snapshot, SystemDir(), 0);
    AddTree(snapshot, FontsDir(), kWhole);
    AddTree(snapshot, ProgramFilesDir(), kWhole);
    std::string x86 = SpecialFolder(CSIDL_PROGRAM_FILESX86);
    if (lstrcmpiA(x86.c_str(), ProgramFilesDir().c_str()) != 0) AddTree(snapshot, x86, kWhole);
    // the start-menu folders, each with everything beside its programs folder
    AddTree(snapshot, ParentOf(ProgramsDir(true)), kWhole);
    AddTree(snapshot, ParentOf(ProgramsDir(false)), kWhole);
    AddTree(snapshot, DesktopDir(true), kWhole);
    AddTree(snapshot, DesktopDir(false), kWhole);  // a folder of the prefix's own home (tools/wine-run)
    AddTree(snapshot, "C:\\qve2e", kWhole);
    const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const char kFonts[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    AddKey(snapshot, HKEY_LOCAL_MACHINE, std::string("HKLM\\") + kUninstall, kUninstall, kWhole);
    AddKey(snapshot, HKEY_LOCAL_MACHINE, std::string("HKLM\\") + kFonts, kFonts, kWhole);
    // The file types: every key's name, and whole only the extensions and the applications, where
    // an installation writes; the thousands of class keys beside them would cost each case seconds.
    for (const std::string& name : AddKey(snapshot, HKEY_CLASSES_ROOT, "HKCR", "", 0))
        if (name[0] == '.' || lstrcmpiA(name.c_str(), "Applications") == 0)
            AddKey(snapshot, HKEY_CLASSES_ROOT, "HKCR\\" + name, name, kWhole);
        else
            snapshot.Add("HKCR\\" + name, kKeyEntry);
    return snapshot;
}

std::vector<std::string> Sentinels::ChangesSince(const Sentinels& before, const std::vector<std::string>& allowed) const {
    std::vector<std::string> upperAllowed;
    for (const std::string& path : allowed) {
        std::string upper = Upper(path);
        if (upper.rfind("HKLM\\SOFTWARE\\CLASSES\\", 0) == 0) upper = "HKCR\\" + upper.substr(22);
        if (!upper.empty()) upperAllowed.push_back(upper);
    }
    auto isAllowed = [&](const std::string& key) {
        for (const std::string& prefix : upperAllowed)
            if (key == prefix || (key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
                                  (key[prefix.size()] == '\\' || prefix.back() == '\\' ||
                                   key.compare(prefix.size(), 3, " | ") == 0)))
                return true;
        return false;
    };
    std::vector<std::string> changes;
    for (const auto& [key, entry] : entries_) {
        if (isAllowed(key)) continue;
        auto old = before.entries_.find(key);
        if (old == before.entries_.end()) {
            changes.push_back("added: " + names_.at(key));
            continue;
        }
        const SentinelEntry& was = old->second;
        if (was.data != entry.data) changes.push_back("changed: " + names_.at(key) + " (its type or bytes)");
        if (was.folder != entry.folder || was.attributes != entry.attributes || was.size != entry.size ||
            CompareFileTime(&was.lastWrite, &entry.lastWrite) != 0) {
            char detail[200];
            wsprintfA(detail, " (attributes %lx -> %lx, size %lu -> %lu, ", was.attributes, entry.attributes,
                      static_cast<unsigned long>(was.size), static_cast<unsigned long>(entry.size));
            changes.push_back("changed: " + names_.at(key) + detail + TimeText(was.lastWrite) + " -> " +
                              TimeText(entry.lastWrite) + ")");
        }
    }
    for (const auto& [key, entry] : before.entries_)
        if (!isAllowed(key) && entries_.find(key) == entries_.end())
            changes.push_back("removed: " + before.names_.at(key));
    return changes;
}

std::string Sentinels::ChangesText(const Sentinels& before, const std::vector<std::string>& allowed) const {
    std::string text;
    for (const std::string& change : ChangesSince(before, allowed)) text += change + "\n";
    return text;
}

void PlantSentinels() {
    CreateDirectoryA("C:\\qve2e", nullptr);
    for (const std::string& path : SentinelPaths()) {
        if (ReadFileBytes(path) == kSentinelBytes) continue;
        WriteFileBytes(path, kSentinelBytes);
        SetFileDay(path, 2003, 3, 3);
    }
}

bool SentinelsIntact() {
    for (const std::string& path : SentinelPaths())
        if (ReadFileBytes(path) != kSentinelBytes) return false;
    return true;
}

}  // namespace e2e
