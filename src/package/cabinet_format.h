// The layout of a Microsoft cabinet, for the package check and the decoder alike (little-endian
// throughout): a header, followed by the sizes of reserved areas when a flag says so; a table of
// folders, each naming its run of data blocks; a table of files, each naming its folder and its
// place in the folder's uncompressed data; data blocks of a head, a reserve and the packed bytes.
// No Windows needed.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace cabinet {

constexpr uint32_t kSignature = 0x4643534D;  // "MSCF", the header's first four bytes

// The header.
constexpr size_t kHeaderSize = 36;      // without the reserve sizes
constexpr size_t kSizeAt = 8;           // the whole cabinet's size
constexpr size_t kFileTableAt = 16;     // where the file table begins
constexpr size_t kMajorVersionAt = 25;  // 1
constexpr size_t kFoldersAt = 26;       // how many folders
constexpr size_t kFilesAt = 28;         // how many files
constexpr size_t kFlagsAt = 30;
constexpr unsigned kOtherCabinets = 0x0003;  // a cabinet before or after this one
constexpr unsigned kReservePresent = 0x0004;
// With kReservePresent: the header's reserve size (16 bits), then the folders' and the data
// blocks' (a byte each); the header's reserve follows them.
constexpr size_t kReserveSizesAt = 36;
constexpr size_t kReserveSizesSize = 4;

// A folder: where its first data block lies, how many there are, and their compression.
constexpr size_t kFolderSize = 8;
constexpr size_t kFolderDataAt = 0;
constexpr size_t kFolderBlocksAt = 4;
constexpr size_t kFolderCompressionAt = 6;
constexpr unsigned kCompressionMask = 0x000F;  // the rest is the window of LZX and Quantum
constexpr unsigned kStored = 0;
constexpr unsigned kMszip = 1;

// A file: its size, its place in the folder's data, its folder, date, time and attributes, then
// its name and a terminator.
constexpr size_t kFileSize = 16;
constexpr size_t kFileOffsetAt = 4;
constexpr size_t kFileFolderAt = 8;
constexpr size_t kFileDateAt = 10;
constexpr size_t kFileTimeAt = 12;
constexpr size_t kFileAttributesAt = 14;
constexpr size_t kMaxNameBytes = 256;  // with its terminator

// A data block's head: its checksum, then its packed and unpacked sizes.
constexpr size_t kBlockHeadSize = 8;
constexpr size_t kBlockPackedAt = 4;
constexpr size_t kBlockUnpackedAt = 6;

inline uint32_t Read16(const uint8_t* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }
inline uint32_t Read32(const uint8_t* p) { return Read16(p) | Read16(p + 2) << 16; }

}  // namespace cabinet
