// Shortcut files: what they hold when read back through the shell-link object, and when none
// is written at all.
#include <doctest.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "files/shell_link.h"
#include "win_test_support.h"

namespace {

struct LinkContent {
    bool loaded = false;
    std::string target;
    std::string arguments;
    std::string workingFolder;
};

LinkContent ReadLink(const std::string& file) {
    LinkContent content;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
                content.loaded = true;
                char text[1024] = "";
                link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
                content.target = text;
                text[0] = 0;
                link->GetArguments(text, sizeof text);
                content.arguments = text;
                text[0] = 0;
                link->GetWorkingDirectory(text, sizeof text);
                content.workingFolder = text;
            }
            persist->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return content;
}

// Fields of the file's header, read from its bytes (Wine's loader reports the show command
// wrongly).
unsigned ShowCommandOf(const std::string& bytes) {
    if (bytes.size() < 0x40) return 0xFFFFFFFF;
    return static_cast<unsigned char>(bytes[0x3C]) | static_cast<unsigned char>(bytes[0x3D]) << 8 |
           static_cast<unsigned char>(bytes[0x3E]) << 16 | static_cast<unsigned>(static_cast<unsigned char>(bytes[0x3F])) << 24;
}

// The header's link flags: which optional parts the file carries.
constexpr unsigned kHasName = 0x04;
constexpr unsigned kHasRelativePath = 0x08;
constexpr unsigned kHasWorkingDir = 0x10;
constexpr unsigned kHasArguments = 0x20;
constexpr unsigned kHasIconLocation = 0x40;

unsigned LinkFlagsOf(const std::string& bytes) {
    if (bytes.size() < 0x18) return 0xFFFFFFFF;
    return static_cast<unsigned char>(bytes[0x14]) | static_cast<unsigned char>(bytes[0x15]) << 8;
}

unsigned HotkeyOf(const std::string& bytes) {
    if (bytes.size() < 0x42) return 0xFFFFFFFF;
    return static_cast<unsigned char>(bytes[0x40]) | static_cast<unsigned char>(bytes[0x41]) << 8;
}

}  // namespace

TEST_CASE("a shortcut holds the target, its folder as working folder, the arguments and show command 1") {
    std::string base = FreshFolder("links");
    CreateDirectoryA((base + "\\Meine Anwendung").c_str(), nullptr);
    CreateDirectoryA((base + "\\Gruppe").c_str(), nullptr);
    const std::string target = base + "\\Meine Anwendung\\Write311.exe";
    WriteFileBytes(target, "MZ");

    CreateShellLink((base + "\\Gruppe\\Write").c_str(), target.c_str(), nullptr);
    const std::string file = base + "\\Gruppe\\Write.lnk";
    REQUIRE(PathExists(file));
    LinkContent content = ReadLink(file);
    REQUIRE(content.loaded);
    CHECK(content.target == target);
    CHECK(content.arguments == "");
    CHECK(content.workingFolder == base + "\\Meine Anwendung");
    std::string bytes = ReadFileBytes(file);
    CHECK(ShowCommandOf(bytes) == SW_SHOWNORMAL);
    CHECK(HotkeyOf(bytes) == 0);
    // no description, no relative path, no icon location (the arguments are set, as empty text)
    CHECK((LinkFlagsOf(bytes) & (kHasName | kHasRelativePath | kHasIconLocation)) == 0);
    CHECK((LinkFlagsOf(bytes) & kHasWorkingDir) != 0);
    CHECK(FolderNames(base + "\\Gruppe") == std::vector<std::string>{"Write.lnk"});
}

TEST_CASE("the uninstall shortcut runs Uninst.exe /U in the program folder") {
    std::string base = FreshFolder("links-uninst");
    const std::string target = base + "\\Uninst.exe";
    WriteFileBytes(target, "MZ");
    CreateShellLink((base + "\\Uninstall (Deinstallation)").c_str(), target.c_str(), "/U");
    LinkContent content = ReadLink(base + "\\Uninstall (Deinstallation).lnk");
    REQUIRE(content.loaded);
    CHECK(content.target == target);
    CHECK(content.arguments == "/U");
    CHECK(content.workingFolder == base);
    std::string bytes = ReadFileBytes(base + "\\Uninstall (Deinstallation).lnk");
    CHECK(ShowCommandOf(bytes) == SW_SHOWNORMAL);
    CHECK((LinkFlagsOf(bytes) & (kHasName | kHasRelativePath | kHasIconLocation)) == 0);
    CHECK((LinkFlagsOf(bytes) & (kHasWorkingDir | kHasArguments)) == (kHasWorkingDir | kHasArguments));
}

TEST_CASE("a shortcut is replaced and takes code page 1252 names") {
    std::string base = FreshFolder("links-more");
    WriteFileBytes(base + "\\First.exe", "MZ");
    WriteFileBytes(base + "\\Second.exe", "MZ");
    const std::string link = base + "\\Verkn\xFCpfung";
    CreateShellLink(link.c_str(), (base + "\\First.exe").c_str(), "-a");
    CreateShellLink(link.c_str(), (base + "\\Second.exe").c_str(), nullptr);
    REQUIRE(PathExists(link + ".lnk"));
    LinkContent content = ReadLink(link + ".lnk");
    REQUIRE(content.loaded);
    CHECK(content.target == base + "\\Second.exe");
    CHECK(content.arguments == "");
}

TEST_CASE("no shortcut for a missing target or a folder") {
    std::string base = FreshFolder("links-none");
    CreateDirectoryA((base + "\\Folder").c_str(), nullptr);
    CreateShellLink((base + "\\Missing").c_str(), (base + "\\Missing.exe").c_str(), nullptr);
    CreateShellLink((base + "\\Folder link").c_str(), (base + "\\Folder").c_str(), nullptr);
    CHECK(FolderNames(base) == std::vector<std::string>{"Folder"});
}

TEST_CASE("a link name that ends in .lnk gets the extension twice") {
    std::string base = FreshFolder("links-twice");
    WriteFileBytes(base + "\\App.exe", "MZ");
    CreateShellLink((base + "\\App.lnk").c_str(), (base + "\\App.exe").c_str(), nullptr);
    std::vector<std::string> names = FolderNames(base);
    CHECK(names.size() == 2);
    CHECK(PathExists(base + "\\App.lnk.lnk"));
    CHECK_FALSE(PathExists(base + "\\App.lnk"));
}

TEST_CASE("a link path that does not fit with .lnk writes nothing, one that just fits is written") {
    std::string base = FreshFolder("links-long");
    WriteFileBytes(base + "\\App.exe", "MZ");
    // 255 characters and ".lnk" make 259: the longest name Windows takes
    std::string fits = base + "\\" + std::string(255 - base.size() - 1, 'k');
    REQUIRE(fits.size() == 255);
    CreateShellLink((fits + "x").c_str(), (base + "\\App.exe").c_str(), nullptr);
    CHECK(FolderNames(base) == std::vector<std::string>{"App.exe"});
    CreateShellLink(fits.c_str(), (base + "\\App.exe").c_str(), nullptr);
    CHECK(PathExists(fits + ".lnk"));
    CHECK(FolderNames(base).size() == 2);
}

TEST_CASE("the target is read back from a shortcut, also after the target was deleted") {
    std::string base = FreshFolder("links-read");
    const std::string target = base + "\\Gr\xFC\xDF" "e.exe";
    WriteFileBytes(target, "MZ");
    CreateShellLink((base + "\\Gru\xDF").c_str(), target.c_str(), "/U");
    CHECK(std::string(ShellLinkTarget((base + "\\Gru\xDF.lnk").c_str()).CStr()) == target);
    REQUIRE(DeleteFileA(target.c_str()));
    CHECK(std::string(ShellLinkTarget((base + "\\Gru\xDF.lnk").c_str()).CStr()) == target);
    // no file, and a file of that name that is no shortcut: no target
    CHECK(ShellLinkTarget((base + "\\Fehlt.lnk").c_str()).IsEmpty());
    WriteFileBytes(base + "\\Text.lnk", "kein Verweis");
    CHECK(ShellLinkTarget((base + "\\Text.lnk").c_str()).IsEmpty());
    CHECK(ShellLinkTarget(nullptr).IsEmpty());
}

TEST_CASE("a shortcut is deleted only when it points at the given target") {
    std::string base = FreshFolder("links-delete");
    const std::string own = base + "\\Eigen\\Prog.exe";
    const std::string other = base + "\\Fremd\\Prog.exe";
    CreateDirectoryA((base + "\\Eigen").c_str(), nullptr);
    CreateDirectoryA((base + "\\Fremd").c_str(), nullptr);
    WriteFileBytes(own, "MZ");
    WriteFileBytes(other, "MZ");
    CreateShellLink((base + "\\Eigener").c_str(), own.c_str(), nullptr);
    CreateShellLink((base + "\\Fremder").c_str(), other.c_str(), nullptr);
    WriteFileBytes(base + "\\Text.lnk", "kein Verweis");
    SetFileAttributesA((base + "\\Eigener.lnk").c_str(), FILE_ATTRIBUTE_READONLY);

    CHECK_FALSE(DeleteShellLinkTo((base + "\\Fremder.lnk").c_str(), own.c_str()));
    CHECK_FALSE(DeleteShellLinkTo((base + "\\Text.lnk").c_str(), own.c_str()));
    CHECK_FALSE(DeleteShellLinkTo((base + "\\Fehlt.lnk").c_str(), own.c_str()));
    CHECK_FALSE(DeleteShellLinkTo((base + "\\Eigener.lnk").c_str(), ""));
    CHECK(FolderNames(base) ==
          std::vector<std::string>{"Eigen", "Eigener.lnk", "Fremd", "Fremder.lnk", "Text.lnk"});
    // letter case does not count, as in the file system; a read-only shortcut goes too
    std::string ownUpper = own;
    for (char& c : ownUpper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    CHECK(DeleteShellLinkTo((base + "\\Eigener.lnk").c_str(), ownUpper.c_str()));
    CHECK(FolderNames(base) == std::vector<std::string>{"Eigen", "Fremd", "Fremder.lnk", "Text.lnk"});
    CHECK(ReadFileBytes(base + "\\Text.lnk") == "kein Verweis");
}
