// Reading and writing registry values, one key handle per call.
#include "support/win_support.h"

PathBuffer<1025> ReadRegString(HKEY root, const char* subKey, const char* valueName) {
    PathBuffer<1025> result;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return result;
    DWORD size = result.RawSize();
    LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(result.RawData()), &size);
    RegCloseKey(key);
    // A value that does not fit leaves the buffer undefined: treat it as missing.
    if (status != ERROR_SUCCESS) {
        result.Clear();
        return result;
    }
    // The stored value need not carry its own terminator.
    if (size < result.RawSize()) result.RawData()[size] = 0;
    result.Adopt();
    return result;
}

bool WriteRegString(HKEY root, const char* subKey, const char* valueName, const char* text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    if (text != nullptr)
        RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(lstrlenA(text) + 1));
    RegCloseKey(key);
    return true;
}

bool WriteRegDword(HKEY root, const char* subKey, const char* valueName, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool ReadRegDword(HKEY root, const char* subKey, const char* valueName, DWORD* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof number;
    LONG status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof number) return false;
    *value = number;
    return true;
}

RegValueRead ReadRegValue(HKEY root, const char* subKey, const char* valueName, RegValue* value) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key);
    if (status == ERROR_FILE_NOT_FOUND) return RegValueRead::Missing;
    if (status != ERROR_SUCCESS) return RegValueRead::Unreadable;
    value->Size = kRegValueBytes;
    status = RegQueryValueExA(key, valueName, nullptr, &value->Type, value->Data, &value->Size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) return RegValueRead::Missing;
    if (status != ERROR_SUCCESS || value->Size > kRegValueBytes) return RegValueRead::Unreadable;
    value->Data[value->Size] = 0;
    return RegValueRead::Read;
}

bool WriteRegValue(HKEY root, const char* subKey, const char* valueName, const RegValue& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, valueName, 0, value.Type, value.Data, value.Size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool RegValueExists(HKEY root, const char* subKey, const char* valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool DeleteRegValue(HKEY root, const char* subKey, const char* valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    LONG status = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
