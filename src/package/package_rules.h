// A packed Setup.exe carries its package behind its own image: a cabinet file (the format of
// Windows' own installer archives) holding Setup.lst and the files. Where the package lies in
// the program file, and whether it may be unpacked at all, are decided here from its bytes alone,
// before anything is written. No Windows needed: tested natively.
#pragma once

#include <stddef.h>

#include "list/list_rules.h"
#include "support/path_buffer.h"

// Where the package lies in the program file: from the end of the image's last section (the
// first byte Windows does not load, the overlay) to the end of the file, or to the signature a
// signing tool appends to a signed program (signatureStart; 0 for none). Length is 0 when nothing
// lies behind the image.
struct PackagePlace {
    size_t Start = 0;
    size_t Length = 0;
};
PackagePlace PlaceOfPackage(unsigned long long imageEnd, unsigned long long signatureStart,
                            unsigned long long fileSize);

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

// Reads the whole cabinet: its header and folders, every data block (its checksum, when the
// packer wrote one: gcab and Windows' own cabinet library do), and every entry of its file table,
// which must cover each folder's data from its start to its end, in order, as the packers write
// it. A changed byte of the packed data, of a size or of a place is found so; a changed name is
// held to the name rules.
PackageCheck CheckPackage(const unsigned char* cabinet, size_t size);

// The rule an entry's name breaks, None when it may be unpacked below a folder: a relative path
// without a drive, without ".." or "." as a part, without a device name (CON, NUL.txt, COM1)
// and without a character Windows refuses in names.
ListProblemKind EntryNameProblem(const char* name);

// The checksum of a cabinet's data block (the cabinet format's own: the words of the data
// exclusive-ored, then those of the two sizes), as the packer computes it.
unsigned long BlockChecksum(const unsigned char* data, size_t size, unsigned long seed);

// The name of the folder a package is unpacked into: "qv" and the 16 hexadecimal digits of eight
// random bytes, so that nobody can make it beforehand.
PathBuffer<20> UnpackFolderName(const unsigned char random[8]);
