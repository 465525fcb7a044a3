// An installation's record: written as the install goes, read back whole.
#include "files/install_record.h"

#include "files/file_ops.h"
#include "files/file_path_rules.h"
#include "files/placement_rules.h"
#include "files/shell_link.h"
#include "list/install_context.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

// A record of 5,000 files is about half a megabyte; one far larger is not an installation's.
constexpr unsigned long long kMaxRecordBytes = 64ull << 20;
constexpr DWORD kRecordAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

HANDLE g_record = nullptr;  // null without an open record
WorkPath g_recordPath;
RecordBook g_previous;

void* Allocate(unsigned long long bytes) {
    return VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void Release(void* block) {
    if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

bool ReadWholeFile(const char* path, char** text, unsigned long long* size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER length = {};
    bool read = GetFileSizeEx(file, &length) && static_cast<unsigned long long>(length.QuadPart) <= kMaxRecordBytes;
    *size = read ? static_cast<unsigned long long>(length.QuadPart) : 0;
    // one byte more, which stays zero: the text always ends
    *text = read ? static_cast<char*>(Allocate(*size + 1)) : nullptr;
    DWORD got = 0;
    read = *text != nullptr && ReadFile(file, *text, static_cast<DWORD>(*size), &got, nullptr) && got == *size;
    CloseHandle(file);
    return read;
}

int* SlotFor(const RecordBook& book, const RecordLine& item) {
    for (unsigned long slot = RecordKeyHash(item) & book.SlotMask;; slot = (slot + 1) & book.SlotMask) {
        int* entry = &book.Slots[slot];
        if (*entry == 0 || SameRecordKey(book.Lines[*entry - 1], item)) return entry;
    }
}

// Splits the text into lines and reads each; a last line without its line end was cut short by a
// killed install and names nothing.
void IndexLines(RecordBook* book, char* text, unsigned long long size) {
    char* line = text;
    for (unsigned long long i = 0; i + 1 < size; ++i) {
        if (text[i] != '\r' || text[i + 1] != '\n') continue;
        text[i] = 0;
        RecordLine& item = book->Lines[book->Count];
        if (ParseRecordLine(line, &item)) {
            *SlotFor(*book, item) = ++book->Count;
            if (item.Kind == RecordKind::Begin) book->RunStart = book->Count;
        }
        line = text + i + 2;
        ++i;
    }
}

void WriteItem(const RecordLine& item) {
    static RecordLineText line;
    if (g_record == nullptr || !ComposeRecordLine(item, line)) return;
    DWORD written = 0;
    // One write per line, straight to the system: nothing waits in the program's own buffers.
    WriteFile(g_record, line.CStr(), static_cast<DWORD>(line.Length()), &written, nullptr);
}

unsigned long long TimeValue(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// True when a line of this run lies in the folder: it still holds what this installation put there.
bool HoldsNewerItems(const RecordBook& book, const char* folder) {
    WorkPath inside = JoinPath(folder, "");
    for (int i = book.RunStart; i < book.Count; ++i)
        if (inside.Fits() && FindTextNoCase(book.Lines[i].Text, inside.CStr()) == book.Lines[i].Text) return true;
    return false;
}

// An earlier installation's item that this one did not put there again. Returns true when the item
// is still there and stays the installation's, so that its line goes into the new record.
bool SettleEarlierItem(const RecordBook& book, const RecordLine& item) {
    switch (item.Kind) {
    case RecordKind::File:
    {
        RecordedFile state = StateOfRecordedFile(item);
        if (state == RecordedFile::Gone) return false;
        // A file in a system folder may serve other programs: only the uninstall asks about it.
        if (IsSystemFolderPath(item.Text, ContextFolders())) return true;
        if (state == RecordedFile::Changed) {
            LogAction(kLogKeptChanged, item.Text);
            return true;
        }
        if (DeleteOneFile(item.Text, false)) {
            LogAction(kLogDeleted, item.Text);
            return false;
        }
        LogFailure(item.Text, GetLastError());
        return true;
    }
    case RecordKind::Link:
        // gone, or pointing elsewhere now: no longer the installation's either way
        DeleteShellLinkTo(item.Text, item.Other);
        return false;
    case RecordKind::Folder:
        if (!FolderExists(item.Text)) return false;
        if (HoldsNewerItems(book, item.Text) || !IsFolderEmpty(item.Text)) return true;
        if (RemoveFolderOrLink(item.Text)) LogAction(kLogRemoved, item.Text);
        return false;
    case RecordKind::Begin:
        return false;
    default:
        return true;
    }
}

bool WriteNewRecord(const RecordBook& book, const bool keep[]) {
    WorkPath partial = PartialCopyPath(g_recordPath.CStr());
    if (!partial.Fits()) return false;
    g_record = CreateFileA(partial.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, kRecordAttributes, nullptr);
    if (g_record == INVALID_HANDLE_VALUE) g_record = nullptr;
    if (g_record == nullptr) return false;
    WriteItem(book.Lines[book.RunStart - 1]);
    for (int i = 0; i < book.Count; ++i)
        if (keep[i] && i != book.RunStart - 1) WriteItem(book.Lines[i]);
    CloseInstallRecord();
    if (MoveFileExA(partial.CStr(), g_recordPath.CStr(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(partial.CStr());
    return false;
}

}  // namespace

bool LoadRecordBook(const char* path, RecordBook* book) {
    *book = RecordBook();
    char* text = nullptr;
    unsigned long long size = 0;
    if (!ReadWholeFile(path, &text, &size)) {
        Release(text);
        return false;
    }
    book->Text = text;
    unsigned long long lines = 1;
    for (unsigned long long i = 0; i < size; ++i) lines += text[i] == '\n';
    unsigned long slots = 16;
    while (slots < 2 * lines) slots *= 2;
    book->Lines = static_cast<RecordLine*>(Allocate(lines * sizeof(RecordLine)));
    book->Slots = static_cast<int*>(Allocate(slots * sizeof(int)));
    book->SlotMask = slots - 1;
    if (book->Lines == nullptr || book->Slots == nullptr) {
        FreeRecordBook(book);
        return false;
    }
    IndexLines(book, text, size);
    return true;
}

void FreeRecordBook(RecordBook* book) {
    Release(book->Text);
    Release(book->Lines);
    Release(book->Slots);
    *book = RecordBook();
}

int NewestLineFor(const RecordBook& book, const RecordLine& item) {
    if (book.Count == 0) return -1;
    return *SlotFor(book, item) - 1;
}

bool IsNewestLine(const RecordBook& book, int i) {
    return NewestLineFor(book, book.Lines[i]) == i;
}

RecordedFile StateOfRecordedFile(const RecordLine& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file.Text, GetFileExInfoStandard, &data))
        // Not found, or there but not to be looked at (as a file held by the system may be):
        // then it cannot be shown to be the one installed.
        return FileExists(file.Text) ? RecordedFile::Changed : RecordedFile::Gone;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return RecordedFile::Gone;
    bool same = FileSize64(data.nFileSizeHigh, data.nFileSizeLow) == file.Size &&
                TimeValue(data.ftLastWriteTime) == file.Time;
    return same ? RecordedFile::Unchanged : RecordedFile::Changed;
}

WorkPath RecordPathFor(const char* programFolder) {
    return JoinPath(programFolder, kRecordFileName);
}

bool BeginInstallRecord(const char* programFolder, const char* appName) {
    g_recordPath = RecordPathFor(programFolder);
    if (!g_recordPath.Fits()) return false;
    LoadRecordBook(g_recordPath.CStr(), &g_previous);
    // A record of another application's name is not this installation's history: it begins anew.
    bool foreign = g_previous.RunStart > 0 && !EqualsNoCase(g_previous.Lines[g_previous.RunStart - 1].Text, appName);
    if (foreign) FreeRecordBook(&g_previous);
    g_record = CreateFileA(g_recordPath.CStr(), foreign ? GENERIC_WRITE : FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           foreign ? CREATE_ALWAYS : OPEN_ALWAYS, kRecordAttributes, nullptr);
    if (g_record == INVALID_HANDLE_VALUE) g_record = nullptr;
    if (g_record == nullptr) return false;
    RecordLine begin;
    begin.Text = appName;
    WriteItem(begin);
    return true;
}

const RecordBook& PreviousRecord() {
    return g_previous;
}

void RecordFile(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (g_record != nullptr && GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        RecordFileAs(path, FileSize64(data.nFileSizeHigh, data.nFileSizeLow), data.ftLastWriteTime);
}

void RecordFileAs(const char* path, unsigned long long size, const FILETIME& lastWrite) {
    RecordLine item;
    item.Kind = RecordKind::File;
    item.Size = size;
    item.Time = TimeValue(lastWrite);
    item.Text = path;
    WriteItem(item);
}

void RecordFolder(const char* path) {
    // A folder is recorded by its name, whichever way it was made ("Vorlagen\" makes "Vorlagen").
    WorkPath folder(path);
    while (folder.Length() > 3 && folder.Last() == '\\') folder.Truncate(folder.Length() - 1);
    RecordLine item;
    item.Kind = RecordKind::Folder;
    item.Text = folder.CStr();
    WriteItem(item);
}

namespace {

// A line of an item named by a text and a second one (a target, a command, data).
void RecordPair(RecordKind kind, const char* text, const char* other) {
    RecordLine item;
    item.Kind = kind;
    item.Text = text;
    item.Other = other;
    WriteItem(item);
}

}  // namespace

void RecordLink(const char* link, const char* target) {
    RecordPair(RecordKind::Link, link, target);
}

void RecordFileTypes(const char* extensions, const char* command) {
    RecordPair(RecordKind::FileType, extensions, command);
}

void RecordValue(const char* value, const char* data) {
    RecordPair(RecordKind::Value, value, data);
}

bool CarryPreviousFile(const char* path) {
    RecordLine probe;
    probe.Kind = RecordKind::File;
    probe.Text = path;
    int i = NewestLineFor(g_previous, probe);
    if (i < 0) return false;
    WriteItem(g_previous.Lines[i]);
    return true;
}

void FinishInstallRecord() {
    if (g_record == nullptr) return;
    CloseInstallRecord();
    FreeRecordBook(&g_previous);
    RecordBook book;
    // Only behind an earlier installation's lines is there anything to settle.
    if (!LoadRecordBook(g_recordPath.CStr(), &book) || book.RunStart <= 1) {
        FreeRecordBook(&book);
        return;
    }
    bool* keep = static_cast<bool*>(Allocate(static_cast<unsigned long long>(book.Count)));
    if (keep != nullptr) {
        // Last lines first: a folder's files go before the folder itself.
        for (int i = book.Count - 1; i >= 0; --i) {
            if (!IsNewestLine(book, i)) continue;
            keep[i] = i >= book.RunStart || SettleEarlierItem(book, book.Lines[i]);
        }
        WriteNewRecord(book, keep);
    }
    Release(keep);
    FreeRecordBook(&book);
}

void CloseInstallRecord() {
    if (g_record != nullptr) CloseHandle(g_record);
    g_record = nullptr;
}
