// Painting of the background window: a large pale symbol in the middle, and the application's
// name, version and copyright in white with a black shadow at the top left. The blue itself
// comes from the window class's brush when the paint erases.
#include "app/background_paint.h"

#include "list/install_context.h"

namespace {

constexpr COLORREF kSymbolColour = RGB(192, 192, 192);
constexpr COLORREF kShadowColour = RGB(0, 0, 0);
constexpr COLORREF kTextColour = RGB(255, 255, 255);
constexpr int kShadowOffset = 3;

// In the symbol font these two characters are a diskette and a desktop computer.
const char kSymbolText[] = "<:";

constexpr int kTitleHeight = -32;
constexpr int kSubtitleHeight = -24;
constexpr BYTE kSerifPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;

struct TextLine {
    const FieldText* Text;
    int X;
    int Y;
};

// Heights are negative: character heights in pixels, the context keeping its default mapping.
HFONT MakeFont(int height, int weight, bool italic, BYTE charSet, BYTE pitchAndFamily, const char* face) {
    return CreateFontA(height, 0, 0, 0, weight, italic, FALSE, FALSE, charSet, OUT_TT_PRECIS, CLIP_TT_ALWAYS,
                       PROOF_QUALITY, pitchAndFamily, face);
}

void DrawSymbol(HDC dc, const RECT& client) {
    int height = -2 * ((client.bottom - client.top) / 3);
    HFONT font = MakeFont(height, FW_DONTCARE, false, SYMBOL_CHARSET, VARIABLE_PITCH | FF_DONTCARE, "Wingdings");
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, kSymbolColour);
    RECT area = client;
    DrawTextA(dc, kSymbolText, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(font);
}

// Black first, three pixels to the lower right, then white at the place: the white text
// carries its shadow.
void DrawShadowedLine(HDC dc, const TextLine& line) {
    int length = static_cast<int>(line.Text->Length());
    SetTextColor(dc, kShadowColour);
    TextOutA(dc, line.X + kShadowOffset, line.Y + kShadowOffset, line.Text->CStr(), length);
    SetTextColor(dc, kTextColour);
    TextOutA(dc, line.X, line.Y, line.Text->CStr(), length);
}

void DrawLines(HDC dc, int height, int weight, const TextLine* lines, int count) {
    HFONT font = MakeFont(height, weight, true, ANSI_CHARSET, kSerifPitchAndFamily, "Times New Roman");
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    HGDIOBJ previous = SelectObject(dc, font);
    for (int i = 0; i < count; ++i) DrawShadowedLine(dc, lines[i]);
    SelectObject(dc, previous);
    DeleteObject(font);
}

}  // namespace

void DrawBackground(HDC dc, const RECT& client) {
    SetBkMode(dc, TRANSPARENT);
    DrawSymbol(dc, client);
    const TextLine title[] = {{&g_ctx.AppName, 5, 5}};
    DrawLines(dc, kTitleHeight, FW_SEMIBOLD, title, 1);
    const TextLine subtitles[] = {{&g_ctx.Version, 5, 47}, {&g_ctx.Copyright, 5, 77}};
    DrawLines(dc, kSubtitleHeight, FW_EXTRALIGHT, subtitles, 2);
}

void PaintBackground(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DrawBackground(dc, client);
    EndPaint(window, &paint);
}
