// The texts of the intro, confirmation and syntax help dialogs.
#include "ui/dialog_texts.h"

const char kAboutText[] =
    "Quorvane Version 3.7.0.0\r\n"
    "Freeware: darf frei weitergegeben werden.\r\n"
    "\r\n"
    "Quorvane-Projekt\r\n"
    "Installation und Deinstallation\r\n"
    "für Windows-Anwendungen\r\n"
    "Kontakt: siehe Projektseite";

FieldText AboutTextLine(int line, size_t maxChars) {
    FieldText result;
    const char* p = kAboutText;
    for (int current = 1; current < line && *p != 0; ++p)
        if (*p == '\n') ++current;
    size_t n = 0;
    while (p[n] != 0 && p[n] != '\r' && p[n] != '\n') ++n;
    result.Assign(p, n < maxChars ? n : maxChars);
    return result;
}

bool ComposeIntroCaption(const char* appName, ScratchBuffer& out) {
    out.Assign(appName);
    out.Append("  (Installation)");
    return out.Fits();
}

bool ComposeIntroText(const char* intro1, const char* intro2, const char* intro3, ScratchBuffer& out) {
    out.Assign("\r\n");
    out.Append(intro1);
    out.Append("\r\n\r\n");
    out.Append(intro2);
    out.Append("\r\n\r\n");
    out.Append(intro3);
    return out.Fits();
}

bool ComposeMainText(const char* appName, const char* targetDir, ScratchBuffer& out) {
    out.Assign("Anwendung:\t");
    out.Append(appName);
    out.Append("\r\n");
    out.Append("Zielordner:\t");
    out.Append(targetDir);
    out.Append("\r\n\r\n");
    out.Append("Beenden Sie alle aktiven Programme, welche zu \"");
    out.Append(appName);
    out.Append("\" gehören. Das Setup überschreibt bestehende gleichnamige Dateien. ");
    out.Append("Die Dateien werden in den Programmordner kopiert und können jederzeit wieder vollständig "
               "entfernt werden: Systemsteuerung/Software/Entfernen...\r\n\r\n");
    out.Append(kAboutText);
    return out.Fits();
}

const char kSyntaxCaption[] = "Quorvane - SETUP.LST nicht gefunden";

namespace {

const char kDividerLine[] = "÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷";

}  // namespace

const char* const kSyntaxHelpLines[kSyntaxHelpLineCount] = {
    "Beispiel für SETUP.LST:",
    kDividerLine,
    "[General]",
    "AppName=Meine Anwendung",
    "Version=Version 1.0ß",
    "Copyright=© 2010 Meine Firma",
    "Folder=Alte Programme\t{ fakultativ, sonst AppName }",
    "RegFile=RegisterMe.reg\t{ fakultativ }",
    "RunOnce=Write311.exe\t{ fakultativ }",
    "AllUsers=1|0\t\t{ fakultativ, sonst 1 }",
    "CopyOnly=0|1\t\t{ fakultativ, sonst 0 }",
    "Intro1=1. Zeile\t\t{ fakultativ für Startdialog }",
    "Intro2=2. Zeile",
    "Intro3=3. Zeile",
    "",
    "[Files]",
    "1=Write311.exe",
    "2=Calendar.exe",
    "3=Cardfile.exe",
    "4=Muster.wri",
    "",
    "[AltFolder]\t\t{ Alt. Ordner für [Files] }",
    "1=w\t\t{ C:\\Windows }",
    "2=w\\ShellNew\t{ C:\\Windows\\ShellNew }",
    "3=s\t\t{ C:\\Windows\\System }",
    "4=s\\Viewers\t{ C:\\Windows\\System\\Viewers }",
    "5=f\t\t{ C:\\Windows\\Fonts }",
    "6=\\Data\t\t{ C:\\Programme\\Folder\\Data }",
    "",
    "[Links]\t{ erstellt Links zu [Files] }",
    "1=Write",
    "2=Kalender",
    "3=Kartei",
    "",
    "[DesktopLinks]\t{ erstellt Desktop-Links zu [Files] }",
    "1=Write (Textverarbeitung)",
    "2=Kalender",
    "3=Kartei",
    "",
    "[Extensions]\t{ registriert Dateien zu [Files] }",
    "1=WRI,TXT,DOK\t{ Großbuchstaben => Kurze Dateinamen }",
    "3=crd",
    "",
    "[WildCopy]\t{ kopiert beliebig mit Wildcards }",
    "1=*.dll\t\t{ ab hier unbhängig von [Files]! }",
    "2=*.txt",
    "3=*.hlp",
    "",
    "[WildSubFolder]\t{ optionale Unterordner für WildCopy }",
    "2=TexteKartei\t\t{ C:\\Programme\\Folder\\Kartei }",
    "",
    kDividerLine,
    "Hinweise:",
    "",
    "Aus \"Folder\" wird der Zielordner:",
    "·C:\\Programme\\Meine Anwendung\\..",
    "",
    "Bei fehlender Variable \"Folder\" wird aus \"AppName\"",
    "sowohl der Programmordner als auch der Eintrag in",
    "der Registry erstellt:",
    "",
    "·C:\\Programme\\Meine Anwendung\\..",
    "·HKLM\\SOFTWARE\\ ... \\Uninstall\\Meine Anwendung",
    "",
    "Setup erlaubt bis zu 128 Einträge/Sektion.",
    "Dateinamen und Beschreibungen sollten hier nicht länger als 80 Zeichen sein.",
    "",
    "TIPP: Mit 7-Zip/WinZip eine SFX erstellen, welche Setup.exe startet.",
};

bool ComposeSyntaxHelpText(ScratchBuffer& out) {
    out.Assign(kAboutText);
    out.Append("\r\n\r\n");
    for (int i = 0; i < kSyntaxHelpLineCount; ++i) {
        if (i > 0) out.Append("\r\n");
        out.Append(kSyntaxHelpLines[i]);
    }
    return out.Fits();
}

const char* const kEditorChain[kEditorCount] = {"metapad.exe", "Fenwo.exe", "Notepad.exe"};
const char kListEditor[] = "Talmer.exe";
