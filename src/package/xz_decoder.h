// Decoder of a package packed as one .xz stream lying whole in memory: LZMA2 blocks, optionally
// behind the x86 BCJ filter, checked with CRC32, CRC64 or not at all. Its state has a fixed size
// and the dictionary is the caller's, so it needs no heap; no Windows needed: tested natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

// What a stream needs, found without decoding it.
struct XzStreamInfo {
    uint64_t UncompressedSize;  // from the index
    uint32_t DictionarySize;    // the most any block needs: the bytes of dictionary the caller provides
};

// Checks everything that can be checked before decoding: stream header and footer and their
// CRC32s, the index and its CRC32, each block header and its CRC32, supported filters and check
// type, sizes that agree, dictionary size <= 64 MiB. False for anything damaged or unsupported.
// Nothing outside data[0..size) is read; info may be null.
bool XzCheckStream(const uint8_t* data, size_t size, XzStreamInfo* info);

// Sizes of the decoder's own buffers: decoded bytes pass through the stage, where the x86 filter
// needs a few bytes beyond each instruction; the probabilities of LZMA with lc + lp = 4.
constexpr size_t kXzStageSize = 1 << 16;
constexpr size_t kXzProbCount = 1846 + 0x300 * 16;

// All the state of decoding one stream. Large, meant for static storage; XzStart sets it up, so it
// needs no constructor. The fields are the decoder's own.
struct XzDecoder {
    // The fields used most come first, where the instructions reaching them are shortest.
    const uint8_t* Data;
    uint8_t* Dict;
    size_t In, StageFill, StageDone, StageOut, DictPos, DictSize, ChunkLeft, BlockDataEnd, BlockPos, MatchLeft;
    uint32_t Rep[4], Range, Code, State;
    uint8_t Status, CheckType;
    bool InBlock, X86, Lzma2Ended, ChunkIsLzma, NeedDictReset, NeedProps, Wrapped;
    uint32_t Lc, Lp, Pb, BcjMask, BcjPrev, BcjPos;
    uint64_t Check, BlockLeft, RecordsLeft;
    size_t RecordPos, IndexStart, IndexEnd, ChunkEnd, DictCapacity;
    uint64_t Crc32Table[8][256];
    uint64_t Crc64Table[8][256];
    uint16_t Probs[kXzProbCount];
    uint8_t Stage[kXzStageSize];
};

// Begins decoding a stream, checked again as XzCheckStream does, in a dictionary of
// dictionarySize bytes (at least XzStreamInfo::DictionarySize); a stream it refuses reads as damaged.
void XzStart(XzDecoder& d, const uint8_t* data, size_t size, uint8_t* dictionary, size_t dictionarySize);

// Decodes the next bytes of the stream into out (at most room); returns how many were written.
// 0 (for room > 0) means the end of the stream or damage: XzFailed tells which. Each block's
// check and sizes are verified at its end, before its last bytes are handed out, and its size
// against the index. Never reads outside data[0..size) or writes outside out and the dictionary.
size_t XzRead(XzDecoder& d, uint8_t* out, size_t room);

// True once the stream proved damaged or unsupported (or was never started).
bool XzFailed(const XzDecoder& d);
