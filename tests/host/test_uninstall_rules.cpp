// Where the uninstall looks for the installed files, and the tests that keep it inside the
// installation.
#include <doctest.h>

#include <string>

#include "files/placement_rules.h"
#include "list/list_rules.h"
#include "uninstall/uninstall_rules.h"

namespace {

InstallFolders Folders() {
    InstallFolders folders;
    folders.WindowsDir = "C:\\WINDOWS";
    folders.SystemDir = "C:\\WINDOWS\\system32";
    folders.FontsDir = "C:\\WINDOWS\\Fonts";
    folders.TargetDir = "C:\\Program Files\\Kartei";
    return folders;
}

}  // namespace

TEST_CASE("the folder of an installed file follows its [AltFolder] value as the install run chose it") {
    struct Row { const char* alt; const char* folder; };
    const Row rows[] = {
        {"", "C:\\Program Files\\Kartei"},
        {"W\\ShellNew", "C:\\WINDOWS\\ShellNew"},
        {"W\\", "C:\\WINDOWS\\"},
        {"S\\", "C:\\WINDOWS\\system32\\"},
        {"S\\Treiber", "C:\\WINDOWS\\system32\\Treiber"},
        {"F", "C:\\WINDOWS\\Fonts"},
        {"Fonts\\Sub", "C:\\WINDOWS\\Fonts"},
        {"\\Data", "C:\\Program Files\\Kartei\\Data"},
        {"\\Data\\Sub", "C:\\Program Files\\Kartei\\Data\\Sub"},
        {"W", "C:\\Program Files\\Kartei"},
        {"S", "C:\\Program Files\\Kartei"},
        {"Daten", "C:\\Program Files\\Kartei"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.alt));
        WorkPath folder = InstalledFolderFor(row.alt, Folders());
        CHECK(folder.Fits());
        CHECK(std::string(folder.CStr()) == row.folder);
    }
}

TEST_CASE("the installed file is the listed name in that folder") {
    CHECK(std::string(InstalledFilePath("C:\\Program Files\\Kartei", "Kartei.exe").CStr()) ==
          "C:\\Program Files\\Kartei\\Kartei.exe");
    CHECK(std::string(InstalledFilePath("C:\\WINDOWS\\", "Kartei.ini").CStr()) == "C:\\WINDOWS\\Kartei.ini");
    // copied under its name alone
    CHECK(std::string(InstalledFilePath("C:\\Program Files\\Kartei", "Bin\\Tool.exe").CStr()) ==
          "C:\\Program Files\\Kartei\\Tool.exe");
    CHECK_FALSE(InstalledFilePath(std::string(250, 'f').c_str(), "Kartei.exe").Fits());
}

TEST_CASE("system folders are recognised by substring tests without letter case, never by an empty folder") {
    InstallFolders folders = Folders();
    CHECK(IsSystemFolderPath("C:\\WINDOWS\\Kartei.ini", folders));
    CHECK(IsSystemFolderPath("C:\\WINDOWS\\system32\\Kartei.dll", folders));
    CHECK(IsSystemFolderPath("C:\\WINDOWS\\Fonts\\Kartei.ttf", folders));
    CHECK_FALSE(IsSystemFolderPath("C:\\Program Files\\Kartei\\Kartei.exe", folders));
    CHECK(IsSystemFolderPath("C:\\windows\\Kartei.ini", folders));  // letter case does not count
    CHECK(IsFontsFolderPath("C:\\WINDOWS\\Fonts\\Kartei.ttf", folders.FontsDir));
    CHECK_FALSE(IsFontsFolderPath("C:\\WINDOWS\\Kartei.ttf", folders.FontsDir));
    InstallFolders none;
    CHECK_FALSE(IsSystemFolderPath("C:\\Program Files\\Kartei\\Kartei.exe", none));
    CHECK_FALSE(IsFontsFolderPath("C:\\WINDOWS\\Fonts\\Kartei.ttf", none.FontsDir));
}

TEST_CASE("companion files: .GID and .FTS of a help file, .INI and .PIF of a program, in that order") {
    struct Row { const char* path; int count; const char* companions[4]; };
    const Row rows[] = {
        {"C:\\P\\Help.hlp", 2, {"C:\\P\\Help.GID", "C:\\P\\Help.FTS"}},
        {"C:\\P\\Tool.exe", 2, {"C:\\P\\Tool.INI", "C:\\P\\Tool.PIF"}},
        {"C:\\P\\TOOL.EXE", 2, {"C:\\P\\TOOL.INI", "C:\\P\\TOOL.PIF"}},
        {"C:\\P\\Liesmich.txt", 0, {}},
        // the first occurrence counts, and only in the name
        {"C:\\P\\a.hlp.hlp", 2, {"C:\\P\\a.GID", "C:\\P\\a.FTS"}},
        {"C:\\P\\Tool.exe.bak", 2, {"C:\\P\\Tool.INI", "C:\\P\\Tool.PIF"}},
        {"C:\\Tools.exe\\Readme.txt", 0, {}},
        {"C:\\Hilfe.hlp\\Tool.exe", 2, {"C:\\Hilfe.hlp\\Tool.INI", "C:\\Hilfe.hlp\\Tool.PIF"}},
        // the .EXE search looks at the name as it stands after the help companions
        {"C:\\P\\Tool.exe.hlp", 4, {"C:\\P\\Tool.exe.GID", "C:\\P\\Tool.exe.FTS", "C:\\P\\Tool.INI", "C:\\P\\Tool.PIF"}},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.path));
        CompanionFiles companions = CompanionFilesOf(row.path);
        REQUIRE(companions.Count == row.count);
        for (int i = 0; i < row.count; ++i) CHECK(std::string(companions.Paths[i].CStr()) == row.companions[i]);
    }
}

TEST_CASE("the [WildCopy] pattern lies where the install run copied its files") {
    struct Row { const char* target; const char* sub; const char* wild; const char* pattern; };
    const Row rows[] = {
        {"D:\\Programme\\Kartei", "Texte", "*.txt", "D:\\Programme\\Kartei\\Texte\\*.txt"},
        {"D:\\Programme\\Kartei", "", "*.txt", "D:\\Programme\\Kartei\\*.txt"},
        {"D:\\Programme\\Kartei\\", "", "*.txt", "D:\\Programme\\Kartei\\*.txt"},
        {"D:\\Programme\\Kartei", " Texte", "*.txt", "D:\\Programme\\Kartei\\*.txt"},
        {"D:\\Programme\\Kartei", "Vorlagen", "Vorlagen\\*.qvv", "D:\\Programme\\Kartei\\Vorlagen\\*.qvv"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.wild));
        WorkPath pattern = WildPatternPath(row.target, row.sub, row.wild);
        CHECK(pattern.Fits());
        CHECK(std::string(pattern.CStr()) == row.pattern);
    }
    CHECK(std::string(WildSubFolderPath("D:\\Programme\\Kartei", "Texte").CStr()) == "D:\\Programme\\Kartei\\Texte");
    CHECK_FALSE(WildPatternPath(std::string(250, 'k').c_str(), "Texte", "*.txt").Fits());
}

TEST_CASE("a kept sub-folder keeps every sub-folder entry that would delete it") {
    CHECK(SubFolderHoldsKept("Texte", "Texte"));
    CHECK(SubFolderHoldsKept("Texte", "TEXTE\\"));
    CHECK(SubFolderHoldsKept("Texte", "Texte\\Alt"));
    CHECK(SubFolderHoldsKept("Texte", "Texte/Alt"));
    CHECK_FALSE(SubFolderHoldsKept("Texte\\Alt", "Texte"));
    CHECK_FALSE(SubFolderHoldsKept("Texte", "Texte2"));
    CHECK_FALSE(SubFolderHoldsKept("Texte", "Bilder"));
}

TEST_CASE("a value names a folder of its own only with a character other than blanks, dots and separators") {
    CHECK(NamesFolder("Kartei"));
    CHECK(NamesFolder(". a"));
    CHECK(NamesFolder("a\\ "));
    CHECK_FALSE(NamesFolder(""));
    CHECK_FALSE(NamesFolder("  "));
    CHECK_FALSE(NamesFolder(" . "));
    CHECK_FALSE(NamesFolder("\\"));
    CHECK_FALSE(NamesFolder(". \\ ./"));
}

TEST_CASE("the start-menu group lies below the programs folder or is not there at all") {
    WorkPath group;
    CHECK(ProgramGroupFolder("C:\\ProgramData\\Programs", "Kartei", &group));
    CHECK(std::string(group.CStr()) == "C:\\ProgramData\\Programs\\Kartei");
    CHECK_FALSE(ProgramGroupFolder("", "Kartei", &group));
    CHECK(group.Length() == 0);
    CHECK_FALSE(ProgramGroupFolder("C:\\ProgramData\\Programs", "", &group));
    CHECK_FALSE(ProgramGroupFolder("C:\\ProgramData\\Programs", "   ", &group));
    CHECK_FALSE(ProgramGroupFolder("C:\\ProgramData\\Programs", " Kartei", &group));
    CHECK_FALSE(ProgramGroupFolder("C:\\ProgramData\\Programs", "\x01Kartei", &group));
    CHECK_FALSE(ProgramGroupFolder(std::string(255, 'p').c_str(), "Kartei", &group));
}

TEST_CASE("the desktop shortcut lies in the desktop folder or is not looked for") {
    WorkPath link;
    CHECK(DesktopShortcutPath("C:\\users\\Public\\Desktop", "Kartei", &link));
    CHECK(std::string(link.CStr()) == "C:\\users\\Public\\Desktop\\Kartei.lnk");
    CHECK_FALSE(DesktopShortcutPath("", "Kartei", &link));
    CHECK(link.Length() == 0);
    CHECK_FALSE(DesktopShortcutPath(std::string(252, 'd').c_str(), "Kartei", &link));
}

TEST_CASE("an entry's shortcuts point at its folder joined with the whole listed value") {
    CHECK(std::string(ShortcutTargetFor("C:\\Program Files\\Kartei", "Kartei.exe").CStr()) ==
          "C:\\Program Files\\Kartei\\Kartei.exe");
    CHECK(std::string(ShortcutTargetFor("C:\\WINDOWS\\", "Hilfe.hlp").CStr()) == "C:\\WINDOWS\\Hilfe.hlp");
    CHECK(std::string(ShortcutTargetFor("C:\\Program Files\\Kartei", "Bin\\Tool.exe").CStr()) ==
          "C:\\Program Files\\Kartei\\Bin\\Tool.exe");
    CHECK_FALSE(ShortcutTargetFor(std::string(250, 'p').c_str(), "Kartei.exe").Fits());
}
