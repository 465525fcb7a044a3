// Writing the self-removal script into the Windows folder and handing it to the command
// interpreter, the last thing an uninstaller does before it ends.
#include "app/self_removal.h"

#include <windows.h>

#include "support/text_helpers.h"
#include "support/win_support.h"
#include "list/install_context.h"
#include "app/self_removal_script.h"

namespace {

// The running program's folder while its script is composed (ANSI, as stored), and the short
// form of it, for the sub-folders' short names.
const char* g_scriptFolder = nullptr;
LongText g_scriptFolderShort;

// The short (8.3) form of an existing path; empty when the path does not exist or the form does
// not fit.
LongText ShortPathOf(const char* path) {
    LongText shortPath;
    DWORD n = GetShortPathNameA(path, shortPath.RawData(), shortPath.RawSize());
    if (n == 0 || n >= shortPath.RawSize()) shortPath.Clear();
    else shortPath.Adopt();
    return shortPath;
}

// A folder as the script may name it: in the OEM code page when that names this very folder,
// otherwise by its short name if the volume has one that does. False when neither does: the
// script would then work in another folder than this one.
bool ScriptFolderText(const char* folder, LongText& oem) {
    if (ToOemTextExact(folder, oem)) return true;
    LongText shortPath = ShortPathOf(folder);
    return !shortPath.IsEmpty() && ToOemTextExact(shortPath.CStr(), oem);
}

// A batch file is read in the OEM code page, so the sub-folder names are converted. A name that
// does not survive the conversion is named by its short form below the program folder's; without
// one the sub-folder gets no RD line (an RD of a folder that still holds files fails anyway).
const char* AltFolderInOem(int index) {
    static LongText converted;
    const char* value = g_ctx.InstallList[index].AltFolder.CStr();
    if (value[0] != '\\') return "";
    if (ToOemTextExact(value, converted)) return converted.CStr();
    if (g_scriptFolderShort.IsEmpty()) return "";
    LongText shortPath = ShortPathOf(JoinPath(g_scriptFolder, value + 1).CStr());
    size_t folderLength = g_scriptFolderShort.Length();
    LongText head;
    head.Assign(shortPath.CStr(), folderLength);
    if (shortPath.Length() <= folderLength + 1 || shortPath.At(folderLength) != '\\' ||
        !EqualsNoCase(head.CStr(), g_scriptFolderShort.CStr()))
        return "";
    if (!ToOemTextExact(shortPath.CStr() + folderLength, converted)) return "";
    return converted.CStr();
}

// Writes the script under a name no other file has: a script that another uninstall's interpreter
// still reads must not be overwritten under it, not even one that it reads a line at a time. A
// script that could not be written completely is removed again: a partial one must never run.
bool WriteScriptFile(const char* path, const SelfRemovalScriptText& script) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    DWORD length = static_cast<DWORD>(script.Length());
    bool ok = WriteFile(file, script.CStr(), length, &written, nullptr) && written == length;
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileA(path);
    return ok;
}

// Composes the script for the given script path and writes it there.
bool ComposeAndWrite(SelfRemovalScriptInput& input, const char* scriptPath, const char* scriptPathOem) {
    static SelfRemovalScriptText script;
    input.ScriptPath = scriptPathOem;
    return ComposeSelfRemovalScript(input, script) && WriteScriptFile(scriptPath, script);
}

// The script for the given program folder.
bool PrepareSelfRemovalScriptFor(const char* programFolder) {
    g_ctx.SelfRemovalScript.Clear();
    if (g_ctx.WindowsDir.IsEmpty() || programFolder == nullptr || programFolder[0] == 0) return false;
    LongText folder;
    LongText windowsDir;
    if (!ScriptFolderText(programFolder, folder) || !ScriptFolderText(g_ctx.WindowsDir.CStr(), windowsDir))
        return false;
    g_scriptFolder = programFolder;
    g_scriptFolderShort = ShortPathOf(programFolder);

    SelfRemovalScriptInput input;
    input.AnswerLetter = AnswerLetterForLanguage(GetUserDefaultLangID());
    input.IsNT = g_ctx.IsNT;
    input.RemoveProgramFolder = g_ctx.RemoveProgramFolder;
    input.PurgeProgramFolder = g_ctx.PurgeProgramFolder;
    input.AppName = g_ctx.AppName.CStr();
    input.AltFolder = AltFolderInOem;
    input.ProgramFolder = folder.CStr();

    for (int attempt = 1; attempt <= kSelfRemovalScriptNames; ++attempt) {
        ScriptNameText name = SelfRemovalScriptName(attempt);
        WorkPath scriptPath = JoinPath(g_ctx.WindowsDir.CStr(), name.CStr());
        WorkPath scriptPathOem = JoinPath(windowsDir.CStr(), name.CStr());
        if (!scriptPath.Fits() || !scriptPathOem.Fits()) return false;
        if (ComposeAndWrite(input, scriptPath.CStr(), scriptPathOem.CStr())) {
            g_ctx.SelfRemovalScript.Assign(scriptPath);
            return true;
        }
    }
    return false;
}

}  // namespace

bool PrepareSelfRemovalScript() {
    return PrepareSelfRemovalScriptFor(PathFolderPart(ModulePath().CStr()).CStr());
}

// The interpreter starts in the Windows folder, where the script lies: the console it gets keeps
// its starting folder open for its whole life, so that must not be the program folder. It gets a
// console of its own, shown on NT-family systems only. A script that cannot be started is removed:
// it would never run, and its name would stay taken.
bool StartSelfRemovalScript() {
    if (g_ctx.SelfRemovalScript.IsEmpty()) return false;
    // Without a usable COMSPEC the System folder's cmd.exe runs the script, rather than nothing.
    ScratchBuffer comSpec;
    DWORD n = GetEnvironmentVariableA("COMSPEC", comSpec.RawData(), comSpec.RawSize());
    if (n == 0 || n >= comSpec.RawSize()) comSpec.Clear();
    else comSpec.Adopt();
    LongText scriptName = PathFilePart(g_ctx.SelfRemovalScript.CStr());
    bool started = false;
    if (ComposeScriptCommand(comSpec.CStr(), g_ctx.SystemDir.CStr(), scriptName.CStr(), g_ctx.ScratchText)) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = g_ctx.IsNT ? SW_SHOWNORMAL : SW_HIDE;
        PROCESS_INFORMATION process = {};
        started = CreateProcessA(nullptr, g_ctx.ScratchText.RawData(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                                 nullptr, g_ctx.WindowsDir.CStr(), &startup, &process) != 0;
        if (started) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    if (!started) DeleteFileA(g_ctx.SelfRemovalScript.CStr());
    g_ctx.SelfRemovalScript.Clear();
    return started;
}
