// The syntax help in this process: its end codes, the colours of its text, the caption and the
// list editor's button, which depends on Talmer.exe in the current folder.
#include <doctest.h>

#include <string>

#include "res/resource.h"
#include "list/install_context.h"
#include "modal_dialog_run.h"
#include "test_files.h"
#include "ui/dialog_texts.h"
#include "ui/dialogs.h"

namespace {

// The current folder for one test, restored at its end.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) {
        GetCurrentDirectoryA(sizeof saved_, saved_);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(saved_); }

private:
    char saved_[MAX_PATH] = "";
};

HWND OpenSyntaxDialog() {
    g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
    return CreateDialogParamA(GetModuleHandleA(nullptr), "SYNTAX", nullptr, SyntaxDialogProc, 0);
}

bool ListEditorEnabledIn(const std::string& folder) {
    CurrentFolder current(folder);
    HWND dialog = OpenSyntaxDialog();
    if (dialog == nullptr) return false;
    bool enabled = IsWindowEnabled(GetDlgItem(dialog, IDC_SYNTAX_LIST_EDITOR)) != 0;
    DestroyWindow(dialog);
    return enabled;
}

std::string TextOf(HWND window) {
    static char text[8192];
    text[0] = 0;
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

TEST_CASE("syntax help: OK and Enter end it with 1, Escape and the close box with 2") {
    std::string folder = FreshFolder("syntax-ends");
    CurrentFolder current(folder);
    g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
    CHECK(RunDialogWithSteps("SYNTAX", SyntaxDialogProc, {PostCommand(IDOK)}) == 1);
    CHECK(RunDialogWithSteps("SYNTAX", SyntaxDialogProc, {PressKey(VK_RETURN)}) == 1);
    CHECK(RunDialogWithSteps("SYNTAX", SyntaxDialogProc, {PressKey(VK_ESCAPE)}) == 2);
    CHECK(RunDialogWithSteps("SYNTAX", SyntaxDialogProc, {PostCloseBox()}) == 2);
}

TEST_CASE("syntax help: notifications of the text control leave it open") {
    std::string folder = FreshFolder("syntax-notify");
    CurrentFolder current(folder);
    g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
    bool openAfterwards = false;
    INT_PTR result = RunDialogWithSteps(
        "SYNTAX", SyntaxDialogProc,
        {PostCommand(IDC_MAIN_TEXT, EN_SETFOCUS), PostCommand(IDC_MAIN_TEXT, EN_KILLFOCUS), PostCommand(IDC_MAIN_TEXT, EN_VSCROLL),
         [&](HWND dialog) { openAfterwards = IsWindowVisible(dialog) != 0; }, PostCommand(IDCANCEL)});
    CHECK(openAfterwards);
    CHECK(result == 2);
}

TEST_CASE("syntax help: the list editor's button follows Talmer.exe in the current folder") {
    std::string folder = FreshFolder("syntax-talmer");
    CHECK_FALSE(ListEditorEnabledIn(folder));
    WriteFileBytes(folder + "\\Talmer.exe", "any file of that name");
    CHECK(ListEditorEnabledIn(folder));
    DeleteFileA((folder + "\\Talmer.exe").c_str());
    CreateDirectoryA((folder + "\\Talmer.exe").c_str(), nullptr);
    CHECK_FALSE(ListEditorEnabledIn(folder));  // a folder of that name is no program
}

TEST_CASE("syntax help: the list editor's button ends it with 103 even when the program has gone") {
    std::string folder = FreshFolder("syntax-talmer-gone");
    WriteFileBytes(folder + "\\Talmer.exe", "any file of that name");
    CurrentFolder current(folder);
    g_ctx.ModuleInstance = GetModuleHandleA(nullptr);
    bool enabled = false;
    INT_PTR result = RunDialogWithSteps("SYNTAX", SyntaxDialogProc,
                                        {[&](HWND dialog) {
                                             enabled = IsWindowEnabled(GetDlgItem(dialog, IDC_SYNTAX_LIST_EDITOR)) != 0;
                                             DeleteFileA("Talmer.exe");
                                         },
                                         PostCommand(IDC_SYNTAX_LIST_EDITOR)});
    CHECK(enabled);
    CHECK(result == IDC_SYNTAX_LIST_EDITOR);
}

TEST_CASE("syntax help: caption and the help text set at creation") {
    std::string folder = FreshFolder("syntax-text");
    CurrentFolder current(folder);
    HWND dialog = OpenSyntaxDialog();
    REQUIRE(dialog != nullptr);
    CHECK(TextOf(dialog) == "Quorvane - SETUP.LST nicht gefunden");
    ScratchBuffer expected;
    ComposeSyntaxHelpText(expected);
    CHECK(TextOf(GetDlgItem(dialog, IDC_MAIN_TEXT)) == expected.CStr());
    DestroyWindow(dialog);
}

TEST_CASE("syntax help: dark blue text on white, painted so, other controls untouched") {
    std::string folder = FreshFolder("syntax-colours");
    CurrentFolder current(folder);
    HWND dialog = OpenSyntaxDialog();
    REQUIRE(dialog != nullptr);
    HWND text = GetDlgItem(dialog, IDC_MAIN_TEXT);

    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    INT_PTR brush = SyntaxDialogProc(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text));
    CHECK(brush == reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH)));
    CHECK(GetTextColor(dc) == RGB(0, 0, 128));
    CHECK(GetBkColor(dc) == RGB(255, 255, 255));
    SetTextColor(dc, RGB(1, 2, 3));
    CHECK(SyntaxDialogProc(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SYNTAX_LIST_EDITOR))) == 0);
    CHECK(GetTextColor(dc) == RGB(1, 2, 3));
    DeleteDC(dc);

    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    RECT client;
    GetClientRect(text, &client);
    HDC textDc = GetDC(text);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int white = 0, ink = 0, faceOrBlack = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right - GetSystemMetrics(SM_CXVSCROLL); ++x) {
            COLORREF pixel = GetPixel(textDc, x, y);
            if (pixel == RGB(255, 255, 255)) ++white;
            else if (pixel == RGB(0, 0, 128)) ++ink;
            else if (pixel == face || pixel == RGB(0, 0, 0)) ++faceOrBlack;
        }
    ReleaseDC(text, textDc);
    CHECK(ink > 50);
    CHECK(white > ink);
    CHECK(faceOrBlack == 0);
    DestroyWindow(dialog);
}
