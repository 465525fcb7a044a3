// Registration of the extensions a list entry's program opens, and their removal again.
#include "files/file_types.h"

#include <windows.h>

#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

// The program's key name under Applications, taken from the quoted path of the command.
LongText ApplicationOf(const char* command) {
    return ApplicationKeyName(ProgramPathOfCommand(command).CStr());
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// No sub-keys and no values other than an empty default value.
bool IsKeyEmpty(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subKeys = 0;
    DWORD values = 0;
    bool empty = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                 subKeys == 0 && values <= 1;
    if (empty && values == 1) {
        char name[2] = "";
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        BYTE data[4] = {};
        DWORD size = sizeof data;
        // A longer name or longer data does not fit these buffers: the key is not empty.
        empty = RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, data, &size) == ERROR_SUCCESS &&
                nameLength == 0 && (size == 0 || ((type == REG_SZ || type == REG_EXPAND_SZ) && data[0] == 0));
    }
    RegCloseKey(key);
    return empty;
}

// Removes the key when it is empty. Registry key deletion refuses keys with sub-keys anyway;
// the test also keeps keys that hold another program's values.
bool RemoveEmptyKey(HKEY root, const char* path) {
    return IsKeyEmpty(root, path) && RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

// Removes the parents of a removed key that are now empty, up to `levels` of them.
bool RemoveEmptiedParents(HKEY root, const RegistryKeyName& removed, int levels) {
    RegistryKeyName parent = removed;
    for (int level = 0; level < levels; ++level) {
        size_t cut = parent.Length();
        while (cut > 0 && parent.At(cut - 1) != '\\') --cut;
        if (cut == 0) return false;
        parent.Truncate(cut - 1);
        if (!RemoveEmptyKey(root, parent.CStr())) return false;
    }
    return true;
}

// Removes a "...\shell\open\command" key whose default value is this installation's command,
// then its parents as far as they are emptied. A command another program wrote since keeps
// the whole chain. True when the command key is gone.
bool RemoveOwnCommandChain(HKEY root, const RegistryKeyName& commandKey, const char* command, int parentLevels) {
    if (!commandKey.Fits()) return false;
    PathBuffer<1025> current = ReadRegString(root, commandKey.CStr(), nullptr);
    if (current.IsEmpty() || !EqualsNoCase(current.CStr(), command)) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, commandKey.CStr(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
    if (!RemoveEmptyKey(root, commandKey.CStr())) return false;
    RemoveEmptiedParents(root, commandKey, parentLevels);
    return true;
}

void RegisterItem(const char* command, const char* item, const char* app) {
    RegistryKeyName commandKey = ExtensionCommandKey(item);
    if (commandKey.Fits()) WriteRegString(HKEY_CLASSES_ROOT, commandKey.CStr(), nullptr, command);
    if (app[0] == 0) return;
    RegistryKeyName openWith = OpenWithKey(item, app);
    if (openWith.Fits()) WriteRegString(HKEY_CLASSES_ROOT, openWith.CStr(), nullptr, nullptr);
    RegistryKeyName application = ApplicationCommandKey(app);
    if (application.Fits()) WriteRegString(HKEY_CLASSES_ROOT, application.CStr(), nullptr, command);
    RegistryKeyName machine = MachineApplicationCommandKey(app);
    if (machine.Fits()) WriteRegString(HKEY_LOCAL_MACHINE, machine.CStr(), nullptr, command);
}

void UnregisterItem(const char* command, const char* item, const char* app) {
    // shell\open\command, open and shell
    bool changed = RemoveOwnCommandChain(HKEY_CLASSES_ROOT, ExtensionCommandKey(item), command, 2);
    if (app[0] != 0) {
        RegistryKeyName openWith = OpenWithKey(item, app);
        if (openWith.Fits() && KeyExists(HKEY_CLASSES_ROOT, openWith.CStr()) &&
            RemoveEmptyKey(HKEY_CLASSES_ROOT, openWith.CStr())) {
            RemoveEmptiedParents(HKEY_CLASSES_ROOT, openWith, 1);
            changed = true;
        }
    }
    // The extension's own key goes only when this installation took something out of it.
    RegistryKeyName extension = ExtensionKey(item);
    if (changed && extension.Fits()) RemoveEmptyKey(HKEY_CLASSES_ROOT, extension.CStr());
}

}  // namespace

OpenCommandText OpenCommandFor(const char* programPath, const char* extensions) {
    size_t length = 0;
    while (extensions != nullptr && extensions[length] != 0) ++length;
    bool endsUpperCase = length > 0 && IsCharUpperA(extensions[length - 1]);
    return ComposeOpenCommand(programPath, endsUpperCase);
}

void RegisterFileTypes(const char* command, const char* extensions) {
    if (command == nullptr || command[0] == 0) return;
    LongText app = ApplicationOf(command);
    ExtensionList list;
    BeginExtensionList(&list, extensions);
    ExtensionItem item;
    while (NextExtensionItem(&list, &item)) RegisterItem(command, item.CStr(), app.CStr());
}

void UnregisterFileTypes(const char* command, const char* extensions) {
    if (command == nullptr || command[0] == 0) return;
    LongText app = ApplicationOf(command);
    ExtensionList list;
    BeginExtensionList(&list, extensions);
    ExtensionItem item;
    while (NextExtensionItem(&list, &item)) UnregisterItem(command, item.CStr(), app.CStr());
    if (app.Length() == 0) return;
    // command, open, shell and the program's own key; HKEY_CLASSES_ROOT may be the same key
    // as the machine-wide one, then the second call finds nothing left.
    RemoveOwnCommandChain(HKEY_CLASSES_ROOT, ApplicationCommandKey(app.CStr()), command, 3);
    RemoveOwnCommandChain(HKEY_LOCAL_MACHINE, MachineApplicationCommandKey(app.CStr()), command, 3);
}
