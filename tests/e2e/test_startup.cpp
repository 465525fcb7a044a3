// Start-up scenarios: the single-instance guard, the choice between install and uninstall from
// the command line, the missing-list error and the uninstall question.
#include <doctest.h>

#include "driver.h"

using namespace e2e;

namespace {

const char kQuestionCaption[] = "Deinstallation";
const char kQuestionText[] =
    "Start Test\r\nvollst\xE4ndig vom Computer entfernen?\r\r(Beenden Sie vor diesem Vorgang alle Anwendungen)";
const char kMissingCaption[] = "Uninstall (Fehler)";
const char kMissingText[] = "Diese Anwendung kann nicht automatisch\renfernt werden, da die Datei SETUP.LST fehlt.";

Package ListedPackage(const std::string& name) {
    Package package(name);
    package.List("[General]\r\nAppName=Start Test\r\nFolder=QvStartTest\r\n[Files]\r\n1=Readme.txt\r\n")
        .File("Readme.txt", "readme");
    return package;
}

// The uninstall question, answered with Cancel so that nothing is touched.
void ExpectUninstallQuestion(Run& run) {
    Window box = run.WaitWindow(kQuestionCaption);
    REQUIRE(box);
    CHECK(box.MessageText() == kQuestionText);
    box.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

}  // namespace

TEST_CASE("the uninstall question: text, caption, Yes/No/Cancel with No as default - No and Cancel change nothing") {
    Package package = ListedPackage("question");
    for (int answer : {IDCANCEL, IDNO}) {
        CAPTURE(answer);
        Run run = package.Start("/U");
        Window box = run.WaitWindow(kQuestionCaption);
        REQUIRE(box);
        CHECK(box.MessageText() == kQuestionText);
        std::vector<int> buttons = box.ButtonIds();
        CHECK(buttons == std::vector<int>{IDYES, IDNO, IDCANCEL});
        CHECK(box.DefaultButton() == IDNO);
        CHECK(box.Owner() == run.MainWindow().Handle());
        box.Press(answer);
        CHECK(run.Exit() == 0);
        CHECK(PathExists(package.Path("Setup.lst")));
        CHECK(PathExists(package.Path("Readme.txt")));
        CHECK(PathExists(package.Path("Setup.exe")));
    }
}

TEST_CASE("the uninstall question answered with Enter takes the default No") {
    Package package = ListedPackage("question-enter");
    Run run = package.Start("/U");
    Window box = run.WaitWindow(kQuestionCaption);
    REQUIRE(box);
    box.PressEnter();
    CHECK(run.Exit() == 0);
    CHECK(PathExists(package.Path("Setup.lst")));
}

TEST_CASE("a missing list stops the uninstall with its error, the stop icon and exit code 1") {
    Package package("missing-list");
    Run run = package.Start("/U");
    Window box = run.WaitWindow(kMissingCaption);
    REQUIRE(box);
    CHECK(box.MessageText() == kMissingText);
    CHECK(box.ButtonIds() == std::vector<int>{IDOK});
    // An icon is shown; which one cannot be read from another process under Wine, where icon
    // handles belong to the process that loaded them.
    CHECK(box.HasIcon());
    box.Press(IDOK);
    CHECK(run.Exit() == 1);
}

TEST_CASE("/U, /UQ, /Update and a path ending in \\Uninst.exe select the uninstall") {
    SUBCASE("/U asks the uninstall question") {
        Package package = ListedPackage("select-u");
        Run run = package.Start("/U");
        ExpectUninstallQuestion(run);
    }
    SUBCASE("/Update contains /U") {
        Package package = ListedPackage("select-update");
        Run run = package.Start("/Update");
        ExpectUninstallQuestion(run);
    }
    SUBCASE("lower-case /u as well") {
        Package package = ListedPackage("select-lower");
        Run run = package.Start("/u");
        ExpectUninstallQuestion(run);
    }
    SUBCASE("a copy named Uninst.exe started by its full path") {
        Package package = ListedPackage("select-path");
        package.ProgramAs("Uninst.exe");
        Run run = package.Start("", "Uninst.exe");
        ExpectUninstallQuestion(run);
    }
    SUBCASE("/UQ goes the uninstall way without a question: without a list, straight to its error") {
        Package package("select-uq");
        Run run = package.Start("/UQ");
        Window box = run.WaitWindow(kMissingCaption);
        REQUIRE(box);
        CHECK(run.WaitWindow(kQuestionCaption, "#32770", 500).Handle() == nullptr);
        box.Press(IDOK);
        CHECK(run.Exit() == 1);
    }
}

TEST_CASE("Uninst.exe started by its bare name from its own folder takes the install way") {
    Package package = ListedPackage("bare-uninst");
    package.ProgramAs("Uninst.exe");
    Run run = package.StartBare("Uninst.exe");
    // the install way shows the confirmation dialog, captioned with the application's name
    Window dialog = run.WaitWindow("Start Test");
    CHECK(dialog);
    CHECK(run.WaitWindow(kQuestionCaption, "#32770", 300).Handle() == nullptr);
    dialog.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}

TEST_CASE("a second copy brings the first one's box to the front and ends with 0") {
    Package package = ListedPackage("second-copy");
    Run first = package.Start("/U");
    Window box = first.WaitWindow(kQuestionCaption);
    REQUIRE(box);
    // something else takes the foreground first, so the test sees the guard bring the box back
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    CHECK(GetForegroundWindow() == other);

    Run second = package.Start("/U");
    CHECK(second.Exit() == 0);
    CHECK(WaitFor([&] { return GetForegroundWindow() == box.Handle(); }, 3000));
    CHECK(first.DialogCaptions() == std::vector<std::string>{kQuestionCaption});  // no second box
    DestroyWindow(other);

    box.Press(IDCANCEL);
    CHECK(first.Exit() == 0);
}

TEST_CASE("the background window: class, caption, style and maximised") {
    Package package = ListedPackage("background");
    Run run = package.Start("/U");
    Window main = run.MainWindow();
    REQUIRE(main);
    CHECK(main.Caption() == "Quorvane");
    LONG style = GetWindowLongA(main.Handle(), GWL_STYLE);
    CHECK((style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX)) ==
          (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX));
    CHECK((style & WS_MINIMIZEBOX) == 0);
    CHECK(IsZoomed(main.Handle()));
    Window box = run.WaitWindow(kQuestionCaption);
    REQUIRE(box);
    box.Press(IDCANCEL);
    CHECK(run.Exit() == 0);
}
