// Extension lists, open commands and registry key names of the file-type registration.
#include <doctest.h>

#include <string>
#include <vector>

#include "files/file_type_rules.h"

namespace {

std::vector<std::string> Items(const char* extensions) {
    ExtensionList list;
    BeginExtensionList(&list, extensions);
    std::vector<std::string> items;
    ExtensionItem item;
    while (NextExtensionItem(&list, &item)) {
        items.push_back(item.CStr());
        if (items.size() > 300) break;  // a walk that never ends fails the comparison below
    }
    return items;
}

using List = std::vector<std::string>;

}  // namespace

TEST_CASE("extension lists are walked from the last item to the first") {
    struct Row { const char* extensions; List items; };
    const Row rows[] = {
        {"WRI,TXT,DOK", {"DOK", "TXT", "WRI"}},
        {"crd", {"crd"}},
        {"*.txt", {"txt"}},
        {".txt", {"txt"}},
        {"*txt", {"txt"}},
        {"*.txt,*.doc", {"*.doc", "txt"}},  // only the start of the whole list is cleaned
        {".txt,.doc", {".doc", "txt"}},
        {"txt,,doc", {"doc", "txt"}},        // the empty item is skipped
        {"WRI, TXT", {" TXT", "WRI"}},      // blanks are part of the item
        {",,,", {}},
        {"", {}},
        {"*", {}},
        {"*.", {}},
        {"**.txt", {"*.txt"}},               // one star only
        {"..txt", {".txt"}},                 // one dot only
        {",txt,", {"txt"}},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.extensions));
        CHECK(Items(row.extensions) == row.items);
    }
    CHECK(Items(std::string(39, ',').c_str()).empty());
    CHECK(Items(nullptr).empty());
}

TEST_CASE("an extension list of the longest entry width is walked whole") {
    // 255 characters: 127 items "a" and a last item "b"
    std::string list;
    for (int i = 0; i < 127; ++i) list += "a,";
    list += "b";
    REQUIRE(list.size() == 255);
    List items = Items(list.c_str());
    REQUIRE(items.size() == 128);
    CHECK(items.front() == "b");
    CHECK(items.back() == "a");
    // one character more does not fit the working copy: refused whole, not walked from a cut end
    CHECK(Items((list + "x").c_str()).empty());
}

TEST_CASE("the open command quotes the program path and chooses the placeholder") {
    CHECK(std::string(ComposeOpenCommand("D:\\Programme\\Meine Anwendung\\Write311.exe", true).CStr()) ==
          "\"D:\\Programme\\Meine Anwendung\\Write311.exe\" %1");
    CHECK(std::string(ComposeOpenCommand("D:\\Programme\\Meine Anwendung\\Write311.exe", false).CStr()) ==
          "\"D:\\Programme\\Meine Anwendung\\Write311.exe\" \"%1\"");
    CHECK(std::string(ComposeOpenCommand("C:\\P\\My Tool.exe", false).CStr()) == "\"C:\\P\\My Tool.exe\" \"%1\"");
    CHECK(ComposeOpenCommand("", true).Length() == 0);
    CHECK(ComposeOpenCommand(nullptr, true).Length() == 0);

    std::string longest = "C:\\" + std::string(252, 'p') + ".exe";  // 259 characters
    REQUIRE(longest.size() == 259);
    OpenCommandText command = ComposeOpenCommand(longest.c_str(), false);
    CHECK(command.Fits());
    CHECK(std::string(command.CStr()) == "\"" + longest + "\" \"%1\"");
    // a program path longer than Windows takes gives no command at all, never a cut one
    CHECK(ComposeOpenCommand((longest + "x").c_str(), false).Length() == 0);
}

TEST_CASE("the program path of a command and the application key name") {
    CHECK(std::string(ApplicationKeyName("D:\\Programme\\Meine Anwendung\\Write311.exe").CStr()) == "Write311.exe");
    CHECK(std::string(ApplicationKeyName("D:\\Programme\\Meine Anwendung\\My Tool.exe").CStr()) == "My Tool.exe");

    struct Row { const char* command; const char* program; };
    const Row rows[] = {
        {"\"D:\\Programme\\Meine Anwendung\\My Tool.exe\" \"%1\"", "D:\\Programme\\Meine Anwendung\\My Tool.exe"},
        {"\"D:\\Programme\\Write311.exe\" %1", "D:\\Programme\\Write311.exe"},
        {"D:\\Programme\\Write311.exe %1", "D:\\Programme\\Write311.exe"},
        {"\"D:\\no closing quote", "D:\\no closing quote"},
        {"", ""},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.command));
        CHECK(std::string(ProgramPathOfCommand(row.command).CStr()) == row.program);
    }
    OpenCommandText command = ComposeOpenCommand("D:\\Programme\\Meine Anwendung\\My Tool.exe", true);
    CHECK(std::string(ApplicationKeyName(ProgramPathOfCommand(command.CStr()).CStr()).CStr()) == "My Tool.exe");
}

TEST_CASE("registry key names of one item") {
    CHECK(std::string(ExtensionKey("txt").CStr()) == ".txt");
    CHECK(std::string(ExtensionKey(" TXT").CStr()) == ". TXT");
    CHECK(std::string(ExtensionCommandKey("*.doc").CStr()) == ".*.doc\\shell\\open\\command");
    CHECK(std::string(OpenWithKey("txt", "My Tool.exe").CStr()) == ".txt\\OpenWithList\\My Tool.exe");
    CHECK(std::string(ApplicationCommandKey("My Tool.exe").CStr()) ==
          "Applications\\My Tool.exe\\shell\\open\\command");
    CHECK(std::string(MachineApplicationCommandKey("Write311.exe").CStr()) ==
          "SOFTWARE\\Classes\\Applications\\Write311.exe\\shell\\open\\command");
    std::string longApp(259, 'a');
    CHECK(MachineApplicationCommandKey(longApp.c_str()).Fits());
}
