// File-type registration read back from the registry, and its removal: what this installation
// wrote goes, what another program holds stays. Extension and program names are the tests' own.
#include <doctest.h>

#include <string>

#include "files/file_types.h"
#include "win_test_support.h"

namespace {

const char kProgram[] = "C:\\qvtest\\types\\QvType Tool.exe";
const char kApp[] = "QvType Tool.exe";
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
    RegisterFileTypes(command.CStr(), "*.qvt1,qvt2");

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
    RegisterFileTypes(command.CStr(), "qvt8, QVT9");
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt8\\shell\\open\\command") == command.CStr());
    CHECK(Default(HKEY_CLASSES_ROOT, ". QVT9\\shell\\open\\command") == command.CStr());
    UnregisterFileTypes(command.CStr(), "qvt8, QVT9");
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt8"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ". QVT9"));
}

TEST_CASE("UnregisterFileTypes removes everything the registration wrote") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt1,qvt2");
    RegisterFileTypes(command.CStr(), "qvt1,qvt2");
    REQUIRE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1\\shell\\open\\command"));

    UnregisterFileTypes(command.CStr(), "qvt1,qvt2");
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
    RegisterFileTypes(command.CStr(), "qvt3");
    UnregisterFileTypes(command.CStr(), "qvt3");
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt3") == "qvtfile");
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\shell"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(".qvt3\\OpenWithList\\") + kApp));
    CHECK(KeyExists(HKEY_CLASSES_ROOT, ".qvt3\\OpenWithList\\Other.exe"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("an open command another program wrote since keeps its chain") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt4");
    RegisterFileTypes(command.CStr(), "qvt4");
    const char other[] = "\"C:\\Andere\\Editor.exe\" \"%1\"";
    WriteDefault(HKEY_CLASSES_ROOT, ".qvt4\\shell\\open\\command", other);
    UnregisterFileTypes(command.CStr(), "qvt4");
    CHECK(Default(HKEY_CLASSES_ROOT, ".qvt4\\shell\\open\\command") == other);
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt4\\OpenWithList"));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
}

TEST_CASE("an Applications entry another installation changed stays") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt5");
    RegisterFileTypes(command.CStr(), "qvt5");
    const char other[] = "\"D:\\Anderswo\\QvType Tool.exe\" \"%1\"";
    WriteDefault(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp + "\\shell\\open\\command", other);
    UnregisterFileTypes(command.CStr(), "qvt5");
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt5"));
    CHECK(ApplicationCommand() == other);
    // HKEY_CLASSES_ROOT showed the machine's key: that one holds the other command too
    CHECK(MachineApplicationCommand() == other);
}

TEST_CASE("a command key with another value loses only this installation's command") {
    RegistryCleaner cleaner;
    OpenCommandText command = OpenCommandFor(kProgram, "qvt6");
    RegisterFileTypes(command.CStr(), "qvt6");
    HKEY key = nullptr;
    REQUIRE(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".qvt6\\shell\\open\\command", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS);
    RegSetValueExA(key, "DelegateExecute", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
    UnregisterFileTypes(command.CStr(), "qvt6");
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
    UnregisterFileTypes(command.CStr(), "qvt5,qvt6,qvt7,qvt8");
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
    RegisterFileTypes(command.CStr(), ",,,");
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("Applications\\") + kApp));
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, "."));
    RegisterFileTypes("", "qvt1");
    CHECK_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".qvt1"));
}
