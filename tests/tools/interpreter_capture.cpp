// A stand-in command interpreter for the end-to-end scenarios, named by COMSPEC: it keeps a copy
// of the batch script it is asked to run (C:\qvrec\captured.bat) and records where and how it was
// started (C:\qvrec\interpreter_capture.exe.log, "<current folder>\n<command line>\n", as the recorder
// does), then hands the same arguments to the real cmd.exe of the System folder and waits for it.
#include <windows.h>

#include <cstring>

namespace {

// The arguments after the program's own name on the command line.
const char* ArgumentsOf(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != 0 && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != 0 && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// The script's name: the last word of the arguments ("/D /V:OFF /c VarnekUninstall.bat").
const char* ScriptNameOf(const char* arguments) {
    const char* last = arguments;
    for (const char* p = arguments; *p != 0; ++p)
        if (*p == ' ') last = p + 1;
    return last;
}

void WriteLog(const char* folder, const char* commandLine) {
    HANDLE file = CreateFileA("C:\\qvrec\\interpreter_capture.exe.log", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, folder, static_cast<DWORD>(std::strlen(folder)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    WriteFile(file, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* commandLine = GetCommandLineA();
    const char* arguments = ArgumentsOf(commandLine);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);

    CreateDirectoryA("C:\\qvrec", nullptr);
    CopyFileA(ScriptNameOf(arguments), "C:\\qvrec\\captured.bat", FALSE);
    WriteLog(folder, commandLine);

    char system[MAX_PATH] = "";
    UINT n = GetSystemDirectoryA(system, sizeof system);
    char line[2 * MAX_PATH + 64] = "";
    if (n == 0 || n >= sizeof system || n + std::strlen(arguments) + 16 >= sizeof line) return 2;
    std::strcpy(line, "\"");
    std::strcat(line, system);
    std::strcat(line, "\\cmd.exe\" ");
    std::strcat(line, arguments);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                        &process))
        return 3;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
