// The painting of the background window: colours and places of what it draws, read back from a
// real window, and the fonts and calls of one paint, recorded in an enhanced metafile.
#include <doctest.h>

#include <string>
#include <vector>

#include "app/background_paint.h"
#include "list/install_context.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 128);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kGrey = RGB(192, 192, 192);

LRESULT CALLBACK PaintedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintBackground(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window painted as the background window is: the same class brush, the same paint handler.
HWND OpenPaintedWindow() {
    static HBRUSH brush = CreateSolidBrush(kBlue);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PaintedWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = brush;
    windowClass.lpszClassName = "QvPaintTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QvPaintTest", "Quorvane", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    return window;
}

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

// The client area's pixels as colour values, read from the window after it painted.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture Capture(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, windowDc, 0, 0, SRCCOPY);
    const unsigned* raw = static_cast<const unsigned*>(bits);
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return picture;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int count = 0;
    void Add(int x, int y) {
        left = x < left ? x : left;
        top = y < top ? y : top;
        right = x > right ? x : right;
        bottom = y > bottom ? y : bottom;
        ++count;
    }
};

// Pixels of exactly one colour within the rows [top, bottom).
Box BoxOf(const Picture& picture, COLORREF colour, int top, int bottom) {
    Box box;
    for (int y = top; y < bottom && y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y) == colour) box.Add(x, y);
    return box;
}

// White text with its black shadow three pixels to the lower right, within the rows given.
void CheckShadowedText(const Picture& picture, int top, int bottom, int x, int y) {
    Box white = BoxOf(picture, kWhite, top, bottom);
    Box black = BoxOf(picture, kBlack, top, bottom);
    REQUIRE(white.count > 30);
    REQUIRE(black.count > 10);
    CHECK(white.left >= x);
    CHECK(white.left <= x + 10);
    CHECK(white.top >= y);
    CHECK(black.right == white.right + 3);
    CHECK(black.bottom == white.bottom + 3);
    CHECK(black.left >= white.left + 3);
    CHECK(black.top >= white.top + 3);
    // below and to the right of every white pixel lies shadow or text, never bare background
    int bare = 0;
    for (int py = top; py < bottom; ++py)
        for (int px = 0; px + 3 < picture.width; ++px)
            if (picture.At(px, py) == kWhite && picture.At(px + 3, py + 3) == kBlue) ++bare;
    CHECK(bare == 0);
}

void SetValues(const char* appName, const char* version, const char* copyright) {
    g_ctx.AppName.Assign(appName);
    g_ctx.Version.Assign(version);
    g_ctx.Copyright.Assign(copyright);
}

// ---- the metafile record of one drawing

struct FontRecord {
    LOGFONTW font;
    DWORD handle;
};

struct Recording {
    std::vector<FontRecord> created;
    std::vector<DWORD> deleted;
    std::vector<DWORD> selected;       // object handles as the metafile numbers them
    std::vector<COLORREF> textColours;
    std::vector<POINT> textPoints;     // reference points of the text outputs, in order
    std::vector<std::wstring> texts;
    std::vector<DWORD> backgroundModes;
    std::vector<DWORD> alignments;
    std::vector<DWORD> order;          // record types in order
};

int CALLBACK CollectRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM param) {
    auto* recording = reinterpret_cast<Recording*>(param);
    recording->order.push_back(record->iType);
    switch (record->iType) {
    case EMR_EXTCREATEFONTINDIRECTW: {
        auto* font = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record);
        recording->created.push_back({font->elfw.elfLogFont, font->ihFont});
        break;
    }
    case EMR_DELETEOBJECT:
        recording->deleted.push_back(reinterpret_cast<const EMRDELETEOBJECT*>(record)->ihObject);
        break;
    case EMR_SELECTOBJECT:
        recording->selected.push_back(reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject);
        break;
    case EMR_SETTEXTCOLOR:
        recording->textColours.push_back(reinterpret_cast<const EMRSETTEXTCOLOR*>(record)->crColor);
        break;
    case EMR_SETBKMODE:
        recording->backgroundModes.push_back(reinterpret_cast<const EMRSETBKMODE*>(record)->iMode);
        break;
    case EMR_SETTEXTALIGN:
        recording->alignments.push_back(reinterpret_cast<const EMRSETTEXTALIGN*>(record)->iMode);
        break;
    case EMR_EXTTEXTOUTW: {
        auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        recording->textPoints.push_back({text->emrtext.ptlReference.x, text->emrtext.ptlReference.y});
        const wchar_t* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        recording->texts.emplace_back(chars, text->emrtext.nChars);
        break;
    }
    default:
        break;
    }
    return 1;
}

Recording RecordDrawing(int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC metafile = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, screen);
    RECT client = {0, 0, width, height};
    DrawBackground(metafile, client);
    HENHMETAFILE handle = CloseEnhMetaFile(metafile);
    Recording recording;
    EnumEnhMetaFile(nullptr, handle, CollectRecord, &recording, nullptr);
    DeleteEnhMetaFile(handle);
    return recording;
}

void CheckFont(const LOGFONTW& font, LONG height, LONG weight, BYTE italic, BYTE charSet, BYTE pitchAndFamily,
               const std::wstring& face) {
    CHECK(font.lfHeight == height);
    CHECK(font.lfWidth == 0);
    CHECK(font.lfEscapement == 0);
    CHECK(font.lfOrientation == 0);
    CHECK(font.lfWeight == weight);
    CHECK(font.lfItalic == italic);
    CHECK(font.lfUnderline == 0);
    CHECK(font.lfStrikeOut == 0);
    CHECK(font.lfCharSet == charSet);
    CHECK(font.lfOutPrecision == OUT_TT_PRECIS);
    CHECK(font.lfClipPrecision == CLIP_TT_ALWAYS);
    CHECK(font.lfQuality == PROOF_QUALITY);
    CHECK(font.lfPitchAndFamily == pitchAndFamily);
    CHECK(std::wstring(font.lfFaceName) == face);
}

// Where the next GDI object would be made. Wine's GetGuiResources counts nothing, but its handle
// table hands out the slot freed last: a paint that deletes all it made leaves the same slot next.
unsigned NextGdiSlot() {
    HGDIOBJ probe = CreateSolidBrush(RGB(1, 2, 3));
    unsigned slot = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(probe) & 0xFFFF);
    DeleteObject(probe);
    return slot;
}

}  // namespace

TEST_CASE("background: blue where nothing is drawn, grey symbol in the middle, white name with black shadow") {
    SetValues("Quorvane Testanwendung", "", "\xA9 2024 Testfirma");
    HWND window = OpenPaintedWindow();
    REQUIRE(window != nullptr);
    Repaint(window);
    Picture picture = Capture(window);
    REQUIRE(picture.width > 600);
    REQUIRE(picture.height > 400);

    CHECK(picture.At(picture.width - 5, 5) == kBlue);
    CHECK(picture.At(5, picture.height - 5) == kBlue);
    CHECK(picture.At(picture.width - 5, picture.height - 5) == kBlue);
    CHECK(picture.At(2, 2) == kBlue);

    // the name: white at 5,5 with its shadow, above the version's line at 47
    CheckShadowedText(picture, 0, 47, 5, 5);
    // no version: nothing white or black between the name's shadow and the copyright
    CHECK(BoxOf(picture, kWhite, 50, 77).count == 0);
    CHECK(BoxOf(picture, kBlack, 50, 77).count == 0);
    // the copyright at 5,77
    CheckShadowedText(picture, 77, 120, 5, 77);

    Box grey = BoxOf(picture, kGrey, 0, picture.height);
    REQUIRE(grey.count > 1000);
    int centreX = (grey.left + grey.right) / 2;
    int centreY = (grey.top + grey.bottom) / 2;
    CHECK(centreX > picture.width * 2 / 5);
    CHECK(centreX < picture.width * 3 / 5);
    CHECK(centreY > picture.height * 3 / 10);
    CHECK(centreY < picture.height * 7 / 10);
    CHECK(picture.At(centreX, centreY) != kWhite);
    DestroyWindow(window);
}

TEST_CASE("background: the version line at 5,47 with its shadow, the texts on top of the symbol") {
    SetValues("", "Version 3.7", "");
    HWND window = OpenPaintedWindow();
    REQUIRE(window != nullptr);
    Repaint(window);
    Picture picture = Capture(window);
    CHECK(BoxOf(picture, kWhite, 0, 47).count == 0);
    CheckShadowedText(picture, 47, 77, 5, 47);
    CHECK(BoxOf(picture, kWhite, 80, picture.height).count == 0);

    // a name long enough to reach into the symbol is drawn over it, and runs past the window's edge
    std::string longName(120, 'W');
    SetValues(longName.c_str(), "", "");
    Repaint(window);
    picture = Capture(window);
    Box white = BoxOf(picture, kWhite, 0, 47);
    CHECK(white.right >= picture.width - 4);
    CHECK(white.bottom < 47);
    DestroyWindow(window);
}

TEST_CASE("background: after a resize the symbol is centred in the new client area, its size following the height") {
    SetValues("Quorvane", "", "");
    HWND window = OpenPaintedWindow();
    REQUIRE(window != nullptr);
    Repaint(window);
    Picture large = Capture(window);
    Box largeGrey = BoxOf(large, kGrey, 0, large.height);

    ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, nullptr, 0, 0, 500, 340, SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint(window);
    Picture small = Capture(window);
    Box smallGrey = BoxOf(small, kGrey, 0, small.height);
    REQUIRE(small.height < large.height / 2 + 20);
    REQUIRE(largeGrey.count > 0);
    REQUIRE(smallGrey.count > 0);

    double expectedRatio = static_cast<double>(large.height / 3) / (small.height / 3);
    double ratio = static_cast<double>(largeGrey.bottom - largeGrey.top + 1) / (smallGrey.bottom - smallGrey.top + 1);
    CAPTURE(expectedRatio);
    CAPTURE(ratio);
    CHECK(ratio > expectedRatio * 0.85);
    CHECK(ratio < expectedRatio * 1.15);
    int centreX = (smallGrey.left + smallGrey.right) / 2;
    int centreY = (smallGrey.top + smallGrey.bottom) / 2;
    CHECK(centreX > small.width * 2 / 5);
    CHECK(centreX < small.width * 3 / 5);
    CHECK(centreY > small.height * 3 / 10);
    CHECK(centreY < small.height * 7 / 10);
    DestroyWindow(window);
}

TEST_CASE("background: one drawing makes its three fonts, draws in order and deletes them") {
    SetValues("Meine Anwendung", "Version 1.0", "\xA9 2010 Meine Firma");
    Recording recording = RecordDrawing(800, 600);

    REQUIRE(recording.created.size() == 3);
    CheckFont(recording.created[0].font, -400, FW_DONTCARE, FALSE, SYMBOL_CHARSET, VARIABLE_PITCH | FF_DONTCARE, L"Wingdings");
    CheckFont(recording.created[1].font, -32, FW_SEMIBOLD, TRUE, ANSI_CHARSET, VARIABLE_PITCH | FF_ROMAN, L"Times New Roman");
    CheckFont(recording.created[2].font, -24, FW_EXTRALIGHT, TRUE, ANSI_CHARSET, VARIABLE_PITCH | FF_ROMAN, L"Times New Roman");

    // every font is selected, selected out again (the previous font back) and deleted
    REQUIRE(recording.deleted.size() == 3);
    for (int i = 0; i < 3; ++i) CHECK(recording.deleted[i] == recording.created[i].handle);
    REQUIRE(recording.selected.size() == 6);
    for (int i = 0; i < 3; ++i) {
        CAPTURE(i);
        CHECK(recording.selected[2 * i] == recording.created[i].handle);
        CHECK(recording.selected[2 * i + 1] == recording.selected[1]);
        CHECK((recording.selected[2 * i + 1] & ENHMETA_STOCK_OBJECT) != 0);
    }

    CHECK(recording.backgroundModes == std::vector<DWORD>{TRANSPARENT});
    CHECK(recording.alignments == std::vector<DWORD>{0, 0, 0});
    CHECK(recording.textColours == std::vector<COLORREF>{RGB(192, 192, 192), kBlack, kWhite, kBlack, kWhite, kBlack, kWhite});

    REQUIRE(recording.texts.size() == 7);
    CHECK(recording.texts[0] == L"<:");
    CHECK(recording.texts[1] == L"Meine Anwendung");
    CHECK(recording.texts[2] == L"Meine Anwendung");
    CHECK(recording.texts[3] == L"Version 1.0");
    CHECK(recording.texts[4] == L"Version 1.0");
    CHECK(recording.texts[5] == L"\u00A9 2010 Meine Firma");
    CHECK(recording.texts[6] == L"\u00A9 2010 Meine Firma");
    const POINT places[] = {{8, 8}, {5, 5}, {8, 50}, {5, 47}, {8, 80}, {5, 77}};
    for (int i = 0; i < 6; ++i) {
        CAPTURE(i);
        CHECK(recording.textPoints[i + 1].x == places[i].x);
        CHECK(recording.textPoints[i + 1].y == places[i].y);
    }
}

TEST_CASE("background: the symbol's height is twice a third of the client height, 0 below three pixels") {
    struct Row { int height; LONG fontHeight; };
    const Row rows[] = {{600, -400}, {749, -498}, {100, -66}, {5, -2}, {3, -2}, {2, 0}, {0, 0}};
    for (const Row& row : rows) {
        CAPTURE(row.height);
        Recording recording = RecordDrawing(640, row.height);
        REQUIRE(recording.created.size() == 3);
        CHECK(recording.created[0].font.lfHeight == row.fontHeight);
    }
}

TEST_CASE("background: no GDI object outlives a paint, and the context gets its font back") {
    SetValues("Quorvane Testanwendung", "Version 3.7", "\xA9 2024 Testfirma");
    HWND window = OpenPaintedWindow();
    REQUIRE(window != nullptr);
    // Repainting itself frees and remakes update regions, so the next slot swings between a few
    // values; a paint that leaves an object behind moves it to slots never seen before.
    std::vector<unsigned> seen;
    for (int i = 0; i < 4; ++i) {
        Repaint(window);
        seen.push_back(NextGdiSlot());
    }
    int unseen = 0;
    for (int i = 0; i < 24; ++i) {
        Repaint(window);
        unsigned slot = NextGdiSlot();
        bool known = false;
        for (unsigned s : seen) known = known || s == slot;
        if (!known) ++unseen;
    }
    CHECK(unseen == 0);

    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    DrawBackground(dc, client);
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    unsigned slot = NextGdiSlot();
    HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);
    for (int i = 0; i < 25; ++i) DrawBackground(dc, client);
    CHECK(GetCurrentObject(dc, OBJ_FONT) == before);
    CHECK(NextGdiSlot() == slot);
    CHECK(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) == counted);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
