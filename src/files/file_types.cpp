// Registration of the extensions a list entry's program opens, and their removal again. What
// the registration replaces is kept in the uninstall entry, and the removal puts it back.
#include "files/file_types.h"

#include <windows.h>

#include <shlobj.h>

#include "list/log_texts.h"
#include "list/run_log.h"
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

// A chain of keys the registration writes into (see file_type_rules.h).
struct KeyChain {
    HKEY Root;
    const char* RootName;  // in the names of the kept state
    RegistryKeyName LastKey;
    int Levels;
    bool HoldsCommand;  // the last key's default value is the open command
};

KeyChain ExtensionCommandChain(const char* item) {
    return {HKEY_CLASSES_ROOT, "HKCR", ExtensionCommandKey(item), kExtensionCommandLevels, true};
}

KeyChain OpenWithChain(const char* item, const char* app) {
    return {HKEY_CLASSES_ROOT, "HKCR", OpenWithKey(item, app), kOpenWithLevels, false};
}

KeyChain ApplicationChain(const char* app) {
    return {HKEY_CLASSES_ROOT, "HKCR", ApplicationCommandKey(app), kApplicationCommandLevels, true};
}

KeyChain MachineApplicationChain(const char* app) {
    return {HKEY_LOCAL_MACHINE, "HKLM", MachineApplicationCommandKey(app), kApplicationCommandLevels, true};
}

// The ProgID's open command, its icon, and the extension's default value that names the ProgID:
// the form the shell opens a document through (a verb on the extension key alone it does not use).
KeyChain ProgIdCommandChain(const char* progId) {
    return {HKEY_CLASSES_ROOT, "HKCR", ProgIdCommandKey(progId), kProgIdCommandLevels, true};
}

KeyChain ProgIdIconChain(const char* progId) {
    return {HKEY_CLASSES_ROOT, "HKCR", ProgIdIconKey(progId), kProgIdIconLevels, true};
}

// The extension's key is the first level of its command chain too, whose record says only whether
// the key was there: under a name of their own, the default value's state is kept beside it.
KeyChain ExtensionValueChain(const char* item) {
    return {HKEY_CLASSES_ROOT, "HKCR-ProgID", ExtensionKey(item), kExtensionLevels, true};
}

bool IsCommand(const RegValue& value, const char* command) {
    return (value.Type == REG_SZ || value.Type == REG_EXPAND_SZ) &&
           EqualsNoCase(reinterpret_cast<const char*>(value.Data), command);
}

enum class KeyRecord {
    None,     // not recorded: installed by a version that kept nothing
    Existed,  // the key was there before the first installation
    Made,     // the installation made it
};

KeyRecord ReadKeyRecord(const KeyChain& chain, const char* key, const char* entryKey) {
    if (entryKey == nullptr) return KeyRecord::None;
    PriorValueName name = PriorKeyValueName(chain.RootName, key);
    DWORD existed = 0;
    if (!name.Fits() || !ReadRegDword(HKEY_LOCAL_MACHINE, entryKey, name.CStr(), &existed)) return KeyRecord::None;
    return existed != 0 ? KeyRecord::Existed : KeyRecord::Made;
}

// Records whether the key exists, unless an earlier record says so already: a key this
// installation made stays its own, whichever chain or entry comes to it later.
bool RecordKey(const KeyChain& chain, const char* key, const char* entryKey) {
    PriorValueName name = PriorKeyValueName(chain.RootName, key);
    if (!name.Fits()) return false;
    if (RegValueExists(HKEY_LOCAL_MACHINE, entryKey, name.CStr())) return true;
    return WriteRegDword(HKEY_LOCAL_MACHINE, entryKey, name.CStr(), KeyExists(chain.Root, key) ? 1 : 0);
}

enum class Prior {
    Kept,        // kept now or by an earlier installation: the chain may be written
    OwnEarlier,  // this installation's own command, left by a version that kept nothing
    NotKept,     // what the chain holds could not be kept: it is not written
};

// Keeps in the uninstall entry (entryKey, below HKEY_LOCAL_MACHINE) what the chain held before
// the registration writes into it: whether each of its keys existed, and the command of its
// last key. The first installation's state stays: whatever a reinstall (or a later entry of the
// same list) finds in the chain, the one to put back is what was there before. Without an entry
// (no uninstaller) nothing is kept and everything may be written.
Prior KeepPriorState(const KeyChain& chain, const char* entryKey, const char* command) {
    if (entryKey == nullptr) return Prior::Kept;
    PriorValueName lastName = PriorKeyValueName(chain.RootName, chain.LastKey.CStr());
    PriorValueName valueName = PriorValueValueName(chain.RootName, chain.LastKey.CStr());
    if (!chain.LastKey.Fits() || !lastName.Fits() || !valueName.Fits()) return Prior::NotKept;
    if (RegValueExists(HKEY_LOCAL_MACHINE, entryKey, lastName.CStr())) return Prior::Kept;
    if (chain.HoldsCommand) {
        RegValue current;
        RegValueRead read = ReadRegValue(chain.Root, chain.LastKey.CStr(), nullptr, &current);
        if (read == RegValueRead::Unreadable) return Prior::NotKept;
        if (read == RegValueRead::Read) {
            if (IsCommand(current, command)) return Prior::OwnEarlier;
            if (!WriteRegValue(HKEY_LOCAL_MACHINE, entryKey, valueName.CStr(), current)) return Prior::NotKept;
        }
    }
    // from the top, so that the last key's record, which marks the state as whole, comes last
    for (int level = 0; level < chain.Levels; ++level) {
        RegistryKeyName key = ChainKeyAt(chain.LastKey.CStr(), chain.Levels, level);
        if (!key.Fits() || !RecordKey(chain, key.CStr(), entryKey)) return Prior::NotKept;
    }
    return Prior::Kept;
}

// Writes the kept command back into the chain's last key; false when none was kept.
bool RestorePriorValue(const KeyChain& chain, const char* entryKey) {
    if (entryKey == nullptr) return false;
    PriorValueName name = PriorValueValueName(chain.RootName, chain.LastKey.CStr());
    RegValue prior;
    if (!name.Fits() || ReadRegValue(HKEY_LOCAL_MACHINE, entryKey, name.CStr(), &prior) != RegValueRead::Read)
        return false;
    WriteRegValue(chain.Root, chain.LastKey.CStr(), nullptr, prior);
    return true;
}

// Removes the chain's keys from the last one upwards while they are empty and the installation
// made them. Keys without a record (an installation by a version that kept nothing) count as
// made from the level keepWithoutRecord down. Returns how many were removed.
int RemoveEmptyLevels(const KeyChain& chain, const char* entryKey, int keepWithoutRecord) {
    int removed = 0;
    for (int level = chain.Levels - 1; level >= 0; --level) {
        RegistryKeyName key = ChainKeyAt(chain.LastKey.CStr(), chain.Levels, level);
        if (!key.Fits()) break;
        KeyRecord record = ReadKeyRecord(chain, key.CStr(), entryKey);
        bool made = record == KeyRecord::Made || (record == KeyRecord::None && level >= keepWithoutRecord);
        if (!made || !RemoveEmptyKey(chain.Root, key.CStr())) break;
        ++removed;
    }
    return removed;
}

// Takes this installation's command out of the chain: the command kept from before comes back,
// or else the value goes, with the keys the installation made as far as they are now empty. A
// command another program wrote since keeps the whole chain. True when a key was removed.
bool UndoCommand(const KeyChain& chain, const char* command, const char* entryKey, int keepWithoutRecord) {
    if (!chain.LastKey.Fits()) return false;
    PathBuffer<1025> current = ReadRegString(chain.Root, chain.LastKey.CStr(), nullptr);
    if (current.IsEmpty() || !EqualsNoCase(current.CStr(), command)) return false;
    if (RestorePriorValue(chain, entryKey)) return false;
    if (!DeleteRegValue(chain.Root, chain.LastKey.CStr(), nullptr)) return false;
    return RemoveEmptyLevels(chain, entryKey, keepWithoutRecord) > 0;
}

// Both chains of an item begin at the extension's key: the state of both is kept before either
// is written. The OpenWithList entry of an item whose command an earlier version left is not
// kept either, so that its removal works for the item as a whole as it always did.
void RegisterItem(const char* command, const char* item, const char* app, const char* entryKey,
                  bool writeApplication, bool writeMachine) {
    KeyChain commandChain = ExtensionCommandChain(item);
    KeyChain openWith = OpenWithChain(item, app);
    Prior commandPrior = KeepPriorState(commandChain, entryKey, command);
    bool writeOpenWith =
        app[0] != 0 && openWith.LastKey.Fits() &&
        (commandPrior == Prior::OwnEarlier || KeepPriorState(openWith, entryKey, command) == Prior::Kept);
    if (commandPrior != Prior::NotKept && commandChain.LastKey.Fits()) {
        WriteRegString(HKEY_CLASSES_ROOT, commandChain.LastKey.CStr(), nullptr, command);
        LogAction(kLogFileType, ExtensionKey(item).CStr(), command);
    }
    if (writeOpenWith) WriteRegString(HKEY_CLASSES_ROOT, openWith.LastKey.CStr(), nullptr, nullptr);
    if (writeApplication) WriteRegString(HKEY_CLASSES_ROOT, ApplicationCommandKey(app).CStr(), nullptr, command);
    if (writeMachine) WriteRegString(HKEY_LOCAL_MACHINE, MachineApplicationCommandKey(app).CStr(), nullptr, command);
}

// The chain's last key gets the text, when what it held could be kept.
void WriteChain(const KeyChain& chain, const char* text, const char* entryKey) {
    if (!chain.LastKey.Fits() || KeepPriorState(chain, entryKey, text) == Prior::NotKept) return;
    WriteRegString(chain.Root, chain.LastKey.CStr(), nullptr, text);
}

// The ProgID of the item: its open command and icon, and the extension's default value naming it.
void RegisterProgId(const char* command, const char* item, const char* appName, const char* entryKey) {
    RegistryKeyName progId = ProgIdFor(appName, item);
    OpenCommandText icon = ComposeDefaultIcon(ProgramPathOfCommand(command).CStr());
    if (!progId.Fits()) return;
    WriteChain(ProgIdCommandChain(progId.CStr()), command, entryKey);
    if (!icon.IsEmpty()) WriteChain(ProgIdIconChain(progId.CStr()), icon.CStr(), entryKey);
    WriteChain(ExtensionValueChain(item), progId.CStr(), entryKey);
}

void UnregisterProgId(const char* command, const char* item, const char* appName, const char* entryKey) {
    RegistryKeyName progId = ProgIdFor(appName, item);
    if (!progId.Fits()) return;
    UndoCommand(ExtensionValueChain(item), progId.CStr(), entryKey, 0);
    UndoCommand(ProgIdIconChain(progId.CStr()), ComposeDefaultIcon(ProgramPathOfCommand(command).CStr()).CStr(),
                entryKey, 0);
    UndoCommand(ProgIdCommandChain(progId.CStr()), command, entryKey, 0);
}

void UnregisterItem(const char* command, const char* item, const char* app, const char* entryKey) {
    // without records: shell\open\command, open and shell
    KeyChain commandChain = ExtensionCommandChain(item);
    bool changed = UndoCommand(commandChain, command, entryKey, 1);
    if (changed) LogAction(kLogRemoved, ExtensionKey(item).CStr(), command);
    if (app[0] != 0) {
        KeyChain openWith = OpenWithChain(item, app);
        if (openWith.LastKey.Fits() && KeyExists(HKEY_CLASSES_ROOT, openWith.LastKey.CStr()) &&
            RemoveEmptyLevels(openWith, entryKey, 1) > 0)
            changed = true;
    }
    // A recorded extension key was dealt with by the chains. Without a record it goes only when
    // this installation took something out of it.
    RegistryKeyName extension = ExtensionKey(item);
    if (changed && extension.Fits() && ReadKeyRecord(commandChain, extension.CStr(), entryKey) == KeyRecord::None)
        RemoveEmptyKey(HKEY_CLASSES_ROOT, extension.CStr());
}

}  // namespace

OpenCommandText OpenCommandFor(const char* programPath, const char* extensions) {
    size_t length = 0;
    while (extensions != nullptr && extensions[length] != 0) ++length;
    bool endsUpperCase = length > 0 && IsCharUpperA(extensions[length - 1]);
    return ComposeOpenCommand(programPath, endsUpperCase);
}

void RegisterFileTypes(const char* command, const char* extensions, const char* appName, const char* entryKey) {
    if (command == nullptr || command[0] == 0) return;
    LongText app = ApplicationOf(command);
    ExtensionList list;
    BeginExtensionList(&list, extensions);
    ExtensionItem item;
    if (!NextExtensionItem(&list, &item)) return;
    // HKEY_CLASSES_ROOT may show the machine-wide key: the state of both is kept before either
    // is written.
    bool hasApp = app.Length() > 0;
    KeyChain application = ApplicationChain(app.CStr());
    KeyChain machine = MachineApplicationChain(app.CStr());
    bool writeApplication = hasApp && application.LastKey.Fits() &&
                            KeepPriorState(application, entryKey, command) != Prior::NotKept;
    bool writeMachine =
        hasApp && machine.LastKey.Fits() && KeepPriorState(machine, entryKey, command) != Prior::NotKept;
    do {
        RegisterItem(command, item.CStr(), app.CStr(), entryKey, writeApplication, writeMachine);
        RegisterProgId(command, item.CStr(), appName, entryKey);
    } while (NextExtensionItem(&list, &item));
    // Explorer and the open dialogs read the associations again.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void UnregisterFileTypes(const char* command, const char* extensions, const char* appName, const char* entryKey) {
    if (command == nullptr || command[0] == 0) return;
    LongText app = ApplicationOf(command);
    ExtensionList list;
    BeginExtensionList(&list, extensions);
    ExtensionItem item;
    while (NextExtensionItem(&list, &item)) {
        UnregisterProgId(command, item.CStr(), appName, entryKey);
        UnregisterItem(command, item.CStr(), app.CStr(), entryKey);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    if (app.Length() == 0) return;
    // command, open, shell and the program's own key; HKEY_CLASSES_ROOT may be the same key
    // as the machine-wide one, then the second call finds nothing of its own left.
    UndoCommand(ApplicationChain(app.CStr()), command, entryKey, 0);
    UndoCommand(MachineApplicationChain(app.CStr()), command, entryKey, 0);
}
