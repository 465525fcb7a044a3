// The texts of the intro, confirmation and syntax help dialogs.
#include "ui/dialog_texts.h"

#include "res/version.h"

const char kAboutText[] =
    "Quorvane Version " QV_VERSION "\r\n"
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

// One text, its lines joined as the box shows them: a table of pointers to the lines would
// cost the program file a pointer and a relocation for each of them.
const char kSyntaxHelpList[] =
    "Beispiel für SETUP.LST:\r\n"
    "÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷\r\n"
    "[General]\r\n"
    "AppName=Meine Anwendung\r\n"
    "Version=Version 1.0ß\r\n"
    "Copyright=© 2010 Meine Firma\r\n"
    "Folder=Alte Programme\t{ fakultativ, sonst AppName }\r\n"
    "RegFile=RegisterMe.reg\t{ fakultativ }\r\n"
    "RunOnce=Write311.exe\t{ fakultativ }\r\n"
    "AllUsers=1|0\t\t{ fakultativ, sonst 1 }\r\n"
    "CopyOnly=0|1\t\t{ fakultativ, sonst 0 }\r\n"
    "Intro1=1. Zeile\t\t{ fakultativ für Startdialog }\r\n"
    "Intro2=2. Zeile\r\n"
    "Intro3=3. Zeile\r\n"
    "\r\n"
    "[Files]\r\n"
    "1=Write311.exe\r\n"
    "2=Calendar.exe\r\n"
    "3=Cardfile.exe\r\n"
    "4=Muster.wri\r\n"
    "\r\n"
    "[AltFolder]\t\t{ Alt. Ordner für [Files] }\r\n"
    "1=w\t\t{ C:\\Windows }\r\n"
    "2=w\\ShellNew\t{ C:\\Windows\\ShellNew }\r\n"
    "3=s\t\t{ C:\\Windows\\System }\r\n"
    "4=s\\Viewers\t{ C:\\Windows\\System\\Viewers }\r\n"
    "5=f\t\t{ C:\\Windows\\Fonts }\r\n"
    "6=\\Data\t\t{ C:\\Programme\\Folder\\Data }\r\n"
    "\r\n"
    "[Links]\t{ erstellt Links zu [Files] }\r\n"
    "1=Write\r\n"
    "2=Kalender\r\n"
    "3=Kartei\r\n"
    "\r\n"
    "[DesktopLinks]\t{ erstellt Desktop-Links zu [Files] }\r\n"
    "1=Write (Textverarbeitung)\r\n"
    "2=Kalender\r\n"
    "3=Kartei\r\n"
    "\r\n"
    "[Extensions]\t{ registriert Dateien zu [Files] }\r\n"
    "1=WRI,TXT,DOK\t{ Großbuchstaben => Kurze Dateinamen }\r\n"
    "3=crd\r\n"
    "\r\n"
    "[WildCopy]\t{ kopiert beliebig mit Wildcards }\r\n"
    "1=*.dll\t\t{ ab hier unbhängig von [Files]! }\r\n"
    "2=*.txt\r\n"
    "3=*.hlp\r\n"
    "\r\n"
    "[WildSubFolder]\t{ optionale Unterordner für WildCopy }\r\n"
    "2=TexteKartei\t\t{ C:\\Programme\\Folder\\Kartei }\r\n"
    "\r\n"
    "÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷÷\r\n"
    "Hinweise:\r\n"
    "\r\n"
    "Aus \"Folder\" wird der Zielordner:\r\n"
    "·C:\\Programme\\Meine Anwendung\\..\r\n"
    "\r\n"
    "Bei fehlender Variable \"Folder\" wird aus \"AppName\"\r\n"
    "sowohl der Programmordner als auch der Eintrag in\r\n"
    "der Registry erstellt:\r\n"
    "\r\n"
    "·C:\\Programme\\Meine Anwendung\\..\r\n"
    "·HKLM\\SOFTWARE\\ ... \\Uninstall\\Meine Anwendung\r\n"
    "\r\n"
    "Setup erlaubt bis zu 128 Einträge/Sektion.\r\n"
    "Dateinamen und Beschreibungen sollten hier nicht länger als 80 Zeichen sein.\r\n"
    "\r\n"
    "TIPP: Mit 7-Zip/WinZip eine SFX erstellen, welche Setup.exe startet.";

bool ComposeSyntaxHelpText(ScratchBuffer& out) {
    out.Assign(kAboutText);
    out.Append("\r\n\r\n");
    out.Append(kSyntaxHelpList);
    return out.Fits();
}

const char kEditorChain[kEditorCount][12] = {"metapad.exe", "Fenwo.exe", "Notepad.exe"};
const char kListEditor[] = "Talmer.exe";
