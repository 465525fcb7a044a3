// Where a packed Setup.exe's package lies, and whether it may be unpacked.
#include "package/package_rules.h"

#include <stdint.h>

namespace {

// The cabinet format (little-endian throughout): a header of 36 bytes, optionally followed by
// the sizes of reserved areas; a table of folders (8 bytes each), each naming its run of data
// blocks; a table of files (16 bytes and a name each), each naming its folder and its place in
// the folder's uncompressed data; data blocks of 8 bytes (checksum, packed size, unpacked size)
// and the packed bytes.
constexpr uint32_t kCabinetSignature = 0x4643534D;  // "MSCF"
constexpr unsigned kOtherCabinets = 0x0003;          // a cabinet before or after this one
constexpr unsigned kReservePresent = 0x0004;
constexpr size_t kMaxEntryName = 256;  // with its terminator

uint32_t Read16(const unsigned char* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }
uint32_t Read32(const unsigned char* p) { return Read16(p) | Read16(p + 2) << 16; }

// The n bytes at offset, or null when they do not all lie within size.
const unsigned char* BytesAt(const unsigned char* data, size_t size, unsigned long long offset, size_t n) {
    return offset <= size && n <= size - offset ? data + offset : nullptr;
}

struct CabinetReader {
    const unsigned char* Data;
    size_t Size;
    size_t FolderReserve;
    size_t BlockReserve;
    PackageCheck Check;
};

bool Fail(CabinetReader& reader, PackageProblem problem) {
    reader.Check.Problem = problem;
    return false;
}

// The data blocks of one folder: each lies within the cabinet and matches its checksum. Adds
// their unpacked sizes to total.
bool ReadBlocks(CabinetReader& reader, const unsigned char* folder, unsigned long long* total) {
    unsigned long long offset = Read32(folder);
    for (uint32_t blocks = Read16(folder + 4); blocks > 0; --blocks) {
        const unsigned char* head = BytesAt(reader.Data, reader.Size, offset, 8 + reader.BlockReserve);
        size_t packed = head != nullptr ? Read16(head + 4) : 0;
        const unsigned char* bytes = BytesAt(reader.Data, reader.Size, offset + 8 + reader.BlockReserve, packed);
        if (head == nullptr || bytes == nullptr) return Fail(reader, PackageProblem::Truncated);
        // A checksum of 0 is one the packer did not write (the format allows that).
        uint32_t sum = Read32(head);
        if (sum != 0 && BlockChecksum(head + 4, 4, BlockChecksum(bytes, packed, 0)) != sum)
            return Fail(reader, PackageProblem::Damaged);
        *total += Read16(head + 6);
        offset += 8 + reader.BlockReserve + packed;
    }
    return true;
}

// The entries of folder index from *offset on, until an entry of another folder: each begins
// where the one before it ended, each name may be unpacked, and together they cover the
// folder's data.
bool ReadEntries(CabinetReader& reader, uint32_t index, unsigned long long* offset, uint32_t* left,
                 unsigned long long data) {
    unsigned long long covered = 0;
    for (; *left > 0; --*left) {
        const unsigned char* entry = BytesAt(reader.Data, reader.Size, *offset, 16);
        if (entry == nullptr) return Fail(reader, PackageProblem::Truncated);
        if (Read16(entry + 8) != index) break;
        if (Read32(entry + 4) != covered) return Fail(reader, PackageProblem::Damaged);
        covered += Read32(entry);
        const char* name = reinterpret_cast<const char*>(entry + 16);
        size_t room = reader.Size - static_cast<size_t>(*offset) - 16;
        size_t length = 0;
        while (length < room && length < kMaxEntryName && name[length] != 0) ++length;
        if (length == room || length == kMaxEntryName) return Fail(reader, PackageProblem::Truncated);
        reader.Check.NameProblem = EntryNameProblem(name);
        if (reader.Check.NameProblem != ListProblemKind::None) {
            reader.Check.Name = name;
            return Fail(reader, PackageProblem::BadName);
        }
        *offset += 16 + length + 1;
    }
    if (covered != data) return Fail(reader, PackageProblem::Damaged);
    reader.Check.UnpackedBytes += covered;
    return true;
}

bool ReadCabinet(CabinetReader& reader) {
    const unsigned char* header = BytesAt(reader.Data, reader.Size, 0, 36);
    if (header == nullptr || Read32(header) != kCabinetSignature || header[25] != 1)
        return Fail(reader, PackageProblem::NotCabinet);
    uint32_t cabinetSize = Read32(header + 8);
    if (cabinetSize > reader.Size) return Fail(reader, PackageProblem::Truncated);
    // Bytes behind the cabinet belong to no package this program makes or reads.
    if (cabinetSize < reader.Size) return Fail(reader, PackageProblem::NotCabinet);
    uint32_t flags = Read16(header + 30);
    if (flags & kOtherCabinets) return Fail(reader, PackageProblem::NotCabinet);
    unsigned long long folderTable = 36;
    if (flags & kReservePresent) {
        const unsigned char* reserve = BytesAt(reader.Data, reader.Size, 36, 4);
        if (reserve == nullptr) return Fail(reader, PackageProblem::Truncated);
        reader.FolderReserve = reserve[2];
        reader.BlockReserve = reserve[3];
        folderTable = 40 + Read16(reserve);
    }
    unsigned long long entry = Read32(header + 16);
    uint32_t entriesLeft = Read16(header + 28);
    for (uint32_t index = 0; index < Read16(header + 26); ++index) {
        const unsigned char* folder =
            BytesAt(reader.Data, reader.Size, folderTable + index * (8 + reader.FolderReserve), 8);
        if (folder == nullptr) return Fail(reader, PackageProblem::Truncated);
        unsigned long long data = 0;
        if (!ReadBlocks(reader, folder, &data) || !ReadEntries(reader, index, &entry, &entriesLeft, data)) return false;
    }
    // An entry left over names no folder of this cabinet (or one continued from another cabinet).
    return entriesLeft == 0 || Fail(reader, PackageProblem::Damaged);
}

}  // namespace

PackagePlace PlaceOfPackage(unsigned long long imageEnd, unsigned long long signatureStart,
                            unsigned long long fileSize) {
    PackagePlace place;
    unsigned long long end = signatureStart >= imageEnd && signatureStart != 0 && signatureStart < fileSize
                                 ? signatureStart
                                 : fileSize;
    if (imageEnd != 0 && imageEnd < end) {
        place.Start = static_cast<size_t>(imageEnd);
        place.Length = static_cast<size_t>(end - imageEnd);
    }
    return place;
}

PackageCheck CheckPackage(const unsigned char* cabinet, size_t size) {
    CabinetReader reader = {cabinet, size, 0, 0, PackageCheck()};
    ReadCabinet(reader);
    return reader.Check;
}

ListProblemKind EntryNameProblem(const char* name) {
    ListProblemKind kind = PathValueProblem(name, true);
    return kind != ListProblemKind::None ? kind : FolderNameProblem(name);
}

unsigned long BlockChecksum(const unsigned char* data, size_t size, unsigned long seed) {
    uint32_t sum = static_cast<uint32_t>(seed);
    size_t i = 0;
    for (; size - i >= 4; i += 4) sum ^= Read32(data + i);
    // The last one to three bytes, the first of them highest.
    uint32_t rest = 0;
    for (; i < size; ++i) rest = rest << 8 | data[i];
    return sum ^ rest;
}

PathBuffer<20> UnpackFolderName(const unsigned char random[8]) {
    char name[19] = "qv";
    for (int i = 0; i < 16; ++i) {
        int digit = (random[i / 2] >> (i % 2 ? 0 : 4)) & 15;
        name[2 + i] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    }
    return PathBuffer<20>(name);
}
