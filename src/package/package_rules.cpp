// Where a packed Setup.exe's package lies, and whether it may be unpacked.
#include "package/package_rules.h"

#include <stdint.h>

#include "package/cabinet_format.h"
#include "support/text_helpers.h"

using cabinet::Read16;
using cabinet::Read32;

namespace {

// The n bytes at offset, or null when they do not all lie within size.
const unsigned char* BytesAt(const unsigned char* data, size_t size, unsigned long long offset, size_t n) {
    return offset <= size && n <= size - offset ? data + offset : nullptr;
}

struct CabinetReader {
    const unsigned char* Data;
    size_t Size;
    bool WithBlocks;  // the data blocks are at hand, not only the tables
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
    using namespace cabinet;
    unsigned long long offset = Read32(folder + kFolderDataAt);
    for (uint32_t blocks = Read16(folder + kFolderBlocksAt); blocks > 0; --blocks) {
        const unsigned char* head = BytesAt(reader.Data, reader.Size, offset, kBlockHeadSize + reader.BlockReserve);
        size_t packed = head != nullptr ? Read16(head + kBlockPackedAt) : 0;
        const unsigned char* bytes =
            BytesAt(reader.Data, reader.Size, offset + kBlockHeadSize + reader.BlockReserve, packed);
        if (head == nullptr || bytes == nullptr) return Fail(reader, PackageProblem::Truncated);
        if (!BlockChecksumMatches(head, bytes, packed)) return Fail(reader, PackageProblem::Damaged);
        *total += Read16(head + kBlockUnpackedAt);
        offset += kBlockHeadSize + reader.BlockReserve + packed;
    }
    return true;
}

// The entries of folder index from *offset on, until an entry of another folder: each begins
// where the one before it ended, each name may be unpacked, and together they cover the
// folder's data.
bool ReadEntries(CabinetReader& reader, uint32_t index, unsigned long long* offset, uint32_t* left,
                 unsigned long long data) {
    using namespace cabinet;
    unsigned long long covered = 0;
    for (; *left > 0; --*left) {
        const unsigned char* entry = BytesAt(reader.Data, reader.Size, *offset, kFileSize);
        if (entry == nullptr) return Fail(reader, PackageProblem::Truncated);
        if (Read16(entry + kFileFolderAt) != index) break;
        if (Read32(entry + kFileOffsetAt) != covered) return Fail(reader, PackageProblem::Damaged);
        covered += Read32(entry);
        const char* name = reinterpret_cast<const char*>(entry + kFileSize);
        size_t room = reader.Size - static_cast<size_t>(*offset) - kFileSize;
        size_t length = 0;
        while (length < room && length < kMaxNameBytes && name[length] != 0) ++length;
        if (length == room || length == kMaxNameBytes) return Fail(reader, PackageProblem::Truncated);
        reader.Check.NameProblem = EntryNameProblem(name);
        if (reader.Check.NameProblem != ListProblemKind::None) {
            reader.Check.Name = name;
            return Fail(reader, PackageProblem::BadName);
        }
        *offset += kFileSize + length + 1;
    }
    if (reader.WithBlocks && covered != data) return Fail(reader, PackageProblem::Damaged);
    reader.Check.UnpackedBytes += covered;
    return true;
}

bool ReadCabinet(CabinetReader& reader) {
    using namespace cabinet;
    const unsigned char* header = BytesAt(reader.Data, reader.Size, 0, kHeaderSize);
    if (header == nullptr || Read32(header) != kSignature || header[kMajorVersionAt] != 1)
        return Fail(reader, PackageProblem::NotCabinet);
    uint32_t cabinetSize = Read32(header + kSizeAt);
    if (reader.WithBlocks && cabinetSize > reader.Size) return Fail(reader, PackageProblem::Truncated);
    // Bytes behind the cabinet belong to no package this program makes or reads.
    if (reader.WithBlocks && cabinetSize < reader.Size) return Fail(reader, PackageProblem::NotCabinet);
    uint32_t flags = Read16(header + kFlagsAt);
    if (flags & kOtherCabinets) return Fail(reader, PackageProblem::NotCabinet);
    unsigned long long folderTable = kHeaderSize;
    if (flags & kReservePresent) {
        const unsigned char* sizes = BytesAt(reader.Data, reader.Size, kReserveSizesAt, kReserveSizesSize);
        if (sizes == nullptr) return Fail(reader, PackageProblem::Truncated);
        reader.FolderReserve = sizes[2];
        reader.BlockReserve = sizes[3];
        folderTable = kReserveSizesAt + kReserveSizesSize + Read16(sizes);
    }
    unsigned long long entry = Read32(header + kFileTableAt);
    uint32_t entriesLeft = Read16(header + kFilesAt);
    for (uint32_t index = 0; index < Read16(header + kFoldersAt); ++index) {
        const unsigned char* folder =
            BytesAt(reader.Data, reader.Size, folderTable + index * (kFolderSize + reader.FolderReserve), kFolderSize);
        if (folder == nullptr) return Fail(reader, PackageProblem::Truncated);
        // Stored or MSZIP data; LZX and Quantum (2, 3 and their window sizes above) are not read.
        if (Read16(folder + kFolderCompressionAt) > kMszip) return Fail(reader, PackageProblem::NotCabinet);
        unsigned long long data = 0;
        if ((reader.WithBlocks && !ReadBlocks(reader, folder, &data)) ||
            !ReadEntries(reader, index, &entry, &entriesLeft, data))
            return false;
    }
    // An entry left over names no folder of this cabinet (or one continued from another cabinet).
    return entriesLeft == 0 || Fail(reader, PackageProblem::Damaged);
}

}  // namespace

bool ReadProgramLayout(const unsigned char* file, size_t size, ProgramLayout* layout) {
    *layout = ProgramLayout();
    const unsigned char* dos = BytesAt(file, size, 0, 64);
    unsigned long long headers = dos != nullptr ? Read32(dos + 0x3C) : 0;
    const unsigned char* pe = BytesAt(file, size, headers, 24);
    if (pe == nullptr || Read32(pe) != 0x00004550) return false;  // "PE\0\0"
    unsigned long long optional = headers + 24;
    unsigned sections = Read16(pe + 6);
    const unsigned char* header = BytesAt(file, size, optional, 112 + 5 * 8);
    if (header == nullptr || Read16(header) != 0x020B) return false;  // a 64-bit image
    layout->ChecksumField = static_cast<size_t>(optional + 64);
    layout->SecurityEntry = static_cast<size_t>(optional + 112 + 4 * 8);
    unsigned long long table = optional + Read16(pe + 20);
    for (unsigned i = 0; i < sections; ++i) {
        const unsigned char* section = BytesAt(file, size, table + 40ull * i, 40);
        if (section == nullptr) return false;
        unsigned long long end = Read32(section + 20) + static_cast<unsigned long long>(Read32(section + 16));
        if (Read32(section + 16) != 0 && end > layout->ImageEnd) layout->ImageEnd = static_cast<size_t>(end);
    }
    if (layout->ImageEnd > size) return false;
    layout->ProgramEnd = layout->ImageEnd;
    // A program part signed before packing: its certificate table follows the image.
    size_t own = (layout->ImageEnd + 7) & ~static_cast<size_t>(7);
    const unsigned char* certificate = BytesAt(file, size, own, 8);
    uint32_t length = certificate != nullptr ? Read32(certificate) : 0;
    if (length >= 8 && Read16(certificate + 4) == 0x0200 && Read16(certificate + 6) == 2 &&
        BytesAt(file, size, own, length) != nullptr) {
        layout->OwnTable = own;
        layout->OwnTableSize = length;
        layout->ProgramEnd = own + ((length + 7) & ~7u);
        if (layout->ProgramEnd > size) layout->ProgramEnd = size;
    }
    // The packed file signed as a whole: its table ends the file, and the package ends before it.
    unsigned long long signature = Read32(file + layout->SecurityEntry);
    unsigned long long signatureSize = Read32(file + layout->SecurityEntry + 4);
    layout->PackageStart = layout->ProgramEnd;
    layout->PackageEnd = size;
    if (signature > layout->ProgramEnd && signature + signatureSize == size) {
        layout->PackageEnd = static_cast<size_t>(signature);
        layout->PackageSigned = true;
    }
    return true;
}

unsigned long ProgramChecksum(const unsigned char* file, size_t size, size_t checksumField) {
    unsigned long long sum = 0;
    for (size_t i = 0; i < size; i += 2) {
        if (i == checksumField || i == checksumField + 2) continue;
        sum += file[i] | (i + 1 < size ? static_cast<unsigned>(file[i + 1]) << 8 : 0u);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<unsigned long>((sum + size) & 0xFFFFFFFFu);
}

PackageCheck CheckPackage(const unsigned char* cabinet, size_t size, bool signedPackage) {
    // A signer pads the file to 8 bytes before its table: zero bytes behind the cabinet.
    const unsigned char* header = BytesAt(cabinet, size, 0, 12);
    if (signedPackage && header != nullptr) {
        size_t end = Read32(header + 8);
        bool padding = end < size && size - end < 8;
        for (size_t i = end; padding && i < size; ++i) padding = cabinet[i] == 0;
        if (padding) size = end;
    }
    CabinetReader reader = {cabinet, size, true, 0, 0, PackageCheck()};
    ReadCabinet(reader);
    return reader.Check;
}

PackageCheck CheckCabinetTables(const unsigned char* tables, size_t tablesEnd) {
    CabinetReader reader = {tables, tablesEnd, false, 0, 0, PackageCheck()};
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

bool BlockChecksumMatches(const unsigned char* head, const unsigned char* packed, size_t size) {
    uint32_t sum = Read32(head);
    return sum == 0 || BlockChecksum(head + cabinet::kBlockPackedAt, 4, BlockChecksum(packed, size, 0)) == sum;
}

namespace {

bool HasDot(const char* name) {
    for (; *name != 0; ++name)
        if (*name == '.') return true;
    return false;
}

// "*" and "?" over the name, with a run of "*" tried at every place the name could go on.
bool MatchesPattern(const char* name, const char* nameEnd, const char* pattern, const char* patternEnd) {
    const char* star = nullptr;
    const char* starName = nullptr;
    while (name < nameEnd || pattern < patternEnd) {
        if (pattern < patternEnd && *pattern == '*') {
            star = ++pattern;
            starName = name;
            continue;
        }
        if (pattern < patternEnd && *pattern == '?') {
            // one character, or none where the name ends or its extension begins
            ++pattern;
            if (name < nameEnd && *name != '.') ++name;
            continue;
        }
        if (pattern < patternEnd && name < nameEnd && UpperAscii(*pattern) == UpperAscii(*name)) {
            ++pattern;
            ++name;
            continue;
        }
        if (star == nullptr || starName >= nameEnd) return false;
        pattern = star;
        name = ++starName;
    }
    return true;
}

}  // namespace

bool MatchesFilePattern(const char* name, const char* pattern) {
    const char* nameEnd = name;
    while (*nameEnd != 0) ++nameEnd;
    const char* patternEnd = pattern;
    while (*patternEnd != 0) ++patternEnd;
    size_t length = static_cast<size_t>(patternEnd - pattern);
    if (length >= 2 && patternEnd[-2] == '.' && patternEnd[-1] == '*' && !HasDot(name))
        return MatchesPattern(name, nameEnd, pattern, patternEnd - 2);
    if (length >= 1 && patternEnd[-1] == '.') return !HasDot(name) && MatchesPattern(name, nameEnd, pattern, patternEnd - 1);
    return MatchesPattern(name, nameEnd, pattern, patternEnd);
}
