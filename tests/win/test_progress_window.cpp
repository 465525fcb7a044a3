// The progress window: the blinking "Moment" line and its timer, the texts written into it,
// and the window's own shape.
#include <doctest.h>

#include <cstring>
#include <string>

#include "res/resource.h"
#include "list/install_context.h"
#include "support/win_support.h"
#include "files/progress_item.h"
#include "ui/progress_window.h"
#include "win_test_support.h"

namespace {

const char kPlus[] = "+++ Moment +++";
const char kDots[] = "\xB7\xB7\xB7 Moment \xB7\xB7\xB7";
constexpr UINT_PTR kTimerId = 123;

std::string ControlText(HWND window, int id) {
    char text[512] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

std::string BlinkText(HWND window) { return ControlText(window, IDC_PROGRESS_BLINK); }

// Pumps as a run does until the blink line shows something other than `from`; the new text, or
// `from` itself when nothing changed within ms.
std::string NextBlinkText(HWND window, const std::string& from, DWORD ms = 3000) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        PumpPendingMessages();
        std::string now = BlinkText(window);
        if (now != from) return now;
        Sleep(2);
    }
    return from;
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        PumpPendingMessages();
        Sleep(5);
    }
}

HWND OpenTestWindow(HWND owner = nullptr) {
    g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
    return OpenProgressWindow(owner, "Installation l\xE4uft...", "Kopieren von:");
}

// The first progress window of a process must blink "+++" first; doctest runs many cases in one
// process, so this is checked in a child of its own. The child answers before doctest starts.
int FirstWindowOfProcess() {
    HWND window = OpenTestWindow();
    if (window == nullptr) return 10;
    std::string first = NextBlinkText(window, "Moment...");
    if (first != kPlus) return 11;
    if (NextBlinkText(window, first) != kDots) return 12;
    if (NextBlinkText(window, kDots) != kPlus) return 13;
    CloseProgressWindow();
    // a second window goes on where the first stopped
    window = OpenTestWindow();
    if (window == nullptr) return 14;
    if (NextBlinkText(window, "Moment...") != kDots) return 15;
    CloseProgressWindow();
    return 0;
}

const bool kFirstWindowChild = [] {
    if (std::strstr(GetCommandLineA(), "--child=progress-first-window") != nullptr) ExitProcess(FirstWindowOfProcess());
    return false;
}();

}  // namespace

TEST_CASE("progress window: in a fresh process the line blinks +++ first, then the dots, and a second window goes on") {
    CHECK(RunChild("progress-first-window", "") == 0);
}

TEST_CASE("progress window: the line alternates between the two texts, at most one change per 100 ms") {
    HWND window = OpenTestWindow();
    REQUIRE(window != nullptr);
    std::string previous = NextBlinkText(window, "Moment...");
    for (int tick = 0; tick < 6; ++tick) {
        std::string next = NextBlinkText(window, previous);
        CAPTURE(tick);
        CHECK((next == kPlus || next == kDots));
        CHECK(next != previous);
        previous = next;
    }
    CHECK(std::strlen(kPlus) == 14);
    CHECK(std::strlen(kDots) == 14);

    int changes = 0;
    std::string shown = BlinkText(window);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
        PumpPendingMessages();
        std::string now = BlinkText(window);
        if (now != shown) ++changes;
        shown = now;
    }
    CHECK(changes >= 4);
    CHECK(changes <= 11);
    CloseProgressWindow();
}

TEST_CASE("progress window: a run that does not pump leaves the line as it is") {
    HWND window = OpenTestWindow();
    REQUIRE(window != nullptr);
    std::string shown = NextBlinkText(window, "Moment...");
    Sleep(400);
    CHECK(BlinkText(window) == shown);
    CloseProgressWindow();
}

TEST_CASE("progress window: the blink timer is 123 and WM_DESTROY stops it") {
    HWND window = OpenTestWindow();
    REQUIRE(window != nullptr);
    std::string shown = NextBlinkText(window, "Moment...");
    REQUIRE(shown != "Moment...");

    // the procedure's own answer to WM_DESTROY, on a window that stays: no tick after it
    CHECK(ProgressDialogProc(window, WM_DESTROY, 0, 0) == FALSE);
    PumpFor(500);
    CHECK(BlinkText(window) == shown);
    CHECK_FALSE(KillTimer(window, kTimerId));
    CloseProgressWindow();

    window = OpenTestWindow();
    REQUIRE(window != nullptr);
    CHECK(KillTimer(window, kTimerId));
    shown = BlinkText(window);
    PumpFor(400);
    CHECK(BlinkText(window) == shown);
    CloseProgressWindow();
}

TEST_CASE("progress window: closing destroys it, clears the handle, and no tick follows") {
    HWND window = OpenTestWindow();
    REQUIRE(window != nullptr);
    CHECK(g_ctx.ProgressWindow == window);
    NextBlinkText(window, "Moment...");
    CloseProgressWindow();
    CHECK_FALSE(IsWindow(window));
    CHECK(g_ctx.ProgressWindow == nullptr);
    Sleep(250);
    MSG msg;
    CHECK_FALSE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    PumpFor(300);
    // without a window the text calls only pump
    ShowProgressPhase("L\xF6schen von");
    ShowProgressItem("Readme.txt");
    CloseProgressWindow();
}

TEST_CASE("progress window: title, phase and item lines, ampersands shown as they are") {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND window = OpenTestWindow(owner);
    REQUIRE(window != nullptr);
    char title[128] = "";
    GetWindowTextA(window, title, sizeof title);
    CHECK(std::string(title) == "Installation l\xE4uft...");
    CHECK(ControlText(window, IDC_PROGRESS_PHASE) == "Kopieren von:");
    CHECK(ControlText(window, IDC_PROGRESS_ITEM) == "");
    CHECK(GetWindow(window, GW_OWNER) == owner);

    ShowProgressItem("Gruppen & Symbole bilden");
    CHECK(ControlText(window, IDC_PROGRESS_ITEM) == "Gruppen & Symbole bilden");
    ShowProgressItem("Dr&Co.txt");
    CHECK(ControlText(window, IDC_PROGRESS_ITEM) == "Dr&Co.txt");
    ShowProgressPhase("System wird aktualisiert:");
    CHECK(ControlText(window, IDC_PROGRESS_PHASE) == "System wird aktualisiert:");
    for (int id : {IDC_PROGRESS_BLINK, IDC_PROGRESS_PHASE, IDC_PROGRESS_ITEM}) {
        CAPTURE(id);
        LONG style = GetWindowLongA(GetDlgItem(window, id), GWL_STYLE);
        CHECK((style & SS_NOPREFIX) != 0);
        CHECK((style & SS_TYPEMASK) == SS_CENTER);
    }
    CloseProgressWindow();
    DestroyWindow(owner);
}

TEST_CASE("progress window: visible, captioned, without system menu or close box, centred") {
    HWND window = OpenTestWindow();
    REQUIRE(window != nullptr);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    CHECK(IsWindowVisible(window));
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & WS_SYSMENU) == 0);
    CHECK(BlinkText(window) == "Moment...");
    RECT rect;
    GetWindowRect(window, &rect);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int dx = (rect.left + rect.right) / 2 - (work.left + work.right) / 2;
    int dy = (rect.top + rect.bottom) / 2 - (work.top + work.bottom) / 2;
    CHECK(dx * dx <= 4);
    CHECK(dy * dy <= 100);
    CloseProgressWindow();
}
