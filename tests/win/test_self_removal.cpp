// The self-removal script run for real: written into the prefix's Windows folder, started in the
// command interpreter, and watched until it has deleted itself. The program folders are stand-ins
// built as the install and uninstall runs leave them.
#include <doctest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "list/install_context.h"
#include "app/self_removal.h"
#include "app/self_removal_script.h"
#include "support/text_helpers.h"
#include "support/win_support.h"
#include "win_test_support.h"

namespace {

constexpr DWORD kScriptTimeoutMs = 30000;

std::string WindowsFolder() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string ScriptPath() {
    return WindowsFolder() + "\\VarnekUninstall.bat";
}

// The script's further names beside the fixed one: VarnekUninstall2.bat to VarnekUninstall9.bat.
std::string NumberedScriptPath(int number) {
    return WindowsFolder() + "\\VarnekUninstall" + std::to_string(number) + ".bat";
}

// Removes the script under every name it may have, files and test folders alike.
void RemoveScripts() {
    DeleteFileA(ScriptPath().c_str());
    RemoveTree(ScriptPath());
    for (int number = 2; number <= 9; ++number) {
        DeleteFileA(NumberedScriptPath(number).c_str());
        RemoveTree(NumberedScriptPath(number));
    }
}

// The context fields the writer reads, as an uninstall run leaves them for a program folder the
// installation made; put back afterwards.
struct UninstallContext {
    explicit UninstallContext(bool purge) {
        g_ctx.WindowsDir.Assign(WindowsFolder().c_str());
        g_ctx.SystemDir.Assign(SystemFolder().c_str());
        g_ctx.AppName.Assign("Kartei");
        g_ctx.IsNT = true;
        g_ctx.RemoveProgramFolder = true;
        g_ctx.PurgeProgramFolder = purge;
        g_ctx.InstallList[2].AltFolder.Assign("\\Data\\Sub");
        g_ctx.InstallList[3].AltFolder.Assign("\\Data");
        g_ctx.InstallList[4].AltFolder.Assign("W\\ShellNew");
        RemoveScripts();
    }
    ~UninstallContext() {
        g_ctx.WindowsDir.Clear();
        g_ctx.SystemDir.Clear();
        g_ctx.AppName.Clear();
        g_ctx.IsNT = false;
        g_ctx.RemoveProgramFolder = false;
        g_ctx.PurgeProgramFolder = false;
        g_ctx.SelfRemovalScript.Clear();
        for (ListEntry& entry : g_ctx.InstallList) entry.AltFolder.Clear();
        RemoveScripts();
    }
};

// Keeps COMSPEC of this process as it was.
struct SavedComSpec {
    SavedComSpec() {
        char value[MAX_PATH] = "";
        DWORD n = GetEnvironmentVariableA("COMSPEC", value, MAX_PATH);
        exists = n > 0 && n < MAX_PATH;
        text = value;
    }
    ~SavedComSpec() { SetEnvironmentVariableA("COMSPEC", exists ? text.c_str() : nullptr); }
    bool exists = false;
    std::string text;
};

// A program folder as the uninstall run hands it over: the uninstaller, the list copy (made
// read-only, hidden and system by the install run, cleared again by the uninstall run), the
// sub-folders of [AltFolder] \Data\Sub and \Data, and a program file and a user's file.
std::string BuildProgramFolder(const std::string& parent) {
    CreateDirectoryA(parent.c_str(), nullptr);
    std::string folder = parent + "\\Prog";
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\Uninst.exe", "MZ stand-in");
    std::string list = folder + "\\Setup.lst";
    WriteFileBytes(list, "[General]\r\nAppName=Kartei\r\n");
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    CHECK((GetFileAttributesA(list.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_NORMAL);
    CreateDirectoryA((folder + "\\Data").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Data\\Sub").c_str(), nullptr);
    WriteFileBytes(folder + "\\Kartei.exe", "MZ program");
    WriteFileBytes(folder + "\\Notizen.txt", "written by the user");
    return folder;
}

// Interpreters this test started that are still running; a script stuck in its failure path
// waits for a key for ever.
void EndOwnInterpreters() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId() || _stricmp(entry.szExeFile, "cmd.exe") != 0) continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

// True when the script deleted itself in time, which it does as its very last step.
bool WaitForScriptEnd(DWORD* elapsedMs = nullptr, const std::string& script = ScriptPath()) {
    DWORD start = GetTickCount();
    while (PathExists(script)) {
        if (GetTickCount() - start > kScriptTimeoutMs) {
            EndOwnInterpreters();
            return false;
        }
        Sleep(50);
    }
    if (elapsedMs != nullptr) *elapsedMs = GetTickCount() - start;
    return true;
}

void CheckPurged(const std::string& folder) {
    CHECK_FALSE(PathExists(folder + "\\Uninst.exe"));
    CHECK_FALSE(PathExists(folder + "\\Setup.lst"));
    CHECK_FALSE(PathExists(folder + "\\Data"));
    CHECK_FALSE(PathExists(folder + "\\Kartei.exe"));
    CHECK_FALSE(PathExists(folder + "\\Notizen.txt"));
    CHECK_FALSE(PathExists(folder));
}

// A program that keeps its file in use for a while, started as Uninst.exe from the program
// folder (and in it, as the uninstaller is): a copy of ping, which counts seconds.
PROCESS_INFORMATION StartStandInUninstaller(const std::string& folder, int seconds) {
    std::string program = folder + "\\Uninst.exe";
    CopyFileA((SystemFolder() + "\\ping.exe").c_str(), program.c_str(), FALSE);
    std::string command = "\"" + program + "\" -n " + std::to_string(seconds + 1) + " 127.0.0.1";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    CHECK(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                         &startup, &process));
    return process;
}

}  // namespace

TEST_CASE("self-removal with purge: uninstaller, list, sub-folders, every file and the folder go") {
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(WaitForScriptEnd());
    CheckPurged(folder);
    CHECK(PathExists("C:\\qvtest\\selfremoval"));  // only the program folder itself is removed
}

TEST_CASE("self-removal without purge: the user's files and the folder stay") {
    UninstallContext context(false);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(WaitForScriptEnd());
    CHECK_FALSE(PathExists(folder + "\\Uninst.exe"));
    CHECK_FALSE(PathExists(folder + "\\Setup.lst"));
    CHECK_FALSE(PathExists(folder + "\\Data"));
    CHECK(ReadFileBytes(folder + "\\Notizen.txt") == "written by the user");
    CHECK(PathExists(folder + "\\Kartei.exe"));
    CHECK(PathExists(folder));
}

TEST_CASE("self-removal waits for an uninstaller that is still ending") {
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    PROCESS_INFORMATION uninstaller = StartStandInUninstaller(folder, 3);
    REQUIRE(uninstaller.hProcess != nullptr);
    Sleep(300);  // running, its file in use
    REQUIRE(WaitForSingleObject(uninstaller.hProcess, 0) == WAIT_TIMEOUT);
    CHECK_FALSE(DeleteFileA((folder + "\\Uninst.exe").c_str()));

    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    DWORD elapsed = 0;
    REQUIRE(WaitForScriptEnd(&elapsed));
    CHECK(WaitForSingleObject(uninstaller.hProcess, 0) == WAIT_OBJECT_0);  // ended before the script did
    CHECK(elapsed >= 1000);
    CheckPurged(folder);
    CloseHandle(uninstaller.hThread);
    CloseHandle(uninstaller.hProcess);
}

TEST_CASE("self-removal gives up on an uninstaller that does not end, after a few seconds") {
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    PROCESS_INFORMATION uninstaller = StartStandInUninstaller(folder, 25);
    REQUIRE(uninstaller.hProcess != nullptr);
    Sleep(300);

    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    DWORD elapsed = 0;
    bool ended = WaitForScriptEnd(&elapsed);
    bool stillRunning = WaitForSingleObject(uninstaller.hProcess, 0) == WAIT_TIMEOUT;
    TerminateProcess(uninstaller.hProcess, 1);
    WaitForSingleObject(uninstaller.hProcess, 5000);
    CloseHandle(uninstaller.hThread);
    CloseHandle(uninstaller.hProcess);

    REQUIRE(ended);
    CHECK(stillRunning);
    MESSAGE("the script ended after " << elapsed << " ms");
    CHECK(elapsed >= 4000);   // five one-second waits
    CHECK(elapsed < 20000);
    CHECK(PathExists(folder + "\\Uninst.exe"));
    CHECK(PathExists(folder));
    CHECK_FALSE(PathExists(folder + "\\Setup.lst"));
    CHECK_FALSE(PathExists(folder + "\\Notizen.txt"));
    RemoveTree(folder);
}

TEST_CASE("self-removal of a program folder on another drive than Windows") {
    UninstallContext context(true);
    std::string parent = TestProgramFolder() + "\\qvtest-selfremoval";
    if (UpperAscii(parent[0]) == UpperAscii(WindowsFolder()[0]))
        MESSAGE("the test program lies on the Windows drive: no drive change is exercised");
    std::string folder = BuildProgramFolder(parent);
    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(WaitForScriptEnd());
    CheckPurged(folder);
    RemoveTree(parent);
}

TEST_CASE("self-removal without COMSPEC: cmd.exe of the System folder runs the script") {
    SavedComSpec saved;
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    REQUIRE(SetEnvironmentVariableA("COMSPEC", nullptr));
    char probe[8];
    REQUIRE(GetEnvironmentVariableA("COMSPEC", probe, sizeof probe) == 0);
    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(WaitForScriptEnd());
    CheckPurged(folder);
}

TEST_CASE("self-removal with an interpreter path containing blanks") {
    SavedComSpec saved;
    UninstallContext context(true);
    std::string parent = FreshFolder("selfremoval");
    std::string shellFolder = parent + "\\Mit Leerzeichen";
    CreateDirectoryA(shellFolder.c_str(), nullptr);
    REQUIRE(CopyFileA((SystemFolder() + "\\cmd.exe").c_str(), (shellFolder + "\\cmd.exe").c_str(), FALSE));
    // Unquoted, the command line would start this program instead, which does not run scripts.
    REQUIRE(CopyFileA((SystemFolder() + "\\ping.exe").c_str(), (parent + "\\Mit.exe").c_str(), FALSE));
    REQUIRE(SetEnvironmentVariableA("COMSPEC", (shellFolder + "\\cmd.exe").c_str()));
    std::string folder = BuildProgramFolder(parent);
    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(WaitForScriptEnd());
    CheckPurged(folder);
}

TEST_CASE("the written script: folder in OEM bytes, the user's answer letter, sub-folder lines") {
    UninstallContext context(true);
    g_ctx.AppName.Assign("M\xE4rchen");
    g_ctx.InstallList[5].AltFolder.Assign("\\Sch\xE4tze");
    // Prepared, not started: the script stays in place to be read.
    REQUIRE(PrepareSelfRemovalScriptFor("C:\\Programme\\M\xE4rchen"));
    CHECK(std::string(g_ctx.SelfRemovalScript.CStr()) == ScriptPath());

    std::string script = ReadFileBytes(ScriptPath());
    DeleteFileA(ScriptPath().c_str());
    REQUIRE(script != "<missing>");
    std::string folder = ToOemText("C:\\Programme\\M\xE4rchen").CStr();
    if (GetOEMCP() == 437 || GetOEMCP() == 850) CHECK(folder == "C:\\Programme\\M\x84rchen");
    std::string subFolder = ToOemText("Sch\xE4tze").CStr();
    char letter = AnswerLetterForLanguage(GetUserDefaultLangID());
    if ((GetUserDefaultLangID() & 0x3FF) == LANG_ENGLISH) CHECK(letter == 'Y');
    if ((GetUserDefaultLangID() & 0x3FF) == LANG_GERMAN) CHECK(letter == 'J');

    CHECK(script.rfind("@ECHO \xC4\xCD DEINSTALLATION von \"M\xE4rchen\" \xCD\xC4\r\n@rem pause\r\nC:\r\n", 0) == 0);
    CHECK(script.find("\r\nCD \"" + folder + "\"\r\n") != std::string::npos);
    CHECK(script.find("\r\nif not exist \"" + folder + "\\.\" goto Fehler\r\n") != std::string::npos);
    CHECK(script.find("\r\nDEL \"Setup.lst\"\r\nRD \"Data\\Sub\"\r\nRD \"Data\"\r\nRD \"" + subFolder + "\"\r\nECHO " +
                      std::string(1, letter) + " | DEL *.*\r\nCD ..\r\nRD \"" + folder + "\"\r\n") != std::string::npos);
    CHECK(script.find("ShellNew") == std::string::npos);
    std::string lastLine = "@DEL \"" + ScriptPath() + "\"\r\n";
    REQUIRE(script.size() > lastLine.size());
    CHECK(script.compare(script.size() - lastLine.size(), lastLine.size(), lastLine) == 0);
}

TEST_CASE("no script without a program folder or a Windows folder") {
    UninstallContext context(true);
    CHECK_FALSE(WriteSelfRemovalScriptFor(""));
    CHECK_FALSE(PathExists(ScriptPath()));
    g_ctx.WindowsDir.Clear();
    CHECK_FALSE(WriteSelfRemovalScriptFor("C:\\qvtest\\selfremoval\\Prog"));
    CHECK_FALSE(PathExists(ScriptPath()));
    CHECK(g_ctx.SelfRemovalScript.IsEmpty());
}

TEST_CASE("an interpreter that cannot be started: the script is deleted and its name is free again") {
    SavedComSpec saved;
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    REQUIRE(SetEnvironmentVariableA("COMSPEC", "C:\\qvtest\\missing\\cmd.exe"));
    REQUIRE(PrepareSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(PathExists(ScriptPath()));
    CHECK_FALSE(StartSelfRemovalScript());
    CHECK_FALSE(PathExists(ScriptPath()));
    CHECK(g_ctx.SelfRemovalScript.IsEmpty());
    CHECK(PathExists(folder + "\\Uninst.exe"));
}

TEST_CASE("a program folder the installation did not make: the uninstaller and its list go, nothing else") {
    UninstallContext context(true);  // the purge was even asked for
    g_ctx.RemoveProgramFolder = false;
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    REQUIRE(PrepareSelfRemovalScriptFor(folder.c_str()));
    std::string script = ReadFileBytes(ScriptPath());
    CHECK(script.find("DEL *.*") == std::string::npos);
    CHECK(script.find("RD \"" + folder + "\"") == std::string::npos);
    REQUIRE(StartSelfRemovalScript());
    REQUIRE(WaitForScriptEnd());
    CHECK_FALSE(PathExists(folder + "\\Uninst.exe"));
    CHECK_FALSE(PathExists(folder + "\\Setup.lst"));
    CHECK(ReadFileBytes(folder + "\\Notizen.txt") == "written by the user");
    CHECK(ReadFileBytes(folder + "\\Kartei.exe") == "MZ program");
    CHECK(PathExists(folder));

    // emptied as well, the folder still stays
    DeleteFileA((folder + "\\Notizen.txt").c_str());
    DeleteFileA((folder + "\\Kartei.exe").c_str());
    WriteFileBytes(folder + "\\Uninst.exe", "MZ stand-in");
    WriteFileBytes(folder + "\\Setup.lst", "[General]\r\nAppName=Kartei\r\n");
    REQUIRE(WriteSelfRemovalScriptFor(folder.c_str()));
    REQUIRE(WaitForScriptEnd());
    CHECK(FolderNames(folder).empty());
    CHECK(PathExists(folder));
}

TEST_CASE("a program folder whose name the OEM code page lacks is named by its short name, never by a look-alike") {
    UninstallContext context(true);
    std::string parent = FreshFolder("selfremoval");
    // "Z" with caron (0x8E in code page 1252) turns into a plain "Z" in the OEM code pages
    // 437 and 850: the converted name is that of the folder beside it.
    std::string other = parent + "\\Zebra-Kasse";
    CreateDirectoryA(other.c_str(), nullptr);
    WriteFileBytes(other + "\\Uninst.exe", "MZ other");
    WriteFileBytes(other + "\\Setup.lst", "[General]\r\nAppName=Zebra-Kasse\r\n");
    WriteFileBytes(other + "\\Buchungen.dat", "Buchungen");
    std::string folder = parent + "\\\x8E" "ebra-Kasse";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\Uninst.exe", "MZ stand-in");
    WriteFileBytes(folder + "\\Setup.lst", "[General]\r\nAppName=\x8E" "ebra-Kasse\r\n");
    WriteFileBytes(folder + "\\Notizen.txt", "written by the user");
    // a sub-folder whose name has an en dash (0x96), which the OEM code pages lack as well
    g_ctx.InstallList[6].AltFolder.Assign("\\Ablage \x96 Alt");
    CreateDirectoryA((folder + "\\Ablage \x96 Alt").c_str(), nullptr);

    char shortPath[MAX_PATH] = "";
    DWORD n = GetShortPathNameA(folder.c_str(), shortPath, MAX_PATH);
    REQUIRE((n > 0 && n < MAX_PATH));
    REQUIRE(std::string(shortPath) != folder);
    char shortSub[MAX_PATH] = "";
    n = GetShortPathNameA((folder + "\\Ablage \x96 Alt").c_str(), shortSub, MAX_PATH);
    REQUIRE((n > 0 && n < MAX_PATH));
    std::string subName = std::string(shortSub).substr(std::strlen(shortPath) + 1);

    REQUIRE(PrepareSelfRemovalScriptFor(folder.c_str()));
    std::string script = ReadFileBytes(ScriptPath());
    CHECK(script.find("Zebra-Kasse") == std::string::npos);
    CHECK(script.find("\r\nCD \"" + std::string(shortPath) + "\"\r\n") != std::string::npos);
    CHECK(script.find("\r\nRD \"" + subName + "\"\r\n") != std::string::npos);
    CHECK(script.find("\r\nRD \"" + std::string(shortPath) + "\"\r\n") != std::string::npos);
    CHECK(script.find("Ablage -") == std::string::npos);
    REQUIRE(StartSelfRemovalScript());
    REQUIRE(WaitForScriptEnd());

    CHECK_FALSE(PathExists(folder));
    CHECK(ReadFileBytes(other + "\\Uninst.exe") == "MZ other");
    CHECK(PathExists(other + "\\Setup.lst"));
    CHECK(ReadFileBytes(other + "\\Buchungen.dat") == "Buchungen");
}

TEST_CASE("a folder that the OEM code page cannot name and that has no short name gets no script") {
    UninstallContext context(true);
    // Wine gives every existing folder a short name; one that does not exist has none either.
    std::string folder = FreshFolder("selfremoval") + "\\\x8E" "ebra-Fehlt";
    REQUIRE_FALSE(PathExists(folder));
    CHECK_FALSE(PrepareSelfRemovalScriptFor(folder.c_str()));
    CHECK(g_ctx.SelfRemovalScript.IsEmpty());
    CHECK_FALSE(PathExists(ScriptPath()));
    CHECK_FALSE(PathExists(NumberedScriptPath(2)));
}

TEST_CASE("a sub-folder name without an OEM form or short name gets no RD line") {
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    g_ctx.InstallList[7].AltFolder.Assign("\\\x8E" "eb");  // never made: no short name
    REQUIRE(PrepareSelfRemovalScriptFor(folder.c_str()));
    std::string script = ReadFileBytes(ScriptPath());
    CHECK(script.find("\r\nRD \"Data\"\r\n") != std::string::npos);
    CHECK(script.find("\r\nRD \"Zeb\"") == std::string::npos);
    CHECK(script.find("eb\"\r\n") == std::string::npos);
}

TEST_CASE("the fixed name taken: the script goes under the next free name and removes itself by it") {
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    // another uninstall's script still running under the fixed name, held by its interpreter
    WriteFileBytes(ScriptPath(), "@ECHO another uninstall\r\n");
    HANDLE held = CreateFileA(ScriptPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    REQUIRE(PrepareSelfRemovalScriptFor(folder.c_str()));
    CHECK(std::string(g_ctx.SelfRemovalScript.CStr()) == NumberedScriptPath(2));
    std::string script = ReadFileBytes(NumberedScriptPath(2));
    std::string lastLine = "@DEL \"" + NumberedScriptPath(2) + "\"\r\n";
    REQUIRE(script.size() > lastLine.size());
    CHECK(script.compare(script.size() - lastLine.size(), lastLine.size(), lastLine) == 0);
    REQUIRE(StartSelfRemovalScript());
    bool ended = WaitForScriptEnd(nullptr, NumberedScriptPath(2));
    CloseHandle(held);
    REQUIRE(ended);
    CheckPurged(folder);
    CHECK(ReadFileBytes(ScriptPath()) == "@ECHO another uninstall\r\n");

    // a name another file has is not overwritten, even when nothing holds it
    REQUIRE(WriteSelfRemovalScriptFor(BuildProgramFolder(FreshFolder("selfremoval")).c_str()));
    CHECK(ReadFileBytes(ScriptPath()) == "@ECHO another uninstall\r\n");
    REQUIRE(WaitForScriptEnd(nullptr, NumberedScriptPath(2)));
}

TEST_CASE("every name taken: no script at all") {
    UninstallContext context(true);
    std::string folder = BuildProgramFolder(FreshFolder("selfremoval"));
    REQUIRE(CreateDirectoryA(ScriptPath().c_str(), nullptr));
    for (int number = 2; number <= 9; ++number) REQUIRE(CreateDirectoryA(NumberedScriptPath(number).c_str(), nullptr));
    CHECK_FALSE(PrepareSelfRemovalScriptFor(folder.c_str()));
    CHECK(g_ctx.SelfRemovalScript.IsEmpty());
    CHECK_FALSE(PathExists(WindowsFolder() + "\\VarnekUninstall10.bat"));
    // one name freed is enough
    RemoveTree(NumberedScriptPath(7));
    REQUIRE(PrepareSelfRemovalScriptFor(folder.c_str()));
    CHECK(std::string(g_ctx.SelfRemovalScript.CStr()) == NumberedScriptPath(7));
}
