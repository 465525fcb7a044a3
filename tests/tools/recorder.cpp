// A stand-in program for the end-to-end scenarios: started under any name, it records where it
// was started and how, in C:\qvrec\<its file name>.log ("<current folder>\n<command line>\n"),
// and ends at once.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const char* name = std::strrchr(self, '\\');
    name = name ? name + 1 : self;

    char log[MAX_PATH + 32] = "C:\\qvrec\\";
    CreateDirectoryA(log, nullptr);
    if (std::strlen(log) + std::strlen(name) + 5 >= sizeof log) return 2;
    std::strcat(log, name);
    std::strcat(log, ".log");

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const char* commandLine = GetCommandLineA();

    HANDLE file = CreateFileA(log, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, folder, static_cast<DWORD>(std::strlen(folder)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    WriteFile(file, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}
