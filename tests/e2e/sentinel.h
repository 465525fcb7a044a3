// A snapshot of the folders and registry keys an installation must leave alone: the Windows
// folder (its top level, the System folder's top level and the whole Fonts folder), the
// program-files folders, the start-menu folders and desktops of both kinds, C:\ and the package
// folders, with sentinel files planted among them; the uninstall entries, the file types and the
// registered fonts. Two snapshots are compared to find every file, folder, key or value that
// came, went or changed, apart from the paths and keys an installation may write.
//
//   PlantSentinels();
//   Sentinels before = Sentinels::Take();
//   ... run the program ...
//   CHECK(Sentinels::Take().ChangesText(before, {target, group}) == "");
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

struct SentinelEntry {
    bool folder = false;
    DWORD attributes = 0;
    unsigned long long size = 0;
    FILETIME lastWrite = {};  // files only: a folder's time changes with whatever happens inside it
    std::string data;         // registry values: the type and the bytes
};

class Sentinels {
public:
    static Sentinels Take();
    // Every difference from the earlier snapshot, as "added: <path>", "removed: <path>" or
    // "changed: <path> (...)", except below the allowed paths (a path itself and everything
    // under it; letter case does not count). Keys are named "HKLM\KEY", values "HKLM\KEY | NAME",
    // file types "HKCR\..." (allowed as HKCR\ or HKLM\SOFTWARE\Classes\).
    std::vector<std::string> ChangesSince(const Sentinels& before, const std::vector<std::string>& allowed = {}) const;
    // The same, one change a line, "" when nothing changed.
    std::string ChangesText(const Sentinels& before, const std::vector<std::string>& allowed = {}) const;
    void Add(const std::string& path, const WIN32_FIND_DATAA& found);
    void Add(const std::string& path, const SentinelEntry& entry);

private:
    std::map<std::string, SentinelEntry> entries_;  // by upper-cased path
    std::map<std::string, std::string> names_;      // upper-cased path -> path as found
};

// The sentinel files: C:\qv-sentinel.txt, <program files>\qv-sentinel.txt and
// C:\qve2e\qv-sentinel.txt beside the package folders. Written once with fixed bytes and time.
void PlantSentinels();
// The planted files still hold their bytes.
bool SentinelsIntact();

}  // namespace e2e
