// The intro and confirmation dialogs in this process: their end codes, the colours of their
// text, the tab stop of the confirmation text, and what the text control really shows.
#include <doctest.h>

#include <string>

#include "res/resource.h"
#include "list/install_context.h"
#include "modal_dialog_run.h"
#include "ui/dialogs.h"

namespace {

constexpr int kTabStopUnits = 50;

void SetDialogValues() {
    g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
    g_ctx.AppName.Assign("Testanwendung");
    g_ctx.TargetDir.Assign("C:\\Program Files\\Testanwendung");
    g_ctx.Intro1.Assign("Eins");
    g_ctx.Intro2.Assign("Zwei");
    g_ctx.Intro3.Assign("Drei");
}

std::string TextOf(HWND window) {
    char text[8192] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Answers of the procedure to WM_CTLCOLORSTATIC for a control, and the colours it left in the
// device context (which starts with colours of its own, so that a change shows).
struct ColourAnswer {
    INT_PTR result;
    COLORREF text;
    COLORREF background;
};

ColourAnswer AskColours(DLGPROC proc, HWND dialog, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    INT_PTR result = proc(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    ColourAnswer answer{result, GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return answer;
}

void CheckTextColours(const char* name, DLGPROC proc, COLORREF expected) {
    CAPTURE(std::string(name));
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, proc, 0);
    REQUIRE(dialog != nullptr);
    ColourAnswer text = AskColours(proc, dialog, GetDlgItem(dialog, IDC_MAIN_TEXT));
    CHECK(text.result == reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH)));
    CHECK(text.text == expected);
    CHECK(text.background == RGB(255, 255, 255));
    ColourAnswer button = AskColours(proc, dialog, GetDlgItem(dialog, IDOK));
    CHECK(button.result == 0);
    CHECK(button.text == RGB(1, 2, 3));
    CHECK(button.background == RGB(4, 5, 6));
    DestroyWindow(dialog);
}

}  // namespace

TEST_CASE("intro dialog: OK and Enter end it with 1, Abbrechen, Escape and the close box with 2") {
    SetDialogValues();
    CHECK(RunDialogWithSteps("INTRO", IntroDialogProc, {PostCommand(IDOK)}) == 1);
    CHECK(RunDialogWithSteps("INTRO", IntroDialogProc, {PressKey(VK_RETURN)}) == 1);
    CHECK(RunDialogWithSteps("INTRO", IntroDialogProc, {PostCommand(IDCANCEL)}) == 2);
    CHECK(RunDialogWithSteps("INTRO", IntroDialogProc, {PressKey(VK_ESCAPE)}) == 2);
    CHECK(RunDialogWithSteps("INTRO", IntroDialogProc, {PostCloseBox()}) == 2);
}

TEST_CASE("confirmation dialog: Setup and Enter end it with 1, Abbrechen, Escape and the close box with 2") {
    SetDialogValues();
    CHECK(RunDialogWithSteps("MAIN", MainDialogProc, {PostCommand(IDOK)}) == 1);
    CHECK(RunDialogWithSteps("MAIN", MainDialogProc, {PressKey(VK_RETURN)}) == 1);
    CHECK(RunDialogWithSteps("MAIN", MainDialogProc, {PostCommand(IDCANCEL)}) == 2);
    CHECK(RunDialogWithSteps("MAIN", MainDialogProc, {PressKey(VK_ESCAPE)}) == 2);
    CHECK(RunDialogWithSteps("MAIN", MainDialogProc, {PostCloseBox()}) == 2);
}

TEST_CASE("intro and confirmation dialogs stay open on notifications of the text and other commands") {
    SetDialogValues();
    for (DLGPROC proc : {IntroDialogProc, MainDialogProc}) {
        const char* name = proc == IntroDialogProc ? "INTRO" : "MAIN";
        CAPTURE(std::string(name));
        bool openAfterwards = false;
        INT_PTR result = RunDialogWithSteps(
            name, proc,
            {PostCommand(IDC_MAIN_TEXT, EN_SETFOCUS), PostCommand(IDC_MAIN_TEXT, EN_KILLFOCUS),
             PostCommand(IDC_MAIN_TEXT, EN_VSCROLL), PostCommand(3), PostCommand(101),
             [&](HWND dialog) { openAfterwards = IsWindowVisible(dialog) != 0; }, PostCommand(IDCANCEL)});
        CHECK(openAfterwards);
        CHECK(result == 2);
        // the procedure answers them with 0, not handled
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, proc, 0);
        REQUIRE(dialog != nullptr);
        CHECK(proc(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_TEXT, EN_SETFOCUS), 0) == 0);
        CHECK(proc(dialog, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0) == 0);
        CHECK(proc(dialog, WM_SIZE, 0, 0) == 0);
        CHECK(IsWindow(dialog));
        DestroyWindow(dialog);
    }
}

TEST_CASE("intro text dark red, confirmation text very dark blue, both on white, other controls untouched") {
    SetDialogValues();
    CheckTextColours("INTRO", IntroDialogProc, RGB(128, 0, 0));
    CheckTextColours("MAIN", MainDialogProc, RGB(0, 0, 64));
}

TEST_CASE("intro and confirmation dialogs: captions and texts set at creation") {
    SetDialogValues();
    g_ctx.Intro2.Clear();
    HWND intro = CreateDialogParamA(GetModuleHandleA(nullptr), "INTRO", nullptr, IntroDialogProc, 0);
    REQUIRE(intro != nullptr);
    CHECK(TextOf(intro) == "Testanwendung  (Installation)");
    CHECK(TextOf(GetDlgItem(intro, IDC_MAIN_TEXT)) == "\r\nEins\r\n\r\n\r\n\r\nDrei");
    DestroyWindow(intro);

    HWND main = CreateDialogParamA(GetModuleHandleA(nullptr), "MAIN", nullptr, MainDialogProc, 0);
    REQUIRE(main != nullptr);
    CHECK(TextOf(main) == "Testanwendung");
    CHECK(TextOf(GetDlgItem(main, IDC_MAIN_TEXT)).rfind("Anwendung:\tTestanwendung\r\nZielordner:\tC:\\Program Files\\Testanwendung\r\n\r\n", 0) == 0);
    DestroyWindow(main);
}

TEST_CASE("confirmation text: the values after both labels line up at 50 dialog units") {
    SetDialogValues();
    HWND main = CreateDialogParamA(GetModuleHandleA(nullptr), "MAIN", nullptr, MainDialogProc, 0);
    REQUIRE(main != nullptr);
    HWND text = GetDlgItem(main, IDC_MAIN_TEXT);
    auto xOf = [&](size_t index) { return static_cast<short>(LOWORD(SendMessageA(text, EM_POSFROMCHAR, index, 0))); };
    std::string first = "Anwendung:\t";
    std::string second = first + "Testanwendung\r\nZielordner:\t";
    int lineStart = xOf(0);
    int appName = xOf(first.size());
    int targetDir = xOf(second.size());
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SIZE labelSize;
    GetTextExtentPoint32A(dc, "Zielordner:", 11, &labelSize);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    CHECK(appName == targetDir);
    CHECK(appName - lineStart > labelSize.cx);
    // the edit control converts template units with its font's average character width; the
    // default stops (every 32 units) would put both values at 64 units
    int expected = MulDiv(kTabStopUnits, metrics.tmAveCharWidth, 4);
    CHECK(appName - lineStart >= expected - 2);
    CHECK(appName - lineStart <= expected + 2);
    DestroyWindow(main);
}

// The read-only text control asks its dialog for colours when it paints: what it really shows.
TEST_CASE("intro and confirmation texts are painted in their colours on white") {
    SetDialogValues();
    struct Row { const char* name; DLGPROC proc; COLORREF colour; };
    const Row rows[] = {{"INTRO", IntroDialogProc, RGB(128, 0, 0)}, {"MAIN", MainDialogProc, RGB(0, 0, 64)}};
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), row.name, nullptr, row.proc, 0);
        REQUIRE(dialog != nullptr);
        ShowWindow(dialog, SW_SHOW);
        UpdateWindow(dialog);
        HWND text = GetDlgItem(dialog, IDC_MAIN_TEXT);
        RECT client;
        GetClientRect(text, &client);
        HDC dc = GetDC(text);
        // without the colours a read-only edit control shows the dialog face colour and black
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        int white = 0, ink = 0, faceOrBlack = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right - GetSystemMetrics(SM_CXVSCROLL); ++x) {
                COLORREF pixel = GetPixel(dc, x, y);
                if (pixel == RGB(255, 255, 255)) ++white;
                else if (pixel == row.colour) ++ink;
                else if (pixel == face || pixel == RGB(0, 0, 0)) ++faceOrBlack;
            }
        ReleaseDC(text, dc);
        CHECK(ink > 50);
        CHECK(white > ink);
        CHECK(faceOrBlack == 0);
        DestroyWindow(dialog);
    }
}
