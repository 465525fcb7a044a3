// Our own decoder of MSZIP data blocks (deflate streams, each behind "CK").
#include "package/mszip_decoder.h"

#include <string.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the bit reader loads eight bytes at once");

namespace {

// What a code's entry means, in its bits 8 and 9. Bits 0-3 hold the code's length (0: not in
// the fast table), bits 4-7 the number of extra bits of a length or distance, bits 16-31 the
// literal byte, the code-length symbol, or the length or distance before its extra bits.
constexpr uint32_t kLiteral = 0x000;
constexpr uint32_t kCopy = 0x100;
constexpr uint32_t kEnd = 0x200;
constexpr uint32_t kInvalid = 0x300;
constexpr uint32_t kKindMask = 0x300;
constexpr int kMaxCodeLength = 15;
constexpr size_t kFastSize = size_t{1} << kMszipFastBits;

// The order in which a dynamic block lists the code lengths of its code-length code: the ones
// most often unused come last, so the list can stop early.
const uint8_t kLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Deflate packs its codes starting at the lowest bit of each byte. Count is the number of bits
// in Buffer that belong to the input; it goes below zero only once the input has run out (the
// missing bits then read as zeros), which the decoder checks before it trusts a result.
struct BitReader {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
    uint64_t Buffer;
    int Count;
};

// Tops the buffer up to at least 56 bits while the input lasts: enough for a length code with
// its extra bits and a distance code with its extra bits, so one refill serves a whole match.
void Refill(BitReader& in) {
    if (in.Size - in.Pos >= 8) {
        uint64_t next;
        __builtin_memcpy(&next, in.Data + in.Pos, 8);
        in.Buffer |= next << in.Count;
        in.Pos += static_cast<size_t>(63 - in.Count) >> 3;
        in.Count |= 56;
        return;
    }
    for (; in.Count < 56 && in.Pos < in.Size; in.Count += 8)
        in.Buffer |= static_cast<uint64_t>(in.Data[in.Pos++]) << in.Count;
}

uint32_t Take(BitReader& in, uint32_t bits) {
    uint32_t value = static_cast<uint32_t>(in.Buffer) & ((1u << bits) - 1);
    in.Buffer >>= bits;
    in.Count -= static_cast<int>(bits);
    return value;
}

uint32_t Read(BitReader& in, uint32_t bits) {
    Refill(in);
    return Take(in, bits);
}

// The meaning of a literal/length symbol (or of a distance symbol): lengths and distances come
// in groups of 4 (2) of equal extra bits, each group twice as wide as the one before it.
uint32_t SymbolEntry(uint32_t symbol, bool distance) {
    uint32_t shift = 1, offset = 1, limit = 30;
    if (!distance) {
        if (symbol < 256) return symbol << 16 | kLiteral;
        if (symbol == 256) return kEnd;
        if (symbol == 285) return 258u << 16 | kCopy;
        symbol -= 257;
        shift = 2, offset = 3, limit = 28;
    }
    if (symbol >= limit) return kInvalid;
    uint32_t extra = 0, base = symbol;
    if (symbol >= 2u << shift) {
        extra = (symbol >> shift) - 1;
        base = ((1u << shift) | (symbol & ((1u << shift) - 1))) << extra;
    }
    return (base + offset) << 16 | extra << 4 | kCopy;
}

// Builds the canonical code of n code lengths. Refuses an over-subscribed set, and an incomplete
// one unless it has at most one code (deflate's way of writing a single distance).
bool BuildCode(MszipCode& code, const uint8_t* lengths, uint32_t n, bool distance) {
    uint16_t next[kMaxCodeLength + 2] = {};
    memset(code.Count, 0, sizeof code.Count);
    for (uint32_t s = 0; s < n; ++s) ++code.Count[lengths[s]];
    int left = 1;
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        left = 2 * left - code.Count[length];
        if (left < 0) return false;
        next[length + 1] = static_cast<uint16_t>(next[length] + code.Count[length]);
    }
    if (left > 0 && n - code.Count[0] > 1) return false;
    for (uint32_t s = 0; s < n; ++s)
        if (lengths[s] != 0) code.Entries[next[lengths[s]]++] = SymbolEntry(s, distance);
    memset(code.Fast, 0, sizeof code.Fast);
    uint32_t canonical = 0, index = 0;
    for (uint32_t length = 1; length <= kMszipFastBits; ++length, canonical <<= 1) {
        for (uint32_t k = code.Count[length]; k > 0; --k, ++canonical, ++index) {
            // The input holds a code's first bit lowest, so the table is indexed by it reversed.
            uint32_t reversed = 0;
            for (uint32_t bit = 0; bit < length; ++bit) reversed |= (canonical >> bit & 1) << (length - 1 - bit);
            for (; reversed < kFastSize; reversed += 1u << length) code.Fast[reversed] = code.Entries[index] | length;
        }
    }
    return true;
}

// The entry of the next code in bits, kInvalid (with length 0) when there is none. Codes longer
// than the fast table are rare by their nature, so walking the lengths bit by bit costs little.
uint32_t DecodeSymbol(const MszipCode& code, uint64_t bits) {
    uint32_t entry = code.Fast[bits & (kFastSize - 1)];
    if (entry & 15) return entry;
    uint32_t canonical = 0, first = 0, index = 0;
    for (uint32_t length = 1; length <= kMaxCodeLength; ++length, bits >>= 1) {
        canonical |= bits & 1;
        uint32_t count = code.Count[length];
        if (canonical - first < count) return code.Entries[index + canonical - first] | length;
        index += count;
        first = (first + count) << 1;
        canonical <<= 1;
    }
    return kInvalid;
}

uint32_t NextSymbol(const MszipCode& code, BitReader& in) {
    uint32_t entry = DecodeSymbol(code, in.Buffer);
    Take(in, entry & 15);
    return entry;
}

// A dynamic block's header: its code-length code, then the lengths of its two codes, which
// run on from one into the other as a single list.
bool ReadDynamicCodes(MszipDecoder& decoder, BitReader& in) {
    uint8_t* lengths = decoder.Lengths;
    uint32_t literals = Read(in, 5) + 257, distances = Read(in, 5) + 1, listed = Read(in, 4) + 4;
    memset(lengths, 0, 19);
    for (uint32_t i = 0; i < listed; ++i) lengths[kLengthOrder[i]] = static_cast<uint8_t>(Read(in, 3));
    if (!BuildCode(decoder.Distances, lengths, 19, false)) return false;
    for (uint32_t i = 0, total = literals + distances; i < total;) {
        Refill(in);
        uint32_t entry = NextSymbol(decoder.Distances, in);
        uint32_t symbol = entry >> 16;
        if ((entry & kKindMask) != kLiteral) return false;
        if (symbol < 16) {
            lengths[i++] = static_cast<uint8_t>(symbol);
            continue;
        }
        if (symbol == 16 && i == 0) return false;
        uint8_t value = symbol == 16 ? lengths[i - 1] : 0;
        uint32_t repeat = symbol == 16 ? 3 + Take(in, 2) : symbol == 17 ? 3 + Take(in, 3) : 11 + Take(in, 7);
        if (repeat > total - i) return false;
        memset(lengths + i, value, repeat);
        i += repeat;
    }
    return BuildCode(decoder.Literals, lengths, literals, false) &&
           BuildCode(decoder.Distances, lengths + literals, distances, true);
}

void BuildFixedCodes(MszipDecoder& decoder) {
    uint8_t* lengths = decoder.Lengths;
    memset(lengths, 8, 144);
    memset(lengths + 144, 9, 112);
    memset(lengths + 256, 7, 24);
    memset(lengths + 280, 8, 8);
    memset(lengths + 288, 5, 32);
    BuildCode(decoder.Literals, lengths, 288, false);
    BuildCode(decoder.Distances, lengths + 288, 32, true);
}

// The deflate stream of one data block into the second half of the window.
bool Inflate(MszipDecoder& decoder, BitReader& in, size_t expected) {
    uint8_t* const out = decoder.Window + kMszipBlockMax;
    size_t produced = 0;
    uint32_t header;
    do {
        header = Read(in, 3);
        uint32_t type = header >> 1;
        if (type == 0) {
            Take(in, in.Count & 7);
            uint32_t length = Read(in, 16), check = Read(in, 16);
            if (in.Count < 0 || (length ^ check) != 0xFFFF) return false;
            // The stored bytes follow the header directly: hand back the bytes the buffer read ahead.
            in.Pos -= static_cast<size_t>(in.Count >> 3);
            in.Buffer = 0;
            in.Count = 0;
            if (length > in.Size - in.Pos || length > expected - produced) return false;
            memcpy(out + produced, in.Data + in.Pos, length);
            in.Pos += length;
            produced += length;
            continue;
        }
        if (type == 3) return false;
        if (type == 2) {
            decoder.FixedCodes = false;
            if (!ReadDynamicCodes(decoder, in)) return false;
        } else if (!decoder.FixedCodes) {
            BuildFixedCodes(decoder);
            decoder.FixedCodes = true;
        }
        for (;;) {
            Refill(in);
            uint32_t entry = NextSymbol(decoder.Literals, in);
            uint32_t kind = entry & kKindMask;
            if (kind == kLiteral) {
                if (produced == expected) return false;
                out[produced++] = static_cast<uint8_t>(entry >> 16);
                continue;
            }
            if (kind == kEnd) break;
            if (kind != kCopy) return false;
            size_t length = (entry >> 16) + Take(in, entry >> 4 & 15);
            entry = NextSymbol(decoder.Distances, in);
            if ((entry & kKindMask) != kCopy) return false;
            size_t distance = (entry >> 16) + Take(in, entry >> 4 & 15);
            if (distance > decoder.History + produced || length > expected - produced) return false;
            // Byte by byte, so a match may overlap the bytes it is producing (a run).
            uint8_t* to = out + produced;
            const uint8_t* from = to - distance;
            produced += length;
            while (length-- > 0) *to++ = *from++;
        }
    } while (!(header & 1));
    return in.Count >= 0 && produced == expected;
}

}  // namespace

void MszipStartFolder(MszipDecoder& decoder) {
    decoder.History = 0;
}

bool MszipDecodeBlock(MszipDecoder& decoder, const uint8_t* data, size_t size, uint8_t* out, size_t expected) {
    if (size < 2 || data[0] != 'C' || data[1] != 'K' || expected == 0 || expected > kMszipBlockMax) return false;
    BitReader in = {data, size, 2, 0, 0};
    if (!Inflate(decoder, in, expected)) return false;
    memcpy(out, decoder.Window + kMszipBlockMax, expected);
    // The newest 32 KB of the folder move to the first half, for the blocks that follow.
    memmove(decoder.Window, decoder.Window + expected, kMszipBlockMax);
    decoder.History = decoder.History + expected < kMszipBlockMax ? decoder.History + expected : kMszipBlockMax;
    return true;
}
