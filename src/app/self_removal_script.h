// The batch script that removes the uninstaller, its list copy and the program folder after the
// program has ended, and the command line that hands it to the command interpreter. Composed
// without Windows; the caller supplies every value, already in the code page the script needs.
#pragma once

#include "support/path_buffer.h"
#include "list/install_context.h"

// The script's file name; it lies in the Windows folder, where the interpreter is started.
extern const char kSelfRemovalScriptName[];

// While another uninstall's script still runs under that name, or anything else has taken it, the
// script goes under the next free one of a few more: attempt 1 is the name itself, attempt n
// (2 to kSelfRemovalScriptNames) "VarnekUninstall<n>.bat".
constexpr int kSelfRemovalScriptNames = 9;
using ScriptNameText = PathBuffer<32>;
ScriptNameText SelfRemovalScriptName(int attempt);

// The command interpreter's yes-answer in the user's language, chosen by the primary language
// (the low 10 bits of a language identifier): German J, French O, Spanish, Italian and
// Portuguese S, every other language Y.
char AnswerLetterForLanguage(unsigned languageId);

// Hands out the [AltFolder] value of list entry index (0 to 128), already in the OEM code page.
// The text only has to stay valid until the next call.
using AltFolderSource = const char* (*)(int index);

struct SelfRemovalScriptInput {
    bool IsNT = false;
    // The folder is removed (and, with the purge, emptied first) only when the installation made
    // it: a folder that was there before holds files that are not the application's.
    bool RemoveProgramFolder = false;
    bool PurgeProgramFolder = false;
    char AnswerLetter = 'Y';
    const char* AppName = "";        // as stored (ANSI): it is only shown
    const char* ProgramFolder = "";  // the folder of the running program, in the OEM code page
    const char* ScriptPath = "";     // the script's own full path, in the OEM code page
    AltFolderSource AltFolder = nullptr;
};

// The longest values the script is sized for: the context's fields at their widths, and folders
// that fit a working path. Every "%" of them may have to be doubled.
constexpr size_t kScriptAppNameMax = kFieldWidth - 1;
constexpr size_t kScriptFolderMax = kPathWidth - 1;
constexpr size_t kScriptAltFolderMax = kEntryWidth - 1;

// Room for the whole script with every value at its longest and made only of "%": the fixed text
// of all lines (generously 2048 bytes), the name twice, the folder four times doubled (the drive
// line takes two more bytes), and 129 RD lines of seven fixed bytes and a doubled value without
// its backslash.
constexpr size_t kSelfRemovalScriptWidth = 2048 + 2 * kScriptAppNameMax + 4 * 2 * kScriptFolderMax + 2 +
                                           kListEntryCount * (7 + 2 * (kScriptAltFolderMax - 1)) + 1;
using SelfRemovalScriptText = PathBuffer<kSelfRemovalScriptWidth>;

// Composes the whole script, CR LF after every line. False (and nothing usable in script) when the
// program folder is empty, a folder contains a double quote, or the text does not fit: a cut
// script must never run. The "DEL *.*" line needs both the purge and the folder's removal.
bool ComposeSelfRemovalScript(const SelfRemovalScriptInput& input, SelfRemovalScriptText& script);

// "<interpreter> /D /V:OFF /c <scriptName>". The interpreter is comSpec, or cmd.exe in systemDir
// when comSpec is empty; it is quoted when it contains a blank. /D keeps an AutoRun command of the
// registry from running first, /V:OFF keeps a "!" in a folder name from being expanded. False
// when the command does not fit.
bool ComposeScriptCommand(const char* comSpec, const char* systemDir, const char* scriptName, ScratchBuffer& command);
