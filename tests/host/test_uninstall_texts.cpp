// Texts of the uninstall run, byte for byte.
#include <doctest.h>

#include <string>

#include "uninstall/uninstall_texts.h"

TEST_CASE("the uninstall run's captions and progress lines") {
    CHECK(std::string(kProgressUninstallTitle) == "Deinstallation l\xE4uft...");
    CHECK(std::string(kPhaseDeleting) == "L\xF6schen von");
    CHECK(std::string(kSystemFileCaption) == "S Y S T E M D A T E I   L\xD6SCHEN");
    CHECK(std::string(kListedFileNotDeletedCaption) == "Datei konnte nicht gel\xF6scht werden.");
    CHECK(std::string(kUserFilesCaption) == "Anwenderdateien l\xF6schen");
    CHECK(std::string(kPurgeCaption) == "L\xF6schvorgang best\xE4tigen");
    CHECK(std::string(kUninstalledCaption) == "Deinstallation erfolgreich");
    CHECK(std::string(kUninstallIncompleteCaption) == "Deinstallation unvollst\xE4ndig");
}

TEST_CASE("the questions name the file, the pattern and the program folder") {
    ScratchBuffer text;
    ComposeSystemFileQuestion("C:\\WINDOWS\\Kartei.ini", text);
    CHECK(std::string(text.CStr()) ==
          "C:\\WINDOWS\\Kartei.ini\r\rACHTUNG: Datei eines Systemordners!\r"
          "Dieser L\xF6schvorgang k\xF6nnte u.U. Folgen f\xFCr andere Anwendungen haben.\r\r"
          "Datei dennoch l\xF6schen?");
    ComposeUserFilesQuestion("D:\\Programme\\Kartei\\Texte\\*.txt", text);
    CHECK(std::string(text.CStr()) ==
          "D:\\Programme\\Kartei\\Texte\\*.txt\r\rSollen diese Dateien auch gel\xF6scht werden?\r\r"
          "(Achtung: Haben Sie Dateien dieses Typs geschrieben?!)");
    ComposePurgeQuestion("C:\\Program Files\\Kartei", "Kartei", text);
    CHECK(std::string(text.CStr()) ==
          "Alle Dateien im Programmordner \r\n\r\nC:\\Program Files\\Kartei\r\n\r\nrestlos l\xF6schen?\r\n\r\n\r\n"
          "(Antworten sie NEIN, wenn Sie mit\r\n\"Kartei\" Dateien erstellt haben)");
    ComposeListedFileNotDeletedText("C:\\Program Files\\Kartei\\Kartei.exe", text);
    CHECK(std::string(text.CStr()) == "C:\\Program Files\\Kartei\\Kartei.exe\r\rL\xF6schen Sie die Datei ggf. von Hand.");
}

TEST_CASE("the three closing messages") {
    struct Row { bool purged; bool isNT; const char* text; };
    const Row rows[] = {
        {true, true,
         "Kartei\rwurde vollst\xE4ndig vom Computer entfernt.\r\r"
         "(In der folgenden Konsole wird noch das Deinstallationsprogramm enfernt.)"},
        {true, false, "Kartei\rwurde vollst\xE4ndig vom Computer entfernt."},
        {false, true, "Kartei\rwurde vom Computer entfernt.\r\r(M\xF6glicherweise von Ihnen erstellte\rDateien wurden nicht gel\xF6scht)"},
        {false, false, "Kartei\rwurde vom Computer entfernt.\r\r(M\xF6glicherweise von Ihnen erstellte\rDateien wurden nicht gel\xF6scht)"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.purged);
        CAPTURE(row.isNT);
        ScratchBuffer text;
        ComposeUninstalledText("Kartei", row.purged, row.isNT, text);
        CHECK(std::string(text.CStr()) == row.text);
    }
}

TEST_CASE("the closing message of an uninstaller that cannot remove itself names the two files left") {
    ScratchBuffer text;
    ComposeUninstallerLeftText("Kartei", "C:\\Program Files\\Kartei\\Uninst.exe",
                               "C:\\Program Files\\Kartei\\Setup.lst", text);
    CHECK(std::string(text.CStr()) ==
          "Kartei\rwurde vom Computer entfernt.\r\r"
          "Das Deinstallationsprogramm konnte sich aber nicht selbst entfernen.\r"
          "Bitte l\xF6schen Sie diese Dateien von Hand:\r\r"
          "C:\\Program Files\\Kartei\\Uninst.exe\rC:\\Program Files\\Kartei\\Setup.lst");
}

TEST_CASE("the longest values still fit the texts whole") {
    std::string path(259, 'p');
    std::string name(79, 'n');
    ScratchBuffer text;
    ComposeSystemFileQuestion(path.c_str(), text);
    CHECK(text.Fits());
    ComposePurgeQuestion(std::string(127, 'f').c_str(), name.c_str(), text);
    CHECK(text.Fits());
    CHECK(std::string(text.CStr()).find("\"" + name + "\" Dateien erstellt haben)") != std::string::npos);
    ComposeUninstalledText(name.c_str(), true, true, text);
    CHECK(text.Fits());
    ComposeUninstallerLeftText(name.c_str(), path.c_str(), path.c_str(), text);
    CHECK(text.Fits());
    CHECK(std::string(text.CStr()).find("\r" + path + "\r" + path) != std::string::npos);
}
