// Writing the self-removal script into the Windows folder and handing it to the command
// interpreter, the last thing an uninstaller does before it ends.
#include "app/self_removal.h"

#include <windows.h>

#include "support/text_helpers.h"
#include "support/win_support.h"
#include "list/install_context.h"
#include "app/self_removal_script.h"

namespace {

// A batch file is read in the OEM code page, so the sub-folder names are converted.
const char* AltFolderInOem(int index) {
    static LongText converted;
    converted = ToOemText(g_ctx.InstallList[index].AltFolder.CStr());
    return converted.CStr();
}

// A script that could not be written completely is removed again: a stale or partial one must
// never run.
bool WriteScriptFile(const char* path, const SelfRemovalScriptText& script) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    DWORD length = static_cast<DWORD>(script.Length());
    bool ok = WriteFile(file, script.CStr(), length, &written, nullptr) && written == length;
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileA(path);
    return ok;
}

// The interpreter starts in the Windows folder, where the script lies: the console it gets keeps
// its starting folder open for its whole life, so that must not be the program folder. It gets a
// console of its own, shown on NT-family systems only.
bool StartScriptInterpreter() {
    // Without a usable COMSPEC the System folder's cmd.exe runs the script, rather than nothing.
    ScratchBuffer comSpec;
    DWORD n = GetEnvironmentVariableA("COMSPEC", comSpec.RawData(), comSpec.RawSize());
    if (n == 0 || n >= comSpec.RawSize()) comSpec.Clear();
    else comSpec.Adopt();
    if (!ComposeScriptCommand(comSpec.CStr(), g_ctx.SystemDir.CStr(), g_ctx.ScratchText)) return false;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = g_ctx.IsNT ? SW_SHOWNORMAL : SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, g_ctx.ScratchText.RawData(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        g_ctx.WindowsDir.CStr(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool WriteSelfRemovalScriptFor(const char* programFolder) {
    SelfRemovalScriptInput input;
    input.AnswerLetter = AnswerLetterForLanguage(GetUserDefaultLangID());
    input.IsNT = g_ctx.IsNT;
    input.PurgeProgramFolder = g_ctx.PurgeProgramFolder;
    input.AppName = g_ctx.AppName.CStr();
    input.AltFolder = AltFolderInOem;

    if (g_ctx.WindowsDir.IsEmpty()) return false;
    WorkPath scriptPath = JoinPath(g_ctx.WindowsDir.CStr(), kSelfRemovalScriptName);
    LongText folder = ToOemText(programFolder);
    if (!scriptPath.Fits() || !folder.Fits()) return false;
    input.ScriptPath = scriptPath.CStr();
    input.ProgramFolder = folder.CStr();

    static SelfRemovalScriptText script;
    if (!ComposeSelfRemovalScript(input, script)) return false;
    if (!WriteScriptFile(scriptPath.CStr(), script)) return false;
    return StartScriptInterpreter();
}

void WriteSelfRemovalScript() {
    WriteSelfRemovalScriptFor(PathFolderPart(ModulePath().CStr()).CStr());
}
