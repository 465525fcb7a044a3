// Rules of the file-type registration that need no Windows: the items of an extension list,
// the open command, the registry key names written for each item, and the names under which
// the uninstall entry keeps what those keys held before.
#pragma once

#include "support/path_buffer.h"

using ExtensionItem = EntryText;
// Registry key paths and the open command are no file paths: they may be longer than 259.
using RegistryKeyName = LongText;
using OpenCommandText = LongText;

// Walks the items of a list such as "WRI,TXT,DOK" from the last to the first. One leading "*"
// and after it one leading "." are dropped from the whole list (so "*.txt" and ".txt" mean
// txt); items are taken exactly as they stand between the commas, empty ones are skipped.
struct ExtensionList {
    PathBuffer<kEntryWidth + 1> Working;  // a comma followed by the list
};
void BeginExtensionList(ExtensionList* list, const char* extensions);
// The next item, or false when none is left (or the list was too long to be walked at all).
bool NextExtensionItem(ExtensionList* list, ExtensionItem* item);

// The program path in double quotes, then " %1" when the extension list ends in an upper-case
// letter (programs that want a short, unquoted name), otherwise a blank and "%1" in quotes.
// Empty when the program path is empty or longer than a Windows path.
OpenCommandText ComposeOpenCommand(const char* programPath, bool listEndsUpperCase);
// The program path of an open command: the text inside its leading quotes, or, for a command
// without them, the text up to its first blank or control character.
LongText ProgramPathOfCommand(const char* command);
// The key name under Applications: the program's file name ("My Tool.exe").
LongText ApplicationKeyName(const char* programPath);

// Key names, relative to HKEY_CLASSES_ROOT unless marked machine-wide.
RegistryKeyName ExtensionKey(const char* item);           // .item
RegistryKeyName ExtensionCommandKey(const char* item);    // .item\shell\open\command
RegistryKeyName OpenWithKey(const char* item, const char* app);  // .item\OpenWithList\app
RegistryKeyName ApplicationCommandKey(const char* app);   // Applications\app\shell\open\command
// SOFTWARE\Classes\Applications\app\shell\open\command under HKEY_LOCAL_MACHINE
RegistryKeyName MachineApplicationCommandKey(const char* app);

// The ProgID an item is registered under, which the extension's default value names and the
// shell opens documents through: the ASCII letters and digits of the application's name, a dot
// and the item ("QuorvaneDemo.qvn"); "Quorvane" stands for a name without any. At most 39
// characters, as Windows takes them: the name's part is shortened first.
RegistryKeyName ProgIdFor(const char* appName, const char* item);
RegistryKeyName ProgIdCommandKey(const char* progId);  // progId\shell\open\command
RegistryKeyName ProgIdIconKey(const char* progId);     // progId\DefaultIcon
// The DefaultIcon value: the program's path and the index of its first icon.
OpenCommandText ComposeDefaultIcon(const char* programPath);

// The keys an item's registration writes into form chains: a top key, the keys below it and the
// last key, which holds the command (or, for OpenWithList, is the whole entry). The levels of a
// chain are counted from its top: level 0 is the top key, level Levels - 1 the last key.
constexpr int kExtensionCommandLevels = 4;    // .item, shell, open, command
constexpr int kOpenWithLevels = 3;            // .item, OpenWithList, app
constexpr int kApplicationCommandLevels = 4;  // app, shell, open, command (below Applications)
constexpr int kProgIdCommandLevels = 4;       // progId, shell, open, command
constexpr int kProgIdIconLevels = 2;          // progId, DefaultIcon
constexpr int kExtensionLevels = 1;           // .item, whose default value names the ProgID

// The key of a chain at the level, from its last key: that key with the names of the levels
// below cut off. Cut (Fits() false) when the last key has too few names for the chain.
RegistryKeyName ChainKeyAt(const char* lastKey, int levels, int level);

// Names of the values in the uninstall entry that keep the state from before the first
// installation: whether a key existed then (PriorKey:HKCR\.dok\shell), and the value a chain's
// last key held then (PriorValue:HKCR\.dok\shell\open\command). rootName names the registry
// root.
using PriorValueName = PathBuffer<kLongTextWidth + 32>;
PriorValueName PriorKeyValueName(const char* rootName, const char* key);
PriorValueName PriorValueValueName(const char* rootName, const char* lastKey);
