// The version resource walked block by block. Every length is checked against the block around
// it before anything of the block is read, so a damaged resource is refused and never read
// outside. Offsets count from the resource's start: its 32-bit alignment refers to that.
#include "files/version_info_rules.h"

#include "files/code_page_rules.h"
#include "support/text_helpers.h"

namespace {

constexpr unsigned long kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 52;
constexpr size_t kProductVersionAt = 16;  // dwProductVersionMS, then LS, in VS_FIXEDFILEINFO
const char* const kPreferredTables[] = {"040704b0", "040704e4", "040904b0", "040904e4"};

unsigned Read16(const unsigned char* p) { return static_cast<unsigned>(p[0] | p[1] << 8); }
unsigned long Read32(const unsigned char* p) { return Read16(p) | static_cast<unsigned long>(Read16(p + 2)) << 16; }
size_t Align4(size_t offset) { return (offset + 3) & ~static_cast<size_t>(3); }

struct Block {
    size_t Key;          // the zero-terminated UTF-16 key
    size_t Value;        // the value, or End when the block has none
    size_t ValueLength;  // wValueLength
    size_t Children;     // the first child block, if any lies before End
    size_t End;          // behind the block (wLength counts no padding behind it)
};

// The block at offset at, which has to end within limit.
bool ReadBlock(const unsigned char* data, size_t at, size_t limit, Block& block) {
    if (at > limit || limit - at < 6) return false;
    size_t length = Read16(data + at);
    if (length < 6 || length > limit - at) return false;
    block.End = at + length;
    block.Key = at + 6;
    size_t p = block.Key;
    while (p + 2 <= block.End && Read16(data + p) != 0) p += 2;
    if (p + 2 > block.End) return false;
    // A block without a value may end right behind its key, before the padding.
    block.Value = Align4(p + 2) < block.End ? Align4(p + 2) : block.End;
    // Strings count wValueLength in characters, other values in bytes, and some writers count a
    // string's bytes: the length in bytes is what has to lie within the block.
    block.ValueLength = Read16(data + at + 2);
    if (block.ValueLength > block.End - block.Value) return false;
    block.Children = Align4(block.Value + block.ValueLength);
    return true;
}

// True when the block's key is the ASCII text key, letter case aside. The key's terminator
// differs from every character of key, so the comparison stops within the block.
bool KeyIs(const unsigned char* data, const Block& block, const char* key) {
    size_t p = block.Key;
    for (; *key != 0; ++key, p += 2) {
        unsigned c = Read16(data + p);
        if (c > 0x7F || UpperAscii(static_cast<char>(c)) != UpperAscii(*key)) return false;
    }
    return Read16(data + p) == 0;
}

bool ReadRoot(const unsigned char* data, size_t size, Block& root) {
    return data != nullptr && ReadBlock(data, 0, size, root) && KeyIs(data, root, "VS_VERSION_INFO") &&
           root.ValueLength >= kFixedInfoSize && Read32(data + root.Value) == kFixedInfoSignature;
}

// The string table to read: the preferred one that comes first in kPreferredTables, else the
// first of all.
bool FindStringTable(const unsigned char* data, const Block& root, Block& best) {
    int bestRank = 0;
    Block info, table;
    for (size_t at = root.Children; at < root.End; at = Align4(info.End)) {
        if (!ReadBlock(data, at, root.End, info)) return false;
        if (!KeyIs(data, info, "StringFileInfo")) continue;
        for (size_t t = info.Children; t < info.End; t = Align4(table.End)) {
            if (!ReadBlock(data, t, info.End, table)) return false;
            int rank = 1;
            for (int i = 0; i < 4; ++i)
                if (KeyIs(data, table, kPreferredTables[i])) rank = 5 - i;
            if (rank > bestRank) best = table, bestRank = rank;
        }
    }
    return bestRank > 0;
}

// The company name, converted; false when there is none or it cannot be converted.
bool ReadCompanyName(const unsigned char* data, size_t size, CompanyText& name) {
    Block root, table, text;
    if (!ReadRoot(data, size, root) || !FindStringTable(data, root, table)) return false;
    for (size_t at = table.Children; at < table.End; at = Align4(text.End)) {
        if (!ReadBlock(data, at, table.End, text)) return false;
        if (!KeyIs(data, text, "CompanyName")) continue;
        // Up to its terminator or the end of its block, whatever wValueLength counted.
        for (size_t p = text.Value; p + 2 <= text.End && Read16(data + p) != 0; p += 2) {
            unsigned char c = AnsiFromUnicode(Read16(data + p));
            if (c == 0) return false;
            name.AppendChar(static_cast<char>(c));
        }
        return !name.IsEmpty();
    }
    return false;
}

}  // namespace

bool VersionResourceProductVersion(const unsigned char* block, size_t size, VersionNumber& version) {
    version = VersionNumber();
    Block root;
    if (!ReadRoot(block, size, root)) return false;
    for (int i = 0; i < 4; ++i) {
        unsigned long half = Read32(block + root.Value + kProductVersionAt + 4 * (i / 2));
        version.Parts[i] = static_cast<unsigned>(i % 2 == 0 ? half >> 16 : half & 0xFFFF);
        if (i > 0) version.Text.AppendChar('.');
        version.Text.Append(DecimalText(version.Parts[i], false).CStr());
    }
    return true;
}

bool VersionResourceCompanyName(const unsigned char* block, size_t size, CompanyText& name) {
    name.Clear();
    bool read = ReadCompanyName(block, size, name);
    if (!read) name.Clear();
    return read && name.Fits();
}
