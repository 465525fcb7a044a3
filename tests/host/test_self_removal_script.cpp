// The self-removal script's text, byte for byte, its answer letter and the interpreter command.
#include <doctest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/self_removal_script.h"

namespace {

// The [AltFolder] values a test hands to the composer, one per list entry.
const char* g_altFolders[kListEntryCount] = {};

const char* TestAltFolder(int index) {
    return g_altFolders[index] != nullptr ? g_altFolders[index] : "";
}

void ClearAltFolders() {
    for (const char*& value : g_altFolders) value = nullptr;
}

// The script is large; one instance serves every test.
SelfRemovalScriptText& Script() {
    static SelfRemovalScriptText script;
    return script;
}

SelfRemovalScriptInput KarteiInput() {
    SelfRemovalScriptInput input;
    input.IsNT = true;
    input.RemoveProgramFolder = true;
    input.PurgeProgramFolder = true;
    input.AnswerLetter = 'J';
    input.AppName = "Kartei";
    input.ProgramFolder = "C:\\Programme\\Kartei";
    input.ScriptPath = "C:\\WINDOWS\\VarnekUninstall.bat";
    input.AltFolder = TestAltFolder;
    return input;
}

// Splits at CR LF; a stray CR or LF stays inside its line, so the comparisons catch it.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> ComposeLines(const SelfRemovalScriptInput& input) {
    REQUIRE(ComposeSelfRemovalScript(input, Script()));
    std::string text(Script().CStr(), Script().Length());
    REQUIRE(text.size() >= 2);
    CHECK(text.substr(text.size() - 2) == "\r\n");
    return Lines(text);
}

// Lines that contain the text.
std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::string& part) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) found.push_back(line);
    return found;
}

enum When { Always, OnlyNT, NotNT, OnlyPurge, OnlyRemove };
struct ExpectedLine {
    When when;
    const char* text;
};

// The Kartei script: "Kartei" in C:\Programme\Kartei, \Data at entry 3, W\ShellNew at entry 4,
// German answer letter.
const ExpectedLine kKarteiScript[] = {
    {Always, "@ECHO \xC4\xCD DEINSTALLATION von \"Kartei\" \xCD\xC4"},
    {OnlyNT, "@rem pause"},
    {NotNT, "@choice /tJ,5"},
    {Always, "C:"},
    {Always, "CD \"C:\\Programme\\Kartei\""},
    {OnlyNT, "if not exist \"C:\\Programme\\Kartei\\.\" goto Fehler"},
    {NotNT, "if not exist \"C:\\Programme\\Kartei\\NUL\" goto Fehler"},
    {Always, "if not exist \"Uninst.exe\" goto Fehler"},
    {Always, "if not exist \"Setup.lst\" goto Fehler"},
    {Always, "ATTRIB -R -H -S \"Uninst.exe\""},
    {Always, "SET VarnekWarten="},
    {Always, ":Loeschen"},
    {Always, "DEL \"Uninst.exe\""},
    {Always, "if not exist \"Uninst.exe\" goto Weiter"},
    {Always, "if \"%VarnekWarten%\"==\"xxxxx\" goto Weiter"},
    {Always, "ping -n 2 127.0.0.1 >NUL"},
    {Always, "SET VarnekWarten=%VarnekWarten%x"},
    {Always, "GOTO Loeschen"},
    {Always, ":Weiter"},
    {Always, "DEL \"Setup.lst\""},
    {Always, "RD \"Data\""},
    {OnlyPurge, "ECHO J | DEL *.*"},
    {Always, "CD .."},
    {OnlyRemove, "RD \"C:\\Programme\\Kartei\""},
    {Always, "GOTO Fertig"},
    {Always, ":Fehler"},
    {Always, "@ECHO Deinstallation fehlgeschlagen!"},
    {OnlyNT, "@PAUSE"},
    {Always, ":Fertig"},
    {Always, "@ECHO Sie k\x94nnen jetzt dieses Fenster schlie\xE1" "en."},
    {Always, "@DEL \"C:\\WINDOWS\\VarnekUninstall.bat\""},
};

}  // namespace

TEST_CASE("every line of the script on both platforms, with and without purging and removing the folder") {
    ClearAltFolders();
    g_altFolders[3] = "\\Data";
    g_altFolders[4] = "W\\ShellNew";
    struct Variant { bool isNT; bool remove; bool purge; size_t lineCount; };
    const Variant variants[] = {
        {true, true, true, 29},
        {true, true, false, 28},
        {false, true, true, 28},
        {false, true, false, 27},
        // a folder the installation did not make: neither emptied nor removed, even when asked to
        {true, false, true, 27},
        {true, false, false, 27},
        {false, false, true, 26},
        {false, false, false, 26},
    };
    for (const Variant& variant : variants) {
        CAPTURE(variant.isNT);
        CAPTURE(variant.remove);
        CAPTURE(variant.purge);
        SelfRemovalScriptInput input = KarteiInput();
        input.IsNT = variant.isNT;
        input.RemoveProgramFolder = variant.remove;
        input.PurgeProgramFolder = variant.purge;
        std::vector<std::string> expected;
        for (const ExpectedLine& line : kKarteiScript) {
            if (line.when == OnlyNT && !variant.isNT) continue;
            if (line.when == NotNT && variant.isNT) continue;
            if (line.when == OnlyPurge && !(variant.purge && variant.remove)) continue;
            if (line.when == OnlyRemove && !variant.remove) continue;
            expected.push_back(line.text);
        }
        std::vector<std::string> lines = ComposeLines(input);
        CHECK(lines.size() == variant.lineCount);
        REQUIRE(lines.size() == expected.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            CAPTURE(i);
            CHECK(lines[i] == expected[i]);
        }
    }
}

TEST_CASE("every line ends with CR LF, the last one included, and no other line break occurs") {
    ClearAltFolders();
    g_altFolders[3] = "\\Data";
    REQUIRE(ComposeSelfRemovalScript(KarteiInput(), Script()));
    std::string text = Script().CStr();
    REQUIRE(text.size() > 2);
    CHECK(text.compare(text.size() - 2, 2, "\r\n") == 0);
    size_t breaks = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            CHECK(i + 1 < text.size());
            CHECK(text[i + 1] == '\n');
            ++breaks;
        }
        if (text[i] == '\n') CHECK((i > 0 && text[i - 1] == '\r'));
    }
    CHECK(breaks == Lines(text).size());
    CHECK(text.find(std::string(1, '\0')) == std::string::npos);
}

TEST_CASE("the answer letter follows the primary language, whatever the sublanguage") {
    struct Row { unsigned languageId; char letter; };
    const Row rows[] = {
        {7, 'J'},       {10, 'S'},      {12, 'O'},      {16, 'S'},      {22, 'S'},      {9, 'Y'},
        {0x0407, 'J'},  {0x0807, 'J'},  {0x0C07, 'J'},  {0x1007, 'J'},  {0x1407, 'J'},  {0xFC07, 'J'},
        {0x040A, 'S'},  {0x0C0A, 'S'},  {0x080A, 'S'},  {0x040C, 'O'},  {0x080C, 'O'},  {0x0C0C, 'O'},
        {0x0410, 'S'},  {0x0810, 'S'},  {0x0416, 'S'},  {0x0816, 'S'},  {0x0409, 'Y'},  {0x0809, 'Y'},
        {0x0413, 'Y'},  {0x0419, 'Y'},  {0x0000, 'Y'},  {0x0107, 'Y'},  {0x020C, 'Y'},  {0x03FF, 'Y'},
    };
    for (const Row& row : rows) {
        CAPTURE(row.languageId);
        CHECK(AnswerLetterForLanguage(row.languageId) == row.letter);
    }
}

TEST_CASE("the answer letter goes into the waiting command and the purge line") {
    ClearAltFolders();
    struct Row { unsigned languageId; const char* choice; const char* purge; };
    const Row rows[] = {
        {0x0407, "@choice /tJ,5", "ECHO J | DEL *.*"},
        {0x0409, "@choice /tY,5", "ECHO Y | DEL *.*"},
        {0x040C, "@choice /tO,5", "ECHO O | DEL *.*"},
        {0x0C0A, "@choice /tS,5", "ECHO S | DEL *.*"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.languageId);
        SelfRemovalScriptInput input = KarteiInput();
        input.IsNT = false;
        input.AnswerLetter = AnswerLetterForLanguage(row.languageId);
        std::vector<std::string> lines = ComposeLines(input);
        REQUIRE(lines.size() > 1);
        CHECK(lines[1] == row.choice);
        CHECK(LinesWith(lines, "| DEL *.*") == std::vector<std::string>{row.purge});
    }
}

TEST_CASE("[AltFolder] values: only those beginning with a backslash remove a sub-folder, in entry order") {
    struct Row { const char* value; const char* line; };
    const Row rows[] = {
        {"\\Data", "RD \"Data\""},
        {"W\\ShellNew", nullptr},
        {"\\Data\\Sub", "RD \"Data\\Sub\""},
        {"S\\Treiber", nullptr},
        {"F", nullptr},
        {"Data", nullptr},
        {"", nullptr},
        {"\\Daten 100%", "RD \"Daten 100%%\""},
        {"\\Kaputt\"Name", nullptr},  // no folder can be named so; the line would break
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.value));
        ClearAltFolders();
        g_altFolders[3] = row.value;
        std::vector<std::string> found = LinesWith(ComposeLines(KarteiInput()), "RD \"");
        // the program folder's own RD line is always there, last
        REQUIRE(!found.empty());
        CHECK(found.back() == "RD \"C:\\Programme\\Kartei\"");
        found.pop_back();
        if (row.line == nullptr) {
            CHECK(found.empty());
        } else {
            CHECK(found == std::vector<std::string>{row.line});
        }
    }

    ClearAltFolders();
    g_altFolders[128] = "\\Last";
    g_altFolders[0] = "\\First";
    g_altFolders[3] = "\\Data";
    g_altFolders[4] = "W\\ShellNew";
    g_altFolders[5] = "\\Data\\Sub";
    std::vector<std::string> lines = ComposeLines(KarteiInput());
    std::vector<std::string> expected = {"RD \"First\"", "RD \"Data\"", "RD \"Data\\Sub\"", "RD \"Last\"",
                                         "RD \"C:\\Programme\\Kartei\""};
    CHECK(LinesWith(lines, "RD \"") == expected);
    // they follow the deletion of the list and come before the purge
    auto at = [&](const std::string& line) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == line) return i;
        return lines.size();
    };
    CHECK(at("DEL \"Setup.lst\"") + 1 == at("RD \"First\""));
    CHECK(at("RD \"Last\"") + 1 == at("ECHO J | DEL *.*"));
}

TEST_CASE("no [AltFolder] source means no sub-folder lines") {
    SelfRemovalScriptInput input = KarteiInput();
    input.AltFolder = nullptr;
    CHECK(LinesWith(ComposeLines(input), "RD \"") == std::vector<std::string>{"RD \"C:\\Programme\\Kartei\""});
}

TEST_CASE("the folder is written in the OEM bytes it was given, the name keeps its ANSI bytes") {
    ClearAltFolders();
    g_altFolders[3] = "\\Sch\x84tze";  // converted by the caller as well
    SelfRemovalScriptInput input = KarteiInput();
    input.AppName = "M\xE4rchenbuch";
    input.ProgramFolder = "C:\\Programme\\M\x84rchenbuch";  // "ä" in code page 850/437
    std::vector<std::string> lines = ComposeLines(input);
    REQUIRE(lines.size() == 29);
    CHECK(lines[0] == "@ECHO \xC4\xCD DEINSTALLATION von \"M\xE4rchenbuch\" \xCD\xC4");
    CHECK(lines[3] == "CD \"C:\\Programme\\M\x84rchenbuch\"");
    CHECK(lines[4] == "if not exist \"C:\\Programme\\M\x84rchenbuch\\.\" goto Fehler");
    CHECK(lines[18] == "RD \"Sch\x84tze\"");
    CHECK(lines[21] == "RD \"C:\\Programme\\M\x84rchenbuch\"");
    CHECK(LinesWith(lines, "\xE4").size() == 1);
    CHECK(LinesWith(lines, "\x84").size() == 4);
}

TEST_CASE("a name cannot break the script: percent signs doubled, quotes left out of the title") {
    ClearAltFolders();
    struct Row { const char* appName; const char* shown; };
    const Row rows[] = {
        {"100% \"Sicher\"", "100%% Sicher"},
        {"%PATH%", "%%PATH%%"},
        {"\"", ""},
        {"A & B | C > D", "A & B | C > D"},
        {"", ""},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.appName));
        SelfRemovalScriptInput input = KarteiInput();
        input.AppName = row.appName;
        std::vector<std::string> lines = ComposeLines(input);
        CHECK(lines[0] == std::string("@ECHO \xC4\xCD DEINSTALLATION von \"") + row.shown + "\" \xCD\xC4");
    }

    SelfRemovalScriptInput input = KarteiInput();
    input.ProgramFolder = "D:\\Apps\\50%Rabatt";
    input.ScriptPath = "C:\\WIN%DIR%\\VarnekUninstall.bat";
    std::vector<std::string> lines = ComposeLines(input);
    CHECK(lines[2] == "D:");
    CHECK(lines[3] == "CD \"D:\\Apps\\50%%Rabatt\"");
    CHECK(lines[4] == "if not exist \"D:\\Apps\\50%%Rabatt\\.\" goto Fehler");
    CHECK(lines[20] == "RD \"D:\\Apps\\50%%Rabatt\"");
    CHECK(lines.back() == "@DEL \"C:\\WIN%%DIR%%\\VarnekUninstall.bat\"");
}

TEST_CASE("the drive line switches to the program folder's drive, and only for a drive path") {
    ClearAltFolders();
    struct Row { const char* folder; const char* driveLine; };
    const Row rows[] = {
        {"C:\\Programme\\Kartei", "C:"},
        {"d:\\Programme\\Kartei", "d:"},
        {"Z:\\", "Z:"},
        {"\\\\Server\\Freigabe\\Kartei", nullptr},
        {"Programme\\Kartei", nullptr},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.folder));
        SelfRemovalScriptInput input = KarteiInput();
        input.ProgramFolder = row.folder;
        std::vector<std::string> lines = ComposeLines(input);
        REQUIRE(lines.size() > 3);
        if (row.driveLine != nullptr) {
            CHECK(lines[2] == row.driveLine);
            CHECK(lines[3] == std::string("CD \"") + row.folder + "\"");
        } else {
            CHECK(lines[2] == std::string("CD \"") + row.folder + "\"");
        }
    }
}

TEST_CASE("a script that would work in the wrong folder or break is refused") {
    ClearAltFolders();
    SelfRemovalScriptInput input = KarteiInput();
    input.ProgramFolder = "";
    CHECK_FALSE(ComposeSelfRemovalScript(input, Script()));
    input.ProgramFolder = nullptr;
    CHECK_FALSE(ComposeSelfRemovalScript(input, Script()));
    input.ProgramFolder = "C:\\Pro\"gramme";
    CHECK_FALSE(ComposeSelfRemovalScript(input, Script()));
    input = KarteiInput();
    input.ScriptPath = "C:\\WIN\"DOWS\\VarnekUninstall.bat";
    CHECK_FALSE(ComposeSelfRemovalScript(input, Script()));
}

TEST_CASE("the worst case fits without a cut") {
    ClearAltFolders();
    std::string names[kListEntryCount];

    SUBCASE("129 sub-folders with names of the list's 79 characters, the longest name and folder") {
        for (int i = 0; i < kListEntryCount; ++i) {
            names[i] = "\\" + std::string(78, static_cast<char>('A' + i % 26));
            g_altFolders[i] = names[i].c_str();
        }
        std::string appName(kScriptAppNameMax, 'N');
        std::string folder = "C:\\" + std::string(kScriptFolderMax - 3, 'F');
        std::string scriptPath = "C:\\" + std::string(kScriptFolderMax - 3 - 20, 'W') + "\\VarnekUninstall.bat";
        REQUIRE(scriptPath.size() == kScriptFolderMax);
        SelfRemovalScriptInput input = KarteiInput();
        input.AppName = appName.c_str();
        input.ProgramFolder = folder.c_str();
        input.ScriptPath = scriptPath.c_str();
        std::vector<std::string> lines = ComposeLines(input);
        CHECK(lines.size() == 28 + kListEntryCount);
        CHECK(LinesWith(lines, "RD \"").size() == kListEntryCount + 1);
        CHECK(lines[18] == "RD \"" + names[0].substr(1) + "\"");
        CHECK(lines[18 + kListEntryCount - 1] == "RD \"" + names[128].substr(1) + "\"");
        CHECK(lines.back() == "@DEL \"" + scriptPath + "\"");
        CHECK(lines[0] == "@ECHO \xC4\xCD DEINSTALLATION von \"" + appName + "\" \xCD\xC4");
    }

    SUBCASE("every value at the width of its field and made only of percent signs") {
        for (int i = 0; i < kListEntryCount; ++i) {
            names[i] = "\\" + std::string(kScriptAltFolderMax - 1, '%');
            g_altFolders[i] = names[i].c_str();
        }
        std::string appName(kScriptAppNameMax, '%');
        std::string folder = "C:" + std::string(kScriptFolderMax - 2, '%');
        std::string scriptPath(kScriptFolderMax, '%');
        SelfRemovalScriptInput input = KarteiInput();
        input.IsNT = false;  // the longer variant of the folder test
        input.AppName = appName.c_str();
        input.ProgramFolder = folder.c_str();
        input.ScriptPath = scriptPath.c_str();
        std::vector<std::string> lines = ComposeLines(input);
        CHECK(lines.size() == 27 + kListEntryCount);
        CHECK(lines.back() == "@DEL \"" + std::string(2 * kScriptFolderMax, '%') + "\"");
        CHECK(Script().Length() < kSelfRemovalScriptWidth);
    }
}

TEST_CASE("values longer than the script is sized for are reported, not cut") {
    ClearAltFolders();
    std::string tooLong = "\\" + std::string(600, '%');
    for (int i = 0; i < kListEntryCount; ++i) g_altFolders[i] = tooLong.c_str();
    CHECK_FALSE(ComposeSelfRemovalScript(KarteiInput(), Script()));
    CHECK_FALSE(Script().Fits());
    ClearAltFolders();
    CHECK(ComposeSelfRemovalScript(KarteiInput(), Script()));
    CHECK(Script().Fits());
}

TEST_CASE("the interpreter command: COMSPEC, or cmd.exe in the System folder - quoted when it has blanks") {
    struct Row { const char* comSpec; const char* systemDir; const char* scriptName; const char* command; };
    const Row rows[] = {
        {"C:\\WINDOWS\\system32\\cmd.exe", "C:\\WINDOWS\\system32", "VarnekUninstall.bat",
         "C:\\WINDOWS\\system32\\cmd.exe /D /V:OFF /c VarnekUninstall.bat"},
        {"C:\\WINDOWS\\COMMAND.COM", "C:\\WINDOWS\\SYSTEM", "VarnekUninstall.bat",
         "C:\\WINDOWS\\COMMAND.COM /D /V:OFF /c VarnekUninstall.bat"},
        {"", "C:\\WINDOWS\\system32", "VarnekUninstall.bat",
         "C:\\WINDOWS\\system32\\cmd.exe /D /V:OFF /c VarnekUninstall.bat"},
        {nullptr, "C:\\WINDOWS\\system32\\", "VarnekUninstall.bat",
         "C:\\WINDOWS\\system32\\cmd.exe /D /V:OFF /c VarnekUninstall.bat"},
        {"C:\\Program Files\\Shell\\cmd.exe", "C:\\WINDOWS\\system32", "VarnekUninstall.bat",
         "\"C:\\Program Files\\Shell\\cmd.exe\" /D /V:OFF /c VarnekUninstall.bat"},
        {"", "C:\\Win Dir\\system32", "VarnekUninstall.bat",
         "\"C:\\Win Dir\\system32\\cmd.exe\" /D /V:OFF /c VarnekUninstall.bat"},
        {"\"C:\\Program Files\\Shell\\cmd.exe\"", "C:\\WINDOWS\\system32", "VarnekUninstall.bat",
         "\"C:\\Program Files\\Shell\\cmd.exe\" /D /V:OFF /c VarnekUninstall.bat"},
        {"C:\\WINDOWS\\system32\\cmd.exe", "C:\\WINDOWS\\system32", "VarnekUninstall2.bat",
         "C:\\WINDOWS\\system32\\cmd.exe /D /V:OFF /c VarnekUninstall2.bat"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.comSpec != nullptr ? row.comSpec : "<null>"));
        ScratchBuffer command;
        CHECK(ComposeScriptCommand(row.comSpec, row.systemDir, row.scriptName, command));
        CHECK(std::string(command.CStr()) == row.command);
    }

    ScratchBuffer command;
    std::string longest(kScratchWidth - 1 - std::strlen(" /D /V:OFF /c VarnekUninstall.bat"), 'x');
    CHECK(ComposeScriptCommand(longest.c_str(), "C:\\WINDOWS\\system32", kSelfRemovalScriptName, command));
    CHECK(command.Length() == kScratchWidth - 1);
    longest += "x";
    CHECK_FALSE(ComposeScriptCommand(longest.c_str(), "C:\\WINDOWS\\system32", kSelfRemovalScriptName, command));
    CHECK(std::string(kSelfRemovalScriptName) == "VarnekUninstall.bat");
}

TEST_CASE("the script's names: the fixed one first, then numbered ones beside it") {
    struct Row { int attempt; const char* name; };
    const Row rows[] = {
        {1, "VarnekUninstall.bat"},  {2, "VarnekUninstall2.bat"},   {3, "VarnekUninstall3.bat"},
        {9, "VarnekUninstall9.bat"}, {10, "VarnekUninstall10.bat"}, {123, "VarnekUninstall123.bat"},
        {0, "VarnekUninstall.bat"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.attempt);
        ScriptNameText name = SelfRemovalScriptName(row.attempt);
        CHECK(name.Fits());
        CHECK(std::string(name.CStr()) == row.name);
    }
    CHECK(kSelfRemovalScriptNames == 9);
    // every name differs from every other
    for (int a = 1; a <= kSelfRemovalScriptNames; ++a)
        for (int b = a + 1; b <= kSelfRemovalScriptNames; ++b)
            CHECK(std::string(SelfRemovalScriptName(a).CStr()) != SelfRemovalScriptName(b).CStr());
}
