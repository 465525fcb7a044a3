// The .xz decoder: streams packed by Debian's xz (make_xz_fixtures.sh) decode to their inputs in
// pieces of any size; damaged streams, from a table and at random, are refused, and never make it
// read or write outside its buffers (exact-size copies, so AddressSanitizer sees every overrun).
#include <doctest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
XzDecoder decoder;  // static, as in the program: its stage and probabilities take 100 KB

Bytes Load(const std::string& name) {
    std::ifstream file(QV_XZ_FIXTURES "/" + name, std::ios::binary);
    REQUIRE_MESSAGE(file, name);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

uint32_t Le32(const Bytes& s, size_t at) { return s[at] | s[at + 1] << 8 | s[at + 2] << 16 | uint32_t(s[at + 3]) << 24; }

uint64_t Vli(const Bytes& s, size_t& at) {
    uint64_t value = 0;
    for (int shift = 0; at < s.size(); shift += 7) {
        value |= uint64_t(s[at] & 0x7F) << shift;
        if (!(s[at++] & 0x80)) break;
    }
    return value;
}

// Bit by bit, unlike the decoder's tables, so that each checks the other.
uint32_t Crc32(const uint8_t* p, size_t n) {
    uint32_t crc = ~0u;
    while (n--)
        for (int k = 0, b = *p++; k < 8; ++k, b >>= 1) crc = (crc >> 1) ^ (0xEDB88320u & (0 - ((crc ^ b) & 1)));
    return ~crc;
}

// Where the parts of an undamaged stream begin: each block's header, data and check, the index
// and the footer.
struct Parts {
    std::vector<size_t> Blocks, Data, Checks;
    size_t Index, Footer;
};

Parts Find(const Bytes& s) {
    Parts p;
    p.Footer = s.size() - 12;
    p.Index = p.Footer - (Le32(s, p.Footer + 4) + 1ull) * 4;
    size_t at = p.Index + 1, block = 12, checkSize = s[7] == 4 ? 8 : s[7] * 4;
    for (uint64_t count = Vli(s, at); count; --count) {
        uint64_t unpadded = Vli(s, at);
        Vli(s, at);
        p.Blocks.push_back(block);
        p.Data.push_back(block + (s[block] + 1) * 4);
        p.Checks.push_back(block + ((unpadded - checkSize + 3) & ~3ull));
        block += (unpadded + 3) & ~3ull;
    }
    return p;
}

// Makes the CRC32s of the stream header and footer, the block headers and the index match their
// bytes again, so that a change reaches the decoding.
void FixCrcs(Bytes& s, const Parts& p) {
    auto put = [&](size_t from, size_t to, size_t at) {
        uint32_t crc = Crc32(s.data() + from, to - from);
        for (int k = 0; k < 4; ++k) s[at + k] = uint8_t(crc >> (8 * k));
    };
    put(6, 8, 8);
    for (size_t b : p.Blocks)
        if (b + (s[b] + 1) * 4 <= s.size()) put(b, b + s[b] * 4, b + s[b] * 4);
    put(p.Index, p.Footer - 4, p.Footer - 4);
    put(p.Footer + 4, p.Footer + 10, p.Footer);
}

// A stream of the check type of original with one block of the given bytes and sizes.
Bytes OneBlockStream(const Bytes& original, const Bytes& block, uint64_t unpadded, uint64_t uncompressed) {
    Bytes s(original.begin(), original.begin() + 12), index = {0, 1};
    s.insert(s.end(), block.begin(), block.end());
    for (uint64_t v : {unpadded, uncompressed}) {
        for (; v >= 0x80; v >>= 7) index.push_back(uint8_t(v | 0x80));
        index.push_back(uint8_t(v));
    }
    index.resize((index.size() + 3) / 4 * 4 + 4);  // padding and the CRC32
    s.insert(s.end(), index.begin(), index.end());
    uint8_t backward = uint8_t(index.size() / 4 - 1);
    s.insert(s.end(), {0, 0, 0, 0, backward, 0, 0, 0, 0, original[7], 'Y', 'Z'});
    FixCrcs(s, Find(s));
    return s;
}

enum Outcome { kDecodes, kCheckRefuses, kReadRefuses };

// Decodes a copy of a stream in pieces of the given size into an exact-size dictionary; what came
// out goes to out. A stream is never decoded past what its index says it holds.
Outcome Decode(const Bytes& stream, size_t piece, Bytes& out) {
    Bytes data(stream);
    XzStreamInfo info = {};
    bool accepted = XzCheckStream(data.data(), data.size(), &info);
    Bytes dictionary(info.DictionarySize), buffer(piece);
    XzStart(decoder, data.data(), data.size(), dictionary.data(), dictionary.size());
    out.clear();
    for (size_t n; (n = XzRead(decoder, buffer.data(), piece)) && out.size() <= info.UncompressedSize;)
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    bool decoded = !XzFailed(decoder);
    CHECK(out.size() <= info.UncompressedSize);
    CHECK((accepted || !decoded));
    if (decoded) CHECK(out.size() == info.UncompressedSize);
    return !accepted ? kCheckRefuses : decoded ? kDecodes : kReadRefuses;
}

}  // namespace

TEST_CASE("xz: streams packed by xz decode to their inputs in pieces of any size") {
    std::ifstream list(QV_XZ_FIXTURES "/list");
    std::string packed, input;
    int streams = 0;
    while (list >> packed >> input) {
        Bytes stream = Load(packed), expected = Load(input), out;
        XzStreamInfo info = {};
        CAPTURE(packed);
        CHECK(XzCheckStream(stream.data(), stream.size(), &info));
        CHECK(info.UncompressedSize == expected.size());
        CHECK(info.DictionarySize <= (64u << 20));
        for (size_t piece : {size_t(1), size_t(7), size_t(32768), size_t(1) << 20}) {
            if (piece == 1 && expected.size() > 70000) continue;  // time
            CAPTURE(piece);
            CHECK(Decode(stream, piece, out) == kDecodes);
            CHECK((out == expected));
        }
        ++streams;
    }
    CHECK(streams == 37);
}

TEST_CASE("xz: the dictionary asked for is what the blocks declare, or no more than they hold") {
    XzStreamInfo info = {};
    for (auto [name, size] : {std::pair("code-dict4k.xz", 4096u), std::pair("code64k-9.xz", 65536u),
                              std::pair("code-x86-blocks.xz", 100000u), std::pair("one-crc32.xz", 16u),
                              std::pair("empty.xz", 0u)}) {
        Bytes stream = Load(name);
        CHECK(XzCheckStream(stream.data(), stream.size(), &info));
        CHECK_MESSAGE(info.DictionarySize == size, name);
        Bytes small(size ? size - 1 : 0), out(16);
        XzStart(decoder, stream.data(), stream.size(), small.data(), small.size());
        CHECK(XzRead(decoder, out.data(), out.size()) == 0);
        CHECK(XzFailed(decoder) == (size > 0));
    }
}

TEST_CASE("xz: damaged and unsupported streams are refused") {
    struct Damage {
        const char* Stream;
        const char* Part;  // header, block, data, check (of the first block), index, footer, end
        int At;
        char Change;  // c: cut there, x: exclusive-or with value, s: set to value, p: value zeros appended
        int Value;
        bool Fix;  // CRC32s made to match again
        Outcome Expect;
    };
    const Damage rows[] = {
        {"code64k-6-x86", "header", 3, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "block", 0, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "block", 5, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "data", 100, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "check", 0, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "check", 5, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "index", 3, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "footer", 6, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "footer", 11, 'c', 0, false, kCheckRefuses},
        {"code64k-6-x86", "header", 2, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "header", 7, 'x', 5, false, kCheckRefuses},
        {"code64k-6-x86", "header", 9, 'x', 0x80, false, kCheckRefuses},
        {"code64k-6-x86", "block", 0, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "block", 6, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "block", 9, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "data", 100, 'x', 0x10, false, kReadRefuses},
        {"code64k-6-x86", "data", 9000, 'x', 1, false, kReadRefuses},
        {"code64k-6-x86", "check", 0, 'x', 1, false, kReadRefuses},
        {"text-crc32-blocks", "check", 3, 'x', 0x40, false, kReadRefuses},
        {"code64k-6-x86", "index", 1, 'x', 2, false, kCheckRefuses},
        {"code64k-6-x86", "index", 3, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "footer", 0, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "footer", 4, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "footer", 9, 'x', 5, false, kCheckRefuses},
        {"code64k-6-x86", "footer", 10, 'x', 1, false, kCheckRefuses},
        {"code64k-6-x86", "end", 0, 'p', 1, false, kCheckRefuses},
        {"code64k-6-x86", "end", 0, 'p', 8, false, kDecodes},
        {"code64k-6-x86", "end", 0, 's', 1, false, kCheckRefuses},
        // With the CRC32s right again: only the rules of the format can tell.
        {"code64k-6", "block", 4, 's', 29, true, kCheckRefuses},  // dictionary of 96 MiB
        {"code64k-6", "block", 4, 's', 28, true, kDecodes},       // 64 MiB
        {"code64k-6", "block", 4, 's', 41, true, kCheckRefuses},
        {"code64k-6", "block", 2, 's', 3, true, kCheckRefuses},  // the delta filter
        {"code64k-6-x86", "block", 2, 's', 5, true, kCheckRefuses},  // the PowerPC filter
        {"code64k-6-x86", "block", 1, 'x', 4, true, kCheckRefuses},  // a reserved flag
        {"code64k-6-x86", "block", 7, 's', 1, true, kCheckRefuses},  // header padding
        {"code64k-6-x86", "header", 7, 's', 10, true, kCheckRefuses},  // SHA-256, in header and footer
        {"code64k-6-x86", "index", 5, 'x', 1, true, kReadRefuses},  // one byte more than the block holds
        {"code64k-6-x86", "index", 2, 'x', 4, true, kCheckRefuses},  // a block 4 bytes shorter
        {"code64k-6-x86", "index", 1, 's', 2, true, kCheckRefuses},  // two blocks
        {"text-crc32-blocks", "index", 4, 'x', 1, true, kReadRefuses},
        {"code-sizes", "block", 2, 'x', 1, true, kCheckRefuses},  // the compressed size in the header
        {"code-sizes", "block", 5, 'x', 1, true, kCheckRefuses},  // the uncompressed size in the header
        {"text-crc32-blocks", "check", -1, 'x', 1, false, kCheckRefuses},  // block padding
        {"code64k-6-x86", "data", 0, 'x', 0x60, true, kReadRefuses},  // no dictionary reset first
        {"code64k-6-x86", "data", 0, 's', 3, true, kReadRefuses},     // no such chunk
        {"code64k-6-x86", "data", 5, 's', 103, true, kReadRefuses},   // lc + lp = 5
        {"code64k-6-x86", "data", 5, 's', 225, true, kReadRefuses},   // pb = 5
        {"code64k-6-x86", "data", 1, 'x', 1, true, kReadRefuses},    // a chunk 256 bytes shorter
        {"code64k-6-x86", "data", 3, 'x', 1, true, kReadRefuses},    // compressed past the block's end
        {"code64k-6-x86", "data", 6, 's', 1, true, kReadRefuses},    // the range decoder's first byte
        {"random", "data", 1, 'x', 0x80, true, kReadRefuses},        // an uncompressed chunk cut short
    };
    for (const Damage& row : rows) {
        std::string name = row.Stream + std::string(".xz"), part = row.Part;
        Bytes s = Load(name), out;
        Parts parts = Find(s);
        size_t at = row.At + (part == "block" ? parts.Blocks[0] : part == "data" ? parts.Data[0]
                              : part == "check" ? parts.Checks[0] : part == "index" ? parts.Index
                              : part == "footer" ? parts.Footer : part == "end" ? s.size() : 0);
        if (row.Change == 'c') s.resize(at);
        if (row.Change == 'p') s.resize(s.size() + row.Value);
        if (row.Change == 's' && at == s.size()) s.push_back(uint8_t(row.Value));
        else if (row.Change == 's') s[at] = uint8_t(row.Value);
        if (row.Change == 'x') s[at] ^= uint8_t(row.Value);
        if (part == "header" && row.Fix) s[parts.Footer + 9] = s[7];
        if (row.Fix) FixCrcs(s, parts);
        CAPTURE(name);
        CAPTURE(part);
        CAPTURE(row.At);
        CHECK(Decode(s, 4096, out) == row.Expect);
    }
}

TEST_CASE("xz: the x86 filter is taken with a start offset of 0 only") {
    Bytes s = Load("code64k-6-x86.xz"), out;
    Parts p = Find(s);
    size_t b = p.Blocks[0], at = p.Index + 1;
    Vli(s, at);
    uint64_t unpadded = Vli(s, at), uncompressed = Vli(s, at);
    // Its block header again with the four bytes of a start offset of 0: 16 bytes instead of 12.
    Bytes block = {3, 1, 4, 4, 0, 0, 0, 0, 0x21, 1, s[b + 6], 0, 0, 0, 0, 0};
    block.insert(block.end(), s.begin() + b + 12, s.begin() + p.Index);
    Bytes t = OneBlockStream(s, block, unpadded + 4, uncompressed);
    CHECK(Decode(t, 4096, out) == kDecodes);
    CHECK((out == Load("code64k")));
    t[12 + 4] = 1;
    FixCrcs(t, Find(t));
    CHECK(Decode(t, 4096, out) == kCheckRefuses);
    CHECK(Decode(Load("code64k-x86-start16.xz"), 4096, out) == kCheckRefuses);
}

TEST_CASE("xz: randomly damaged streams are refused or decoded within their bounds") {
    const char* const names[] = {"small-code.xz", "small-text.xz", "small-random.xz"};
    std::vector<Bytes> bases;
    std::vector<Parts> parts;
    for (const char* name : names) bases.push_back(Load(name)), parts.push_back(Find(bases.back()));
    std::mt19937 random(20240611);
    int outcomes[3] = {};
    for (int round = 0; round < 12000; ++round) {
        size_t which = round % 3;
        Bytes s = bases[which], out;
        auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
        int kind = round / 3 % 4;
        if (kind == 0) s.resize(below(s.size()));
        if (kind == 1) s.insert(s.begin() + below(s.size() + 1), uint8_t(below(256)));
        for (int k = kind >= 2 ? 1 + below(3) : 0; k > 0; --k) s[below(s.size())] ^= uint8_t(1 + below(255));
        if (kind == 3) FixCrcs(s, parts[which]);
        ++outcomes[Decode(s, 1 + below(3000), out)];
    }
    // The CRC32s put right let damaged streams through to the decoding, where damage must be found.
    CHECK(outcomes[kReadRefuses] > 2000);
    MESSAGE("decoded " << outcomes[kDecodes] << ", refused by the check " << outcomes[kCheckRefuses]
                       << ", refused while decoding " << outcomes[kReadRefuses]);
}
