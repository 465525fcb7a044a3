// The Windows path limit and the paths of files found by a search.
#include <doctest.h>

#include <string>

#include "files/file_path_rules.h"

TEST_CASE("a Windows path holds at most 259 characters") {
    CHECK(FitsWindowsPath(""));
    CHECK(FitsWindowsPath(std::string(259, 'a').c_str()));
    CHECK_FALSE(FitsWindowsPath(std::string(260, 'a').c_str()));
    CHECK_FALSE(FitsWindowsPath(std::string(5000, 'a').c_str()));
    CHECK_FALSE(FitsWindowsPath(nullptr));
}

TEST_CASE("found files are named from the pattern's folder") {
    struct Row { const char* pattern; const char* name; const char* path; };
    const Row rows[] = {
        {"C:\\Quelle\\*.dll", "a.dll", "C:\\Quelle\\a.dll"},
        {"*.dll", "a.dll", "a.dll"},
        {"DATA\\README.TXT", "README.TXT", "DATA\\README.TXT"},
        {"D:\\*.*", "x", "D:\\x"},
        {"\\*.txt", "x.txt", "\\x.txt"},
        {"C:\\Ordner\\*.*", "Unterordner", "C:\\Ordner\\Unterordner"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.pattern));
        WorkPath path = FoundFilePath(row.pattern, row.name);
        CHECK(path.Fits());
        CHECK(std::string(path.CStr()) == row.path);
        CHECK(std::string(FoundFileText(row.pattern, row.name).CStr()) == row.path);
    }
}

TEST_CASE("a found path that does not fit is marked, and its message text stays whole") {
    std::string folder = "C:\\" + std::string(250, 'f');
    std::string pattern = folder + "\\*.*";
    std::string name(20, 'n');
    WorkPath path = FoundFilePath(pattern.c_str(), name.c_str());
    CHECK_FALSE(path.Fits());
    CHECK(std::string(FoundFileText(pattern.c_str(), name.c_str()).CStr()) == folder + "\\" + name);
    CHECK(std::string(JoinPathText(folder.c_str(), name.c_str()).CStr()) == folder + "\\" + name);
    CHECK(std::string(JoinPathText("D:\\Prog\\", "Readme.txt").CStr()) == "D:\\Prog\\Readme.txt");
    CHECK(std::string(JoinPathText("D:\\Prog", "Readme.txt").CStr()) == "D:\\Prog\\Readme.txt");
}

TEST_CASE("drives and roots are told from folders") {
    struct Row { const char* folder; bool root; };
    const Row rows[] = {
        {"", true},      {"\\", true},       {"\\\\", true},  {"D:", true},          {"D:\\", true},
        {"D:\\\\", true}, {"D:\\A", false}, {"A", false},  {"\\Programme", false}, {"C:\\Programme\\App", false},
        {"AB", false},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.folder));
        CHECK(IsDriveOrRoot(row.folder) == row.root);
    }
    CHECK(IsDriveOrRoot(nullptr));
}
