// Rules of the file-type registration: splitting an extension list, the open command, the
// registry key names and the names of the kept prior state.
#include "files/file_type_rules.h"

#include "support/text_helpers.h"

namespace {

constexpr const char* kOpenCommandTail = "\\shell\\open\\command";

RegistryKeyName Compose(const char* first, const char* second, const char* third) {
    RegistryKeyName key;
    key.Assign(first);
    key.Append(second);
    key.Append(third);
    return key;
}

PriorValueName ComposePriorName(const char* kind, const char* rootName, const char* lastKey) {
    PriorValueName name;
    name.Assign(kind);
    name.Append(rootName);
    name.AppendChar('\\');
    name.Append(lastKey);
    return name;
}

}  // namespace

void BeginExtensionList(ExtensionList* list, const char* extensions) {
    const char* start = extensions != nullptr ? extensions : "";
    if (*start == '*') ++start;
    if (*start == '.') ++start;
    list->Working.Assign(",");
    list->Working.Append(start);
}

bool NextExtensionItem(ExtensionList* list, ExtensionItem* item) {
    // A list that did not fit is refused whole rather than walked from a cut end.
    if (!list->Working.Fits()) return false;
    while (list->Working.Length() > 0) {
        size_t comma = list->Working.Length() - 1;
        while (comma > 0 && list->Working.At(comma) != ',') --comma;
        item->Assign(list->Working.CStr() + comma + 1);
        list->Working.Truncate(comma);
        if (item->Length() > 0) return true;
    }
    return false;
}

OpenCommandText ComposeOpenCommand(const char* programPath, bool listEndsUpperCase) {
    OpenCommandText command;
    WorkPath program;
    if (programPath == nullptr || programPath[0] == 0 || !program.Assign(programPath)) return command;
    command.AppendChar('"');
    command.Append(program);
    command.AppendChar('"');
    command.Append(listEndsUpperCase ? " %1" : " \"%1\"");
    return command;
}

LongText ProgramPathOfCommand(const char* command) {
    LongText path;
    if (command == nullptr) return path;
    if (command[0] == '"') {
        size_t end = 1;
        while (command[end] != 0 && command[end] != '"') ++end;
        path.Assign(command + 1, end - 1);
        return path;
    }
    size_t end = 0;
    while (static_cast<unsigned char>(command[end]) > ' ') ++end;
    path.Assign(command, end);
    return path;
}

LongText ApplicationKeyName(const char* programPath) {
    return PathFilePart(programPath);
}

RegistryKeyName ExtensionKey(const char* item) {
    return Compose(".", item, "");
}

RegistryKeyName ExtensionCommandKey(const char* item) {
    return Compose(".", item, kOpenCommandTail);
}

RegistryKeyName OpenWithKey(const char* item, const char* app) {
    RegistryKeyName key = Compose(".", item, "\\OpenWithList\\");
    key.Append(app);
    return key;
}

RegistryKeyName ApplicationCommandKey(const char* app) {
    return Compose("Applications\\", app, kOpenCommandTail);
}

RegistryKeyName MachineApplicationCommandKey(const char* app) {
    return Compose("SOFTWARE\\Classes\\Applications\\", app, kOpenCommandTail);
}

RegistryKeyName ProgIdFor(const char* appName, const char* item) {
    constexpr size_t kMaxProgId = 39;
    RegistryKeyName progId;
    size_t itemLength = 0;
    while (item[itemLength] != 0) ++itemLength;
    for (const char* c = appName; *c != 0 && progId.Length() + 1 + itemLength < kMaxProgId; ++c) {
        bool letter = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z');
        if (letter || (*c >= '0' && *c <= '9' && progId.Length() > 0)) progId.AppendChar(*c);
    }
    if (progId.IsEmpty()) progId.Assign("Quorvane");
    progId.AppendChar('.');
    progId.Append(item);
    if (progId.Length() > kMaxProgId) progId.MarkCut();
    return progId;
}

RegistryKeyName ProgIdCommandKey(const char* progId) {
    return Compose(progId, kOpenCommandTail, "");
}

RegistryKeyName ProgIdIconKey(const char* progId) {
    return Compose(progId, "\\DefaultIcon", "");
}

OpenCommandText ComposeDefaultIcon(const char* programPath) {
    OpenCommandText icon;
    WorkPath program;
    if (programPath == nullptr || programPath[0] == 0 || !program.Assign(programPath)) return icon;
    icon.Assign(program);
    icon.Append(",0");
    return icon;
}

RegistryKeyName ChainKeyAt(const char* lastKey, int levels, int level) {
    RegistryKeyName key;
    key.Assign(lastKey);
    if (level < 0 || level >= levels) {
        key.MarkCut();
        return key;
    }
    for (int below = levels - 1 - level; below > 0; --below) {
        size_t cut = key.Length();
        while (cut > 0 && key.At(cut - 1) != '\\') --cut;
        if (cut <= 1) {
            key.MarkCut();
            return key;
        }
        key.Truncate(cut - 1);
    }
    return key;
}

PriorValueName PriorKeyValueName(const char* rootName, const char* key) {
    return ComposePriorName("PriorKey:", rootName, key);
}

PriorValueName PriorValueValueName(const char* rootName, const char* lastKey) {
    return ComposePriorName("PriorValue:", rootName, lastKey);
}
