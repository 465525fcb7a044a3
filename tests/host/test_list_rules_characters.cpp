// Values that name folders may not hold characters Windows refuses in names, above all no
// wildcards: the runs create, empty and remove those folders.
#include <doctest.h>

#include <string>

#include "app/list_rules.h"

namespace {

InstallContext& NamedContext() {
    static InstallContext context;
    context = InstallContext();
    context.AppName.Assign("Meine Anwendung");
    context.Folder.Assign("Meine Anwendung");
    context.TargetDir.Assign("C:\\Program Files\\Meine Anwendung");
    context.ProgramsDir.Assign("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    context.InstallList[0].Files.Assign("Setup.exe");
    context.InstallList[1].Files.Assign("*.txt");
    context.InstallList[1].WildCopy.Assign("Daten?.*");
    context.InstallList[1].Links.Assign("Mein Programm");
    return context;
}

std::string Refusal(const InstallContext& context) {
    ListProblem problem;
    CHECK_FALSE(CheckListValues(context, &problem));
    CHECK(problem.kind == ListProblemKind::BadCharacter);
    ScratchBuffer text;
    ComposeListProblemText(problem, false, text);
    return text.CStr();
}

}  // namespace

TEST_CASE("folder names: the characters Windows refuses and control characters") {
    for (const char* good : {"Meine Anwendung", "Texte\\Kartei", " Leerzeichen", "Gr\xFC\xDF" "e \xFF", "a.b-c_d (2)"}) {
        CAPTURE(good);
        CHECK(FolderNameProblem(good) == ListProblemKind::None);
    }
    for (const char* bad : {"Qv*", "Qv?", "a<b", "a>b", "a|b", "a\"b", "a\x01" "b", "a\tb", "\x1F"}) {
        CAPTURE(bad);
        CHECK(FolderNameProblem(bad) == ListProblemKind::BadCharacter);
    }
}

TEST_CASE("a wildcard in Folder, AppName, WildSubFolder or an AltFolder sub-folder is refused by name") {
    InstallContext& context = NamedContext();
    ListProblem problem;
    CHECK(CheckListValues(context, &problem));  // wildcards in Files and WildCopy are patterns

    context.Folder.Assign("Common*");
    CHECK(Refusal(context) ==
          "Dieser Eintrag in SETUP.LST ist nicht zul\xE4ssig:\r\r[General]\rFolder=Common*\r\r"
          "Die Zeichen < > \" | ? * und Steuerzeichen sind in Ordnernamen nicht erlaubt.\r\r"
          "Es wurde nichts installiert.");

    context = NamedContext();
    context.AppName.Assign("Qv|Test");
    CHECK(Refusal(context).find("[General]\rAppName=Qv|Test\r") != std::string::npos);

    context = NamedContext();
    context.InstallList[7].WildSubFolder.Assign("Da*");
    CHECK(Refusal(context).find("[WildSubFolder]\r7=Da*\r") != std::string::npos);

    context = NamedContext();
    context.InstallList[3].AltFolder.Assign("\\Da?ten");
    CHECK(Refusal(context).find("[AltFolder]\r3=\\Da?ten\r") != std::string::npos);
}

TEST_CASE("values that count as empty are not refused for their characters") {
    InstallContext& context = NamedContext();
    ListProblem problem;
    context.InstallList[2].WildSubFolder.Assign("\x01*");
    context.InstallList[3].AltFolder.Assign("\x02?");
    CHECK(CheckListValues(context, &problem));
    // an AppName that counts as empty names no group; the Folder given beside it is what counts
    context.AppName.Assign(" *");
    CHECK(CheckListValues(context, &problem));
    context.Folder.Assign("\x01Qv");
    CHECK_FALSE(CheckListValues(context, &problem));
    CHECK(problem.kind == ListProblemKind::BadCharacter);
}
