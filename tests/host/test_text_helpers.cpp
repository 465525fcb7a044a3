// Substring search, path parts and joining, table by table.
#include <doctest.h>

#include <cstring>
#include <string>

#include "support/text_helpers.h"

namespace {
long Position(const char* text, const char* found) {
    return found ? static_cast<long>(found - text) : -1;
}
}  // namespace

TEST_CASE("FindTextNoCase compares ASCII letters without case and nothing else") {
    struct Row { const char* text; const char* pattern; long position; };
    const Row rows[] = {
        {"Setup.exe /S", "/s", 10},
        {"Setup.exe /s", "/S", 10},
        {"C:\\Programme\\App\\UNINST.EXE", "\\Uninst.exe", 16},
        {"\xC4rger", "\xE4rger", -1},  // Ä and ä are not equated
        {"abc", "abcd", -1},
        {"abc", "", 3},                // an empty pattern is found at the end
        {"", "", 0},
        {"/Update", "/U", 0},
        {"xyz", "y", 1},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.text));
        CAPTURE(std::string(row.pattern));
        CHECK(Position(row.text, FindTextNoCase(row.text, row.pattern)) == row.position);
    }
}

TEST_CASE("FindTextExact compares bytes") {
    struct Row { const char* text; const char* pattern; long position; };
    const Row rows[] = {
        {"xyz", "y", 1},
        {"xyz", "xyzw", -1},           // one character longer than the text
        {"Setup.exe", "setup.exe", -1},
        {"a /? b", "/?", 2},
        {"abab", "ab", 0},
        {"abc", "", 3},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.text));
        CHECK(Position(row.text, FindTextExact(row.text, row.pattern)) == row.position);
    }
    CHECK(FindTextExact(nullptr, "x") == nullptr);
}

TEST_CASE("PathFilePart and PathFolderPart") {
    struct Row { const char* path; const char* file; const char* folder; };
    const Row rows[] = {
        {"D:\\Dir\\File.exe", "File.exe", "D:\\Dir"},
        {"D:\\File.exe", "File.exe", "D:"},
        {"D:\\Dir\\", "", "D:\\Dir"},
        {"Setup.exe", "Setup.exe", "Setup.exe"},
        {"D:\\", "", "D:"},
        {"\\Data", "Data", "\\Data"},  // the only backslash is the first character
        {"", "", ""},
        {"a\\b\\c\\d", "d", "a\\b\\c"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.path);
        CHECK(std::string(PathFilePart(row.path).CStr()) == row.file);
        CHECK(std::string(PathFolderPart(row.path).CStr()) == row.folder);
    }
}

TEST_CASE("JoinPath puts exactly one backslash between folder and name") {
    CHECK(std::string(JoinPath("D:\\", "a.txt").CStr()) == "D:\\a.txt");
    CHECK(std::string(JoinPath("D:\\Dir", "a.txt").CStr()) == "D:\\Dir\\a.txt");
    CHECK(std::string(JoinPath("", "a.txt").CStr()) == "\\a.txt");
    CHECK(std::string(JoinPath("D:\\Dir", "\\a.txt").CStr()) == "D:\\Dir\\\\a.txt");
}

TEST_CASE("JoinPath refuses, by its cut mark, a path longer than Windows takes") {
    std::string folder = "C:\\" + std::string(240, 'f');
    WorkPath fits = JoinPath(folder.c_str(), std::string(259 - folder.size() - 1, 'n').c_str());
    CHECK(fits.Fits());
    CHECK(fits.Length() == 259);
    WorkPath tooLong = JoinPath(folder.c_str(), std::string(259 - folder.size(), 'n').c_str());
    CHECK_FALSE(tooLong.Fits());
}

TEST_CASE("EqualsNoCase and UpperAscii") {
    CHECK(EqualsNoCase("Setup.LST", "setup.lst"));
    CHECK_FALSE(EqualsNoCase("Setup.lst", "Setup.ls"));
    CHECK_FALSE(EqualsNoCase("\xE4", "\xC4"));
    CHECK(UpperAscii('q') == 'Q');
    CHECK(UpperAscii('\xE4') == '\xE4');
}

TEST_CASE("SameFolderText ignores ASCII letter case and the separators at the end, nothing else") {
    struct Row { const char* a; const char* b; bool same; };
    const Row rows[] = {
        {"C:\\Programme\\Gamma 1", "C:\\Programme\\Gamma 1", true},
        {"C:\\Programme\\Gamma 1\\", "c:\\PROGRAMME\\gamma 1", true},
        {"C:\\Programme\\Gamma 1", "C:\\Programme\\Gamma 1\\\\", true},
        {"C:\\Programme\\Gamma 1/", "C:\\Programme\\Gamma 1", true},
        {"C:\\Programme\\Gamma 1", "C:\\Programme\\Gamma 2", false},
        {"C:\\Programme\\Gamma", "C:\\Programme\\Gamma 1", false},
        {"C:\\Programme\\Gamma 1", "C:\\Programme\\Gamma", false},
        {"C:\\Programme\\Gamma", "C:\\Programme\\Gamma.", false},
        {"C:\\Programme\\Gamma/1", "C:\\Programme\\Gamma\\1", false},
        {"C:\\Programme\\\xE4rger", "C:\\Programme\\\xC4rger", false},
        {"", "", false},
        {"\\", "\\\\", false},
        {"", "C:\\Programme", false},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.a));
        CAPTURE(std::string(row.b));
        CHECK(SameFolderText(row.a, row.b) == row.same);
        CHECK(SameFolderText(row.b, row.a) == row.same);
    }
    CHECK_FALSE(SameFolderText(nullptr, "C:\\"));
    CHECK_FALSE(SameFolderText("C:\\", nullptr));
}
