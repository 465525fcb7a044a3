// The texts of the intro, confirmation and syntax help dialogs, byte for byte (code page 1252).
#include <doctest.h>

#include <string>
#include <vector>

#include "app/app_texts.h"
#include "ui/dialog_texts.h"

namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

std::string HelpText() {
    ScratchBuffer text;
    CHECK(ComposeSyntaxHelpText(text));
    return text.CStr();
}

}  // namespace

TEST_CASE("intro caption: the name, two blanks and (Installation)") {
    ScratchBuffer caption;
    CHECK(ComposeIntroCaption("Meine Anwendung", caption));
    CHECK(std::string(caption.CStr()) == "Meine Anwendung  (Installation)");
}

TEST_CASE("intro text: each line after an empty one, an empty value leaves an empty line") {
    ScratchBuffer text;
    CHECK(ComposeIntroText("Eins", "Zwei", "Drei", text));
    CHECK(std::string(text.CStr()) == "\r\nEins\r\n\r\nZwei\r\n\r\nDrei");

    CHECK(ComposeIntroText("Willkommen bei M\xFCller", "", "Viel Spa\xDF", text));
    CHECK(std::string(text.CStr()) == "\r\nWillkommen bei M\xFCller\r\n\r\n\r\n\r\nViel Spa\xDF");
    std::vector<std::string> lines = SplitCrLf(text.CStr());
    CHECK(lines == std::vector<std::string>{"", "Willkommen bei M\xFCller", "", "", "", "Viel Spa\xDF"});

    // three values of the longest kept length still fit
    std::string longest(127, 'x');
    CHECK(ComposeIntroText(longest.c_str(), longest.c_str(), longest.c_str(), text));
    CHECK(text.Length() == 3 * 127 + 10);
}

TEST_CASE("main text: the pieces in order, byte for byte, ending with the about text") {
    ScratchBuffer text;
    CHECK(ComposeMainText("Meine Anwendung", "C:\\Program Files\\Meine Anwendung", text));
    const std::string expected =
        "Anwendung:\tMeine Anwendung\r\n"
        "Zielordner:\tC:\\Program Files\\Meine Anwendung\r\n\r\n"
        "Beenden Sie alle aktiven Programme, welche zu \"Meine Anwendung\" geh\xF6ren. "
        "Das Setup \xFC" "berschreibt bestehende gleichnamige Dateien. "
        "Die Dateien werden in den Programmordner kopiert und k\xF6nnen jederzeit wieder vollst\xE4ndig "
        "entfernt werden: Systemsteuerung/Software/Entfernen...\r\n\r\n";
    std::string actual = text.CStr();
    CHECK(actual == expected + kAboutText);
    CHECK(actual.substr(0, expected.size()) == expected);
    CHECK(actual.size() > expected.size());
    CHECK(actual.substr(expected.size()) == std::string(kAboutText));
    CHECK(kMainTabStop == 50);

    std::string longest(127, 'y');
    CHECK(ComposeMainText(longest.c_str(), longest.c_str(), text));
}

TEST_CASE("syntax help: caption, the about text and one empty line before the example") {
    CHECK(std::string(kSyntaxCaption) == "Quorvane - SETUP.LST nicht gefunden");
    std::string help = HelpText();
    std::string about = kAboutText;
    REQUIRE(help.size() > about.size() + 4);
    CHECK(help.substr(0, about.size()) == about);
    CHECK(help.substr(about.size(), 4) == "\r\n\r\n");
    CHECK(help.substr(about.size() + 4, 25) == "Beispiel f\xFCr SETUP.LST:\r\n");
}

TEST_CASE("syntax help: 68 example lines after the about text's 7 and the empty one, no final break") {
    std::string help = HelpText();
    std::vector<std::string> lines = SplitCrLf(help);
    CHECK(lines.size() == 7 + 1 + 68);
    CHECK(lines[7].empty());
    CHECK(help.substr(help.size() - 2) != "\r\n");
    CHECK(help.back() == '.');
    CHECK(lines.back() == "TIPP: Mit 7-Zip/WinZip eine SFX erstellen, welche Setup.exe startet.");
    // only CR LF pairs break lines
    for (size_t i = 0; i < help.size(); ++i) {
        if (help[i] == '\n') CHECK((i > 0 && help[i - 1] == '\r'));
        if (help[i] == '\r') CHECK((i + 1 < help.size() && help[i + 1] == '\n'));
    }
    for (int i = 0; i < kSyntaxHelpLineCount; ++i) CHECK(lines[8 + i] == kSyntaxHelpLines[i]);
}

TEST_CASE("syntax help: the example lines where every byte matters") {
    std::vector<std::string> lines = SplitCrLf(HelpText());
    REQUIRE(lines.size() == 76);
    auto line = [&](int n) { return lines[7 + n]; };  // n counts the example lines from 1
    const std::string divider(56, '\xF7');
    struct Row { int n; const char* bytes; };
    const Row rows[] = {
        {1, "Beispiel f\xFCr SETUP.LST:"},
        {3, "[General]"},
        {4, "AppName=Meine Anwendung"},
        {5, "Version=Version 1.0\xDF"},
        {6, "Copyright=\xA9 2010 Meine Firma"},
        {7, "Folder=Alte Programme\t{ fakultativ, sonst AppName }"},
        {8, "RegFile=RegisterMe.reg\t{ fakultativ }"},
        {10, "AllUsers=1|0\t\t{ fakultativ, sonst 1 }"},
        {11, "CopyOnly=0|1\t\t{ fakultativ, sonst 0 }"},
        {12, "Intro1=1. Zeile\t\t{ fakultativ f\xFCr Startdialog }"},
        {15, ""},
        {16, "[Files]"},
        {20, "4=Muster.wri"},
        {22, "[AltFolder]\t\t{ Alt. Ordner f\xFCr [Files] }"},
        {23, "1=w\t\t{ C:\\Windows }"},
        {24, "2=w\\ShellNew\t{ C:\\Windows\\ShellNew }"},
        {26, "4=s\\Viewers\t{ C:\\Windows\\System\\Viewers }"},
        {27, "5=f\t\t{ C:\\Windows\\Fonts }"},
        {28, "6=\\Data\t\t{ C:\\Programme\\Folder\\Data }"},
        {30, "[Links]\t{ erstellt Links zu [Files] }"},
        {35, "[DesktopLinks]\t{ erstellt Desktop-Links zu [Files] }"},
        {36, "1=Write (Textverarbeitung)"},
        {41, "1=WRI,TXT,DOK\t{ Gro\xDF" "buchstaben => Kurze Dateinamen }"},
        {42, "3=crd"},
        {45, "1=*.dll\t\t{ ab hier unbh\xE4ngig von [Files]! }"},
        {49, "[WildSubFolder]\t{ optionale Unterordner f\xFCr WildCopy }"},
        {50, "2=TexteKartei\t\t{ C:\\Programme\\Folder\\Kartei }"},
        {51, ""},
        {53, "Hinweise:"},
        {55, "Aus \"Folder\" wird der Zielordner:"},
        {56, "\xB7" "C:\\Programme\\Meine Anwendung\\.."},
        {58, "Bei fehlender Variable \"Folder\" wird aus \"AppName\""},
        {60, "der Registry erstellt:"},
        {62, "\xB7" "C:\\Programme\\Meine Anwendung\\.."},
        {63, "\xB7" "HKLM\\SOFTWARE\\ ... \\Uninstall\\Meine Anwendung"},
        {65, "Setup erlaubt bis zu 128 Eintr\xE4ge/Sektion."},
        {66, "Dateinamen und Beschreibungen sollten hier nicht l\xE4nger als 80 Zeichen sein."},
        {67, ""},
        {68, "TIPP: Mit 7-Zip/WinZip eine SFX erstellen, welche Setup.exe startet."},
    };
    for (const Row& row : rows) {
        CAPTURE(row.n);
        CHECK(line(row.n) == row.bytes);
    }
    CHECK(line(2) == divider);
    CHECK(line(52) == divider);
    CHECK(line(2).size() == 56);

    int emptyLines = 0;
    for (int n = 1; n <= 68; ++n)
        if (line(n).empty()) ++emptyLines;
    CHECK(emptyLines == 13);
}

TEST_CASE("syntax help: fits the shared text buffer") {
    ScratchBuffer text;
    CHECK(ComposeSyntaxHelpText(text));
    CHECK(text.Fits());
    CHECK(text.Length() < ScratchBuffer::kMaxLength);
    CHECK(text.Length() == HelpText().size());
}

TEST_CASE("the editors of \"&Kopieren\" in their order and the list editor") {
    CHECK(std::string(kEditorChain[0]) == "metapad.exe");
    CHECK(std::string(kEditorChain[1]) == "Fenwo.exe");
    CHECK(std::string(kEditorChain[2]) == "Notepad.exe");
    CHECK(std::string(kListEditor) == "Talmer.exe");
}
