// The registry name of a font: the fonts of fonts-dejavu-core, fonts built here with name records
// of each kind, every character against iconv's code page 1252 and Macintosh Roman, and damaged
// fonts, refused without a read outside them (exact-size copies, so AddressSanitizer sees one).
#include <doctest.h>

#include <fstream>
#include <iterator>

#include "files/font_name_rules.h"
#include "host_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
struct Record {
    unsigned Platform, Encoding, Language, Id;
    std::string Text;  // as stored: UTF-16 big-endian, or Macintosh Roman bytes
};
constexpr unsigned long kTrueType = 0x00010000, kCff = 0x4F54544F, kApple = 0x74727565;

// Appends value in big-endian bytes; zeros before its four lowest.
void Put(Bytes& b, unsigned long value, int bytes) {
    while (bytes-- > 0) b.push_back(bytes < 4 ? static_cast<unsigned char>(value >> (8 * bytes)) : 0);
}

std::string Utf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) bytes += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    return bytes;
}
Record Win(const std::u16string& text, unsigned language = 0x409) { return {3, 1, language, 4, Utf16(text)}; }
Record Mac(const std::string& text, unsigned language = 0) { return {1, 0, language, 4, text}; }

// A font whose table directory lies at start of the file: an empty 'cmap' table, then the
// name table of the records, behind the directory, at the end of the file.
Bytes Font(const std::vector<Record>& records, unsigned long version = kTrueType, size_t start = 0) {
    Bytes table, storage, font;
    Put(table, 0, 2), Put(table, records.size(), 2), Put(table, 6 + 12 * records.size(), 2);
    for (const Record& r : records) {
        Put(table, r.Platform, 2), Put(table, r.Encoding, 2), Put(table, r.Language, 2), Put(table, r.Id, 2);
        Put(table, r.Text.size(), 2), Put(table, storage.size(), 2);
        storage.insert(storage.end(), r.Text.begin(), r.Text.end());
    }
    Put(font, version, 4), Put(font, 2, 2), Put(font, 0, 6);
    Put(font, 0x636D6170, 4), Put(font, 0, 12);
    Put(font, 0x6E616D65, 4), Put(font, 0, 4), Put(font, start + 44, 4), Put(font, table.size() + storage.size(), 4);
    font.insert(font.end(), table.begin(), table.end());
    font.insert(font.end(), storage.begin(), storage.end());
    return font;
}

// A collection (.ttc) of fonts with one name each.
Bytes Collection(const std::vector<std::u16string>& names, unsigned long version = kTrueType) {
    Bytes file;
    Put(file, 0x74746366, 4), Put(file, 0x00010000, 4), Put(file, names.size(), 4);
    std::vector<Bytes> fonts;
    for (size_t i = 0, start = 12 + 4 * names.size(); i < names.size(); start += fonts.back().size(), ++i)
        Put(file, start, 4), fonts.push_back(Font({Win(names[i])}, version, start));
    for (const Bytes& font : fonts) file.insert(file.end(), font.begin(), font.end());
    return file;
}

// The name in code page 1252 (as the test's own narrow texts are), or "refused".
std::string Name(const Bytes& font) {
    Bytes exact(font);
    FontNameText name;
    bool named = FontRegistryName(exact.data(), exact.size(), name);
    host::CheckWithin(name);
    CHECK((named || name.IsEmpty()));
    return named ? name.CStr() : "refused";
}

// The font with the bytes at offset at replaced by value, big-endian.
Bytes Changed(Bytes font, size_t at, int width, unsigned long value) {
    for (int i = 0; i < width; ++i) font.at(at + i) = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
    return font;
}

}  // namespace

TEST_CASE("the fonts of fonts-dejavu-core are named as Windows registers them") {
    const char* const fonts[][2] = {{"DejaVuSans", "DejaVu Sans"},          {"DejaVuSans-Bold", "DejaVu Sans Bold"},
                                    {"DejaVuSansMono", "DejaVu Sans Mono"}, {"DejaVuSansMono-Bold", "DejaVu Sans Mono Bold"},
                                    {"DejaVuSerif", "DejaVu Serif"},        {"DejaVuSerif-Bold", "DejaVu Serif Bold"}};
    for (const auto& font : fonts) {
        std::ifstream file(std::string("/usr/share/fonts/truetype/dejavu/") + font[0] + ".ttf", std::ios::binary);
        REQUIRE_MESSAGE(file, font[0] << ".ttf: fonts-dejavu-core is not installed (tools/deps)");
        CHECK(Name(Bytes(std::istreambuf_iterator<char>(file), {})) == std::string(font[1]) + " (TrueType)");
    }
}

TEST_CASE("the full name comes from the preferred record, in code page 1252, with the kind of outlines") {
    CHECK(Name(Font({Mac("Nur Mac")})) == "Nur Mac (TrueType)");
    CHECK(Name(Font({Win(u"Deutsch", 0x407), Win(u"English"), Mac("Mac")})) == "English (TrueType)");
    CHECK(Name(Font({Mac("Mac"), Win(u"Deutsch", 0x407)})) == "Deutsch (TrueType)");
    CHECK(Name(Font({{3, 0, 0x409, 4, Utf16(u"Symbol")}, Mac("Mac")})) == "Symbol (TrueType)");
    CHECK(Name(Font({Win(u"Unicode", 0x407), {3, 0, 0x409, 4, Utf16(u"Symbol")}})) == "Unicode (TrueType)");
    CHECK(Name(Font({Mac("Francais", 2), Mac("English")})) == "English (TrueType)");
    CHECK(Name(Font({{3, 1, 0x409, 1, Utf16(u"Family")}, Mac("Full")})) == "Full (TrueType)");
    CHECK(Name(Font({{0, 3, 0, 4, Utf16(u"Unicode platform")}, {3, 10, 0x409, 4, Utf16(u"UCS-4")}})) == "refused");
    CHECK(Name(Font({Win(u"Grüße € „Schrift“ ™ Œuvre")})) == "Grüße € „Schrift“ ™ Œuvre (TrueType)");
    CHECK(Name(Font({Mac("\x8A\x9A\xA7\xDB\xD2\xD3\xAA")})) == "äöß€“”™ (TrueType)");
    CHECK(Name(Font({Win(u"\u0141\u00F3d\u017A Sans")})) == "refused");
    CHECK(Name(Font({Win(u"\u660E\u671D")})) == "refused");
    CHECK(Name(Font({Mac("\xB6 Sans")})) == "refused");  // ∂
    CHECK(Name(Font({Win(u"Tab\tSans")})) == "refused");
    CHECK(Name(Font({Win(u"")})) == "refused");
    CHECK(Name(Font({{3, 1, 0x409, 4, "\0A\0"}})) == "refused");  // half a character
    CHECK(Name(Font({Win(u"Kurven")}, kCff)) == "Kurven (OpenType)");
    CHECK(Name(Font({Win(u"Apple")}, kApple)) == "Apple (TrueType)");
    CHECK(Name(Font({Win(u"Anders")}, 0x00020000)) == "refused");
    CHECK(Name(Collection({u"Cambrium", u"Cambrium Math"})) == "Cambrium & Cambrium Math (TrueType)");
    CHECK(Name(Collection({u"Kurven"}, kCff)) == "Kurven (OpenType)");
    std::u16string longest(116, u'x');  // and " (TrueType)": 127 characters
    CHECK(Name(Font({Win(longest)})) == std::string(116, 'x') + " (TrueType)");
    CHECK(Name(Font({Win(longest + u"x")})) == "refused");
    CHECK(Name(Collection({longest.substr(0, 60), longest.substr(0, 60)})) == "refused");
}

TEST_CASE("every character is converted as iconv converts it, and control characters are refused") {
    for (unsigned c = 0; c < 0x10100; ++c) {
        bool mac = c >= 0x10000;  // then the Macintosh Roman byte c - 0x10000
        std::string text = mac ? std::string(1, static_cast<char>(c)) : Utf16(std::u16string(1, static_cast<char16_t>(c)));
        std::string ansi;
        bool kept = host::Convert(text, mac ? "MACINTOSH" : "UTF-16BE", "CP1252", ansi) && ansi.size() == 1 &&
                    static_cast<unsigned char>(ansi[0]) >= 0x20 && ansi[0] != 0x7F;
        char what[24];
        std::snprintf(what, sizeof what, mac ? "Macintosh byte %02X" : "U+%04X", c & 0xFFFF);
        INFO(what);
        Bytes font = Font({mac ? Mac("A" + text) : Record{3, 1, 0x409, 4, Utf16(u"A") + text}});
        CHECK(Name(font) == (kept ? "A" + ansi + " (TrueType)" : "refused"));
    }
}

TEST_CASE("damaged fonts are refused without a read outside them") {
    Bytes font = Font({Win(u"Kurz")}), collection = Collection({u"Eins", u"Zwei"});
    REQUIRE(Name(font) == "Kurz (TrueType)");
    REQUIRE(Name(collection) == "Eins & Zwei (TrueType)");
    for (const Bytes* whole : {&font, &collection})
        for (size_t n = 0; n < whole->size(); ++n) CHECK(Name(Bytes(whole->begin(), whole->begin() + n)) == "refused");
    // Directory at 0 (tables at 4, records from 12: the name table's at 28, its offset at 36 and
    // length at 40); name table at 44 (count 46, storage 48, the record's name ID 56, length 58,
    // offset 60).
    const unsigned long damages[][3] = {
        {0, 4, 0},      {4, 2, 0},      {4, 2, 0xFFFF}, {28, 4, 0},       {36, 4, 0xFFFFFFF0}, {36, 4, font.size() - 2},
        {40, 4, 5},     {40, 4, 0xFFFFFFFF}, {46, 2, 0xFFFF}, {48, 2, 0xFFFF}, {56, 2, 1}, {58, 2, 0xFFFF},
        {60, 2, 0xFFFF}, {60, 2, 8}};
    for (const auto& d : damages) {
        INFO("at " << d[0] << ": " << d[2]);
        CHECK(Name(Changed(font, d[0], static_cast<int>(d[1]), d[2])) == "refused");
    }
    // The collection: its count of fonts at 8, their offsets from 12.
    const unsigned long collectionDamages[][3] = {
        {8, 4, 0}, {8, 4, 0xFFFFFFFF}, {8, 4, 3}, {12, 4, 0xFFFFFFF0}, {16, 4, 0}, {16, 4, collection.size() - 4}};
    for (const auto& d : collectionDamages) {
        INFO("collection at " << d[0] << ": " << d[2]);
        CHECK(Name(Changed(collection, d[0], static_cast<int>(d[1]), d[2])) == "refused");
    }
    for (const Bytes* whole : {&font, &collection})  // any byte changed: a name or a refusal, within bounds
        for (size_t at = 0; at < whole->size(); ++at)
            for (unsigned long value : {0x00ul, 0x01ul, 0x7Ful, 0x80ul, 0xFFul}) Name(Changed(*whole, at, 1, value));
}
