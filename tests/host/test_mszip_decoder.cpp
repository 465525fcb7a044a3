// The MSZIP decoder: folders packed as a cabinet writer packs them (with zlib, here only) come back
// byte for byte, the cabinets of cabinets/ unpack, and damaged blocks are refused without a read
// or write outside their buffers.
#include <doctest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "package/mszip_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
struct Block {
    Bytes Data;
    size_t Expected;
};
using Folder = std::vector<Block>;

MszipDecoder decoder;  // as in the program: zero-initialised static storage

// As a cabinet writer packs a folder: each piece of input (32 KB but the last) a raw deflate
// stream of its own, which may refer to the 32 KB before it, behind "CK".
Folder Pack(const Bytes& input, int level, int strategy, size_t piece = kMszipBlockMax) {
    Folder folder;
    for (size_t at = 0; at < input.size(); at += piece) {
        size_t n = std::min(piece, input.size() - at), history = std::min(at, kMszipBlockMax);
        z_stream z = {};
        REQUIRE(deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy) == Z_OK);
        if (history > 0) REQUIRE(deflateSetDictionary(&z, &input[at - history], static_cast<uInt>(history)) == Z_OK);
        Bytes data(n + n / 8 + 1024);  // ample: a stored block adds 5 bytes to 64 KB
        data[0] = 'C', data[1] = 'K';
        z.next_in = const_cast<Bytef*>(&input[at]), z.avail_in = static_cast<uInt>(n);
        z.next_out = &data[2], z.avail_out = static_cast<uInt>(data.size() - 2);
        REQUIRE(deflate(&z, Z_FINISH) == Z_STREAM_END);
        data.resize(2 + z.total_out);
        deflateEnd(&z);
        folder.push_back({data, n});
    }
    return folder;
}

// One block from a heap copy of exactly its size into a buffer of exactly `expected` bytes, so
// that AddressSanitizer sees any access beyond either.
bool DecodeExact(const Bytes& data, size_t expected, Bytes* result = nullptr) {
    std::unique_ptr<uint8_t[]> in(new uint8_t[data.size()]), out(new uint8_t[expected]);
    std::copy(data.begin(), data.end(), in.get());
    std::fill(out.get(), out.get() + expected, 0xA5);
    bool ok = MszipDecodeBlock(decoder, in.get(), data.size(), out.get(), expected);
    if (!ok) CHECK(std::count(out.get(), out.get() + expected, 0xA5) == static_cast<long>(expected));
    if (result != nullptr) result->insert(result->end(), out.get(), out.get() + expected);
    return ok;
}

bool Unpack(const Folder& folder, Bytes& result) {
    MszipStartFolder(decoder);
    result.clear();
    for (const Block& block : folder)
        if (!DecodeExact(block.Data, block.Expected, &result)) return false;
    return true;
}

// Test data of a kind: 0 text, 1 random bytes (stored blocks), 2 long runs, 3 all three mixed.
Bytes Sample(int kind, size_t size, unsigned seed) {
    static const char* const words[] = {"Quorvane ", "packt ", "diese ", "Datei\r\n", "in ", "ein ", "Cabinet. "};
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        int k = kind == 3 ? static_cast<int>(random() % 3) : kind;
        for (int i = 0; i < 40; ++i) {
            if (k == 0) for (const char* w = words[random() % 7]; *w; ++w) data.push_back(static_cast<uint8_t>(*w));
            if (k == 1) data.push_back(static_cast<uint8_t>(random()));
            if (k == 2) data.insert(data.end(), random() % 700, static_cast<uint8_t>(random() % 3));
        }
    }
    data.resize(size);
    return data;
}

TEST_CASE("mszip round trip: every level and strategy, every kind of data, matches across blocks") {
    // Levels 0 (stored blocks only) to 9, then fixed codes only, no matches, runs only, filtered.
    const struct { int Level, Strategy; } packers[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0},
        {7, 0}, {8, 0}, {9, 0}, {6, Z_FIXED}, {9, Z_FIXED}, {6, Z_HUFFMAN_ONLY}, {6, Z_RLE}, {6, Z_FILTERED}};
    const size_t sizes[] = {1, 2, 300, 32768, 32769, 150000};
    for (const auto& packer : packers)
        for (int kind = 0; kind < 4; ++kind)
            for (size_t size : sizes) {
                Bytes input = Sample(kind, size, static_cast<unsigned>(size) + kind), output;
                INFO("level ", packer.Level, ", strategy ", packer.Strategy, ", kind ", kind, ", size ", size);
                CHECK((Unpack(Pack(input, packer.Level, packer.Strategy), output) && output == input));
            }
    for (size_t piece : {1, 7, 1000}) {  // blocks far smaller than 32 KB, each one's history all before it
        Bytes input = Sample(3, 5000, 7), output;
        CHECK((Unpack(Pack(input, 9, Z_DEFAULT_STRATEGY, piece), output) && output == input));
    }
}

TEST_CASE("mszip history: a block refers to the ones before it, but never before the folder") {
    Bytes input = Sample(0, 100000, 3), output;
    Folder folder = Pack(input, 9, Z_DEFAULT_STRATEGY);
    REQUIRE(folder.size() == 4);
    CHECK((Unpack(folder, output) && output == input));
    // Text repeats, so each later block reaches into its history: alone, it reaches before the folder.
    for (size_t i = 1; i < folder.size(); ++i) {
        MszipStartFolder(decoder);
        CHECK_FALSE(DecodeExact(folder[i].Data, folder[i].Expected));
    }
    // A new folder forgets the last one's history.
    CHECK(Unpack(folder, output));
    MszipStartFolder(decoder);
    CHECK_FALSE(DecodeExact(folder[1].Data, folder[1].Expected));
}

// Each folder's bytes of a cabinet of cabinets/ (cabinets/README.md), its blocks found as
// CheckPackage finds them, all MSZIP.
std::vector<Bytes> UnpackCabinet(const char* name) {
    std::ifstream file(std::string(QV_HOST_TEST_DIR "/cabinets/") + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string cab = text.str();
    auto at16 = [&](size_t at) { return static_cast<size_t>(static_cast<uint8_t>(cab.at(at)) | static_cast<uint8_t>(cab.at(at + 1)) << 8); };
    size_t table = 36, folderReserve = 0, blockReserve = 0;
    if (at16(30) & 4) table = 40 + at16(36), folderReserve = at16(38) & 0xFF, blockReserve = at16(38) >> 8;
    std::vector<Bytes> folders(at16(26));
    for (size_t f = 0; f < folders.size(); ++f) {
        size_t entry = table + f * (8 + folderReserve), at = at16(entry) | at16(entry + 2) << 16;
        REQUIRE(at16(entry + 6) == 1);
        Folder blocks;
        for (size_t n = at16(entry + 4); n > 0; --n, at += 8 + blockReserve + at16(at + 4)) {
            size_t start = at + 8 + blockReserve;
            blocks.push_back({Bytes(cab.begin() + start, cab.begin() + start + at16(at + 4)), at16(at + 6)});
        }
        CHECK(Unpack(blocks, folders[f]));
    }
    return folders;
}

TEST_CASE("mszip real cabinets: gcab's and Windows' own cabinet library's blocks give the files they hold") {
    std::string setup = "[General]\r\nAppName=Qv Paket\r\n[Files]\r\n1=Daten\\Text.txt\r\n", text;
    char line[64];
    for (int i = 0; i < 1500; ++i)
        text += std::string(line, std::snprintf(line, sizeof line, "Zeile %05d: Quorvane packt diese Datei in ein Cabinet.\r\n", i));
    auto bytes = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    CHECK(UnpackCabinet("gcab.cab") == std::vector<Bytes>{bytes(setup + text + "bang")});
    CHECK(UnpackCabinet("cabarc-folders.cab") == std::vector<Bytes>{bytes(setup), bytes(text), bytes("a")});
    CHECK(UnpackCabinet("cabarc-reserve.cab") == std::vector<Bytes>{bytes(setup + text)});
}

// A block written bit by bit, fields separated by blanks: "CK" its two bytes; "V:N" the N bits of
// V, lowest first (deflate's header fields and extra bits); "~V:N" a code of N bits, highest
// first; "V:N*K" K times; "|" up to the next byte.
Bytes Bits(const std::string& fields) {
    Bytes data;
    size_t bit = 0;
    std::istringstream in(fields);
    for (std::string field; in >> field;) {
        if (field == "CK") data.insert(data.end(), {'C', 'K'}), bit += 16;
        if (field == "|") bit = (bit + 7) / 8 * 8;
        size_t colon = field.find(':'), star = field.find('*');
        if (colon == std::string::npos) continue;
        bool code = field[0] == '~';
        unsigned long value = std::stoul(field.substr(code), nullptr, 0), n = std::stoul(field.substr(colon + 1));
        for (unsigned long k = star == std::string::npos ? 1 : std::stoul(field.substr(star + 1)); k > 0; --k)
            for (unsigned long i = 0; i < n; ++i, ++bit) {
                if (bit / 8 >= data.size()) data.push_back(0);
                data[bit / 8] |= ((value >> (code ? n - 1 - i : i)) & 1) << (bit % 8);
            }
    }
    return data;
}

// A stored block of one byte, 'x'.
const char* const kStoredX = "CK 1:1 0:2 | 1:16 0xFFFE:16 120:8";

TEST_CASE("mszip damaged blocks are refused") {
    // The block's bits, the bytes it declares, whether the 1 byte 'x' of history precedes it, and
    // what it gives (null: refused). "Fixed A": a fixed-code block of 'A' (code 0x71) and its end (0).
    const struct { const char* Name; const char* Fields; size_t Expected; bool AfterX; const char* Gives; } rows[] = {
        {"fixed A", "CK 1:1 1:2 ~0x71:8 ~0:7", 1, false, "A"},
        {"fixed A, bytes after it", "CK 1:1 1:2 ~0x71:8 ~0:7 | 0xFF:8*9", 1, false, "A"},
        {"fixed A, no CK", "67:8 88:8 1:1 1:2 ~0x71:8 ~0:7", 1, false, nullptr},
        {"fixed A, no final block", "CK 0:1 1:2 ~0x71:8 ~0:7", 1, false, nullptr},
        {"fixed A declared as 2 bytes", "CK 1:1 1:2 ~0x71:8 ~0:7", 2, false, nullptr},
        {"BTYPE 3", "CK 1:1 3:2 ~0x71:8 ~0:7", 1, false, nullptr},
        {"fixed literal/length symbol 286", "CK 1:1 1:2 ~0xC6:8 ~0:7", 1, false, nullptr},
        {"fixed literal/length symbol 287", "CK 1:1 1:2 ~0xC7:8 ~0:7", 1, false, nullptr},
        {"'a', then 3 at distance 1", "CK 1:1 1:2 ~0x91:8 ~1:7 ~0:5 ~0:7", 4, false, "aaaa"},
        {"'a', then 3 at distance 1, declared as 3 bytes", "CK 1:1 1:2 ~0x91:8 ~1:7 ~0:5 ~0:7", 3, false, nullptr},
        {"'a', then 3 at distance symbol 30", "CK 1:1 1:2 ~0x91:8 ~1:7 ~30:5 ~0:7", 4, false, nullptr},
        {"'a', then 3 at distance symbol 31", "CK 1:1 1:2 ~0x91:8 ~1:7 ~31:5 ~0:7", 4, false, nullptr},
        {"'a', then 3 at distance 2: before the folder", "CK 1:1 1:2 ~0x91:8 ~1:7 ~1:5 ~0:7", 4, false, nullptr},
        {"'a', then 3 at distance 2 after 'x'", "CK 1:1 1:2 ~0x91:8 ~1:7 ~1:5 ~0:7", 4, true, "axax"},
        {"'a', then 3 at distance 3 after 'x'", "CK 1:1 1:2 ~0x91:8 ~1:7 ~2:5 ~0:7", 4, true, nullptr},
        {"stored hi!!!", "CK 1:1 0:2 | 5:16 0xFFFA:16 104:8 105:8 33:8*3", 5, false, "hi!!!"},
        {"stored, NLEN no complement of LEN", "CK 1:1 0:2 | 5:16 0xFFFB:16 104:8 105:8 33:8*3", 5, false, nullptr},
        {"stored, longer than the input", "CK 1:1 0:2 | 6:16 0xFFF9:16 104:8 105:8 33:8*3", 6, false, nullptr},
        // Dynamic: 258 code lengths (HLIT 0, HDIST 0) written with a code-length code of two
        // 1-bit codes, for 0 and 1 (HCLEN 14: up to the place of 1 in the order).
        {"dynamic A", "CK 1:1 2:2 0:5 0:5 14:4 0:3*3 1:3 0:3*13 1:3 0:1*65 1:1 0:1*190 1:1*2 0:1 1:1", 1, false, "A"},
        {"dynamic, over-subscribed lengths", "CK 1:1 2:2 0:5 0:5 14:4 0:3*3 1:3 0:3*13 1:3 0:1*65 1:1*2 0:1*189 1:1*2 0:1 1:1", 1, false, nullptr},
        // Lengths 2 for 'A' and the end only: two codes that leave half of the code space unused.
        {"dynamic, incomplete lengths", "CK 1:1 2:2 0:5 0:5 14:4 0:3*3 1:3 0:3*11 2:3 0:3 2:3 ~0:1*65 ~3:2 ~0:1*190 ~3:2 ~2:2 ~0:2 ~1:2", 1, false, nullptr},
        {"dynamic, over-subscribed code-length code", "CK 1:1 2:2 0:5 0:5 0:4 1:3*4", 1, false, nullptr},
        {"dynamic A, its code-length code incomplete", "CK 1:1 2:2 0:5 0:5 14:4 0:3*3 2:3 0:3*13 2:3 ~0:2*65 ~1:2 ~0:2*190 ~1:2*2 0:1 1:1", 1, false, nullptr},
        {"dynamic, a repeat with nothing before it", "CK 1:1 2:2 0:5 0:5 0:4 1:3*2 0:3*2 ~0:1 0:2", 1, false, nullptr},
        {"dynamic, zeros repeated beyond the last length", "CK 1:1 2:2 0:5 0:5 0:4 0:3*2 1:3*2 ~1:1 127:7 ~1:1 127:7", 1, false, nullptr},
    };
    for (const auto& row : rows) {
        INFO(std::string(row.Name));
        MszipStartFolder(decoder);
        if (row.AfterX) REQUIRE(DecodeExact(Bits(kStoredX), 1));
        Bytes result;
        CHECK(DecodeExact(Bits(row.Fields), row.Expected, &result) == (row.Gives != nullptr));
        if (row.Gives != nullptr) CHECK(std::string(result.begin(), result.end()) == row.Gives);
    }
    // 65,535 zeros declared as 32,768: this input once made a decoder write beyond its buffer.
    // Nor may it touch the decoder's own state: the folder's history ('x') stays as it was.
    Folder zeros = Pack(Bytes(65535, 0), 9, Z_DEFAULT_STRATEGY, 65535);
    MszipStartFolder(decoder);
    REQUIRE(DecodeExact(Bits(kStoredX), 1));
    CHECK_FALSE(DecodeExact(zeros[0].Data, kMszipBlockMax));
    Bytes result;
    CHECK((DecodeExact(Bits("CK 1:1 1:2 ~0x91:8 ~1:7 ~1:5 ~0:7"), 4, &result) && result == Bytes{'a', 'x', 'a', 'x'}));
    // A block of stored, of fixed and of dynamic codes, cut short at every byte.
    for (int packer : {0, 1, 2}) {
        Block block = Pack(Sample(3, 3000, 5), packer ? 6 : 0, packer == 1 ? Z_FIXED : Z_DEFAULT_STRATEGY)[0];
        MszipStartFolder(decoder);
        REQUIRE(DecodeExact(block.Data, block.Expected));
        for (size_t cut = 0; cut < block.Data.size(); ++cut)
            CHECK_FALSE(DecodeExact(Bytes(block.Data.begin(), block.Data.begin() + cut), block.Expected));
    }
}

TEST_CASE("mszip random damage: no access outside the buffers, and a block that decodes gives what it declares") {
    std::vector<Folder> sound;
    for (int kind = 0; kind < 4; ++kind)
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_RLE})
            sound.push_back(Pack(Sample(kind, 3000, kind), kind == 1 ? 0 : 6, strategy, 1200));
    std::mt19937 random(20250601);
    int decoded = 0;
    for (int round = 0; round < 10000; ++round) {
        Folder folder = sound[random() % sound.size()];
        for (int changes = 1 + random() % 3; changes > 0; --changes) {
            Bytes& data = folder[random() % folder.size()].Data;
            if (data.empty()) continue;
            size_t at = random() % data.size();
            unsigned change = random() % 4;  // a byte changed, a bit flipped, the rest cut off, a byte inserted
            if (change < 2) data[at] ^= static_cast<uint8_t>(change ? 1 << random() % 8 : 1 + random() % 255);
            else if (change == 2) data.resize(at);
            else data.insert(data.begin() + at, static_cast<uint8_t>(random()));
        }
        MszipStartFolder(decoder);
        for (const Block& block : folder) {
            // The number of bytes a stream gives does not depend on its history's bytes, so at
            // most one of three neighbouring declared sizes may decode.
            int ok = DecodeExact(block.Data, block.Expected + 1) + DecodeExact(block.Data, block.Expected - 1);
            bool exact = DecodeExact(block.Data, block.Expected);
            CHECK(ok + exact <= 1);
            decoded += exact;
            if (!exact) break;
        }
    }
    CHECK(decoded > 0);
}

}  // namespace
