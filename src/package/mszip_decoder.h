// Unpacks the MSZIP data blocks of a cabinet folder: each block is "CK" and a deflate stream of at
// most 32 KB of output, which may refer back into what the folder's earlier blocks produced.
// No Windows needed: tested natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

constexpr size_t kMszipBlockMax = 32768;
constexpr int kMszipFastBits = 10;

// One prefix code: codes of up to kMszipFastBits bits are found with one look-up in Fast (indexed
// by the next bits of the input), longer ones by walking the code lengths (Count, Entries).
struct MszipCode {
    uint32_t Fast[1 << kMszipFastBits];
    uint32_t Entries[288];  // what each symbol means, in the order of its code
    uint16_t Count[16];     // how many codes there are of each length
};

// All of it lives in place, without a pointer: zero-initialised storage and MszipStartFolder are
// all it needs before the first block.
struct MszipDecoder {
    // The folder's last 32 KB so far (in the first half, its newest byte last), then the block
    // being decoded, so a match reaches back across blocks with no special case.
    uint8_t Window[2 * kMszipBlockMax];
    size_t History;  // how many bytes before the second half belong to this folder
    MszipCode Literals;
    MszipCode Distances;
    uint8_t Lengths[288 + 32];
    bool FixedCodes;  // Literals and Distances hold the fixed codes, from an earlier block
};

// Forgets the history: a new folder begins.
void MszipStartFolder(MszipDecoder& decoder);

// Decodes one data block as stored (beginning with "CK") into exactly `expected` bytes (1 to
// kMszipBlockMax) at out. False for any damage: no "CK", an invalid code or set of code lengths, a
// stored block whose length check fails, a distance reaching before the folder's start, more or
// fewer output bytes than expected, a read past the end of the input, or no final block. Reads
// only data[0..size), and writes out[0..expected) only when the whole block is sound; a false
// leaves the history as it was.
bool MszipDecodeBlock(MszipDecoder& decoder, const uint8_t* data, size_t size, uint8_t* out, size_t expected);
