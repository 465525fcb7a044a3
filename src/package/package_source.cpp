// A packed Setup.exe's package, read in place from the program file.
#include "package/package_source.h"

#include "files/file_path_rules.h"
#include "list/install_context.h"
#include "package/cabinet_decoder.h"
#include "package/package_rules.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

constexpr unsigned char kXzMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0};
constexpr unsigned kNameIsUtf8 = 0x80;  // a cabinet entry's attribute: its name is UTF-8
constexpr unsigned kAttributeMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE;
// The program answers its windows while a large file is unpacked, every few megabytes.
constexpr size_t kBytesBetweenPumps = 4u << 20;

// The whole state of the package; all zero before it is opened.
struct Package {
    const unsigned char* File;  // the program file, mapped
    size_t FileSize;
    ProgramLayout Layout;
    const uint8_t* Tables;  // the cabinet's first bytes, its header and tables
    MemoryCabinet Memory;
    XzCabinet Xz;
    FolderReader Reader;
    unsigned char* List;
    size_t ListSize;
    unsigned long long UnpackedBytes;
    PackageCheck Refusal;
    FILETIME Written;  // the packed file's own time, for the list copy and the uninstaller
};
Package g_package;
XzDecoder g_xz;

uint32_t Read32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Write32(unsigned char* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

void* Allocate(size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

bool Refuse(PackageProblem problem) {
    g_package.Refusal.Problem = problem;
    return false;
}

// The program file and its mapping; open only while the program is a packed one.
HANDLE g_programFile;
HANDLE g_programMapping;

void UnmapProgramFile() {
    if (g_package.File != nullptr) UnmapViewOfFile(g_package.File);
    if (g_programMapping != nullptr) CloseHandle(g_programMapping);
    if (g_programFile != nullptr && g_programFile != INVALID_HANDLE_VALUE) CloseHandle(g_programFile);
    g_package.File = nullptr;
    g_programMapping = nullptr;
    g_programFile = nullptr;
}

// Maps the program file for reading. For a packed program the handle stays open to the end of the
// process and lets nobody write to the file or replace it meanwhile.
bool MapProgramFile() {
    WorkPath path = ModulePath();
    g_programFile = CreateFileA(path.CStr(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size = {};
    if (g_programFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(g_programFile, &size) || size.QuadPart == 0)
        return false;
    GetFileTime(g_programFile, nullptr, nullptr, &g_package.Written);
    g_programMapping = CreateFileMappingA(g_programFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = g_programMapping == nullptr ? nullptr : MapViewOfFile(g_programMapping, FILE_MAP_READ, 0, 0, 0);
    g_package.File = static_cast<const unsigned char*>(view);
    g_package.FileSize = static_cast<size_t>(size.QuadPart);
    return view != nullptr;
}

// A cabinet behind the program: checked whole, every byte of it, before anything is written.
bool OpenCabinet(const unsigned char* package, size_t size) {
    g_package.Refusal = CheckPackage(package, size, g_package.Layout.PackageSigned);
    if (g_package.Refusal.Problem != PackageProblem::None) return false;
    g_package.Memory = {package, size};
    g_package.Reader.Bytes = MemoryCabinetBytes(g_package.Memory);
    g_package.Tables = package;
    g_package.Reader.Tables = package;
    return ReadCabinetLayout(package, size, &g_package.Reader.Layout) &&
           FindTablesEnd(package, size, &g_package.Reader.Layout);
}

// An .xz stream that holds a stored cabinet: its headers and index are checked, and the cabinet's
// tables at its start are unpacked and checked; its data blocks are checked as they are reached.
bool OpenXzCabinet(const unsigned char* stream, size_t size) {
    // A signer's padding (fewer than 8 zero bytes) may follow the stream; its footer never ends in zero.
    for (int i = 0; g_package.Layout.PackageSigned && i < 7 && size > 0 && stream[size - 1] == 0; ++i) --size;
    XzStreamInfo info;
    if (!XzCheckStream(stream, size, &info)) return Refuse(PackageProblem::Damaged);
    uint8_t* dictionary = static_cast<uint8_t*>(Allocate(info.DictionarySize + 1));
    if (dictionary == nullptr) return Refuse(PackageProblem::Damaged);
    g_package.Xz = {&g_xz, stream, size, dictionary, info.DictionarySize, 0};
    CabinetBytes bytes = XzCabinetBytes(g_package.Xz);
    CabinetLayout& layout = g_package.Reader.Layout;
    uint8_t header[40] = {};
    if (!bytes.Read(bytes.Source, 0, header, sizeof header) || !ReadCabinetLayout(header, sizeof header, &layout))
        return Refuse(PackageProblem::NotCabinet);
    // The folder table first, which says where the data begins and so where the tables end.
    size_t folders = layout.FolderTable + layout.Folders * (8 + layout.FolderReserve);
    uint8_t* table = static_cast<uint8_t*>(Allocate(folders));
    bool found = table != nullptr && bytes.Read(bytes.Source, 0, table, folders) && FindTablesEnd(table, folders, &layout);
    if (table != nullptr) VirtualFree(table, 0, MEM_RELEASE);
    uint8_t* tables = found ? static_cast<uint8_t*>(Allocate(layout.TablesEnd)) : nullptr;
    if (tables == nullptr || !bytes.Read(bytes.Source, 0, tables, layout.TablesEnd))
        return Refuse(PackageProblem::Truncated);
    g_package.Refusal = CheckCabinetTables(tables, layout.TablesEnd);
    g_package.Reader.Bytes = bytes;
    g_package.Tables = tables;
    g_package.Reader.Tables = tables;
    return g_package.Refusal.Problem == PackageProblem::None;
}

// The entry's name in the ANSI code page, as the list names its files. A cabinet may hold names
// in UTF-8 (gcab marks every name beyond ASCII so); a character the code page lacks is refused,
// never replaced by a look-alike (a full-width dot would become a real one).
bool AnsiEntryName(const CabinetEntry& entry, EntryText& out) {
    if (!(entry.Attributes & kNameIsUtf8)) return out.Assign(entry.Name);
    WCHAR wide[kEntryWidth];
    BOOL replaced = FALSE;
    bool converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, entry.Name, -1, wide, kEntryWidth) > 0 &&
                     WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out.RawData(), out.RawSize(),
                                         nullptr, &replaced) > 0;
    out.Adopt();
    return converted && !replaced;
}

// Every entry's name may be installed: the check held the cabinet's bytes to the name rules, and
// the converted name is the one a file is created under.
bool CheckEntryNames() {
    unsigned cursor = 0;
    CabinetEntry entry;
    EntryText name;
    while (NextCabinetEntry(g_package.Tables, g_package.Reader.Layout, &cursor, &entry)) {
        g_package.UnpackedBytes += entry.Size;
        ListProblemKind problem = ListProblemKind::BadCharacter;
        if (AnsiEntryName(entry, name) && (problem = EntryNameProblem(name.CStr())) == ListProblemKind::None) continue;
        g_package.Refusal.NameProblem = problem;
        g_package.Refusal.Name = entry.Name;
        return Refuse(PackageProblem::BadName);
    }
    return true;
}

bool AppendToBuffer(void* data, const uint8_t* bytes, size_t n) {
    unsigned char*& at = *static_cast<unsigned char**>(data);
    CopyMemory(at, bytes, n);
    at += n;
    return true;
}

// The list is read whole at once: the installation's values come from it before any file.
bool ReadPackageList() {
    CopySource source;
    if (!FindPackageFile(kListFileName, &source)) return true;
    CabinetEntry entry;
    unsigned cursor = static_cast<unsigned>(static_cast<const uint8_t*>(source.Entry) - g_package.Tables);
    NextCabinetEntry(g_package.Tables, g_package.Reader.Layout, &cursor, &entry);
    g_package.List = static_cast<unsigned char*>(Allocate(entry.Size + 1));
    unsigned char* at = g_package.List;
    if (at == nullptr) return Refuse(PackageProblem::Damaged);
    if (ReadFolderBytes(g_package.Reader, entry.Folder, entry.Offset, entry.Size, AppendToBuffer, &at) !=
        CabinetRead::Done)
        return Refuse(PackageProblem::Damaged);
    g_package.ListSize = entry.Size;
    return true;
}

// A file being written from the package: the handle, and how much has gone since the last pump.
struct Writing {
    HANDLE File;
    size_t SincePump;
};

bool WriteToFile(void* data, const uint8_t* bytes, size_t n) {
    Writing& writing = *static_cast<Writing*>(data);
    DWORD written = 0;
    if (!WriteFile(writing.File, bytes, static_cast<DWORD>(n), &written, nullptr) || written != n) return false;
    writing.SincePump += n;
    if (writing.SincePump >= kBytesBetweenPumps) {
        writing.SincePump = 0;
        // A stopped run writes no more: the file stays a partial copy, which is discarded.
        if (!PumpPendingMessages()) return false;
    }
    return true;
}

// Writes a package's file at path as a copy would: the bytes, and the source's time. A package
// that proves damaged stops the installation (no file of it can be had any more).
bool WritePackageFile(const CopySource& source, const char* path, bool mustBeNew) {
    CabinetEntry entry;
    unsigned cursor = static_cast<unsigned>(static_cast<const uint8_t*>(source.Entry) - g_package.Tables);
    if (!NextCabinetEntry(g_package.Tables, g_package.Reader.Layout, &cursor, &entry)) return false;
    Writing writing = {CreateFileA(path, GENERIC_WRITE, 0, nullptr, mustBeNew ? CREATE_NEW : CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr),
                       0};
    if (writing.File == INVALID_HANDLE_VALUE) return false;
    CabinetRead read = ReadFolderBytes(g_package.Reader, entry.Folder, entry.Offset, entry.Size, WriteToFile, &writing);
    DWORD error = GetLastError();
    if (read == CabinetRead::Done) SetFileTime(writing.File, &source.Creation, nullptr, &source.LastWrite);
    CloseHandle(writing.File);
    if (read == CabinetRead::Damaged) {
        g_ctx.PackageDamaged = true;
        g_package.Refusal.Problem = PackageProblem::Damaged;
        error = ERROR_INVALID_DATA;
    }
    SetLastError(error);
    return read == CabinetRead::Done;
}

CopySource SourceOf(const CabinetEntry& entry, const uint8_t* record, const char* name) {
    CopySource source;
    source.Name = name;
    source.Entry = record;
    source.Size = entry.Size;
    FILETIME local;
    if (DosDateTimeToFileTime(entry.Date, entry.Time, &local)) LocalFileTimeToFileTime(&local, &source.LastWrite);
    source.Creation = source.LastWrite;
    source.Attributes = entry.Attributes & kAttributeMask;
    source.Write = WritePackageFile;
    return source;
}

// The folder part of a pattern or name (up to its last backslash) and the rest.
size_t FolderLength(const char* path) {
    size_t length = 0;
    for (size_t i = 0; path[i] != 0; ++i)
        if (path[i] == '\\') length = i + 1;
    return length;
}

// Names handed out with a source: a search's current match, a lookup's file.
EntryText g_foundName;

bool MatchEntry(const char* pattern, unsigned& cursor, CopySource* source) {
    size_t folder = FolderLength(pattern);
    CabinetEntry entry;
    for (;;) {
        const uint8_t* record = g_package.Tables + (cursor == 0 ? g_package.Reader.Layout.FileTable : cursor);
        if (!NextCabinetEntry(g_package.Tables, g_package.Reader.Layout, &cursor, &entry)) return false;
        if (!AnsiEntryName(entry, g_foundName) || FolderLength(g_foundName.CStr()) != folder ||
            CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, g_foundName.CStr(), static_cast<int>(folder),
                           pattern, static_cast<int>(folder)) != CSTR_EQUAL ||
            !MatchesFilePattern(g_foundName.CStr() + folder, pattern + folder))
            continue;
        *source = SourceOf(entry, record, g_foundName.CStr());
        return true;
    }
}

// The program part as written into the program folder: as it was before packing. When the packed
// file was signed as a whole, its headers name that signature; they name the program part's own
// again (or none), with the checksum that goes with them.
bool WriteProgramPart(const CopySource&, const char* path, bool mustBeNew) {
    const ProgramLayout& layout = g_package.Layout;
    size_t size = layout.ProgramEnd;
    unsigned char* part = static_cast<unsigned char*>(Allocate(size));
    if (part == nullptr) return false;
    CopyMemory(part, g_package.File, size);
    if (Read32(part + layout.SecurityEntry) != layout.OwnTable) {
        Write32(part + layout.SecurityEntry, static_cast<uint32_t>(layout.OwnTable));
        Write32(part + layout.SecurityEntry + 4, static_cast<uint32_t>(layout.OwnTableSize));
        Write32(part + layout.ChecksumField, static_cast<uint32_t>(ProgramChecksum(part, size, layout.ChecksumField)));
    }
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, mustBeNew ? CREATE_NEW : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool whole = file != INVALID_HANDLE_VALUE && WriteFile(file, part, static_cast<DWORD>(size), &written, nullptr) &&
                 written == size;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    VirtualFree(part, 0, MEM_RELEASE);
    return whole;
}

bool WritePackageList(const CopySource&, const char* path, bool mustBeNew) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, mustBeNew ? CREATE_NEW : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool whole = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, g_package.List, static_cast<DWORD>(g_package.ListSize), &written, nullptr) &&
                 written == g_package.ListSize;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return whole;
}

CopySource OwnFileSource(const char* name, unsigned long long size,
                         bool (*write)(const CopySource&, const char*, bool)) {
    CopySource source;
    source.Name = name;
    source.Size = size;
    source.LastWrite = g_package.Written;
    source.Creation = g_package.Written;
    source.Attributes = FILE_ATTRIBUTE_ARCHIVE;
    source.Write = write;
    return source;
}

}  // namespace

PackageOpening OpenOwnPackage() {
    // An ordinary program lets go of its file: it may be renamed to Uninst.exe where it lies.
    if (!MapProgramFile() || !ReadProgramLayout(g_package.File, g_package.FileSize, &g_package.Layout) ||
        g_package.Layout.PackageEnd <= g_package.Layout.PackageStart) {
        UnmapProgramFile();
        return PackageOpening::NotPacked;
    }
    const unsigned char* package = g_package.File + g_package.Layout.PackageStart;
    size_t size = g_package.Layout.PackageEnd - g_package.Layout.PackageStart;
    bool xz = size >= sizeof kXzMagic;
    for (size_t i = 0; xz && i < sizeof kXzMagic; ++i) xz = package[i] == kXzMagic[i];
    bool opened = (xz ? OpenXzCabinet(package, size) : OpenCabinet(package, size)) && CheckEntryNames() &&
                  ReadPackageList();
    return opened ? PackageOpening::Opened : PackageOpening::Refused;
}

const PackageCheck& PackageRefusal() {
    return g_package.Refusal;
}

bool IsPackedRun() {
    return g_package.Tables != nullptr;
}

bool PackageList(const unsigned char** bytes, size_t* size) {
    *bytes = g_package.List;
    *size = g_package.ListSize;
    return g_package.List != nullptr;
}

unsigned long long PackageUnpackedBytes() {
    return g_package.UnpackedBytes;
}

bool FindPackageFile(const char* name, CopySource* source) {
    PackageSearch search;
    bool pattern = false;
    for (const char* p = name; *p != 0; ++p) pattern = pattern || *p == '*' || *p == '?';
    if (pattern) return NextPackageMatch(name, search, source);
    unsigned cursor = 0;
    CabinetEntry entry;
    for (;;) {
        const uint8_t* record = g_package.Tables + (cursor == 0 ? g_package.Reader.Layout.FileTable : cursor);
        if (!IsPackedRun() || !NextCabinetEntry(g_package.Tables, g_package.Reader.Layout, &cursor, &entry))
            return false;
        if (AnsiEntryName(entry, g_foundName) && lstrcmpiA(g_foundName.CStr(), name) == 0) {
            *source = SourceOf(entry, record, name);
            return true;
        }
    }
}

bool NextPackageMatch(const char* pattern, PackageSearch& search, CopySource* source) {
    return IsPackedRun() && MatchEntry(pattern, search.Cursor, source);
}

bool PackageListSource(CopySource* source) {
    *source = OwnFileSource(kListFileName, g_package.ListSize, WritePackageList);
    return g_package.List != nullptr;
}

bool ProgramPartSource(CopySource* source) {
    *source = OwnFileSource(kSetupFileName, g_package.Layout.ProgramEnd, WriteProgramPart);
    return IsPackedRun();
}

bool CopyPackageMatches(const char* pattern, const char* targetFolder) {
    CreateFolderPath(targetFolder);
    PackageSearch search;
    CopySource source;
    bool targetsExist = false;
    bool allCopied = true;
    while (!g_ctx.PackageDamaged && NextPackageMatch(pattern, search, &source)) {
        WorkPath target = JoinPath(targetFolder, PathFilePart(source.Name).CStr());
        if (!target.Fits() || !CopyGroupFile(source, target.CStr(), &targetsExist)) allCopied = false;
    }
    return allCopied;
}

bool SourceHasMatch(const char* pattern) {
    CopySource source;
    return IsPackedRun() ? FindPackageFile(pattern, &source) : FileExists(pattern);
}
