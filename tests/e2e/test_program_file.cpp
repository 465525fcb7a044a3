// The program file itself: what it imports, its size and subsystem, its version, manifest,
// icon and the four dialog templates, read from the built Setup.exe.
#include <doctest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {

std::string Bytes() { return ReadFileBytes(ProgramUnderTest()); }

template <typename T>
T At(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

struct PeFile {
    std::string bytes;
    size_t optional = 0;  // offset of the optional header
    size_t sections = 0;
    WORD sectionCount = 0;

    explicit PeFile(std::string data) : bytes(std::move(data)) {
        size_t pe = At<DWORD>(bytes, 0x3C);
        sectionCount = At<WORD>(bytes, pe + 6);
        optional = pe + 24;
        sections = optional + At<WORD>(bytes, pe + 20);
    }
    size_t FileOffset(DWORD rva) const {
        for (WORD i = 0; i < sectionCount; ++i) {
            size_t s = sections + i * 40;
            DWORD va = At<DWORD>(bytes, s + 12), size = At<DWORD>(bytes, s + 16), raw = At<DWORD>(bytes, s + 20);
            if (rva >= va && rva < va + size) return raw + (rva - va);
        }
        return 0;
    }
    std::vector<std::string> ImportedDlls() const {
        std::vector<std::string> names;
        DWORD importRva = At<DWORD>(bytes, optional + 112 + 8);  // data directory 1 (PE32+)
        for (size_t d = FileOffset(importRva); d != 0 && At<DWORD>(bytes, d + 12) != 0; d += 20)
            names.push_back(bytes.c_str() + FileOffset(At<DWORD>(bytes, d + 12)));
        return names;
    }
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// A resource of the program, loaded as data.
std::string Resource(const char* type, const char* name) {
    HMODULE module = LoadLibraryExA(ProgramUnderTest().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return "";
    std::string data;
    HRSRC found = FindResourceA(module, name, type);
    if (found != nullptr) {
        const char* start = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (start != nullptr) data.assign(start, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return data;
}

struct Item {
    WORD id;
    const char* className;  // as a name, or as the atom 0x80, 0x81, 0x82
    std::string text;
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD points = 0;
    std::string font;
    std::string caption;
    std::vector<Item> items;
};

// Reads a wide string or an ordinal (0xFFFF then the number) at offset; returns the new offset.
size_t ReadSzOrOrd(const std::string& data, size_t offset, std::string* text, WORD* ordinal) {
    if (At<WORD>(data, offset) == 0xFFFF) {
        if (ordinal) *ordinal = At<WORD>(data, offset + 2);
        return offset + 4;
    }
    for (;; offset += 2) {
        WORD c = At<WORD>(data, offset);
        if (c == 0 || offset >= data.size()) return offset + 2;
        text->push_back(static_cast<char>(c));
    }
}

Template ParseTemplate(const std::string& data) {
    Template t;
    t.style = At<DWORD>(data, 0);
    WORD count = At<WORD>(data, 8);
    t.x = At<short>(data, 10), t.y = At<short>(data, 12), t.cx = At<short>(data, 14), t.cy = At<short>(data, 16);
    std::string ignored;
    size_t offset = ReadSzOrOrd(data, 18, &ignored, nullptr);  // menu
    offset = ReadSzOrOrd(data, offset, &ignored, nullptr);      // class
    offset = ReadSzOrOrd(data, offset, &t.caption, nullptr);
    if (t.style & DS_SETFONT) {
        t.points = At<WORD>(data, offset);
        offset = ReadSzOrOrd(data, offset + 2, &t.font, nullptr);
    }
    for (WORD i = 0; i < count; ++i) {
        offset = (offset + 3) & ~size_t(3);
        Item item{};
        item.style = At<DWORD>(data, offset);
        item.x = At<short>(data, offset + 8), item.y = At<short>(data, offset + 10);
        item.cx = At<short>(data, offset + 12), item.cy = At<short>(data, offset + 14);
        item.id = At<WORD>(data, offset + 16);
        WORD atom = 0;
        std::string className;
        offset = ReadSzOrOrd(data, offset + 18, &className, &atom);
        if (atom == 0x80) className = "Button";
        if (atom == 0x81) className = "Edit";
        if (atom == 0x82) className = "Static";
        std::string upper = Upper(className);
        item.className = upper == "BUTTON" ? "Button" : upper == "EDIT" ? "Edit" : upper == "STATIC" ? "Static" : "?";
        offset = ReadSzOrOrd(data, offset, &item.text, nullptr);
        offset += 2 + At<WORD>(data, offset);  // creation data
        t.items.push_back(item);
    }
    return t;
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kModal = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | DS_SETFONT;
const DWORD kTextEdit = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP | kChild;
const WORD kNoId = 0xFFFF;

void CheckTemplate(const char* name, DWORD style, short x, short y, short cx, short cy, WORD points,
                   const std::vector<Item>& expected) {
    CAPTURE(std::string(name));
    Template t = ParseTemplate(Resource(MAKEINTRESOURCEA(5), name));
    CHECK(t.style == style);
    CHECK(t.x == x);
    CHECK(t.y == y);
    CHECK(t.cx == cx);
    CHECK(t.cy == cy);
    CHECK(t.points == points);
    CHECK(t.font == "MS Sans Serif");
    CHECK(t.caption.empty());
    REQUIRE(t.items.size() == expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        CAPTURE(i);
        CHECK(t.items[i].id == expected[i].id);
        CHECK(std::string(t.items[i].className) == expected[i].className);
        CHECK(t.items[i].text == expected[i].text);
        CHECK(t.items[i].style == expected[i].style);
        CHECK(t.items[i].x == expected[i].x);
        CHECK(t.items[i].y == expected[i].y);
        CHECK(t.items[i].cx == expected[i].cx);
        CHECK(t.items[i].cy == expected[i].cy);
    }
}

}  // namespace

TEST_CASE("Setup.exe is a small GUI program that imports only system DLLs") {
    PeFile pe(Bytes());
    REQUIRE(pe.bytes.size() > 1024);
    CHECK(pe.bytes.size() <= 100 * 1024);
    CHECK(At<WORD>(pe.bytes, pe.optional) == 0x20B);             // PE32+, 64-bit
    CHECK(At<WORD>(pe.bytes, pe.optional + 68) == 2);            // Windows GUI subsystem
    const std::vector<std::string> system = {"ADVAPI32.DLL", "COMCTL32.DLL", "GDI32.DLL", "KERNEL32.DLL",
                                             "MSVCRT.DLL", "OLE32.DLL", "SHELL32.DLL", "USER32.DLL"};
    std::vector<std::string> imports = pe.ImportedDlls();
    CHECK(imports.size() >= 4);
    for (const std::string& dll : imports) {
        CAPTURE(dll);
        CHECK(std::find(system.begin(), system.end(), Upper(dll)) != system.end());
    }
}

TEST_CASE("version 3.7.0.0, the administrator manifest with common controls 6 and the icon") {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(ProgramUnderTest().c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<char> info(size);
    REQUIRE(GetFileVersionInfoA(ProgramUnderTest().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed->dwFileVersionMS == MAKELONG(7, 3));
    CHECK(fixed->dwFileVersionLS == 0);
    CHECK(fixed->dwProductVersionMS == MAKELONG(7, 3));
    CHECK(fixed->dwProductVersionLS == 0);

    std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    CHECK(manifest.find("level=\"requireAdministrator\"") != std::string::npos);
    CHECK(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos);

    // the icon group "i": three sizes
    std::string group = Resource(MAKEINTRESOURCEA(14), "I");
    REQUIRE(group.size() >= 6);
    WORD count = At<WORD>(group, 4);
    CHECK(count == 3);
    std::vector<int> widths;
    for (WORD i = 0; i < count; ++i) widths.push_back(static_cast<unsigned char>(group[6 + i * 14]));
    CHECK(widths == std::vector<int>{16, 32, 48});
}

TEST_CASE("the four dialog templates: styles, font, places and controls in their order") {
    CheckTemplate("INTRO", kModal, 29, 26, 140, 80, 10,
                  {{IDOK, "Button", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kChild, 20, 65, 45, 12},
                   {IDCANCEL, "Button", "&Abbrechen", BS_PUSHBUTTON | WS_TABSTOP | kChild, 75, 65, 45, 12},
                   {101, "Edit", "", kTextEdit | ES_CENTER, 0, 0, 140, 60}});
    CheckTemplate("MAIN", kModal, 29, 26, 260, 100, 8,
                  {{IDOK, "Button", "&Setup", BS_DEFPUSHBUTTON | WS_TABSTOP | kChild, 205, 15, 50, 14},
                   {IDCANCEL, "Button", "&Abbrechen", BS_PUSHBUTTON | WS_TABSTOP | kChild, 205, 40, 50, 14},
                   {kNoId, "Static", "i", SS_ICON | SS_NOPREFIX | kChild, 220, 70, 16, 16},
                   {101, "Edit", "", kTextEdit | ES_LEFT, 0, 0, 200, 100}});
    CheckTemplate("SYNTAX", kModal, 51, 30, 250, 220, 8,
                  {{IDOK, "Button", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | kChild, 35, 200, 50, 14},
                   {kNoId, "Static", "i", SS_ICON | SS_NOPREFIX | kChild, 5, 195, 20, 20},
                   {101, "Edit", "", kTextEdit | ES_LEFT, 0, 0, 250, 190},
                   {102, "Button", "&Kopieren", BS_PUSHBUTTON | WS_TABSTOP | kChild, 100, 200, 50, 14},
                   {103, "Button", "&Talmer...", BS_PUSHBUTTON | WS_TABSTOP | kChild, 160, 200, 50, 14},
                   {kNoId, "Static", "i", SS_ICON | SS_NOPREFIX | kChild, 225, 195, 20, 20}});
    const DWORD line = SS_CENTER | SS_NOPREFIX | WS_GROUP | kChild;
    CheckTemplate("WORK",
                  WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | DS_CENTER | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK, 7,
                  26, 180, 72, 12,
                  {{103, "Static", "Moment...", line, 60, 55, 60, 10},
                   {101, "Static", "...", line, 0, 10, 180, 15},
                   {102, "Static", "", line, 0, 30, 180, 13},
                   {kNoId, "Static", "i", SS_ICON | kChild, 5, 55, 13, 13},
                   {kNoId, "Static", "i", SS_ICON | kChild, 160, 55, 14, 13}});
}
