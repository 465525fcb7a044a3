// The Windows helpers: existence tests, the pump, OEM text, registry strings, shell folders and
// the DLL search restriction.
#include <doctest.h>

#include <string>

#include "list/install_context.h"
#include "support/win_support.h"
#include "win_test_support.h"

TEST_CASE("FileExists and FolderExists look at the first match only") {
    std::string folder = FreshFolder("exists");
    WriteFileBytes(folder + "\\a.txt", "a");
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);

    CHECK(FileExists((folder + "\\a.txt").c_str()));
    CHECK(FileExists((folder + "\\*.txt").c_str()));
    CHECK_FALSE(FileExists((folder + "\\*.dll").c_str()));
    CHECK_FALSE(FileExists((folder + "\\sub").c_str()));
    CHECK(FolderExists((folder + "\\sub").c_str()));
    CHECK(FolderExists((folder + "\\sub\\.").c_str()));
    CHECK_FALSE(FolderExists((folder + "\\sub\\").c_str()));  // a trailing backslash is not found
    CHECK_FALSE(FolderExists("C:\\"));                         // nor is a bare drive root
    CHECK_FALSE(FileExists("C:\\"));
    CHECK_FALSE(FolderExists((folder + "\\a.txt").c_str()));
    CHECK_FALSE(FileExists(""));
    CHECK_FALSE(FileExists((folder + "\\missing\\a.txt").c_str()));
}

TEST_CASE("a quit request met by the pump ends the process with its code") {
    CHECK(RunChild("pump-quit", "7") == 7);
    CHECK(RunChild("pump-quit", "0") == 0);
}

TEST_CASE("ToOemText converts umlauts to the OEM code page and leaves ASCII alone") {
    UINT oem = GetOEMCP();
    LongText text = ToOemText("C:\\Programme\\\xE4\xF6\xFC\xDF");
    std::string bytes = text.CStr();
    CHECK(bytes.substr(0, 13) == "C:\\Programme\\");
    if (oem == 437 || oem == 850) {
        CHECK(bytes.substr(13) == "\x84\x94\x81\xE1");
    } else {
        MESSAGE("OEM code page " << oem << ": umlaut bytes not checked");
    }
    CHECK(std::string(ToOemText("").CStr()).empty());
}

TEST_CASE("ToOemTextExact accepts a text only when it converts back to the same bytes") {
    UINT oem = GetOEMCP();
    LongText text;
    CHECK(ToOemTextExact("C:\\Program Files\\Zebra-Kasse 100% (neu)!", text));
    CHECK(std::string(text.CStr()) == "C:\\Program Files\\Zebra-Kasse 100% (neu)!");
    CHECK(ToOemTextExact("", text));
    CHECK(text.IsEmpty());
    if (oem == 437 || oem == 850) {
        CHECK(ToOemTextExact("C:\\Programme\\M\xE4rchen", text));
        CHECK(std::string(text.CStr()) == "C:\\Programme\\M\x84rchen");
        // "Z" with caron and the en dash have no place in these code pages: their look-alikes
        // ("Z", "-") would name another folder
        CHECK_FALSE(ToOemTextExact("C:\\Program Files\\\x8E" "ebra-Kasse", text));
        CHECK_FALSE(ToOemTextExact("C:\\Program Files\\Kasse \x96 Alt", text));
        CHECK(std::string(ToOemText("C:\\Program Files\\\x8E" "ebra-Kasse").CStr()) == "C:\\Program Files\\Zebra-Kasse");
    } else {
        MESSAGE("OEM code page " << oem << ": the look-alikes are not checked");
    }
    // longer than the text type: refused, never cut
    CHECK_FALSE(ToOemTextExact(std::string(kLongTextWidth, 'x').c_str(), text));
}

TEST_CASE("registry numbers are read only as REG_DWORD, and a value of any type exists") {
    const std::string base = "Software\\QvTest\\RegistryNumbers";
    RemoveRegistryTree(HKEY_CURRENT_USER, base);
    DWORD value = 7;
    CHECK_FALSE(ReadRegDword(HKEY_CURRENT_USER, base.c_str(), "Zahl", &value));
    CHECK_FALSE(RegValueExists(HKEY_CURRENT_USER, base.c_str(), "Zahl"));
    CHECK(value == 7);
    CHECK(WriteRegDword(HKEY_CURRENT_USER, base.c_str(), "Zahl", 1));
    CHECK(ReadRegDword(HKEY_CURRENT_USER, base.c_str(), "Zahl", &value));
    CHECK(value == 1);
    CHECK(RegValueExists(HKEY_CURRENT_USER, base.c_str(), "Zahl"));
    CHECK(WriteRegString(HKEY_CURRENT_USER, base.c_str(), "Text", "1"));
    value = 7;
    CHECK_FALSE(ReadRegDword(HKEY_CURRENT_USER, base.c_str(), "Text", &value));
    CHECK(value == 7);
    CHECK(RegValueExists(HKEY_CURRENT_USER, base.c_str(), "Text"));
    CHECK_FALSE(RegValueExists(HKEY_CURRENT_USER, base.c_str(), "Fehlt"));
    RemoveRegistryTree(HKEY_CURRENT_USER, base);
}

TEST_CASE("registry strings: creation of every level, default values, sizes, missing values") {
    const std::string base = "Software\\QvTest\\Registry";
    RemoveRegistryTree(HKEY_CURRENT_USER, base);

    CHECK(WriteRegString(HKEY_CURRENT_USER, (base + "\\A\\B\\C").c_str(), "Name", "abc"));
    HKEY key = nullptr;
    REQUIRE(RegOpenKeyExA(HKEY_CURRENT_USER, (base + "\\A\\B\\C").c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    CHECK(RegQueryValueExA(key, "Name", nullptr, &type, nullptr, &size) == ERROR_SUCCESS);
    RegCloseKey(key);
    CHECK(type == REG_SZ);
    CHECK(size == 4);  // the text and its terminator

    CHECK(std::string(ReadRegString(HKEY_CURRENT_USER, (base + "\\A\\B\\C").c_str(), "Name").CStr()) == "abc");
    CHECK(ReadRegString(HKEY_CURRENT_USER, (base + "\\A\\B\\C").c_str(), "Missing").IsEmpty());
    CHECK(ReadRegString(HKEY_CURRENT_USER, (base + "\\Nowhere").c_str(), "Name").IsEmpty());

    CHECK(WriteRegString(HKEY_CURRENT_USER, (base + "\\D").c_str(), nullptr, "default"));
    CHECK(std::string(ReadRegString(HKEY_CURRENT_USER, (base + "\\D").c_str(), nullptr).CStr()) == "default");

    // the key alone, as the open-with entries need it
    CHECK(WriteRegString(HKEY_CURRENT_USER, (base + "\\E\\F").c_str(), nullptr, nullptr));
    CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, (base + "\\E\\F").c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS);
    RegCloseKey(key);

    std::string fits(1024, 'x');
    std::string tooLong(2000, 'y');
    WriteRegString(HKEY_CURRENT_USER, base.c_str(), "Fits", fits.c_str());
    WriteRegString(HKEY_CURRENT_USER, base.c_str(), "TooLong", tooLong.c_str());
    CHECK(std::string(ReadRegString(HKEY_CURRENT_USER, base.c_str(), "Fits").CStr()) == fits);
    CHECK(ReadRegString(HKEY_CURRENT_USER, base.c_str(), "TooLong").IsEmpty());

    // a value without its own terminator
    RegOpenKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, KEY_SET_VALUE, &key);
    RegSetValueExA(key, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("raw!"), 3);
    RegCloseKey(key);
    CHECK(std::string(ReadRegString(HKEY_CURRENT_USER, base.c_str(), "Raw").CStr()) == "raw");

    RemoveRegistryTree(HKEY_CURRENT_USER, base);
}

namespace {
const char kUserShell[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShell[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void SetValue(HKEY root, const char* subKey, const char* name, const char* text, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(key);
}
void DeleteValue(HKEY root, const char* subKey, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}
void ClearProbeValues() {
    for (const char* name : {"QvProbe", "Common QvProbe"}) {
        DeleteValue(HKEY_CURRENT_USER, kUserShell, name);
        DeleteValue(HKEY_CURRENT_USER, kShell, name);
        DeleteValue(HKEY_LOCAL_MACHINE, kShell, name);
    }
}
}  // namespace

TEST_CASE("shell folders: expansion, per-user fallback, all-users fallback to the prefixed per-user value") {
    ClearProbeValues();
    char windows[MAX_PATH];
    GetEnvironmentVariableA("WINDIR", windows, sizeof windows);

    SUBCASE("a User Shell Folders value with an environment reference comes back expanded") {
        SetValue(HKEY_CURRENT_USER, kUserShell, "QvProbe", "%WINDIR%\\Probe", REG_EXPAND_SZ);
        SetValue(HKEY_CURRENT_USER, kShell, "QvProbe", "C:\\Plain");
        CHECK(std::string(GetUserShellFolder("QvProbe").CStr()) == std::string(windows) + "\\Probe");
    }
    SUBCASE("without it, the Shell Folders value is returned unexpanded") {
        SetValue(HKEY_CURRENT_USER, kShell, "QvProbe", "%WINDIR%\\Plain");
        CHECK(std::string(GetUserShellFolder("QvProbe").CStr()) == "%WINDIR%\\Plain");
    }
    SUBCASE("a value beginning with a control character counts as missing") {
        SetValue(HKEY_CURRENT_USER, kUserShell, "QvProbe", "\x01" "C:\\Odd");
        SetValue(HKEY_CURRENT_USER, kShell, "QvProbe", "C:\\Fallback");
        CHECK(std::string(GetUserShellFolder("QvProbe").CStr()) == "C:\\Fallback");
    }
    SUBCASE("nothing anywhere gives an empty folder") {
        CHECK(GetUserShellFolder("QvProbe").IsEmpty());
        CHECK(GetCommonShellFolder("Common QvProbe").IsEmpty());
    }
    SUBCASE("all users: the machine value first, unexpanded") {
        SetValue(HKEY_LOCAL_MACHINE, kShell, "Common QvProbe", "C:\\All\\Probe");
        SetValue(HKEY_CURRENT_USER, kShell, "Common QvProbe", "C:\\Mine");
        CHECK(std::string(GetCommonShellFolder("Common QvProbe").CStr()) == "C:\\All\\Probe");
    }
    SUBCASE("all users without a machine value asks the per-user keys for the prefixed name") {
        SetValue(HKEY_CURRENT_USER, kShell, "QvProbe", "C:\\NotThisOne");
        SetValue(HKEY_CURRENT_USER, kShell, "Common QvProbe", "C:\\Mine\\Common");
        CHECK(std::string(GetCommonShellFolder("Common QvProbe").CStr()) == "C:\\Mine\\Common");
    }
    SUBCASE("GetShellFolder takes the all-users folder only when asked to") {
        SetValue(HKEY_LOCAL_MACHINE, kShell, "Common QvProbe", "C:\\All");
        SetValue(HKEY_CURRENT_USER, kShell, "QvProbe", "C:\\User");
        CHECK(std::string(GetShellFolder("QvProbe", true).CStr()) == "C:\\All");
        CHECK(std::string(GetShellFolder("QvProbe", false).CStr()) == "C:\\User");
    }
    ClearProbeValues();
}

TEST_CASE("the real start-menu and desktop folders of a fresh prefix") {
    std::string commonPrograms = GetShellFolder("Programs", true).CStr();
    std::string userDesktop = GetShellFolder("Desktop", false).CStr();
    CHECK(commonPrograms.find("\\Start Menu\\Programs") != std::string::npos);
    CHECK(userDesktop.find("%") == std::string::npos);  // expanded
    CHECK(userDesktop.size() > 3);
}

TEST_CASE("after the restriction a DLL beside the program cannot be loaded by name") {
    REQUIRE(PathExists(TestProgramFolder() + "\\qvplanted.dll"));
    CHECK(RunChild("dll-by-name", "") == 1);       // without it, the planted DLL would load
    CHECK(RunChild("dll-restricted", "") == 110);  // restricted, not by name, by full path yes
}
