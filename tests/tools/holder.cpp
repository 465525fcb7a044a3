// A stand-in for an installed program that is running: it keeps the files named on its command
// line (relative to its current folder) open without sharing, as a program holds its data,
// writes C:\qvrec\<its file name>.ready once they are open, and runs until it is ended (at most
// two minutes, so that no copy outlives a scenario).
#include <windows.h>

#include <cstring>

namespace {

constexpr DWORD kLifetimeMs = 120000;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    char line[1024] = "";
    if (std::strlen(arguments) >= sizeof line) return 2;
    std::strcpy(line, arguments);
    for (char* name = std::strtok(line, " "); name != nullptr; name = std::strtok(nullptr, " "))
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);

    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const char* base = std::strrchr(self, '\\');
    base = base ? base + 1 : self;
    char ready[MAX_PATH + 32] = "C:\\qvrec\\";
    CreateDirectoryA(ready, nullptr);
    if (std::strlen(ready) + std::strlen(base) + 7 >= sizeof ready) return 2;
    std::strcat(ready, base);
    std::strcat(ready, ".ready");
    HANDLE marker = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    // Waiting for messages rather than sleeping: a program that started it with WinExec waits
    // until it is idle so (up to 30 s otherwise).
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kLifetimeMs, QS_ALLINPUT);
    return 0;
}
