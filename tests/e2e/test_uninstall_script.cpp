// The self-removal script as the uninstaller writes and starts it: COMSPEC names a stand-in
// interpreter (tests/tools/interpreter_capture.cpp) that keeps a copy of the script and records how
// it was started, then lets the real cmd.exe run it. The copy is compared byte for byte with the
// lines the script is documented to have.
#include <doctest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "footprint.h"
#include "test_files.h"

using namespace e2e;

namespace {

const char* const kDemoName = DemoPackage::kAppName;
const char kCapturedScript[] = "C:\\qvrec\\captured.bat";

// COMSPEC of this process, pointed at the stand-in and put back afterwards. The uninstaller
// started from here inherits it; a value under HKEY_CURRENT_USER\Environment would not reach it,
// because Wine builds an environment from the registry only for a process started from outside.
struct ComSpecStandIn {
    std::string saved;
    bool hadValue = false;
    std::string standIn = ToolsFolder() + "\\interpreter_capture.exe";

    ComSpecStandIn() {
        char value[MAX_PATH] = "";
        DWORD n = GetEnvironmentVariableA("COMSPEC", value, MAX_PATH);
        hadValue = n > 0 && n < MAX_PATH;
        saved = value;
        SetEnvironmentVariableA("COMSPEC", standIn.c_str());
    }
    ~ComSpecStandIn() { SetEnvironmentVariableA("COMSPEC", hadValue ? saved.c_str() : nullptr); }
};

bool IsNTPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The interpreter's yes-answer for the user's language, as documented: German J, French O,
// Spanish, Italian and Portuguese S, any other language Y. Wine takes the language from the
// Unix locale, which the uninstaller inherits from this process. A run that sets
// QV_ANSWER_LETTER expects that letter, so a locale that did not take effect is noticed.
char ExpectedAnswerLetter() {
    char letter = 'Y';
    switch (PRIMARYLANGID(GetUserDefaultLangID())) {
    case LANG_GERMAN: letter = 'J'; break;
    case LANG_FRENCH: letter = 'O'; break;
    case LANG_SPANISH:
    case LANG_ITALIAN:
    case LANG_PORTUGUESE: letter = 'S'; break;
    default: break;
    }
    const char* expected = std::getenv("QV_ANSWER_LETTER");
    if (expected != nullptr && expected[0] != 0) REQUIRE(letter == expected[0]);
    return letter;
}

// The script for the demo (its [AltFolder] \Dokumente at entry 2) in the program folder, line by
// line, each ending in CR LF.
std::string ExpectedScript(const std::string& folder, bool purge, char letter) {
    const bool nt = IsNTPlatform();
    const std::string q = "\"";
    std::vector<std::string> lines = {
        "@ECHO \xC4\xCD DEINSTALLATION von \"" + std::string(kDemoName) + "\" \xCD\xC4",
        nt ? "@rem pause" : std::string("@choice /t") + letter + ",5",
        folder.substr(0, 2),  // the drive, since CD does not change it
        "CD " + q + folder + q,
        "if not exist " + q + folder + (nt ? "\\." : "\\NUL") + q + " goto Fehler",
        "if not exist \"Uninst.exe\" goto Fehler",
        "if not exist \"Setup.lst\" goto Fehler",
        "ATTRIB -R -H -S \"Uninst.exe\"",
        // the uninstaller may still be ending: up to five more attempts, a second apart
        "SET VarnekWarten=",
        ":Loeschen",
        "DEL \"Uninst.exe\"",
        "if not exist \"Uninst.exe\" goto Weiter",
        "if \"%VarnekWarten%\"==\"xxxxx\" goto Weiter",
        "ping -n 2 127.0.0.1 >NUL",
        "SET VarnekWarten=%VarnekWarten%x",
        "GOTO Loeschen",
        ":Weiter",
        "DEL \"Setup.lst\"",
        "RD \"Dokumente\"",
    };
    if (purge) lines.push_back(std::string("ECHO ") + letter + " | DEL *.*");
    lines.push_back("CD ..");
    lines.push_back("RD " + q + folder + q);
    lines.push_back("GOTO Fertig");
    lines.push_back(":Fehler");
    lines.push_back("@ECHO Deinstallation fehlgeschlagen!");
    if (nt) lines.push_back("@PAUSE");
    lines.push_back(":Fertig");
    lines.push_back("@ECHO Sie k\x94nnen jetzt dieses Fenster schlie\xE1" "en.");
    lines.push_back("@DEL " + q + SelfRemovalScriptPath() + q);
    std::string script;
    for (const std::string& line : lines) script += line + "\r\n";
    return script;
}

// The demo installed with Setup.exe /S, with a file of the user's own in the program folder.
struct InstalledDemo : DemoPackage {
    explicit InstalledDemo(const std::string& name) : DemoPackage(name) {
        REQUIRE(InstallSilently());
        WriteFileBytes(target + "\\Eigene Notiz.txt", "vom Anwender");
    }
};

// Started as "<interpreter> /D /V:OFF /c VarnekUninstall.bat" in the Windows folder: no AutoRun
// command first, no delayed expansion of a "!" in a folder name.
void CheckInterpreterStart(const ComSpecStandIn& comSpec) {
    std::string interpreter = comSpec.standIn;
    if (interpreter.find(' ') != std::string::npos) interpreter = "\"" + interpreter + "\"";
    CHECK(RecorderLog("interpreter_capture.exe") ==
          WindowsDir() + "\n" + interpreter + " /D /V:OFF /c VarnekUninstall.bat\n");
}

void CheckScript(const std::string& captured, const std::string& expected) {
    CHECK(captured.size() == expected.size());
    // line by line first, so a difference is shown where it is
    size_t start = 0;
    while (start < expected.size() && start < captured.size()) {
        size_t end = expected.find("\r\n", start);
        if (end == std::string::npos) break;
        CAPTURE(expected.substr(start, end - start));
        CHECK(captured.compare(start, end + 2 - start, expected, start, end + 2 - start) == 0);
        start = end + 2;
    }
    CHECK(captured == expected);
}

}  // namespace

TEST_CASE("the self-removal script handed to COMSPEC has every line and the answer letter of the user's language") {
    InstalledDemo demo("uninstall-script-purge");
    ComSpecStandIn comSpec;
    char letter = ExpectedAnswerLetter();
    Run run = demo.StartUninstaller("/UQ");
    CHECK(run.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CheckInterpreterStart(comSpec);
    CheckScript(ReadFileBytes(kCapturedScript), ExpectedScript(demo.target, true, letter));
    // the interpreter understood the answer: every file went, and the folder with them
    CHECK_FALSE(PathExists(demo.target));
}

TEST_CASE("the self-removal script without the purge has no DEL line and leaves the user's files") {
    InstalledDemo demo("uninstall-script-keep");
    ComSpecStandIn comSpec;
    Run run = demo.StartUninstaller();
    const struct { const char* caption; int answer; } answers[] = {
        {"Deinstallation", IDYES},
        {"S Y S T E M D A T E I   L\xD6SCHEN", IDNO},
        {"Anwenderdateien l\xF6schen", IDNO},
        {"Anwenderdateien l\xF6schen", IDNO},
        {"L\xF6schvorgang best\xE4tigen", IDNO},
        {"Deinstallation erfolgreich", IDOK},
    };
    for (const auto& step : answers) {
        CAPTURE(std::string(step.caption));
        Window box = run.WaitWindow(step.caption);
        REQUIRE(box);
        box.Press(step.answer);
        REQUIRE(box.WaitGone());
    }
    CHECK(run.Exit() == 0);
    REQUIRE(WaitForSelfRemoval(run.Pid()));
    CheckInterpreterStart(comSpec);
    CheckScript(ReadFileBytes(kCapturedScript), ExpectedScript(demo.target, false, ExpectedAnswerLetter()));
    CHECK(ReadFileBytes(demo.target + "\\Eigene Notiz.txt") == "vom Anwender");
    CHECK_FALSE(PathExists(demo.target + "\\Uninst.exe"));
    CHECK_FALSE(PathExists(demo.target + "\\Setup.lst"));
}
