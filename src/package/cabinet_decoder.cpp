// Reading the files of a cabinet one after another, block by block.
#include "package/cabinet_decoder.h"

#include <string.h>

#include "package/cabinet_format.h"
#include "package/package_rules.h"

using namespace cabinet;

namespace {

bool ReadMemory(void* source, uint64_t offset, uint8_t* out, size_t n) {
    const MemoryCabinet& cabinet = *static_cast<MemoryCabinet*>(source);
    if (offset > cabinet.Size || n > cabinet.Size - offset) return false;
    memcpy(out, cabinet.Data + offset, n);
    return true;
}

// Decodes n bytes into out, or past them when out is null.
bool DecodeXz(XzCabinet& cabinet, uint8_t* out, uint64_t n) {
    static uint8_t skipped[1 << 16];
    while (n > 0) {
        size_t piece = n < sizeof skipped ? static_cast<size_t>(n) : sizeof skipped;
        size_t got = XzRead(*cabinet.Decoder, out != nullptr ? out : skipped, piece);
        if (got == 0) return false;
        cabinet.Position += got;
        n -= got;
        if (out != nullptr) out += got;
    }
    return true;
}

bool ReadXz(void* source, uint64_t offset, uint8_t* out, size_t n) {
    XzCabinet& cabinet = *static_cast<XzCabinet*>(source);
    if (offset < cabinet.Position || cabinet.Position == ~0ull) {
        XzStart(*cabinet.Decoder, cabinet.Stream, cabinet.StreamSize, cabinet.Dictionary, cabinet.DictionarySize);
        cabinet.Position = 0;
    }
    return DecodeXz(cabinet, nullptr, offset - cabinet.Position) && DecodeXz(cabinet, out, n);
}

// Starts the folder's first block.
bool StartFolder(FolderReader& reader, uint16_t folder) {
    reader.Folder = -1;
    const CabinetLayout& layout = reader.Layout;
    if (folder >= layout.Folders) return false;
    uint64_t at = layout.FolderTable + static_cast<uint64_t>(folder) * (kFolderSize + layout.FolderReserve);
    if (at + kFolderSize > layout.TablesEnd) return false;
    const uint8_t* entry = reader.Tables + at;
    reader.NextBlock = Read32(entry + kFolderDataAt);
    reader.BlocksLeft = Read16(entry + kFolderBlocksAt);
    reader.Compression = Read16(entry + kFolderCompressionAt) & kCompressionMask;
    reader.Start = 0;
    reader.Length = 0;
    MszipStartFolder(reader.Mszip);
    reader.Folder = folder;
    return reader.Compression == kStored || reader.Compression == kMszip;
}

// Reads and unpacks the folder's next block into Block.
bool NextBlock(FolderReader& reader) {
    if (reader.BlocksLeft == 0) return false;
    uint8_t head[kBlockHeadSize];
    size_t reserve = reader.Layout.BlockReserve;
    if (!reader.Bytes.Read(reader.Bytes.Source, reader.NextBlock, head, kBlockHeadSize)) return false;
    size_t packed = Read16(head + kBlockPackedAt);
    size_t unpacked = Read16(head + kBlockUnpackedAt);
    if (packed > sizeof reader.Packed || unpacked == 0 || unpacked > kMszipBlockMax) return false;
    if (!reader.Bytes.Read(reader.Bytes.Source, reader.NextBlock + kBlockHeadSize + reserve, reader.Packed, packed))
        return false;
    if (!BlockChecksumMatches(head, reader.Packed, packed)) return false;
    reader.Start += reader.Length;
    reader.Length = 0;
    reader.NextBlock += kBlockHeadSize + reserve + packed;
    --reader.BlocksLeft;
    if (reader.Compression == kStored) {
        if (packed != unpacked) return false;
        memcpy(reader.Block, reader.Packed, unpacked);
    } else if (!MszipDecodeBlock(reader.Mszip, reader.Packed, packed, reader.Block, unpacked)) {
        return false;
    }
    reader.Length = unpacked;
    return true;
}

}  // namespace

CabinetBytes MemoryCabinetBytes(MemoryCabinet& cabinet) {
    CabinetBytes bytes;
    bytes.Read = ReadMemory;
    bytes.Source = &cabinet;
    return bytes;
}

CabinetBytes XzCabinetBytes(XzCabinet& cabinet) {
    CabinetBytes bytes;
    bytes.Read = ReadXz;
    bytes.Source = &cabinet;
    cabinet.Position = ~0ull;
    return bytes;
}

bool ReadCabinetLayout(const uint8_t* start, size_t available, CabinetLayout* layout) {
    *layout = CabinetLayout();
    if (available < kHeaderSize || Read32(start) != kSignature || start[kMajorVersionAt] != 1) return false;
    unsigned flags = Read16(start + kFlagsAt);
    if (flags & kOtherCabinets) return false;
    layout->Size = Read32(start + kSizeAt);
    layout->FileTable = Read32(start + kFileTableAt);
    layout->Folders = static_cast<uint16_t>(Read16(start + kFoldersAt));
    layout->Files = static_cast<uint16_t>(Read16(start + kFilesAt));
    layout->FolderTable = kHeaderSize;
    if (flags & kReservePresent) {
        if (available < kReserveSizesAt + kReserveSizesSize) return false;
        const uint8_t* sizes = start + kReserveSizesAt;
        layout->FolderReserve = sizes[2];
        layout->BlockReserve = sizes[3];
        layout->FolderTable = kReserveSizesAt + kReserveSizesSize + Read16(sizes);
    }
    uint64_t foldersEnd =
        layout->FolderTable + static_cast<uint64_t>(layout->Folders) * (kFolderSize + layout->FolderReserve);
    return foldersEnd <= layout->Size && layout->FileTable <= layout->Size && layout->Folders > 0;
}

bool FindTablesEnd(const uint8_t* tables, size_t available, CabinetLayout* layout) {
    uint64_t end = layout->Size;
    for (uint32_t folder = 0; folder < layout->Folders; ++folder) {
        uint64_t at = layout->FolderTable + static_cast<uint64_t>(folder) * (kFolderSize + layout->FolderReserve);
        if (at + kFolderSize > available) return false;
        uint32_t data = Read32(tables + at + kFolderDataAt);
        if (data < end) end = data;
    }
    // The tables lie before the data: the folders' and the files', whose first entry at least.
    if (end < layout->FileTable + kFileSize || end > layout->Size) return false;
    layout->TablesEnd = static_cast<uint32_t>(end);
    return true;
}

bool NextCabinetEntry(const uint8_t* tables, const CabinetLayout& layout, uint32_t* cursor, CabinetEntry* entry) {
    uint64_t at = *cursor == 0 ? layout.FileTable : *cursor;
    if (at + kFileSize >= layout.TablesEnd) return false;
    const uint8_t* bytes = tables + at;
    const char* name = reinterpret_cast<const char*>(bytes + kFileSize);
    size_t room = layout.TablesEnd - static_cast<size_t>(at) - kFileSize;
    size_t length = 0;
    while (length < room && length < kMaxNameBytes && name[length] != 0) ++length;
    if (length == room || length == kMaxNameBytes) return false;
    entry->Name = name;
    entry->Size = Read32(bytes);
    entry->Offset = Read32(bytes + kFileOffsetAt);
    entry->Folder = static_cast<uint16_t>(Read16(bytes + kFileFolderAt));
    entry->Date = static_cast<uint16_t>(Read16(bytes + kFileDateAt));
    entry->Time = static_cast<uint16_t>(Read16(bytes + kFileTimeAt));
    entry->Attributes = static_cast<uint16_t>(Read16(bytes + kFileAttributesAt));
    *cursor = static_cast<uint32_t>(at + kFileSize + length + 1);
    return true;
}

CabinetRead ReadFolderBytes(FolderReader& reader, uint16_t folder, uint64_t offset, uint64_t length,
                            CabinetSink sink, void* data) {
    if (reader.Folder != folder || offset < reader.Start) {
        if (!StartFolder(reader, folder)) return CabinetRead::Damaged;
    }
    while (length > 0) {
        uint64_t end = reader.Start + reader.Length;
        if (offset >= end) {
            if (!NextBlock(reader)) {
                reader.Folder = -1;
                return CabinetRead::Damaged;
            }
            continue;
        }
        size_t from = static_cast<size_t>(offset - reader.Start);
        size_t piece = reader.Length - from;
        if (piece > length) piece = static_cast<size_t>(length);
        if (!sink(data, reader.Block + from, piece)) return CabinetRead::Stopped;
        offset += piece;
        length -= piece;
    }
    return CabinetRead::Done;
}
