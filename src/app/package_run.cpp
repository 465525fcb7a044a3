// A packed Setup.exe: unpacking its package, running the program part from there, removing it.
#include "app/package_run.h"

#include <windows.h>

#include <fdi.h>
#include <ntsecapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/command_line_rules.h"
#include "app/app_texts.h"
#include "app/exit_codes.h"
#include "package/package_rules.h"
#include "package/package_texts.h"
#include "files/file_ops.h"
#include "files/progress_item.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "list/user_boxes.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "ui/progress_window.h"

namespace {

// Windows' cabinet decompressor reads through these callbacks. The only file it opens itself is
// the cabinet, which is read from the mapped program file; the files it writes are opened and
// closed by the program (OnCabinetEntry).
constexpr INT_PTR kCabinetHandle = 1;

struct Unpacking {
    const unsigned char* Cabinet = nullptr;
    size_t Size = 0;
    size_t Position = 0;
    HANDLE Open = nullptr;  // the file being written, null between files
    WorkPath Folder;        // the new folder below the temporary folder
    WorkPath Path;          // the file being made (last the program part), named when it fails
};
Unpacking g_unpacking;

void* DIAMONDAPI AllocateForCabinet(ULONG size) { return malloc(size); }

INT_PTR DIAMONDAPI OpenCabinet(char*, int, int) {
    g_unpacking.Position = 0;
    return kCabinetHandle;
}

UINT DIAMONDAPI ReadCabinet(INT_PTR, void* buffer, UINT size) {
    size_t left = g_unpacking.Size - g_unpacking.Position;
    if (size > left) size = static_cast<UINT>(left);
    memcpy(buffer, g_unpacking.Cabinet + g_unpacking.Position, size);
    g_unpacking.Position += size;
    return size;
}

LONG DIAMONDAPI SeekCabinet(INT_PTR, LONG distance, int origin) {
    long long base = origin == SEEK_CUR ? static_cast<long long>(g_unpacking.Position)
                     : origin == SEEK_END ? static_cast<long long>(g_unpacking.Size)
                                          : 0;
    long long position = base + distance;
    if (position < 0 || position > static_cast<long long>(g_unpacking.Size)) return -1;
    g_unpacking.Position = static_cast<size_t>(position);
    return static_cast<LONG>(position);
}

// The entry being unpacked in the progress window; the window keeps its own pace (a line every
// 50 ms at most), and it is kept answering between the pieces of a large file too.
void ShowUnpacking() { ShowProgressItem(g_unpacking.Path.CStr() + g_unpacking.Folder.Length() + 1); }

UINT DIAMONDAPI WriteUnpacked(INT_PTR file, void* buffer, UINT size) {
    ShowUnpacking();
    DWORD written = 0;
    return WriteFile(reinterpret_cast<HANDLE>(file), buffer, size, &written, nullptr) ? written : static_cast<UINT>(-1);
}

int DIAMONDAPI CloseUnpacked(INT_PTR file) {
    if (file == kCabinetHandle) return 0;
    if (reinterpret_cast<HANDLE>(file) == g_unpacking.Open) g_unpacking.Open = nullptr;
    CloseHandle(reinterpret_cast<HANDLE>(file));
    return 0;
}

// The entry's name in the ANSI code page, as the list names its files. A cabinet may hold names
// in UTF-8 (gcab marks every name beyond ASCII so); a character the code page lacks is refused,
// never replaced by a look-alike (a full-width dot would become a real one).
bool AnsiEntryName(const char* name, USHORT attributes, EntryText& out) {
    if (!(attributes & _A_NAME_IS_UTF)) return out.Assign(name);
    WCHAR wide[kEntryWidth];
    BOOL replaced = FALSE;
    bool converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide, kEntryWidth) > 0 &&
                     WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out.RawData(), out.RawSize(),
                                         nullptr, &replaced) > 0;
    out.Adopt();
    return converted && !replaced;
}

HANDLE CreateNewFile(const char* path) {
    return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A new file for the entry; the decompressor writes into it. Its folders are made when the file
// cannot be made without them, so a folder is looked at once, not for every file in it.
INT_PTR CreateUnpackedFile(const FDINOTIFICATION& entry) {
    EntryText name;
    bool named =
        AnsiEntryName(entry.psz1, entry.attribs, name) && EntryNameProblem(name.CStr()) == ListProblemKind::None;
    WorkPath& path = g_unpacking.Path;
    path = JoinPath(g_unpacking.Folder.CStr(), name.CStr());
    if (!named || !path.Fits()) return -1;
    ShowUnpacking();
    HANDLE file = CreateNewFile(path.CStr());
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND) {
        CreateFolderPath(path.CStr());
        file = CreateNewFile(path.CStr());
    }
    if (file == INVALID_HANDLE_VALUE) return -1;
    g_unpacking.Open = file;
    return reinterpret_cast<INT_PTR>(file);
}

// The file is whole: it gets the time the cabinet keeps for it (the install's date rule compares
// it), in the cabinet's local time.
INT_PTR FinishUnpackedFile(const FDINOTIFICATION& entry) {
    FILETIME local;
    FILETIME written;
    if (DosDateTimeToFileTime(entry.date, entry.time, &local) && LocalFileTimeToFileTime(&local, &written))
        SetFileTime(reinterpret_cast<HANDLE>(entry.hf), nullptr, nullptr, &written);
    CloseUnpacked(entry.hf);
    return TRUE;
}

INT_PTR DIAMONDAPI OnCabinetEntry(FDINOTIFICATIONTYPE type, PFDINOTIFICATION entry) {
    switch (type) {
    case fdintCOPY_FILE:
        return CreateUnpackedFile(*entry);
    case fdintCLOSE_FILE_INFO:
        return FinishUnpackedFile(*entry);
    case fdintNEXT_CABINET:
        return -1;  // a package is one cabinet (the check refused any other)
    default:
        return 0;
    }
}

// Every file of the cabinet, through Windows' own decompressor (cabinet.dll, loaded from the
// System folder only: a planted cabinet.dll beside the program is never loaded).
bool UnpackCabinet() {
    using Create = decltype(&FDICreate);
    using Copy = decltype(&FDICopy);
    HMODULE cabinet = LoadLibraryA("cabinet");
    auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(cabinet, "FDICreate")));
    auto copy = reinterpret_cast<Copy>(reinterpret_cast<void*>(GetProcAddress(cabinet, "FDICopy")));
    ERF error;
    HFDI unpacker = create == nullptr || copy == nullptr
                        ? nullptr
                        : create(AllocateForCabinet, free, OpenCabinet, ReadCabinet, WriteUnpacked, CloseUnpacked,
                                 SeekCabinet, cpuUNKNOWN, &error);
    // The name is only handed back to OpenCabinet, which ignores it.
    char* name = const_cast<char*>(kSetupFileName);
    bool done = unpacker != nullptr && copy(unpacker, name, name + sizeof kSetupFileName - 1, 0, OnCabinetEntry,
                                            nullptr, nullptr);
    if (g_unpacking.Open != nullptr) CloseUnpacked(reinterpret_cast<INT_PTR>(g_unpacking.Open));
    return done;
}

// The program file, mapped for reading; null when it cannot be. The file and the mapping stay
// open as long as the view, to the end of the process.
const unsigned char* MapProgramFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = mapping == nullptr ? nullptr : MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    return static_cast<const unsigned char*>(view);
}

// A new folder below the temporary folder, under a name nobody can know beforehand. Creating a
// folder fails when the name exists (as a folder, a file or a link), so nothing that was there
// before is ever used or followed: another name is drawn.
bool MakeUnpackFolder(const char* temporaryFolder) {
    for (int attempt = 0; temporaryFolder[0] != 0 && attempt < 16; ++attempt) {
        unsigned char random[8];
        if (!RtlGenRandom(random, sizeof random)) return false;
        g_unpacking.Folder = JoinPath(temporaryFolder, UnpackFolderName(random).CStr());
        if (!g_unpacking.Folder.Fits()) break;
        if (CreateDirectoryA(g_unpacking.Folder.CStr(), nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return false;
}

// The program part (the file up to its package) as the folder's Setup.exe, replacing any the
// cabinet held.
bool WriteProgramPart(const unsigned char* file, size_t size) {
    g_unpacking.Path = JoinPath(g_unpacking.Folder.CStr(), kSetupFileName);
    HANDLE target = CreateFileA(g_unpacking.Path.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool whole = WriteFile(target, file, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(target);
    return whole;
}

// The message in the scratch text, as a box (under /Q only in the log); the exit code.
int Refuse() {
    TellUser(nullptr, g_ctx.ScratchText.CStr(), kUnpackRefusedCaption, MB_OK | MB_ICONHAND);
    return kExitFailed;
}

int RefuseAt(const char* path) {
    ComposeUnpackFailedText(path, g_ctx.ScratchText);
    return Refuse();
}

// Starts the unpacked program part with this program's arguments and waits for its end; its
// exit code.
int RunProgramPart() {
    const char* program = g_unpacking.Path.CStr();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!ComposeUnpackedCommandLine(g_ctx.CommandLine, program, RunLogPath(), g_ctx.ScratchText) ||
        !CreateProcessA(nullptr, g_ctx.ScratchText.RawData(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return RefuseAt(program);
    DWORD exitCode = kExitFailed;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    return static_cast<int>(exitCode);
}

// Checks the package, unpacks it into a new folder and runs it from there; the folder goes
// afterwards, whatever happened there.
int UnpackAndRun(const char* programPath, const unsigned char* file, PackagePlace place) {
    g_unpacking.Cabinet = file + place.Start;
    g_unpacking.Size = place.Length;
    PackageCheck check = CheckPackage(g_unpacking.Cabinet, g_unpacking.Size);
    if (check.Problem != PackageProblem::None) {
        ComposePackageProblemText(check, g_ctx.ScratchText);
        return Refuse();
    }
    WorkPath temporary;
    DWORD n = GetTempPathA(temporary.RawSize(), temporary.RawData());
    if (n < temporary.RawSize()) temporary.Adopt();
    ULARGE_INTEGER room;
    unsigned long long needed = check.UnpackedBytes + place.Start;
    if (GetDiskFreeSpaceExA(temporary.CStr(), &room, nullptr, nullptr) && room.QuadPart < needed) {
        ComposeNoRoomText(temporary.CStr(), needed, room.QuadPart, g_ctx.ScratchText);
        return Refuse();
    }
    if (!MakeUnpackFolder(temporary.CStr())) return RefuseAt(temporary.CStr());
    const char* folder = g_unpacking.Folder.CStr();
    LogAction(kLogUnpack, programPath, folder);
    OpenProgressWindow(nullptr, kMainWindowCaption, kPhaseUnpacking);
    bool unpacked = UnpackCabinet() && WriteProgramPart(file, place.Start);
    CloseProgressWindow();
    int exitCode = unpacked ? RunProgramPart() : RefuseAt(g_unpacking.Path.CStr());
    DeleteFolderTree(nullptr, folder);
    if (RemoveFolderOrLink(folder)) LogAction(kLogRemoved, folder);
    return exitCode;
}

}  // namespace

bool RunPackage(int* exitCode) {
    // The loaded image begins with the file's headers, which name where each section lies in the
    // file, and where a signature lies.
    const auto* image = reinterpret_cast<const unsigned char*>(g_ctx.ModuleInstance);
    const auto* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
    unsigned long long imageEnd = 0;
    for (int i = headers->FileHeader.NumberOfSections; i > 0; --i, ++section) {
        unsigned long long end = section->PointerToRawData + static_cast<unsigned long long>(section->SizeOfRawData);
        if (section->SizeOfRawData != 0 && end > imageEnd) imageEnd = end;
    }
    WorkPath program = ModulePath();
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(program.CStr(), GetFileExInfoStandard, &data)) return false;
    PackagePlace place =
        PlaceOfPackage(imageEnd, headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY].VirtualAddress,
                       FileSize64(data.nFileSizeHigh, data.nFileSizeLow));
    if (place.Length == 0) return false;
    const unsigned char* file = MapProgramFile(program.CStr());
    *exitCode = file == nullptr ? RefuseAt(program.CStr()) : UnpackAndRun(program.CStr(), file, place);
    return true;
}
