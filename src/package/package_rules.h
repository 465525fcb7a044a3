// A packed Setup.exe carries its package behind its own image: a cabinet file (the format of
// Windows' own installer archives) holding Setup.lst and the files, or an .xz stream that holds
// such a cabinet. Where the package lies in the program file, and whether it may be installed at
// all, are decided here from its bytes alone, before anything is written. No Windows needed:
// tested natively.
#pragma once

#include <stddef.h>

#include "list/list_rules.h"
#include "support/path_buffer.h"

// How a program file is laid out: the program part (the image Windows loads, and its own
// certificate table when it was signed before its package was appended) and the package behind
// it, up to the file's end or to the certificate table of the packed file as a whole.
struct ProgramLayout {
    size_t ImageEnd = 0;      // the end of the last section's bytes
    size_t ProgramEnd = 0;    // the end of the program part
    size_t OwnTable = 0;      // the program part's own certificate table; 0 without
    size_t OwnTableSize = 0;
    size_t PackageStart = 0;  // the package: empty when nothing lies behind the program part
    size_t PackageEnd = 0;
    bool PackageSigned = false;  // a certificate table follows the package (a signer pads to 8)
    size_t SecurityEntry = 0;    // where the headers name a certificate table (offset, size)
    size_t ChecksumField = 0;
};
// Reads the layout of a 64-bit program file; false when it is none. A certificate table is known
// by its header (length, revision 2.0, PKCS#7) at the first 8-byte boundary behind the image.
bool ReadProgramLayout(const unsigned char* file, size_t size, ProgramLayout* layout);
// The checksum a program file's headers carry, of size bytes with the checksum field (at
// checksumField) taken as zero: the 16-bit words added with their carries, and the length.
unsigned long ProgramChecksum(const unsigned char* file, size_t size, size_t checksumField);

enum class PackageProblem {
    None,
    NotCabinet,  // not a cabinet, or one that continues in another cabinet file
    Truncated,   // shorter than the cabinet says it is, or its tables run past its end
    Damaged,     // a data block's checksum does not match, or the file table disagrees with the data
    BadName,     // an entry's name would lead out of the folder it is unpacked into, or names a device
};

struct PackageCheck {
    PackageProblem Problem = PackageProblem::None;
    ListProblemKind NameProblem = ListProblemKind::None;  // for BadName: the rule the name breaks
    const char* Name = nullptr;                           // for BadName: the name, in the cabinet's bytes
    unsigned long long UnpackedBytes = 0;                 // the sizes of all files, added
};

// Reads the whole cabinet: its header and folders (stored or MSZIP data only), every data block
// (its checksum, when the packer wrote one: gcab and Windows' own cabinet library do), and every
// entry of its file table, which must cover each folder's data from its start to its end, in
// order, as the packers write it. A changed byte of the packed data, of a size or of a place is
// found so; a changed name is held to the name rules. Behind a signed package, a signer's zero
// bytes of alignment (fewer than 8) may follow the cabinet; any other byte is refused.
PackageCheck CheckPackage(const unsigned char* cabinet, size_t size, bool signedPackage);
// The same for a cabinet whose data is not at hand yet (it comes out of a stream while the
// install goes): the header, the folders and the file table, which lie in its first tablesEnd
// bytes. The data blocks are held to their checksums and sizes as they are read.
PackageCheck CheckCabinetTables(const unsigned char* tables, size_t tablesEnd);

// The rule an entry's name breaks, None when it may be unpacked below a folder: a relative path
// without a drive, without ".." or "." as a part, without a device name (CON, NUL.txt, COM1)
// and without a character Windows refuses in names.
ListProblemKind EntryNameProblem(const char* name);

// True when a file name (without its folder) matches a pattern's name part as a directory search
// matches it: "*" any run of characters, "?" one character (or none at the name's end or before a
// dot), ASCII letters without regard to case; "x.*" matches a name without a dot too, and a
// pattern ending in "." only names without one.
bool MatchesFilePattern(const char* name, const char* pattern);

// The checksum of a cabinet's data block (the cabinet format's own: the words of the data
// exclusive-ored, then those of the two sizes), as the packer computes it.
unsigned long BlockChecksum(const unsigned char* data, size_t size, unsigned long seed);
// The block whose head (checksum and sizes) and packed bytes are given matches its checksum. A
// checksum of 0 is one the packer did not write (the format allows that), and matches.
bool BlockChecksumMatches(const unsigned char* head, const unsigned char* packed, size_t size);
