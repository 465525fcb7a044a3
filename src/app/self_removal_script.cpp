// The self-removal batch script and the command line that starts it.
//
// The script runs in an interpreter that is started in the Windows folder, not in the program
// folder: a console host keeps the folder it was started in open for its whole life (Wine's does),
// and the program folder could then never be removed. Two additions to the script follow from
// that, and one from the uninstaller ending only just before the script runs:
// - Before "CD" into the program folder, a line with the folder's drive ("D:"), because "CD"
//   does not switch drives and the program folder may lie on another drive than Windows.
// - Around the deletion of Uninst.exe, a retry loop: the uninstaller may still be ending while
//   the script runs, and a running program cannot be deleted. The script tries again after a
//   one-second wait (ping, present on every system the script runs on), at most five times:
//       SET VarnekWarten=
//       :Loeschen
//       DEL "Uninst.exe"
//       if not exist "Uninst.exe" goto Weiter
//       if "%VarnekWarten%"=="xxxxx" goto Weiter
//       ping -n 2 127.0.0.1 >NUL
//       SET VarnekWarten=%VarnekWarten%x
//       GOTO Loeschen
//       :Weiter
//   The counter is a growing text because the interpreters of the older systems know no
//   arithmetic; it is emptied first so that an inherited value cannot make the loop endless.
// Every name and folder goes into the script with its "%" doubled, so that the interpreter does
// not read it as a variable; the shown name also loses its double quotes.
#include "app/self_removal_script.h"

#include "support/text_helpers.h"

const char kSelfRemovalScriptName[] = "VarnekUninstall.bat";

namespace {

// Bytes of the console's OEM code page: single and double horizontal line, "ö" and "ß".
constexpr char kLineThenDouble[] = "\xC4\xCD";
constexpr char kDoubleThenLine[] = "\xCD\xC4";
constexpr char kClosingLine[] = "@ECHO Sie k\x94nnen jetzt dieses Fenster schlie\xE1" "en.";

constexpr int kMaxUninstallerWaits = 5;

bool HasChar(const char* text, char c) {
    for (; *text != 0; ++text)
        if (*text == c) return true;
    return false;
}

// A text of the script: "%" doubled, double quotes left out when asked to.
void AppendBatchText(SelfRemovalScriptText& script, const char* text, bool dropQuotes) {
    for (; *text != 0; ++text) {
        if (*text == '"' && dropQuotes) continue;
        if (*text == '%') script.AppendChar('%');
        script.AppendChar(*text);
    }
}

void EndLine(SelfRemovalScriptText& script) {
    script.Append("\r\n");
}

void AppendLine(SelfRemovalScriptText& script, const char* line) {
    script.Append(line);
    EndLine(script);
}

// "<before>" + Q + folder + Q + "<after>"
void AppendQuotedLine(SelfRemovalScriptText& script, const char* before, const char* folder, const char* after) {
    script.Append(before);
    script.AppendChar('"');
    AppendBatchText(script, folder, false);
    script.Append(after);
    EndLine(script);
}

bool StartsWithDrive(const char* folder) {
    char c = folder[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && folder[1] == ':';
}

// "<before>" + Q + name + Q + "<after>", for the program's own file names.
void AppendNameLine(SelfRemovalScriptText& script, const char* before, const char* name, const char* after) {
    script.Append(before);
    script.AppendChar('"');
    script.Append(name);
    script.AppendChar('"');
    script.Append(after);
    EndLine(script);
}

void AppendUninstallerDeletion(SelfRemovalScriptText& script) {
    AppendLine(script, "SET VarnekWarten=");
    AppendLine(script, ":Loeschen");
    AppendNameLine(script, "DEL ", kUninstallerFileName, "");
    AppendNameLine(script, "if not exist ", kUninstallerFileName, " goto Weiter");
    script.Append("if \"%VarnekWarten%\"==\"");
    for (int i = 0; i < kMaxUninstallerWaits; ++i) script.AppendChar('x');
    AppendLine(script, "\" goto Weiter");
    AppendLine(script, "ping -n 2 127.0.0.1 >NUL");
    AppendLine(script, "SET VarnekWarten=%VarnekWarten%x");
    AppendLine(script, "GOTO Loeschen");
    AppendLine(script, ":Weiter");
}

// One RD line for every [AltFolder] value that names a sub-folder of the program folder. A value
// with a double quote cannot name a folder and would break the line, so it gets none.
void AppendSubFolderRemovals(const SelfRemovalScriptInput& input, SelfRemovalScriptText& script) {
    if (input.AltFolder == nullptr) return;
    for (int i = 0; i < kListEntryCount; ++i) {
        const char* value = input.AltFolder(i);
        if (value == nullptr || value[0] != '\\' || HasChar(value, '"')) continue;
        AppendQuotedLine(script, "RD ", value + 1, "\"");
    }
}

}  // namespace

char AnswerLetterForLanguage(unsigned languageId) {
    switch (languageId & 0x3FF) {
        case 7: return 'J';   // German
        case 10: return 'S';  // Spanish
        case 12: return 'O';  // French
        case 16: return 'S';  // Italian
        case 22: return 'S';  // Portuguese
        default: return 'Y';
    }
}

bool ComposeSelfRemovalScript(const SelfRemovalScriptInput& input, SelfRemovalScriptText& script) {
    script.Clear();
    const char* folder = input.ProgramFolder != nullptr ? input.ProgramFolder : "";
    const char* scriptPath = input.ScriptPath != nullptr ? input.ScriptPath : "";
    const char* appName = input.AppName != nullptr ? input.AppName : "";
    // Without its folder the script would work in whatever folder the interpreter is in.
    if (folder[0] == 0 || HasChar(folder, '"') || HasChar(scriptPath, '"')) return false;
    const char answer[2] = {input.AnswerLetter, 0};

    script.Append("@ECHO ");
    script.Append(kLineThenDouble);
    script.Append(" DEINSTALLATION von \"");
    AppendBatchText(script, appName, true);
    script.Append("\" ");
    AppendLine(script, kDoubleThenLine);

    if (input.IsNT) {
        AppendLine(script, "@rem pause");
    } else {
        script.Append("@choice /t");
        script.Append(answer);
        AppendLine(script, ",5");
    }

    if (StartsWithDrive(folder)) {
        script.Append(folder, 2);
        EndLine(script);
    }
    AppendQuotedLine(script, "CD ", folder, "\"");
    AppendQuotedLine(script, "if not exist ", folder, input.IsNT ? "\\.\" goto Fehler" : "\\NUL\" goto Fehler");
    AppendNameLine(script, "if not exist ", kUninstallerFileName, " goto Fehler");
    AppendNameLine(script, "if not exist ", kListFileName, " goto Fehler");
    AppendNameLine(script, "ATTRIB -R -H -S ", kUninstallerFileName, "");
    AppendUninstallerDeletion(script);
    AppendNameLine(script, "DEL ", kListFileName, "");
    // An installation made by an earlier release has no record.
    script.Append("if exist \"");
    script.Append(kRecordFileName);
    AppendNameLine(script, "\" DEL ", kRecordFileName, "");
    AppendSubFolderRemovals(input, script);
    if (input.PurgeProgramFolder && input.RemoveProgramFolder) {
        script.Append("ECHO ");
        script.Append(answer);
        AppendLine(script, " | DEL *.*");
    }
    AppendLine(script, "CD ..");
    if (input.RemoveProgramFolder) AppendQuotedLine(script, "RD ", folder, "\"");
    AppendLine(script, "GOTO Fertig");
    AppendLine(script, ":Fehler");
    AppendLine(script, "@ECHO Deinstallation fehlgeschlagen!");
    if (input.IsNT) AppendLine(script, "@PAUSE");
    AppendLine(script, ":Fertig");
    AppendLine(script, kClosingLine);
    AppendQuotedLine(script, "@DEL ", scriptPath, "\"");
    return script.Fits();
}

ScriptNameText SelfRemovalScriptName(int attempt) {
    ScriptNameText name;
    if (attempt <= 1) {
        name.Assign(kSelfRemovalScriptName);
        return name;
    }
    name.Assign("VarnekUninstall");
    name.Append(DecimalText(static_cast<unsigned>(attempt), false));
    name.Append(".bat");
    return name;
}

bool ComposeScriptCommand(const char* comSpec, const char* systemDir, const char* scriptName, ScratchBuffer& command) {
    ScratchBuffer interpreter;
    if (comSpec != nullptr && comSpec[0] != 0) {
        interpreter.Assign(comSpec);
    } else {
        interpreter.Assign(systemDir);
        if (interpreter.Length() > 0 && interpreter.Last() != '\\') interpreter.AppendChar('\\');
        interpreter.Append("cmd.exe");
    }
    bool quote = HasChar(interpreter.CStr(), ' ') && !HasChar(interpreter.CStr(), '"');
    command.Clear();
    if (quote) command.AppendChar('"');
    command.Append(interpreter);
    if (quote) command.AppendChar('"');
    command.Append(" /D /V:OFF /c ");
    command.Append(scriptName);
    return interpreter.Fits() && command.Fits();
}
