// File-type registration read back from the registry, and its removal: what this installation
// wrote goes, what it replaced comes back, what another program holds stays. Extension, program
// and entry names are the tests' own.
#include <doctest.h>

#include <string>

#include "files/file_types.h"
#include "win_test_support.h"

namespace {

const char kProgram[] = "C:\\qvtest\\types\\QvType Tool.exe";
const char kApp[] = "QvType Tool.exe";
// The uninstall entry that keeps what the registration replaced, below HKEY_LOCAL_MACHINE.
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QvType Test";
const char* const kExtensions[] = {".qvt1", ".qvt2", ".qvt3", ".qvt4", ".qvt5", ".qvt6", ".qvt7", ".qvt8", ". QVT9"};

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string Default(HKEY root, const std::string& path) {
    bool exists = false;
    std::string text = ReadRegistryText(root, path, nullptr, &exists);
    return exists ? text : "<none>";
}

DWORD ValueCount(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xFFFFFFFF;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
}

DWORD DefaultType(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = REG_NONE;
    RegCloseKey(key);
    return type;
}

void WriteDefaultAs(HKEY root, const std::string& path, DWORD type, const std::string& text) {
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void WriteDefault(HKEY root, const std::string& path, const char* text) {
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS);
    if (text != nullptr) RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
    RegCloseKey(key);
}

void CleanRegistry() {
    for (const char* extension : kExtensions) {
        RemoveRegistryTree(HKEY_CLASSES_ROOT, extension);
        RemoveRegistryTree(HKEY_CURRENT_USER, std::string("Software\\Classes\\") + extension);
    }
    RemoveRegistryTree(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp);
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\Applications\\") + kApp);
    RemoveRegistryTree(HKEY_CLASSES_ROOT, "Applications\\QvZweit.exe");
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Applications\\QvZweit.exe");
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, kEntry);
}

struct RegistryCleaner {
    RegistryCleaner() { CleanRegistry(); }
    ~RegistryCleaner() { CleanRegistry(); }
};

std::string ApplicationCommand() {
    return Default(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp + "\\shell\\open\\command");
}

std::string MachineApplicationCommand() {
    return Default(HKEY_LOCAL_MACHINE,
                   std::string("SOFTWARE\\Classes\\Applications\\") + kApp + "\\shell\\open\\command");
}

}  // namespace

TEST_CASE("the open command asks IsCharUpperA about the list's last character") {
    CHECK(std::string(OpenCommandFor(kProgram, "WRI,TXT,DOK").CStr()) == std::string("\"") + kProgram + "\" %1");
    CHECK(std::string(OpenCommandFor(kProgram, "crd").CStr()) == std::string("\"") + kProgram + "\" \"%1\"");
    CHECK(std::string(OpenCommandFor(kProgram, "WRI,txt").CStr()) == std::string("\"") + kProgram + "\" \"%1\"");
    CHECK(std::string(OpenCommandFor(kProgram, "DOC2").CStr()) == std::string("\"") + kProgram + "\" \"%1\"");
    CHECK(std::string(OpenCommandFor(kProgram, "DAT\xC4").CStr()) == std::string("\"") + kProgram + "\" %1");
}

TEST_CASE("RegisterFileTypes writes four keys for every extension") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "*.qvt1,qvt2");
    REQUIRE(std::string(command.CStr()) == std::string("\"") + kProgram + "\" \"%1\"");
    RegisterFileTypes(command.CStr(), "*.qvt1,qvt2", kEntry);

    for (const char* extension : {".qvt1", ".qvt2"}) {
        CAPTURE(std::string(extension));
        std::string key = extension;
        CHECK(Default(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command") == command.CStr());
        CHECK(KeyExists(HKEY_CLASSES_ROOT, key + "\\OpenWithList\\" + kApp));
        CHECK(ValueCount(HKEY_CLASSES_ROOT, key + "\\OpenWithList\\" + kApp) == 0);
        // the extension's own default value is not set
        CHECK(Default(HKEY_CLASSES_ROOT, key) == "<none>");
        // a write to HKEY_CLASSES_ROOT lands in the machine's classes
        CHECK(Default(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + key + "\\shell\\open\\command") == command.CStr());
    }
    CHECK(ApplicationCommand() == command.CStr());
    CHECK(MachineApplicationCommand() == command.CStr());
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".*.qvt1"));
}

TEST_CASE("items are registered exactly as they stand, blanks included") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt8, QVT9");
    REQUIRE(std::string(command.CStr()) == std::string("\"") + kProgram + "\" \"%1\"");  // ends in a digit
    RegisterFileTypes(command.CStr(), "qvt8, QVT9", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt8\\shell\\open\\command") == command.CStr());
    CHECK(Default(HKEY_CLASSES_ROOT, ". QVT9\\shell\\open\\command") == command.CStr());
    UnregisterFileTypes(command.CStr(), "qvt8, QVT9", kEntry);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt8"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ". QVT9"));
}

TEST_CASE("UnregisterFileTypes removes everything the registration wrote") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1,qvt2");
    RegisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    REQUIRE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command"));

    UnregisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt2"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
    CHECK_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\Applications\\") + kApp));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, "Applications"));
}

TEST_CASE("another program's data in the extension's key stays") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt3", "qvtfile");
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt3\\OpenWithList\\Other.exe", nullptr);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt3");
    RegisterFileTypes(command.CStr(), "qvt3", kEntry);
    UnregisterFileTypes(command.CStr(), "qvt3", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt3") == "qvtfile");
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\shell"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(".qvt3\\OpenWithList\\") + kApp));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\OpenWithList\\Other.exe"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("an open command another program wrote since keeps its chain") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt4");
    RegisterFileTypes(command.CStr(), "qvt4", kEntry);
    const char other[] = "\"C:\\Andere\\Editor.exe\" \"%1\"";
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt4\\shell\\open\\command", other);
    UnregisterFileTypes(command.CStr(), "qvt4", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt4\\shell\\open\\command") == other);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt4\\OpenWithList"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("an Applications entry another installation changed stays") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt5");
    RegisterFileTypes(command.CStr(), "qvt5", kEntry);
    const char other[] = "\"D:\\Anderswo\\QvType Tool.exe\" \"%1\"";
    WriteDefault(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp + "\\shell\\open\\command", other);
    UnregisterFileTypes(command.CStr(), "qvt5", kEntry);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt5"));
    CHECK(ApplicationCommand() == other);
    // HKEY_CLASSES_ROOT showed the machine's key: that one holds the other command too
    CHECK(MachineApplicationCommand() == other);
}

TEST_CASE("a command key with another value loses only this installation's command") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt6");
    RegisterFileTypes(command.CStr(), "qvt6", kEntry);
    HKEY key = nullptr;
    REQUIRE(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".qvt6\\shell\\open\\command", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS);
    RegSetValueExA(key, "DelegateExecute", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
    UnregisterFileTypes(command.CStr(), "qvt6", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt6\\shell\\open\\command") == "<none>");
    CHECK(ValueCount(HKEY_CLASSES_ROOT, ".qvt6\\shell\\open\\command") == 1);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt6\\OpenWithList"));
}

TEST_CASE("removing extensions that were never registered removes nothing") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt5", "qvtfile");
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt6", nullptr);  // an empty key of someone else's
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt7\\shell\\open\\command", "\"C:\\Andere\\Editor.exe\" \"%1\"");
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt7\\shell\\edit", nullptr);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt5,qvt6,qvt7,qvt8");
    UnregisterFileTypes(command.CStr(), "qvt5,qvt6,qvt7,qvt8", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt5") == "qvtfile");
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt6"));
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt7\\shell\\open\\command") == "\"C:\\Andere\\Editor.exe\" \"%1\"");
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt7\\shell\\edit"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt8"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("a list of commas only, or an empty command, writes nothing") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, ",,,");
    RegisterFileTypes(command.CStr(), ",,,", kEntry);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, "."));
    RegisterFileTypes("", "qvt1", kEntry);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1"));
    CHECK_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

// ---- what the registration replaces, kept in the uninstall entry

namespace {

const char kOtherCommand[] = "\"C:\\Andere\\Editor.exe\" \"%1\"";
const char kOtherApplicationCommand[] = "%ProgramFiles%\\Andere\\QvType Tool.exe \"%1\"";

bool EntryHasValue(const std::string& name) {
    bool exists = false;
    ReadRegistryText(HKEY_LOCAL_MACHINE, kEntry, name.c_str(), &exists);
    return exists;
}

// The default value of a key, up to 8,000 characters.
std::string LongDefault(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "<no key>";
    std::string buffer(8001, '\0');
    DWORD size = 8000;
    LONG status = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "<none>";
    return buffer.c_str();
}

std::string ApplicationCommandKeyOf() {
    return std::string("Applications\\") + kApp + "\\shell\\open\\command";
}

}  // namespace

TEST_CASE("another program's command and Applications entry come back as they were") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1", "qvtfile");
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", kOtherCommand);
    WriteDefaultAs(HKEY_CLASSES_ROOT, ApplicationCommandKeyOf(), REG_EXPAND_SZ, kOtherApplicationCommand);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1,qvt2");
    RegisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    REQUIRE(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == command.CStr());
    REQUIRE(ApplicationCommand() == command.CStr());
    // kept in the uninstall entry as values of its own, which the entry's removal takes along
    CHECK(ReadRegistryText(HKEY_LOCAL_MACHINE, kEntry, "PriorValue:HKCR\\.qvt1\\shell\\open\\command") ==
          kOtherCommand);

    UnregisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt1") == "qvtfile");
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == kOtherCommand);
    CHECK(DefaultType(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == REG_SZ);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1\\OpenWithList"));
    CHECK(ApplicationCommand() == kOtherApplicationCommand);
    CHECK(DefaultType(HKEY_CLASSES_ROOT, ApplicationCommandKeyOf()) == REG_EXPAND_SZ);
    CHECK(MachineApplicationCommand() == kOtherApplicationCommand);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt2"));
}

TEST_CASE("a reinstall keeps what was there before the first installation") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", kOtherCommand);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1,qvt2");
    RegisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    RegisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    CHECK(ReadRegistryText(HKEY_LOCAL_MACHINE, kEntry, "PriorValue:HKCR\\.qvt1\\shell\\open\\command") ==
          kOtherCommand);
    UnregisterFileTypes(command.CStr(), "qvt1,qvt2", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == kOtherCommand);
    // .qvt2 did not exist before the first installation: the second one does not make it another's
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt2"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("keys that existed before the installation stay, even empty ones") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt2", nullptr);
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt3\\shell\\open", nullptr);
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt4\\OpenWithList", nullptr);
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt5\\OpenWithList\\" + std::string(kApp), nullptr);
    WriteDefault(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp, nullptr);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt2,qvt3,qvt4,qvt5");
    RegisterFileTypes(command.CStr(), "qvt2,qvt3,qvt4,qvt5", kEntry);
    UnregisterFileTypes(command.CStr(), "qvt2,qvt3,qvt4,qvt5", kEntry);
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt2"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt2\\shell"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt2\\OpenWithList"));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\shell\\open"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\shell\\open\\command"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\OpenWithList"));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt4\\OpenWithList"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt4\\OpenWithList\\" + std::string(kApp)));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt4\\shell"));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt5\\OpenWithList\\" + std::string(kApp)));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp + "\\shell"));
}

TEST_CASE("a command another program writes after the installation stays") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", kOtherCommand);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1");
    const char later[] = "\"C:\\Neuer\\Editor.exe\" \"%1\"";
    RegisterFileTypes(command.CStr(), "qvt1", kEntry);
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", later);
    UnregisterFileTypes(command.CStr(), "qvt1", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == later);
}

TEST_CASE("two entries of one list with the same extension: what was there before comes back") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", kOtherCommand);
    OpenCommandText first = OpenCommandFor(kProgram, "qvt1");
    OpenCommandText second = OpenCommandFor("C:\\qvtest\\types\\QvZweit.exe", "qvt1");
    RegisterFileTypes(first.CStr(), "qvt1", kEntry);
    RegisterFileTypes(second.CStr(), "qvt1", kEntry);
    REQUIRE(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == second.CStr());
    UnregisterFileTypes(first.CStr(), "qvt1", kEntry);
    UnregisterFileTypes(second.CStr(), "qvt1", kEntry);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == kOtherCommand);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1\\OpenWithList"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Applications\\QvZweit.exe"));
}

TEST_CASE("a command too long to be kept is not replaced") {
    RegistryCleaner cleaner;
    std::string longCommand = "\"C:\\Andere\\Editor.exe\" " + std::string(3000, 'x');
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", longCommand.c_str());
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1");
    RegisterFileTypes(command.CStr(), "qvt1", kEntry);
    CHECK(LongDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == longCommand);
    CHECK(ApplicationCommand() == command.CStr());
    UnregisterFileTypes(command.CStr(), "qvt1", kEntry);
    CHECK(LongDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == longCommand);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1\\OpenWithList"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("without an uninstall entry nothing is kept") {
    RegistryCleaner cleaner;
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command", kOtherCommand);
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1");
    RegisterFileTypes(command.CStr(), "qvt1", nullptr);
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command") == command.CStr());
    CHECK(ApplicationCommand() == command.CStr());
    CHECK_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

TEST_CASE("an installation by a version that kept nothing is removed as it always was") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1");
    RegisterFileTypes(command.CStr(), "qvt1", nullptr);  // what such a version wrote

    SUBCASE("uninstalled") {
        UnregisterFileTypes(command.CStr(), "qvt1", kEntry);
    }
    SUBCASE("installed again by this version first: its own command is not kept as another's") {
        RegisterFileTypes(command.CStr(), "qvt1", kEntry);
        CHECK_FALSE(EntryHasValue("PriorKey:HKCR\\.qvt1\\shell\\open\\command"));
        CHECK_FALSE(EntryHasValue("PriorValue:HKCR\\.qvt1\\shell\\open\\command"));
        UnregisterFileTypes(command.CStr(), "qvt1", kEntry);
    }
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
    CHECK_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\Applications\\") + kApp));
}
