// The text of Setup.lst, from a file or from a package's bytes.
#include "list/list_text.h"

#include <windows.h>

namespace {

// The longest list: 128 entries of seven values are a few hundred lines; a list of megabytes is
// a different file.
constexpr DWORD kMaxListBytes = 8u << 20;

void* Allocate(size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

// UTF-16 (either byte order) or UTF-8 after a byte-order mark becomes ANSI; other bytes stay.
bool ConvertToAnsi(const unsigned char* bytes, size_t size, ListText* list) {
    bool utf8 = size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
    bool littleEndian = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    bool bigEndian = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (!utf8 && !littleEndian && !bigEndian) {
        list->Text = static_cast<char*>(Allocate(size + 1));
        if (list->Text == nullptr) return false;
        CopyMemory(list->Text, bytes, size);
        list->Size = size;
        return true;
    }
    size_t characters = utf8 ? size - 3 : (size - 2) / 2;
    WCHAR* wide = static_cast<WCHAR*>(Allocate((characters + 1) * sizeof(WCHAR)));
    int count = 0;
    if (wide != nullptr && utf8) {
        count = characters == 0 ? 0
                                : MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes + 3),
                                                      static_cast<int>(size - 3), wide, static_cast<int>(characters));
    } else if (wide != nullptr) {
        for (size_t i = 0; i < characters; ++i) {
            const unsigned char* pair = bytes + 2 + 2 * i;
            wide[i] = static_cast<WCHAR>(littleEndian ? pair[0] | pair[1] << 8 : pair[0] << 8 | pair[1]);
        }
        count = static_cast<int>(characters);
    }
    // Each UTF-16 unit becomes at most two bytes of a double-byte code page.
    list->Text = wide != nullptr ? static_cast<char*>(Allocate(2 * static_cast<size_t>(count) + 1)) : nullptr;
    if (list->Text != nullptr && count > 0)
        list->Size = static_cast<size_t>(
            WideCharToMultiByte(CP_ACP, 0, wide, count, list->Text, 2 * count, nullptr, nullptr));
    if (wide != nullptr) VirtualFree(wide, 0, MEM_RELEASE);
    return list->Text != nullptr;
}

}  // namespace

bool ReadListFile(const char* path, ListText* list) {
    *list = ListText();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    unsigned char* bytes = nullptr;
    DWORD got = 0;
    bool read = size != INVALID_FILE_SIZE && high == 0 && size <= kMaxListBytes &&
                (bytes = static_cast<unsigned char*>(Allocate(size + 1))) != nullptr &&
                ReadFile(file, bytes, size, &got, nullptr) && got == size;
    CloseHandle(file);
    read = read && ConvertToAnsi(bytes, size, list);
    if (bytes != nullptr) VirtualFree(bytes, 0, MEM_RELEASE);
    if (!read) FreeListText(list);
    return read;
}

bool ListTextFromBytes(const unsigned char* bytes, size_t size, ListText* list) {
    *list = ListText();
    return size <= kMaxListBytes && ConvertToAnsi(bytes, size, list);
}

void FreeListText(ListText* list) {
    if (list->Text != nullptr) VirtualFree(list->Text, 0, MEM_RELEASE);
    *list = ListText();
}
