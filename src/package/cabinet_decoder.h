// Reading the files of a cabinet one after another, as a packed Setup.exe installs them straight
// from its package: the file table, and each folder's data blocks checked and unpacked (stored or
// MSZIP) as they are reached. The cabinet's bytes may lie in the program file or come out of an
// .xz stream that holds a stored cabinet. No Windows needed: tested natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "package/mszip_decoder.h"
#include "package/xz_decoder.h"

// Where a cabinet's bytes come from: n bytes at offset copied to out; false when they are not
// there (the cabinet is shorter) or could not be had (a damaged stream).
struct CabinetBytes {
    bool (*Read)(void* source, uint64_t offset, uint8_t* out, size_t n) = nullptr;
    void* Source = nullptr;
};

// A cabinet lying in memory whole.
struct MemoryCabinet {
    const uint8_t* Data;
    size_t Size;
};
CabinetBytes MemoryCabinetBytes(MemoryCabinet& cabinet);

// A stored cabinet inside an .xz stream: decoded from the stream's start on, and from the start
// again when a read goes back (a package packed in the order the install asks for its files is
// read once). The decoder and its dictionary are the caller's.
struct XzCabinet {
    XzDecoder* Decoder;
    const uint8_t* Stream;
    size_t StreamSize;
    uint8_t* Dictionary;
    size_t DictionarySize;
    uint64_t Position;  // of the next byte the decoder hands out; ~0 before the first read
};
CabinetBytes XzCabinetBytes(XzCabinet& cabinet);

// Where the cabinet's tables lie, from its header.
struct CabinetLayout {
    uint32_t Size = 0;  // the cabinet's own length
    uint32_t FolderTable = 0;
    uint16_t Folders = 0;
    uint32_t FolderReserve = 0;
    uint32_t BlockReserve = 0;
    uint32_t FileTable = 0;
    uint16_t Files = 0;
    uint32_t TablesEnd = 0;  // where the first folder's data begins: the tables lie before it
};

// Reads the header of a cabinet from its first bytes (at least 40, or all there are): false for
// no cabinet, a cabinet that continues in another one, or tables that would lie beyond its end.
bool ReadCabinetLayout(const uint8_t* start, size_t available, CabinetLayout* layout);
// The offset of the first folder's data, from the folder table (which lies in tables, the
// cabinet's first available bytes): the tables end there.
bool FindTablesEnd(const uint8_t* tables, size_t available, CabinetLayout* layout);

// One entry of the file table.
struct CabinetEntry {
    const char* Name = "";  // in the table's bytes, terminated there
    uint32_t Size = 0;
    uint32_t Offset = 0;  // in its folder's unpacked data
    uint16_t Folder = 0;
    uint16_t Date = 0;  // as MS-DOS keeps dates and times, local
    uint16_t Time = 0;
    uint16_t Attributes = 0;
};
// The entry at *cursor (0 for the first) of the tables (the cabinet's first bytes, at least up to
// TablesEnd), and *cursor moved to the next one; false after the last or when the table runs
// past the tables' end.
bool NextCabinetEntry(const uint8_t* tables, const CabinetLayout& layout, uint32_t* cursor, CabinetEntry* entry);

// Takes a piece of a file's bytes; false to stop (a write failed).
using CabinetSink = bool (*)(void* data, const uint8_t* bytes, size_t n);

enum class CabinetRead {
    Done,
    Damaged,  // a block's checksum, its sizes or its compressed data are wrong, or the data ended
    Stopped,  // the sink said stop
};

// The unpacked data of one folder at a time, block by block.
struct FolderReader {
    CabinetBytes Bytes;
    CabinetLayout Layout;
    const uint8_t* Tables = nullptr;  // the cabinet's first bytes, up to Layout.TablesEnd
    int Folder = -1;                  // the folder being read, -1 for none
    unsigned Compression = 0;
    uint32_t BlocksLeft = 0;
    uint64_t NextBlock = 0;  // the offset of the folder's next data block in the cabinet
    uint64_t Start = 0;      // the folder offset of Block[0]
    size_t Length = 0;       // how many bytes of Block hold the current block
    uint8_t Packed[kMszipBlockMax + 6144];
    uint8_t Block[kMszipBlockMax];
    MszipDecoder Mszip;
};

// Hands the folder's bytes [offset, offset + length) to sink, unpacking every block of the
// folder up to there; a read that lies behind the blocks already unpacked starts the folder
// again. Every block is held to its checksum (when the packer wrote one) and its sizes. Only
// stored and MSZIP data is read; other compression counts as damage.
CabinetRead ReadFolderBytes(FolderReader& reader, uint16_t folder, uint64_t offset, uint64_t length,
                            CabinetSink sink, void* data);
