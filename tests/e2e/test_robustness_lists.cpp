// Robustness against bad lists: the real Setup.exe, started silently (/S) on lists that are
// empty, garbled, oversized, in other encodings, or whose values lead nowhere or out of their
// folders. Each row says what the program must do and what the case checks; every case also
// checks that the program ends (no crash: the exit code; no hang: a time limit), that it shows
// exactly the boxes the row names, and that no file outside the installation changed (a snapshot
// of the Windows, Fonts, program-files, start-menu and desktop folders and planted sentinels).
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "footprint.h"
#include "robustness.h"
#include "sentinel.h"

using namespace e2e;
using namespace robustness;

namespace {

const char kApp[] = "Qv Robust";
const char kFolder[] = "QvRobust";
const char kSyntaxCaption[] = "Quorvane - SETUP.LST nicht gefunden";
const char kAbortCaption[] = "Installation abgebrochen";
const char kRefusedText[] = "Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r";
const char kErrorCaption[] = "Fehler";
const char kProgramFiles[] = "Setup.lst|Uninst.exe";  // what every installation puts in the program folder

// A box the run must show, in this order: its caption and a part of its text. Texts may name
// {package}, {target}, {windows}, {fonts} and {desktop}.
struct Expect {
    const char* caption;
    const char* text;
};

struct Scenario;

struct BadList {
    const char* name;
    const char* checks;            // what the case checks beyond ending, boxes and the snapshot
    std::string (*list)();         // the bytes of Setup.lst
    const char* files;             // files of the package, '|'-separated; each holds its name as bytes
    Expect boxes[3];               // the boxes, in order; the rest empty
    DWORD exitCode;
    const char* installed;         // the program folder's files when it must exist, else nullptr
    const char* outside;           // files the installation must place outside it, '|'-separated
    void (*extra)(const Scenario&);
    const char* appName;           // the name the program reads from the list
};

struct Scenario {
    const BadList& row;
    Package& package;
    std::string target;
    std::string group;
    Ending ending;
};

std::string General(const std::string& more = "") {
    return "[General]\r\nAppName=Qv Robust\r\nFolder=QvRobust\r\n" + more;
}

std::string WithFiles(const std::string& sections) { return General() + sections; }

std::vector<std::string> Split(const char* text) {
    std::vector<std::string> parts;
    if (text == nullptr || *text == 0) return parts;
    std::string all = text;
    size_t start = 0;
    for (;;) {
        size_t bar = all.find('|', start);
        parts.push_back(all.substr(start, bar - start));
        if (bar == std::string::npos) return parts;
        start = bar + 1;
    }
}

std::string Expand(std::string text, const Scenario& s) {
    const std::pair<const char*, std::string> names[] = {
        {"{package}", s.package.Folder()}, {"{target}", s.target},   {"{windows}", WindowsDir()},
        {"{fonts}", FontsDir()},           {"{desktop}", DesktopDir(true)},
    };
    for (const auto& [name, value] : names)
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, std::strlen(name), value);
    return text;
}

std::string Utf16WithBom(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        // the one non-ASCII character used: A with diaeresis, U+00C4
        unsigned code = static_cast<unsigned char>(c);
        bytes += static_cast<char>(code & 0xFF);
        bytes += static_cast<char>(code >> 8);
    }
    return bytes;
}

std::string LongValue(char c) { return std::string(5000, c); }

// Every key of [General] and keys 1 to 3 of every indexed section, each 5,000 characters long.
std::string LongValuesEverywhere(bool shortNames) {
    const char* generalKeys[] = {"AppName", "Version", "Copyright", "Folder", "AllUsers", "RunOnce",
                                 "RegFile", "CopyOnly", "Intro1",    "Intro2", "Intro3"};
    std::string list = "[General]\r\n";
    for (const char* key : generalKeys) {
        std::string name = key;
        bool named = name == "AppName" || name == "Folder";
        bool dialog = name.rfind("Intro", 0) == 0;  // an intro text would show its dialog even in /S
        if (shortNames && (named || name == "RunOnce" || name == "RegFile" || dialog)) continue;
        list += name + "=" + LongValue('x') + "\r\n";
    }
    if (shortNames) list += "AppName=Qv Robust\r\nFolder=QvRobust\r\n";
    const std::pair<const char*, char> sections[] = {{"Files", 'f'},    {"Links", 'l'},    {"DesktopLinks", 'd'},
                                                     {"Extensions", 'e'}, {"AltFolder", 'a'}, {"WildCopy", 'w'},
                                                     {"WildSubFolder", 's'}};
    for (const auto& [section, c] : sections) {
        list += std::string("[") + section + "]\r\n";
        for (int key = 1; key <= 3; ++key) list += std::to_string(key) + "=" + LongValue(c) + "\r\n";
    }
    return list;
}

const std::string kLongFile(79, 'f');           // [Files] values are cut to 79 characters
const std::string kLongLink(79, 'l');
const std::string kLongDesktop(79, 'd');
const std::string kLongExtension(39, 'e');      // [Extensions] to 39
const std::string kLongInstalled = "F" + std::string(78, 'f');
const std::string kLongInstalledFiles = kLongInstalled + "|Setup.lst|Uninst.exe";
const std::string kLongDesktopLink = "{desktop}\\" + kLongDesktop + ".lnk";
const std::string kLongIntroCaption = std::string(79, 'x') + "  (Installation)";
const std::string kLongAppNameRefused = "[General]\rAppName=" + std::string(79, 'x') + "\r";

std::string TenThousandLines() {
    std::string list = General() + "[Files]\r\n1=a.txt\r\n";
    for (int i = 0; i < 9990; ++i) {
        if (i % 10 == 0) list += "; Kommentarzeile " + std::to_string(i) + "\r\n";
        else list += "Schluessel" + std::to_string(i) + "=Wert " + std::to_string(i) + "\r\n";
        if (i == 5000) list += "[Unbekannt]\r\n";
    }
    return list + "[Links]\r\n1=Robust Link\r\n";
}

void CheckUninstallName(const Scenario& s) {
    CHECK(RegistryText(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + s.row.appName, "DisplayName") ==
          s.row.appName);
}

void CheckLinkMade(const Scenario& s) {
    Shortcut link = ReadShortcut(s.group + "\\Robust Link.lnk");
    CHECK(link.exists);
    CHECK(link.target == s.target + "\\a.txt");
}

void CheckLongNamesInstalled(const Scenario& s) {
    CHECK(ReadShortcut(s.group + "\\" + kLongLink + ".lnk").exists);
    CHECK(ReadShortcut(DesktopDir(true) + "\\" + kLongDesktop + ".lnk").exists);
    CHECK(RegistryText(HKEY_CLASSES_ROOT, "." + kLongExtension + "\\shell\\open\\command", nullptr) ==
          "\"" + s.target + "\\" + kLongFile + "\" \"%1\"");
    // the wildcard group matched nothing, so its sub-folder was not made
    CHECK_FALSE(PathExists(s.target + "\\S" + std::string(38, 's')));
}

void CheckNoLinkForBadName(const Scenario& s) {
    CHECK(ReadShortcut(s.group + "\\Gut.lnk").exists);
    CHECK(FilesIn(s.group) == std::vector<std::string>{"Gut.lnk"});
}

void CheckNoShortcutToMissingTarget(const Scenario& s) {
    CHECK_FALSE(PathExists(s.group + "\\Robust Doc.lnk"));
}

void CheckNoFileTypes(const Scenario& s) {
    (void)s;
    CHECK_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "Applications\\A.txt"));
    CHECK_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ".\\shell\\open\\command"));
}

const BadList kBadLists[] = {
    {"an empty file", "no AppName: the syntax help, nothing installed",
     [] { return std::string(); }, "a.txt", {{kSyntaxCaption, "Quorvane"}}, 0, nullptr, "", nullptr, kApp},
    {"only a General line", "no AppName: the syntax help, nothing installed",
     [] { return std::string("[General]\r\n"); }, "a.txt", {{kSyntaxCaption, "Quorvane"}}, 0, nullptr, "", nullptr,
     kApp},
    {"binary garbage", "4 KB of random bytes (NUL and 0xFF among them): the syntax help, nothing installed",
     [] { return PseudoRandomBytes(4096, 20261206); }, "a.txt", {{kSyntaxCaption, "Quorvane"}}, 0, nullptr, "",
     nullptr, kApp},
    {"stray brackets and lines without equals signs",
     "a list of broken section and key lines: the syntax help, nothing installed",
     [] { return std::string("[General\r\nAppName\r\n=Qv Robust\r\n]]][[[\r\n[]\r\n==\r\n[Files]1=a.txt\r\n"); },
     "a.txt", {{kSyntaxCaption, "Quorvane"}}, 0, nullptr, "", nullptr, kApp},
    {"a UTF-16 file with BOM", "the platform reader decodes it: installed under the decoded name (A umlaut in cp1252)",
     [] { return Utf16WithBom("[General]\r\nAppName=Qv Robust \xC4\r\nFolder=QvRobust\r\n[Files]\r\n1=a.txt\r\n"); },
     "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "", CheckUninstallName, "Qv Robust \xC4"},
    {"UTF-8 with BOM", "the BOM is skipped and the UTF-8 name arrives in cp1252 (ue, sharp s)",
     [] { return std::string("\xEF\xBB\xBF") + "[General]\r\nAppName=Qv Robust Gr\xC3\xBC\xC3\x9F" "e\r\n"
                  "Folder=QvRobust\r\n[Files]\r\n1=a.txt\r\n"; },
     "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "", CheckUninstallName, "Qv Robust Gr\xFC\xDF" "e"},
    {"10,000 lines", "unknown keys, sections and comments around the entries: installs the file and its shortcut",
     TenThousandLines, "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "", CheckLinkMade, kApp},
    {"values of 5,000 characters in every key",
     "values are cut to 79 characters (intro lines to 127); after the intro the start-menu group does not fit and "
     "the list is refused",
     [] { return LongValuesEverywhere(false); }, "a.txt",
     {{kLongIntroCaption.c_str(), "xxxxxxxxxx"}, {kAbortCaption, kLongAppNameRefused.c_str()}},
     1, nullptr, "", nullptr, kApp},
    {"values of 5,000 characters in every entry key",
     "file, shortcut, desktop shortcut and file type under their cut names (79 and 39 characters)",
     [] { return LongValuesEverywhere(true); }, kLongFile.c_str(), {}, 0,
     kLongInstalledFiles.c_str(), kLongDesktopLink.c_str(),
     CheckLongNamesInstalled, kApp},
    {"control bytes and 0xFF bytes in values",
     "a file value starting with a control byte counts as empty; 0xFF is a letter of cp1252 and is installed",
     [] { return General("Version=V\x01\x02\xFF\r\nCopyright=\x7F\xFF\x1B[0m\r\n") +
                 "[Files]\r\n1=\x01" "a.txt\r\n2=b\xFF.txt\r\n"; },
     "a.txt|b\xFF.txt", {}, 0, "B\xFF.txt|Setup.lst|Uninst.exe", "", nullptr, kApp},
    {"control bytes in a shortcut name", "the shortcut that cannot be named is not made; the others are",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n2=b.txt\r\n[Links]\r\n1=Ver\x07knuepfung\r\n2=Gut\r\n"); },
     "a.txt|b.txt", {}, 0, "A.txt|B.txt|Setup.lst|Uninst.exe", "", CheckNoLinkForBadName, kApp},
    {"key 0 in Files", "key 0 is never read (entry 0 is the program itself): no question for its missing file",
     [] { return WithFiles("[Files]\r\n0=Fehlt0.txt\r\n1=a.txt\r\n"); }, "a.txt", {}, 0,
     "A.txt|Setup.lst|Uninst.exe", "", nullptr, kApp},
    {"key 129 in Files", "keys beyond 128 are never read", [] { return WithFiles("[Files]\r\n1=a.txt\r\n129=Fehlt.txt\r\n"); },
     "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "", nullptr, kApp},
    {"key -1 in Files", "a signed key is not an index", [] { return WithFiles("[Files]\r\n1=a.txt\r\n-1=Fehlt.txt\r\n"); },
     "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "", nullptr, kApp},
    {"key 01 in Files", "a key with a leading zero is not index 1",
     [] { return WithFiles("[Files]\r\n01=Fehlt.txt\r\n1=a.txt\r\n"); }, "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe",
     "", nullptr, kApp},
    {"key with a leading blank in Files", "the platform reader trims key names: \" 1\" is key 1",
     [] { return WithFiles("[Files]\r\n 1=b.txt\r\n"); }, "b.txt", {}, 0, "B.txt|Setup.lst|Uninst.exe", "", nullptr,
     kApp},
    {"duplicate sections", "the platform reader takes the first of two sections of a name",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[Links]\r\n1=Robust Link\r\n[Files]\r\n1=b.txt\r\n2=b.txt\r\n"); },
     "a.txt|b.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "", CheckLinkMade, kApp},
    {"duplicate keys", "the platform reader takes the first of two keys of a name",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n1=b.txt\r\n"); }, "a.txt|b.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe",
     "", nullptr, kApp},
    {"Files with wildcards", "the copy falls back to the pattern and copies every match under its own name",
     [] { return WithFiles("[Files]\r\n1=*.txt\r\n"); }, "a.txt|b.txt|c.dat", {}, 0,
     "Setup.lst|Uninst.exe|a.txt|b.txt", "", nullptr, kApp},
    {"Files with a folder part", "installed under its name part; the shortcut to the whole value is not made",
     [] { return WithFiles("[Files]\r\n1=Sub\\Doc.txt\r\n[Links]\r\n1=Robust Doc\r\n"); }, "Sub\\Doc.txt", {}, 0,
     "Doc.txt|Setup.lst|Uninst.exe", "", CheckNoShortcutToMissingTarget, kApp},
    {"Files naming a folder", "a folder is not a file: the retry question, then both abort messages, exit code 1",
     [] { return WithFiles("[Files]\r\n1=Sub\r\n"); }, "Sub\\Doc.txt",
     {{kErrorCaption, "{package}\\Sub nicht gefunden."},
      {kErrorCaption, "Sub nicht gefunden.\rSetup abgebrochen."},
      {kAbortCaption, "Installationsdateien nicht gefunden."}},
     1, kProgramFiles, "", nullptr, kApp},
    {"AltFolder with an unknown letter", "an unknown first letter means the program folder",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[AltFolder]\r\n1=qz\\x\r\n"); }, "a.txt", {}, 0,
     "A.txt|Setup.lst|Uninst.exe", "", nullptr, kApp},
    {"AltFolder W alone", "W without a backslash means the program folder",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[AltFolder]\r\n1=W\r\n"); }, "a.txt", {}, 0,
     "A.txt|Setup.lst|Uninst.exe", "", nullptr, kApp},
    {"AltFolder W and a backslash", "the file goes into the Windows folder itself and nothing else there changes",
     [] { return WithFiles("[Files]\r\n1=qvrobustw.txt\r\n[AltFolder]\r\n1=W\\\r\n"); }, "qvrobustw.txt", {}, 0,
     kProgramFiles, "{windows}\\Qvrobustw.txt", nullptr, kApp},
    {"AltFolder leading out of the program folder", "\\.. is refused before anything is written",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[AltFolder]\r\n1=\\..\r\n"); }, "a.txt",
     {{kAbortCaption, "[AltFolder]\r1=\\..\r"}}, 1, nullptr, "", nullptr, kApp},
    {"AltFolder F with a sub-path", "F means the Fonts folder itself whatever follows; nothing else there changes",
     [] { return WithFiles("[Files]\r\n1=qvrobustf.txt\r\n[AltFolder]\r\n1=F\\x\\y\r\n"); }, "qvrobustf.txt", {}, 0,
     kProgramFiles, "{fonts}\\Qvrobustf.txt", nullptr, kApp},
    {"Folder with angle brackets", "a character Windows forbids in names: refused before anything is written",
     [] { return std::string("[General]\r\nAppName=Qv Robust\r\nFolder=Qv<Robust>\r\n[Files]\r\n1=a.txt\r\n"); },
     "a.txt", {{kAbortCaption, "[General]\rFolder=Qv<Robust>\r"}}, 1, nullptr, "", nullptr, kApp},
    {"Folder with a wildcard", "a wildcard in the program folder could match other folders: refused",
     [] { return std::string("[General]\r\nAppName=Qv Robust\r\nFolder=Common*\r\n[Files]\r\n1=a.txt\r\n"); }, "a.txt",
     {{kAbortCaption, "[General]\rFolder=Common*\r"}}, 1, nullptr, "", nullptr, kApp},
    {"Folder with a question mark", "a wildcard character: refused",
     [] { return std::string("[General]\r\nAppName=Qv Robust\r\nFolder=Qv?Robust\r\n[Files]\r\n1=a.txt\r\n"); },
     "a.txt", {{kAbortCaption, "[General]\rFolder=Qv?Robust\r"}}, 1, nullptr, "", nullptr, kApp},
    {"Folder with a bar and a quote", "characters Windows forbids: refused",
     [] { return std::string("[General]\r\nAppName=Qv Robust\r\nFolder=Qv|\"Robust\r\n[Files]\r\n1=a.txt\r\n"); },
     "a.txt", {{kAbortCaption, "[General]\rFolder=Qv|\"Robust\r"}}, 1, nullptr, "", nullptr, kApp},
    {"Folder with a control byte", "a control character inside the name: refused",
     [] { return std::string("[General]\r\nAppName=Qv Robust\r\nFolder=Qv\x09Robust\r\n[Files]\r\n1=a.txt\r\n"); },
     "a.txt", {{kAbortCaption, "[General]\rFolder=Qv\x09Robust\r"}}, 1, nullptr, "", nullptr, kApp},
    {"Folder with a stream colon", "a colon names a drive or a stream: refused",
     [] { return std::string("[General]\r\nAppName=Qv Robust\r\nFolder=QvRobust:daten\r\n[Files]\r\n1=a.txt\r\n"); },
     "a.txt", {{kAbortCaption, "[General]\rFolder=QvRobust:daten\r"}}, 1, nullptr, "", nullptr, kApp},
    {"AppName with a wildcard", "the start-menu group is named by AppName: refused",
     [] { return std::string("[General]\r\nAppName=Qv*\r\nFolder=QvRobust\r\n[Files]\r\n1=a.txt\r\n"); }, "a.txt",
     {{kAbortCaption, "[General]\rAppName=Qv*\r"}}, 1, nullptr, "", nullptr, kApp},
    {"AppName ..", "leads to the parent of the programs folder: refused",
     [] { return std::string("[General]\r\nAppName=..\r\nFolder=QvRobust\r\n[Files]\r\n1=a.txt\r\n"); }, "a.txt",
     {{kAbortCaption, "[General]\rAppName=..\r"}}, 1, nullptr, "", nullptr, kApp},
    {"AppName .", "names the programs folder itself: refused",
     [] { return std::string("[General]\r\nAppName=.\r\nFolder=QvRobust\r\n[Files]\r\n1=a.txt\r\n"); }, "a.txt",
     {{kAbortCaption, "[General]\rAppName=.\r"}}, 1, nullptr, "", nullptr, kApp},
    {"AppName a then two parents", "a\\..\\.. leads out: refused (and as the default Folder)",
     [] { return std::string("[General]\r\nAppName=a\\..\\..\r\n[Files]\r\n1=a.txt\r\n"); }, "a.txt",
     {{kAbortCaption, "[General]\rAppName=a\\..\\..\r"}}, 1, nullptr, "", nullptr, kApp},
    {"AppName with a drive", "C:\\x names another drive's folder: refused",
     [] { return std::string("[General]\r\nAppName=C:\\x\r\nFolder=QvRobust\r\n[Files]\r\n1=a.txt\r\n"); }, "a.txt",
     {{kAbortCaption, "[General]\rAppName=C:\\x\r"}}, 1, nullptr, "", nullptr, kApp},
    {"WildSubFolder two parents up", "..\\.. would copy above the program folder: refused",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[WildCopy]\r\n1=*.dat\r\n[WildSubFolder]\r\n1=..\\..\r\n"); },
     "a.txt|c.dat", {{kAbortCaption, "[WildSubFolder]\r1=..\\..\r"}}, 1, nullptr, "", nullptr, kApp},
    {"WildSubFolder with a wildcard", "a wildcard in a folder that the uninstall empties: refused",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[WildCopy]\r\n1=*.dat\r\n[WildSubFolder]\r\n1=Da*\r\n"); },
     "a.txt|c.dat", {{kAbortCaption, "[WildSubFolder]\r1=Da*\r"}}, 1, nullptr, "", nullptr, kApp},
    {"Extensions of only commas", "no extension is registered, no empty key is made",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[Extensions]\r\n1=,,,,\r\n"); }, "a.txt", {}, 0,
     "A.txt|Setup.lst|Uninst.exe", "", CheckNoFileTypes, kApp},
    {"Extensions of 39 commas", "the longest value of commas registers nothing either",
     [] { return WithFiles("[Files]\r\n1=a.txt\r\n[Extensions]\r\n1=" + std::string(39, ',') + "\r\n"); }, "a.txt", {},
     0, "A.txt|Setup.lst|Uninst.exe", "", CheckNoFileTypes, kApp},
    {"RunOnce naming a missing file", "installed; then the start error names the program path",
     [] { return General("RunOnce=Fehlt.exe\r\n") + "[Files]\r\n1=a.txt\r\n"; }, "a.txt",
     {{kErrorCaption, "Fehler beim Ausf\xFChren von \xAB{target}\\Fehlt.exe\xBB"}}, 0, "A.txt|Setup.lst|Uninst.exe", "",
     nullptr, kApp},
    {"RegFile naming a missing file", "installed; then the import error names the registry file's path",
     [] { return General("RegFile=Fehlt.reg\r\n") + "[Files]\r\n1=a.txt\r\n"; }, "a.txt",
     {{kErrorCaption, "Fehler beim Registrieren von \xAB{target}\\Fehlt.reg\xBB"}}, 0, "A.txt|Setup.lst|Uninst.exe",
     "", nullptr, kApp},
    {"every section present but all empty", "no AppName: the syntax help, nothing installed",
     [] { return std::string("[General]\r\n[Files]\r\n[Links]\r\n[DesktopLinks]\r\n[Extensions]\r\n[WildCopy]\r\n"
                             "[AltFolder]\r\n[WildSubFolder]\r\n"); },
     "a.txt", {{kSyntaxCaption, "Quorvane"}}, 0, nullptr, "", nullptr, kApp},
    {"every key present but empty", "only the program itself is installed, as the uninstaller",
     [] {
         std::string list = General();
         for (const char* section : {"Files", "Links", "DesktopLinks", "Extensions", "WildCopy", "AltFolder",
                                     "WildSubFolder"})
             list += std::string("[") + section + "]\r\n1=\r\n2=\"\"\r\n3= \r\n";
         return list;
     },
     "a.txt", {}, 0, kProgramFiles, "", nullptr, kApp},
    {"Files value in quotation marks", "the platform reader removes enclosing quotes",
     [] { return WithFiles("[Files]\r\n1=\"a.txt\"\r\n"); }, "a.txt", {}, 0, "A.txt|Setup.lst|Uninst.exe", "",
     nullptr, kApp},
};

// The intro dialog appears even in a silent installation; it is accepted so that the run goes on.
int AcceptIntro(const Box& box) {
    const std::string tail = "  (Installation)";
    bool intro = box.caption.size() > tail.size() && box.caption.compare(box.caption.size() - tail.size(), tail.size(), tail) == 0;
    return intro ? IDOK : 0;
}

void Clean(const BadList& row) {
    RemoveInstallation(row.appName, kFolder, {kLongDesktop}, {kLongExtension}, {kLongInstalled});
    RemoveInstallation(kApp, kFolder);
    RemoveTree(ProgramFilesDir() + "\\Common*");  // never there: a name Windows refuses
    DeleteFileA((WindowsDir() + "\\Qvrobustw.txt").c_str());
    DeleteFileA((FontsDir() + "\\Qvrobustf.txt").c_str());
}

void RunCase(const BadList& row) {
    INFO("checks: " << std::string(row.checks));
    Clean(row);
    int index = static_cast<int>(&row - kBadLists);
    Package package("robust-list-" + std::to_string(index));
    package.List(row.list());
    for (const std::string& file : Split(row.files)) package.File(file, file);

    Scenario s{row, package, ProgramFilesDir() + "\\" + kFolder, ProgramsDir(true) + "\\" + row.appName, {}};
    PlantSentinels();
    Sentinels before = Sentinels::Take();
    Run run = package.Start("/S");
    s.ending = RunToEnd(run, 60000, AcceptIntro);

    INFO("boxes: " << Describe(s.ending.boxes));
    CHECK_FALSE(s.ending.hung);
    CHECK(s.ending.exitCode == row.exitCode);
    size_t expected = 0;
    while (expected < 3 && row.boxes[expected].caption != nullptr) ++expected;
    REQUIRE(s.ending.boxes.size() == expected);
    for (size_t i = 0; i < expected; ++i) {
        CHECK(s.ending.boxes[i].caption == row.boxes[i].caption);
        std::string part = Expand(row.boxes[i].text, s);
        CAPTURE(part);
        CHECK(s.ending.boxes[i].text.find(part) != std::string::npos);
        if (std::string(row.boxes[i].caption) == kAbortCaption && row.installed == nullptr) {
            CHECK(s.ending.boxes[i].text.find(kRefusedText) == 0);
            CHECK(s.ending.boxes[i].text.find("Es wurde nichts installiert.") != std::string::npos);
        }
    }

    std::vector<std::string> allowed;
    if (row.installed != nullptr) {
        allowed = {s.target, s.group, ProgramsDir(false) + "\\" + row.appName};
        std::string names = row.installed;
        std::vector<std::string> files = Split(names.c_str());
        CHECK(FilesIn(s.target) == files);
        CHECK(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + row.appName));
    } else {
        CHECK_FALSE(PathExists(s.target));
        CHECK_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyBase) + row.appName));
    }
    for (const std::string& file : Split(row.outside)) {
        std::string path = Expand(file, s);
        CHECK(PathExists(path));
        allowed.push_back(path);
    }
    CHECK(Sentinels::Take().ChangesText(before, allowed) == "");
    CHECK(SentinelsIntact());
    if (row.extra != nullptr) row.extra(s);
    Clean(row);
}

}  // namespace

static_assert(sizeof(kBadLists) / sizeof(kBadLists[0]) == kBadListCases, "the summary states the number of cases");
static const int kListsRegistered = RegisterTable<kBadLists>(kListPrefix, __FILE__);
