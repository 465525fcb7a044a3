// A font's registry name from its sfnt tables: the table directory, the name table and its
// records, all read big-endian and each checked against the file's size before it is read.
#include "files/font_name_rules.h"

#include "files/code_page_rules.h"

namespace {

constexpr unsigned long kTrueTypeOutlines = 0x00010000;
constexpr unsigned long kAppleTrueTypeOutlines = 0x74727565;  // 'true'
constexpr unsigned long kCffOutlines = 0x4F54544F;            // 'OTTO'
constexpr unsigned long kCollectionTag = 0x74746366;          // 'ttcf'
constexpr unsigned long kNameTableTag = 0x6E616D65;           // 'name'
constexpr unsigned kFullNameId = 4;
constexpr unsigned kWindowsPlatform = 3;
constexpr unsigned kMacintoshPlatform = 1;
constexpr unsigned kUsEnglish = 0x409;

// Macintosh Roman 0x80 to 0xFF in Unicode; 0x00 to 0x7F are ASCII.
const unsigned short kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

unsigned Read16(const unsigned char* p) { return static_cast<unsigned>(p[0] << 8 | p[1]); }
unsigned long Read32(const unsigned char* p) { return static_cast<unsigned long>(Read16(p)) << 16 | Read16(p + 2); }

// True when length bytes from offset lie within size bytes; written so that nothing overflows.
bool Within(size_t size, size_t offset, size_t length) { return offset <= size && length <= size - offset; }

// How much a full-name record is preferred; 0 for one in an encoding the program does not read.
int Preference(unsigned platform, unsigned encoding, unsigned language) {
    if (platform == kWindowsPlatform && encoding <= 1) return 3 + 2 * static_cast<int>(encoding) + (language == kUsEnglish);
    if (platform == kMacintoshPlatform && encoding == 0) return 1 + (language == 0);
    return 0;
}

// Appends a name record's text, UTF-16 big-endian or Macintosh Roman; false for an empty text,
// half a UTF-16 character, or a character code page 1252 lacks.
bool AppendNameText(const unsigned char* text, size_t length, bool macintosh, FontNameText& name) {
    if (length == 0 || (!macintosh && length % 2 != 0)) return false;
    for (size_t i = 0; i < length; i += macintosh ? 1 : 2) {
        unsigned code = macintosh ? text[i] : Read16(text + i);
        if (macintosh && code >= 0x80) code = kMacRomanHigh[code - 0x80];
        unsigned char c = AnsiFromUnicode(code);
        if (c == 0) return false;
        name.AppendChar(static_cast<char>(c));
    }
    return true;
}

// Appends the full name of the font whose table directory begins at start, and gives its sfnt
// version, which tells the kind of its outlines.
bool AppendFullName(const unsigned char* font, size_t size, size_t start, unsigned long& version,
                    FontNameText& name) {
    if (!Within(size, start, 12)) return false;
    version = Read32(font + start);
    size_t tables = Read16(font + start + 4);
    if (version != kTrueTypeOutlines && version != kAppleTrueTypeOutlines && version != kCffOutlines) return false;
    if (!Within(size, start + 12, tables * 16)) return false;
    for (size_t t = 0; t < tables; ++t) {
        const unsigned char* entry = font + start + 12 + t * 16;
        if (Read32(entry) != kNameTableTag) continue;
        size_t offset = Read32(entry + 8), length = Read32(entry + 12);
        if (!Within(size, offset, length) || length < 6) return false;
        const unsigned char* table = font + offset;
        size_t count = Read16(table + 2), storage = Read16(table + 4);
        if (!Within(length, 6, count * 12)) return false;
        const unsigned char* best = nullptr;
        int bestPreference = 0;
        for (size_t r = 0; r < count; ++r) {
            const unsigned char* record = table + 6 + r * 12;
            int preference = Read16(record + 6) == kFullNameId
                                 ? Preference(Read16(record), Read16(record + 2), Read16(record + 4)) : 0;
            if (preference > bestPreference) best = record, bestPreference = preference;
        }
        if (best == nullptr) return false;
        size_t textOffset = storage + Read16(best + 10), textLength = Read16(best + 8);
        if (!Within(length, textOffset, textLength)) return false;
        return AppendNameText(table + textOffset, textLength, Read16(best) == kMacintoshPlatform, name);
    }
    return false;
}

bool ComposeRegistryName(const unsigned char* font, size_t size, FontNameText& name) {
    if (font == nullptr || size < 12) return false;
    bool collection = Read32(font) == kCollectionTag;
    size_t fonts = collection ? Read32(font + 8) : 1;
    if (fonts == 0 || (collection && !Within(size, 12, fonts * 4))) return false;
    unsigned long firstVersion = 0;
    for (size_t i = 0; i < fonts && name.Fits(); ++i) {
        unsigned long version = 0;
        if (i > 0) name.Append(" & ");
        if (!AppendFullName(font, size, collection ? Read32(font + 12 + 4 * i) : 0, version, name)) return false;
        if (i == 0) firstVersion = version;
    }
    name.Append(firstVersion == kCffOutlines ? " (OpenType)" : " (TrueType)");
    return name.Fits();
}

}  // namespace

bool FontRegistryName(const unsigned char* font, size_t size, FontNameText& name) {
    name.Clear();
    if (ComposeRegistryName(font, size, name)) return true;
    name.Clear();
    return false;
}
