// The .xz decoder of a packed program's package: container, LZMA2, LZMA, the x86 BCJ filter and
// the CRC32 and CRC64 checks, written from the public descriptions of the formats.
#include "package/xz_decoder.h"

#include <string.h>

#define ALWAYS_INLINE __attribute__((always_inline))

namespace {

constexpr size_t kFrame = 12;  // stream header and footer
constexpr uint64_t kAbsent = ~0ull;
constexpr uint32_t kCrc32Poly = 0xEDB88320u;
constexpr uint64_t kCrc64Poly = 0xC96C5795D7870F42ull;
constexpr uint32_t kTop = 1u << 24;
constexpr uint8_t kFailed = 0, kRunning = 1, kEnded = 2;  // zero, so a decoder never started reads as failed

// Where each group of LZMA probabilities starts in XzDecoder::Probs.
constexpr size_t kIsMatch = 0, kIsRep = 192, kIsRepG0 = 204, kIsRepG1 = 216, kIsRepG2 = 228, kIsRep0Long = 240,
                 kPosSlot = 432, kSpecPos = 688, kAlign = 802, kMatchLen = 818, kRepLen = 1332, kLiteral = 1846;

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

size_t Smaller(size_t a, size_t b) { return a < b ? a : b; }

// Eight tables: the checks are computed eight bytes a step, several times faster than a byte a
// step, where every byte waits for the one before. CRC32 uses 64-bit tables too, which keeps one
// copy of the code for both.
void FillCrcTables(uint64_t (*table)[256], uint64_t poly) {
    for (uint32_t i = 0; i < 256; ++i) {
        uint64_t r = i;
        for (int k = 0; k < 8; ++k) r = (r >> 1) ^ (poly & (0 - (r & 1)));
        table[0][i] = r;
    }
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i) table[k][i] = (table[k - 1][i] >> 8) ^ table[0][table[k - 1][i] & 0xFF];
}

// ones: the check's bits all set, with which it starts and ends inverted.
uint64_t Crc(const uint64_t (*table)[256], uint64_t ones, uint64_t crc, const uint8_t* p, size_t n) {
    crc ^= ones;
    for (; n >= 8; n -= 8, p += 8) {
        uint64_t v = crc ^ (Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32);
        crc = 0;
        for (int k = 0; k < 8; ++k) crc ^= table[7 - k][v >> (8 * k) & 0xFF];
    }
    while (n--) crc = table[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc ^ ones;
}

uint32_t Crc32(const uint64_t (*table)[256], const uint8_t* p, size_t n) {
    return static_cast<uint32_t>(Crc(table, 0xFFFFFFFFu, 0, p, n));
}

size_t CheckSize(uint8_t type) { return type == 4 ? 8 : type * 4; }

// 7 bits a byte, the lowest first, at most 9 bytes; a zero byte may end only a one-byte number,
// so each value has one encoding.
bool ReadVli(const uint8_t* data, size_t end, size_t& pos, uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 63; shift += 7) {
        if (pos >= end) return false;
        uint8_t b = data[pos++];
        value |= static_cast<uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return b || !shift;
    }
    return false;
}

struct BlockHeader {
    size_t Size;
    uint64_t Compressed, Uncompressed;  // kAbsent when the header leaves them out
    uint32_t Dictionary;
    bool X86;
};

// The header of the block at pos, which ends at end at the latest. Only LZMA2, alone or behind
// x86 BCJ without a start offset, is taken, and a dictionary of at most 64 MiB (property 28):
// more than that the program does not provide.
bool ReadBlockHeader(const uint8_t* data, size_t pos, size_t end, const uint64_t (*crcTable)[256], BlockHeader& h) {
    h.Size = (data[pos] + 1u) * 4;
    if (!data[pos] || h.Size > end - pos) return false;
    size_t crcPos = pos + h.Size - 4, p = pos + 2;
    uint8_t flags = data[pos + 1];
    unsigned filters = (flags & 3) + 1;
    h.Compressed = h.Uncompressed = kAbsent;
    if (Crc32(crcTable, data + pos, h.Size - 4) != Le32(data + crcPos) || (flags & 0x3C) || filters > 2 ||
        ((flags & 0x40) && !ReadVli(data, crcPos, p, h.Compressed)) ||
        ((flags & 0x80) && !ReadVli(data, crcPos, p, h.Uncompressed)))
        return false;
    // The identifiers and sizes of the two filters taken are one byte each: only these bytes can
    // describe them.
    h.X86 = filters == 2;
    if (h.X86) {
        if (crcPos - p < 5 || data[p] != 4) return false;
        size_t size = 2 + data[p + 1];  // a start offset may be given, if it is 0
        if (size != 2 && (size != 6 || crcPos - p < 9 || Le32(data + p + 2))) return false;
        p += size;
    }
    if (crcPos - p < 3 || data[p] != 0x21 || data[p + 1] != 1 || data[p + 2] > 28) return false;
    h.Dictionary = (2u | (data[p + 2] & 1)) << (data[p + 2] / 2 + 11);
    p += 3;
    while (p < crcPos)
        if (data[p++]) return false;
    return true;
}

// A dictionary never needs to be larger than what its block holds, rounded up to the 16 bytes
// that keep the low bits of a dictionary position those of the block position, which LZMA reads.
size_t BlockDictionary(uint32_t declared, uint64_t uncompressed) {
    if (uncompressed >= declared) return declared;
    return uncompressed < 16 ? 16 : (uncompressed + 15) & ~static_cast<uint64_t>(15);
}

struct Block {
    BlockHeader Header;
    uint64_t Uncompressed;
    size_t DataEnd, End, Dictionary;  // the ends of its compressed data and of itself, the dictionary it needs
};

// Reads the index record at record and the block it describes at block, which must end before
// index: its header, sizes that agree with the record's, and the zeros of its padding.
bool ReadBlock(const uint8_t* data, size_t& record, size_t indexEnd, size_t block, size_t index, size_t checkSize,
               const uint64_t (*crc)[256], Block& b) {
    uint64_t unpadded;
    BlockHeader& h = b.Header;
    if (!ReadVli(data, indexEnd, record, unpadded) || !ReadVli(data, indexEnd, record, b.Uncompressed)) return false;
    uint64_t padded = (unpadded + 3) & ~static_cast<uint64_t>(3);
    if (padded > index - block || !ReadBlockHeader(data, block, block + padded, crc, h) ||
        unpadded <= h.Size + checkSize || (h.Compressed != kAbsent && h.Compressed != unpadded - h.Size - checkSize) ||
        (h.Uncompressed != kAbsent && h.Uncompressed != b.Uncompressed))
        return false;
    b.DataEnd = block + unpadded - checkSize;
    b.End = block + padded;
    b.Dictionary = BlockDictionary(h.Dictionary, b.Uncompressed);
    for (size_t q = b.DataEnd; q < b.End - checkSize; ++q)
        if (data[q]) return false;
    return true;
}

struct Layout {
    uint8_t CheckType;
    uint64_t Count, Uncompressed;
    size_t Records, IndexStart, IndexEnd, Dictionary;
};

// Reads the stream's frame and index, and each block header the index leads to, without decoding.
bool Survey(const uint8_t* data, size_t size, const uint64_t (*crc)[256], Layout& s) {
    static const uint8_t kMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0};
    size_t end = size;
    while (end && !data[end - 1]) --end;
    if (end < 2 * kFrame || (size - end) % 4 || end % 4 || memcmp(data, kMagic, 6) || data[end - 2] != 'Y' ||
        data[end - 1] != 'Z')
        return false;
    size_t footer = end - kFrame;
    uint8_t type = data[7];
    if (data[6] || (type != 0 && type != 1 && type != 4) || Crc32(crc, data + 6, 2) != Le32(data + 8) ||
        data[footer + 8] || data[footer + 9] != type || Crc32(crc, data + footer + 4, 6) != Le32(data + footer))
        return false;
    uint64_t backward = (Le32(data + footer + 4) + 1ull) * 4;
    if (backward > footer - kFrame) return false;
    size_t index = footer - backward, crcPos = footer - 4, p = index + 1, block = kFrame;
    if (data[index] || Crc32(crc, data + index, crcPos - index) != Le32(data + crcPos) ||
        !ReadVli(data, crcPos, p, s.Count))
        return false;
    s.CheckType = type;
    s.Records = p;
    s.IndexStart = index;
    s.IndexEnd = crcPos;
    Block b;
    for (uint64_t i = 0; i < s.Count; ++i, block = b.End) {
        if (!ReadBlock(data, p, crcPos, block, index, CheckSize(type), crc, b) ||
            b.Uncompressed > ~0ull / 2 - s.Uncompressed)
            return false;
        if (b.Dictionary > s.Dictionary) s.Dictionary = b.Dictionary;
        s.Uncompressed += b.Uncompressed;
    }
    if (block != index || crcPos - p > 3) return false;
    while (p < crcPos)
        if (data[p++]) return false;
    return true;
}

void ResetState(XzDecoder& d) {
    d.State = d.Rep[0] = d.Rep[1] = d.Rep[2] = d.Rep[3] = 0;
    d.MatchLeft = 0;
    for (uint16_t& p : d.Probs) p = 1024;  // one half, in 11 bits
}

// Decodes LZMA symbols into the dictionary until its position reaches limit. A match longer than
// that is finished by the next call; chunkEnds says limit is the end of the chunk, where the
// range decoder must have read exactly the chunk's bytes. Input past the chunk reads as zeros
// and is found out there, which keeps the check out of the loop.
bool DecodeLzma(XzDecoder& d, size_t limit, bool chunkEnds) {
    uint16_t* const probs = d.Probs;
    const uint8_t* const data = d.Data;
    uint8_t* const dict = d.Dict;
    const size_t end = d.ChunkEnd, dictSize = d.DictSize;
    const uint32_t lc = d.Lc, lpMask = (1u << d.Lp) - 1, pbMask = (1u << d.Pb) - 1;
    size_t in = d.In, pos = d.DictPos, len = d.MatchLeft;
    uint32_t range = d.Range, code = d.Code, state = d.State;
    uint32_t rep0 = d.Rep[0], rep1 = d.Rep[1], rep2 = d.Rep[2], rep3 = d.Rep[3];
    const bool wrapped = d.Wrapped;
    bool ok = true;

    // The helpers are always inlined: the program is built for size, and a helper called instead
    // keeps range, code and the input position in memory, not registers. That cost about 15% of
    // a large package's install time.
    auto normalize = [&]() ALWAYS_INLINE {
        if (range < kTop) {
            range <<= 8;
            code = code << 8 | (in < end ? data[in] : 0);
            ++in;
        }
    };
    auto bit = [&](uint16_t& p) ALWAYS_INLINE -> uint32_t {
        normalize();
        uint32_t bound = (range >> 11) * p;
        if (code < bound) {
            range = bound;
            p += (2048 - p) >> 5;
            return 0;
        }
        range -= bound;
        code -= bound;
        p -= p >> 5;
        return 1;
    };
    auto tree = [&](uint16_t* p, unsigned bits) ALWAYS_INLINE {
        uint32_t m = 1;
        for (unsigned i = 0; i < bits; ++i) m = m << 1 | bit(p[m]);
        return m - (1u << bits);
    };
    auto reverseTree = [&](uint16_t* p, unsigned bits) ALWAYS_INLINE {
        uint32_t m = 1, value = 0;
        for (unsigned i = 0; i < bits; ++i) {
            uint32_t b = bit(p[m]);
            m = m << 1 | b;
            value |= b << i;
        }
        return value;
    };
    // Lengths 2-9 and 10-17 have a tree for each position state, the rest one tree of 256.
    auto length = [&](uint16_t* p, uint32_t posState) ALWAYS_INLINE {
        uint32_t base = 0, bits = 3;
        uint16_t* t = p + 2 + posState * 8;
        if (bit(p[0])) {
            base = 8;
            t += 128;
            if (bit(p[1])) {
                base = 16;
                bits = 8;
                t = p + 258;
            }
        }
        return base + tree(t, bits);
    };

    while (pos < limit) {
        if (!len) {
            uint32_t posState = pos & pbMask;
            if (!bit(probs[kIsMatch + (state << 4) + posState])) {
                uint32_t prev = pos ? dict[pos - 1] : wrapped ? dict[dictSize - 1] : 0;
                uint16_t* lit = probs + kLiteral + 0x300 * (((pos & lpMask) << lc) + (prev >> (8 - lc)));
                uint32_t symbol = 1;
                if (state >= 7) {
                    uint32_t match = dict[pos > rep0 ? pos - rep0 - 1 : pos + dictSize - rep0 - 1];
                    // Guided by the byte at rep0 until the first bit that differs from it.
                    do {
                        uint32_t matchBit = match >> 7 & 1;
                        match <<= 1;
                        uint32_t b = bit(lit[0x100 + (matchBit << 8) + symbol]);
                        symbol = symbol << 1 | b;
                        if (b != matchBit) break;
                    } while (symbol < 0x100);
                }
                while (symbol < 0x100) symbol = symbol << 1 | bit(lit[symbol]);
                dict[pos++] = static_cast<uint8_t>(symbol);
                state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
                continue;
            }
            // A rep match names one of the last four distances; a short rep is one byte from rep0.
            uint32_t isRep = bit(probs[kIsRep + state]);
            len = 0;
            if (isRep) {
                if (!bit(probs[kIsRepG0 + state])) {
                    if (!bit(probs[kIsRep0Long + (state << 4) + posState])) len = 1;
                } else {
                    uint32_t dist = rep1;
                    if (bit(probs[kIsRepG1 + state])) {
                        dist = rep2;
                        if (bit(probs[kIsRepG2 + state])) {
                            dist = rep3;
                            rep3 = rep2;
                        }
                        rep2 = rep1;
                    }
                    rep1 = rep0;
                    rep0 = dist;
                }
                state = state < 7 ? (len ? 9 : 8) : 11;
            }
            if (!len) {
                uint32_t lenCode = length(probs + (isRep ? kRepLen : kMatchLen), posState);
                len = lenCode + 2;
                if (!isRep) {
                    uint32_t slot = tree(probs + kPosSlot + ((lenCode < 3 ? lenCode : 3) << 6), 6), dist = slot;
                    if (slot >= 4) {
                        unsigned direct = (slot >> 1) - 1;
                        dist = (2 | (slot & 1)) << direct;
                        if (slot < 14) {
                            dist += reverseTree(probs + kSpecPos + dist - slot - 1, direct);
                        } else {
                            uint32_t extra = 0;
                            for (unsigned i = direct - 4; i; --i) {
                                normalize();
                                range >>= 1;
                                uint32_t b = code >= range;
                                code -= range & (0 - b);
                                extra = extra << 1 | b;
                            }
                            dist += (extra << 4) + reverseTree(probs + kAlign, 4);
                        }
                    }
                    rep3 = rep2;
                    rep2 = rep1;
                    rep1 = rep0;
                    rep0 = dist;
                    state = state < 7 ? 7 : 10;
                }
            }
            // Also refuses the end marker (distance 0xFFFFFFFF), which LZMA2 does not use.
            if (rep0 >= (wrapped ? dictSize : pos)) {
                ok = false;
                break;
            }
        }
        size_t n = Smaller(len, limit - pos), from = pos > rep0 ? pos - rep0 - 1 : pos + dictSize - rep0 - 1;
        len -= n;
        // A long copy that does not overlap itself goes at memcpy's speed.
        if (from < pos && pos - from >= n && n > 16) {
            memcpy(dict + pos, dict + from, n);
            pos += n;
            continue;
        }
        // The source wraps at most once; each part is copied a byte at a time, as it may overlap.
        while (n) {
            size_t part = Smaller(n, dictSize - from);
            n -= part;
            do dict[pos++] = dict[from++];
            while (--part);
            if (from == dictSize) from = 0;
        }
    }
    // The encoder's last bits may have left the range narrow, and its flush covers that.
    if (ok && chunkEnds) normalize();
    d.In = in;
    d.DictPos = pos;
    d.MatchLeft = len;
    d.Range = range;
    d.Code = code;
    d.State = state;
    d.Rep[0] = rep0;
    d.Rep[1] = rep1;
    d.Rep[2] = rep2;
    d.Rep[3] = rep3;
    return ok && (!chunkEnds || (!len && in == end && !code));
}

// Reads the header of the next LZMA2 chunk, or moves the current chunk's next bytes into the
// dictionary and the stage.
bool Lzma2Step(XzDecoder& d) {
    const uint8_t* data = d.Data;
    if (!d.ChunkLeft) {
        if (d.In >= d.BlockDataEnd) return false;
        const uint8_t* h = data + d.In;
        uint32_t control = h[0];
        if (!control) {
            d.Lzma2Ended = true;
            return ++d.In == d.BlockDataEnd && !d.BlockLeft;
        }
        d.ChunkIsLzma = control >= 0x80;
        size_t headerSize = d.ChunkIsLzma ? 5 + (control >= 0xC0) : 3;
        if ((!d.ChunkIsLzma && control > 2) || d.BlockDataEnd - d.In < headerSize) return false;
        size_t size = (h[1] << 8 | h[2]) + 1 + (d.ChunkIsLzma ? (control & 0x1F) << 16 : 0);
        // A dictionary reset must come first in a block, and the next LZMA chunk after it must
        // bring new properties, which in turn reset the state.
        if (control == 1 || control >= 0xE0) {
            d.DictPos = 0;
            d.Wrapped = d.NeedDictReset = false;
            d.NeedProps = true;
        }
        if (d.NeedDictReset || size > d.BlockLeft) return false;
        d.BlockLeft -= size;
        d.ChunkLeft = size;
        d.In += headerSize;
        if (!d.ChunkIsLzma) return d.BlockDataEnd - d.In >= size;
        if (control >= 0xC0) {
            uint32_t props = h[5];
            d.Lc = props % 9;
            d.Lp = props / 9 % 5;
            d.Pb = props / 45;
            if (props >= 225 || d.Lc + d.Lp > 4) return false;
            d.NeedProps = false;
        }
        if (d.NeedProps) return false;
        if (control >= 0xA0) ResetState(d);
        size_t packed = (h[3] << 8 | h[4]) + 1;
        if (packed > d.BlockDataEnd - d.In || packed < 5 || data[d.In]) return false;
        d.ChunkEnd = d.In + packed;
        d.Range = ~0u;
        d.Code = static_cast<uint32_t>(h[headerSize + 1]) << 24 | h[headerSize + 2] << 16 | h[headerSize + 3] << 8 |
                 h[headerSize + 4];
        d.In += 5;
        return true;
    }
    size_t start = d.DictPos, room = Smaller(Smaller(kXzStageSize - d.StageFill, d.ChunkLeft), d.DictSize - start);
    if (!d.ChunkIsLzma) {
        memcpy(d.Dict + start, data + d.In, room);
        d.In += room;
        d.DictPos += room;
    } else if (!DecodeLzma(d, start + room, room == d.ChunkLeft)) {
        return false;
    }
    memcpy(d.Stage + d.StageFill, d.Dict + start, room);
    d.StageFill += room;
    d.ChunkLeft -= room;
    if (d.DictPos == d.DictSize) {
        d.DictPos = 0;
        d.Wrapped = true;
    }
    return true;
}

// The x86 BCJ filter stored the targets of CALL (E8) and JMP (E9) as absolute addresses; this
// turns them back into relative ones. Returns how many bytes are final: an opcode in the last four
// waits for the bytes after it. BcjMask remembers which of the three bytes before the last opcode
// seen were unconverted opcodes too, which makes a conversion less likely to be a real one.
size_t X86Decode(XzDecoder& d, uint8_t* buf, size_t size) {
    auto isEdge = [](uint32_t b) { return ((b + 1) & 0xFF) <= 1; };  // 0x00 or 0xFF: a near target
    uint32_t mask = d.BcjMask, prev = d.BcjPrev;
    size_t i = 0;
    for (; i + 4 < size; ++i) {
        if ((buf[i] & 0xFE) != 0xE8) continue;
        uint32_t here = d.BcjPos + static_cast<uint32_t>(i), gap = here - prev;
        prev = here;
        mask = gap > 3 ? 0 : (mask << (gap - 1)) & 7;
        // The highest bit set is the earliest of those opcodes: 1, 2 or 3 bytes back.
        uint32_t back = (0xFFA4u >> (mask * 2)) & 3;
        if ((mask && (!(0x17 >> mask & 1) || isEdge(buf[i + 4 - back]))) || !isEdge(buf[i + 4])) {
            mask = (mask << 1 & 7) | 1;
            continue;
        }
        // Undone as the encoder applied it: again while the byte of the result under the earliest
        // of those opcodes looks like a near target too.
        uint32_t target = Le32(buf + i + 1), offset;
        for (;;) {
            offset = target - (here + 5);
            if (!mask || !isEdge(offset >> (24 - back * 8))) break;
            target = offset ^ ((1u << (32 - back * 8)) - 1);
        }
        // Only targets within 16 MiB are converted, so the top byte repeats bit 24.
        offset = (offset & 0x01FFFFFF) | (0 - (offset & 0x01000000));
        for (int k = 0; k < 4; ++k) buf[i + 1 + k] = static_cast<uint8_t>(offset >> (8 * k));
        i += 4;
    }
    d.BcjMask = mask;
    d.BcjPrev = prev;
    return i;
}

bool OpenBlock(XzDecoder& d) {
    Block b;
    if (!ReadBlock(d.Data, d.RecordPos, d.IndexEnd, d.BlockPos, d.IndexStart, CheckSize(d.CheckType), d.Crc32Table, b))
        return false;
    d.DictSize = b.Dictionary;
    d.In = d.BlockPos + b.Header.Size;
    d.BlockDataEnd = b.DataEnd;
    d.BlockPos = b.End;
    d.BlockLeft = b.Uncompressed;
    d.X86 = b.Header.X86;
    d.InBlock = d.NeedDictReset = true;
    d.Lzma2Ended = false;
    d.ChunkLeft = d.MatchLeft = 0;
    d.Check = 0;
    d.BcjMask = d.BcjPos = 0;
    d.BcjPrev = 0u - 5;  // far enough back to count as no opcode before the block's first
    d.StageOut = d.StageDone = d.StageFill = 0;
    --d.RecordsLeft;
    return d.DictSize <= d.DictCapacity;
}

// Refills the stage with decoded and filtered bytes, or moves on to the next block or the end.
bool Produce(XzDecoder& d) {
    if (!d.InBlock) {
        if (!d.RecordsLeft) {
            d.Status = kEnded;
            return true;
        }
        return OpenBlock(d);
    }
    size_t keep = d.StageFill - d.StageDone;
    memmove(d.Stage, d.Stage + d.StageDone, keep);
    d.BcjPos += static_cast<uint32_t>(d.StageDone);
    d.StageFill = keep;
    d.StageOut = 0;
    while (d.StageFill < kXzStageSize && !d.Lzma2Ended)
        if (!Lzma2Step(d)) return false;
    size_t done = d.X86 ? X86Decode(d, d.Stage, d.StageFill) : d.StageFill;
    if (d.Lzma2Ended) done = d.StageFill;
    if (d.CheckType) d.Check = Crc(d.CheckType == 1 ? d.Crc32Table : d.Crc64Table, d.CheckType == 1 ? 0xFFFFFFFFu : ~0ull, d.Check, d.Stage, done);
    d.StageDone = done;
    if (!d.Lzma2Ended) return true;
    size_t checkSize = CheckSize(d.CheckType);
    for (size_t k = 0; k < checkSize; ++k)
        if (d.Data[d.BlockPos - checkSize + k] != static_cast<uint8_t>(d.Check >> (8 * k))) return false;
    d.InBlock = false;
    return true;
}

}  // namespace

bool XzCheckStream(const uint8_t* data, size_t size, XzStreamInfo* info) {
    uint64_t table[8][256];
    FillCrcTables(table, kCrc32Poly);
    Layout layout = {};
    if (!Survey(data, size, table, layout)) return false;
    if (info) {
        info->UncompressedSize = layout.Uncompressed;
        info->DictionarySize = static_cast<uint32_t>(layout.Dictionary);
    }
    return true;
}

void XzStart(XzDecoder& d, const uint8_t* data, size_t size, uint8_t* dictionary, size_t dictionarySize) {
    FillCrcTables(d.Crc32Table, kCrc32Poly);
    FillCrcTables(d.Crc64Table, kCrc64Poly);
    Layout layout = {};
    bool ok = Survey(data, size, d.Crc32Table, layout) && layout.Dictionary <= dictionarySize;
    d.Data = data;
    d.Dict = dictionary;
    d.DictCapacity = dictionarySize;
    d.CheckType = layout.CheckType;
    d.RecordsLeft = layout.Count;
    d.RecordPos = layout.Records;
    d.IndexStart = layout.IndexStart;
    d.IndexEnd = layout.IndexEnd;
    d.BlockPos = kFrame;
    d.InBlock = false;
    d.StageOut = d.StageDone = d.StageFill = 0;
    d.Status = ok ? kRunning : kFailed;
}

size_t XzRead(XzDecoder& d, uint8_t* out, size_t room) {
    size_t written = 0;
    while (written < room && d.Status == kRunning) {
        size_t n = Smaller(d.StageDone - d.StageOut, room - written);
        if (n) {
            memcpy(out + written, d.Stage + d.StageOut, n);
            d.StageOut += n;
            written += n;
        } else if (!Produce(d)) {
            d.Status = kFailed;
        }
    }
    return written;
}

bool XzFailed(const XzDecoder& d) { return d.Status == kFailed; }
