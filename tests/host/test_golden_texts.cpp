// Every text the program composes, for sample values, compared byte for byte with its file in golden/;
// then fed with random values instead, which must stay within the widths. A golden file shows the bytes
// as UTF-8: code page 1252 (the batch scripts: code page 850, as the console shows them), with {CR},
// {LF}, {TAB} and {xHH} for control and undefined bytes and {x20} for a blank that ends the text. A
// real line break follows each {LF} and each {CR} without one, and ends the file; it is not part of
// the text. QV_GOLDEN=write writes every file anew, so that a change of a text shows in review.
#include <doctest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host_support.h"

namespace {

std::string File(const std::string& bytes, const char* codePage) {
    std::string shown = host::Show(bytes, codePage, true, false);
    if (!shown.empty() && shown.back() == ' ') shown.replace(shown.size() - 1, 1, "{x20}");  // kept from editors
    return shown.empty() || shown.back() != '\n' ? shown + "\n" : shown;
}

// The batch script of the name, folder and script path v, with the [AltFolder] values given.
const char* g_alt[kListEntryCount];
std::string Script(const char* const* v, bool& fits, bool isNT, bool purge, char letter,
                   std::initializer_list<std::pair<int, const char*>> alts, bool altSource = true,
                   bool removeFolder = true) {
    static SelfRemovalScriptText script;
    for (const char*& alt : g_alt) alt = "";
    for (const auto& alt : alts) g_alt[alt.first] = alt.second;
    SelfRemovalScriptInput input;
    input.IsNT = isNT, input.PurgeProgramFolder = purge, input.AnswerLetter = letter;
    input.RemoveProgramFolder = removeFolder;
    input.AppName = v[0], input.ProgramFolder = v[1], input.ScriptPath = v[2];
    if (altSource) input.AltFolder = [](int index) { return g_alt[index]; };
    fits = ComposeSelfRemovalScript(input, script);
    host::CheckWithin(script);
    return script.CStr();
}

// The author's check: the report of the problems of one list, repeated n times, with the values v.
void CheckReportText(const char* const* v, int n, ScratchBuffer& out) {
    static CheckReport report;
    report = CheckReport();
    for (int i = 0; i < n; ++i) {
        using K = ListProblemKind;
        AddCheckProblem(K::UnknownSection, "DesktopLink", nullptr, nullptr, nullptr, report);
        AddCheckProblem(K::UnknownKey, "Files", "01", v[0], nullptr, report);
        AddCheckProblem(K::ValueCut, "General", "Intro1", v[2], nullptr, report);
        AddCheckProblem(K::NoAppName, "General", "AppName", "", nullptr, report);
        AddCheckProblem(K::DotFolder, "Links", "1", "..\\..\\Boese", nullptr, report);
        AddCheckProblem(K::MissingFile, "Files", "2", v[0], nullptr, report);
        AddCheckProblem(K::NoMatch, "WildCopy", "1", v[1], nullptr, report);
        AddCheckProblem(K::UnknownFolder, "AltFolder", "1", "Q\\x", nullptr, report);
        AddCheckProblem(K::TargetTooLong, "WildCopy", "2", v[1], v[2], report);
        AddCheckProblem(K::NotInstalled, "General", "RunOnce", "Start.exe /erst", nullptr, report);
        AddCheckProblem(K::UnknownSection, "Desktoplink", nullptr, nullptr, "meinten Sie [DesktopLinks]?", report);
        AddCheckProblem(K::MisleadingFolder, "AltFolder", "3", "System", nullptr, report);
        AddCheckProblem(K::MissingFolder, "AltFolder", "4", "W\\ShellNeu", "C:\\WINDOWS\\ShellNeu", report);
        AddCheckProblem(K::NoFilesEntry, "Links", "5", "Kartei", nullptr, report);
        AddCheckProblem(K::Utf8List, "General", "AppName", "Gr\xC3\xBC\xC3\x9F" "e", nullptr, report);
        AddCheckProblem(K::BadVersion, "General", "ProductVersion", "2.1 beta", nullptr, report);
        host::CheckWithin(report.Line);
    }
    FinishCheckReport(report);
    out.Assign(report.Text);
}

// A composer of a ScratchBuffer text, called with the values v (its samples below).
#define TEXT(name, call, ...)                                                                                          \
    {name, [](const char* const* v, bool& fits) { static ScratchBuffer out; (void)v; call; host::CheckWithin(out);     \
         return fits = out.Fits(), std::string(out.CStr()); }, {__VA_ARGS__}, "CP1252"}
#define PROBLEM(name, kind, uninstalling, ...)                                                                         \
    TEXT(name, ListProblem p; p.Kind = ListProblemKind::kind; p.Section = v[0]; p.Value = v[2]; p.Key.Assign(v[1]);    \
         ComposeListProblemText(p, uninstalling, out), __VA_ARGS__)
// Why a package is refused; a name that breaks a rule is v[0], breaking the rule of dot folders.
#define PACKAGE(name, problem, installing, ...)                                                                        \
    TEXT(name, PackageCheck c; c.Problem = PackageProblem::problem; c.NameProblem = ListProblemKind::DotFolder;        \
         c.Name = v[0]; ComposePackageProblemText(c, installing, out), __VA_ARGS__)
// The batch script, with the name, folder and script path in parentheses.
#define SCRIPT(name, samples, ...)                                                                                     \
    {name, [](const char* const* v, bool& fits) { return Script(v, fits, __VA_ARGS__); }, {UNPACK samples}, "IBM850"}
#define UNPACK(...) __VA_ARGS__
#define KARTEI ("Kartei", "C:\\Programme\\Kartei", "C:\\WINDOWS\\VarnekUninstall.bat")
const std::string kX127(127, 'x'), kP259(259, 'p'), kN79(79, 'n');
const char *const X127 = kX127.c_str(), *const P259 = kP259.c_str(), *const N79 = kN79.c_str();

const struct Golden {
    const char* name;
    std::string (*make)(const char* const* values, bool& fits);
    const char* samples[3];
    const char* codePage;
} kGoldens[] = {
    TEXT("uninstall-question", ComposeUninstallQuestion(v[0], out), "Meine Anwendung"),
    TEXT("unusable-folder", ComposeUnusableFolderText(v[0], out), "C:\\Users\\Lukasz\\Downloads"),
    TEXT("unknown-switch", ComposeUnknownSwitchText(v[0], out), "/VERYSILENT"),
    TEXT("folder-switch-not-local", ComposeFolderSwitchText(v[0], ListProblemReason(ListProblemKind::NotLocalFolder),
                                                            false, out), "\\\\Server\\Apps\\Kartei"),
    TEXT("folder-switch-uninstall", ComposeFolderSwitchText(v[0], ListProblemReason(ListProblemKind::DotFolder),
                                                            true, out), "C:\\Apps\\..\\Windows"),
    TEXT("intro-caption", ComposeIntroCaption(v[0], out), "Meine Anwendung"),
    TEXT("intro-text", ComposeIntroText(v[0], v[1], v[2], out), "Eins", "Zwei", "Drei"),
    TEXT("intro-text-empty-line", ComposeIntroText(v[0], v[1], v[2], out), "Willkommen bei Müller", "", "Viel Spaß"),
    TEXT("intro-text-longest", ComposeIntroText(v[0], v[1], v[2], out), X127, X127, X127),
    TEXT("main-text", ComposeMainText(v[0], v[1], out), "Meine Anwendung", "C:\\Program Files\\Meine Anwendung"),
    TEXT("main-text-longest", ComposeMainText(v[0], v[1], out), X127, X127),
    TEXT("syntax-help", ComposeSyntaxHelpText(out)),
    TEXT("source-missing-question", ComposeSourceMissingQuestion(v[0], out), "C:\\Quelle\\Write311.exe"),
    TEXT("source-missing-abort", ComposeSourceMissingAbort(v[0], out), "Write311.exe"),
    TEXT("success", ComposeSuccessText(v[0], false, out), "Meine Anwendung"),
    TEXT("success-copy-only", ComposeSuccessText(v[0], true, out), "Meine Anwendung"),
    TEXT("registry-import-error", ComposeRegistryImportError(v[0], out), "C:\\P\\a.reg"),
    TEXT("start-error", ComposeStartError(v[0], out), "C:\\P\\a.exe"),
    TEXT("log-line", ComposeLogLine(v[0], v[1], v[2], out), "Meldung",
         "Deinstallation erfolgreich: Kartei\rwurde vom Computer entfernt.\r\r(Möglicherweise)", "OK"),
    TEXT("log-line-without-detail", ComposeLogLine(v[0], nullptr, nullptr, out), "Ende"),
    TEXT("installed-elsewhere", ComposeInstalledElsewhereText(v[0], v[1], out), "Gamma", "C:\\Program Files\\Gamma 1"),
    TEXT("system-file-question", ComposeSystemFileQuestion(v[0], out), "C:\\WINDOWS\\Kartei.ini"),
    TEXT("system-file-question-longest", ComposeSystemFileQuestion(v[0], out), P259),
    TEXT("listed-file-not-deleted", ComposeListedFileNotDeletedText(v[0], out),
         "C:\\Program Files\\Kartei\\Kartei.exe"),
    TEXT("user-files-question", ComposeUserFilesQuestion(v[0], out), "D:\\Programme\\Kartei\\Texte\\*.txt"),
    TEXT("purge-question", ComposePurgeQuestion(v[0], v[1], out), "C:\\Program Files\\Kartei", "Kartei"),
    TEXT("purge-question-longest", ComposePurgeQuestion(v[0], v[1], out), X127, N79),
    TEXT("uninstalled-purged-nt", ComposeUninstalledText(v[0], true, true, out), "Kartei"),
    TEXT("uninstalled-purged-older", ComposeUninstalledText(v[0], true, false, out), "Kartei"),
    TEXT("uninstalled-kept-nt", ComposeUninstalledText(v[0], false, true, out), "Kartei"),
    TEXT("uninstalled-kept-older", ComposeUninstalledText(v[0], false, false, out), "Kartei"),
    TEXT("uninstalled-longest", ComposeUninstalledText(v[0], true, true, out), N79),
    TEXT("uninstaller-left", ComposeUninstallerLeftText(v[0], v[1], v[2], out), "Kartei",
         "C:\\Program Files\\Kartei\\Uninst.exe", "C:\\Program Files\\Kartei\\Setup.lst"),
    TEXT("other-applications-folder", ComposeOtherApplicationsFolderText(v[0], v[1], v[2], out),
         "C:\\Program Files\\Gemeinsam", "Alpha", "Beta"),
    PROBLEM("list-dot-folder", DotFolder, false, "WildSubFolder", "2", "..\\.."),
    PROBLEM("list-dot-folder-uninstall", DotFolder, true, "WildSubFolder", "2", "..\\.."),
    PROBLEM("list-drive", Drive, false, "Links", "1", "C:x"),
    PROBLEM("list-leading-backslash", LeadingBackslash, false, "General", "AppName", "\\x"),
    PROBLEM("list-no-program-folder", NoProgramFolder, false, "General", "Folder", "  "),
    PROBLEM("list-too-long", TooLong, false, "General", "Folder", "Meine Anwendung"),
    PROBLEM("list-bad-character", BadCharacter, false, "General", "Folder", "Common*"),
    PROBLEM("list-device-name", DeviceName, true, "Files", "128", "CON.txt"),
    PROBLEM("list-startup-group", StartupGroup, false, "General", "AppName", "StartUp"),
    PACKAGE("package-bad-name", BadName, false, "..\\boese.txt"),
    PACKAGE("package-not-cabinet", NotCabinet, false),
    PACKAGE("package-truncated", Truncated, false),
    PACKAGE("package-damaged", Damaged, false),
    PACKAGE("package-damaged-while-installing", Damaged, true),
    TEXT("package-no-room", ComposeNoRoomText(v[0], 312402000, 12582912, out), "C:\\Program Files\\Meine Anwendung"),
    TEXT("package-no-room-small", ComposeNoRoomText(v[0], 1, 0, out), "D:\\Programme\\Kartei"),
    TEXT("package-uninstall", ComposePackedUninstallText(v[0], v[1], out), "Meine Anwendung",
         "C:\\Program Files\\Meine Anwendung\\Uninst.exe"),
    TEXT("check-report", CheckReportText(v, 1, out), "Fehlt.txt", "*.qvx", "Langer Name.txt"),
    TEXT("check-report-shortened", CheckReportText(v, 5, out), "Fehlt.txt", "*.qvx", X127),
    TEXT("check-report-nothing-found", CheckReportText(v, 0, out)),
    SCRIPT("script-nt-purge", KARTEI, true, true, 'J', {{3, "\\Data"}, {4, "W\\ShellNew"}}),
    SCRIPT("script-nt-keep", KARTEI, true, false, 'J', {{3, "\\Data"}, {4, "W\\ShellNew"}}),
    SCRIPT("script-older-purge", KARTEI, false, true, 'O', {{3, "\\Data"}, {4, "W\\ShellNew"}}),
    SCRIPT("script-older-keep", KARTEI, false, false, 'O', {{3, "\\Data"}, {4, "W\\ShellNew"}}),
    // Only values beginning with a backslash remove a sub-folder, in entry order; no folder can
    // hold a quote, which would break the line.
    SCRIPT("script-sub-folders", KARTEI, true, true, 'J',
           {{128, "\\Last"}, {0, "\\First"}, {3, "\\Data"}, {4, "W\\ShellNew"}, {5, "\\Data\\Sub"}, {6, "S\\Treiber"},
            {7, "F"}, {8, "Data"}, {10, "\\Daten 100%"}, {11, "\\Kaputt\"Name"}}),
    SCRIPT("script-no-alt-folder-source", KARTEI, true, true, 'J', {}, false),
    // A program folder the installation did not make is neither emptied nor removed.
    SCRIPT("script-folder-not-made", KARTEI, true, true, 'J', {{3, "\\Data"}}, true, false),
    // The folders come in the OEM bytes the caller converted them to, the name keeps its ANSI bytes.
    SCRIPT("script-oem-folders",
           ("M\xE4rchenbuch", "C:\\Programme\\M\x84rchenbuch", "C:\\WINDOWS\\VarnekUninstall.bat"), true, true, 'J',
           {{3, "\\Sch\x84tze"}}),
    SCRIPT("script-percent-and-quotes", ("100% \"Sicher\"", "D:\\Apps\\50%Rabatt", "C:\\WIN%DIR%\\VarnekUninstall.bat"),
           false, true, 'Y', {{3, "\\Daten 100%"}}),
};

// Where two files first differ, by line.
std::string FirstDifference(const std::string& stored, const std::string& now) {
    std::istringstream a(stored), b(now);
    std::string x, y;
    for (int line = 1;; ++line) {
        bool inA = static_cast<bool>(std::getline(a, x)), inB = static_cast<bool>(std::getline(b, y));
        if (x != y || inA != inB)
            return std::to_string(line) + "\n  golden: " + (inA ? x : "(end)") + "\n  now:    " + (inB ? y : "(end)");
    }
}

}  // namespace

TEST_CASE("every composed text equals its golden file") {
    const std::filesystem::path folder = QV_HOST_TEST_DIR "/golden";
    const bool write = std::getenv("QV_GOLDEN") != nullptr && std::string(std::getenv("QV_GOLDEN")) == "write";
    std::set<std::string> names;
    if (write) std::filesystem::create_directories(folder);
    for (const Golden& golden : kGoldens) {
        std::string name = std::string(golden.name) + ".txt";
        INFO("golden/" << name);
        CHECK_MESSAGE(names.insert(name).second, "two texts share this file");
        bool fits = false;
        std::string now = File(golden.make(golden.samples, fits), golden.codePage);
        CHECK_MESSAGE(fits, "the text was cut or refused");
        std::ifstream file(folder / name, std::ios::binary);
        std::string stored((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (write) std::ofstream(folder / name, std::ios::binary) << now;
        else if (!file.is_open()) FAIL_CHECK("missing; QV_GOLDEN=write creates it");
        else if (stored != now)
            FAIL_CHECK("differs at line " << FirstDifference(stored, now) << "\nQV_GOLDEN=write accepts the new text");
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (names.count(entry.path().filename().string()) > 0) continue;
        if (write) std::filesystem::remove(entry.path());
        else FAIL_CHECK(entry.path().filename().string() << " belongs to no text; QV_GOLDEN=write removes it");
    }
}

TEST_CASE("random values through every text composer stay within the widths") {
    std::mt19937 random(7002);
    for (int round = 0; round < 300; ++round) {
        std::string samples[3] = {host::RandomValue(random), host::RandomValue(random), host::RandomValue(random)};
        const char* values[3] = {samples[0].c_str(), samples[1].c_str(), samples[2].c_str()};
        bool fits = false;
        for (const Golden& golden : kGoldens) golden.make(values, fits);
    }
}
