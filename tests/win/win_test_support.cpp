// Helpers of the Windows unit tests.
#include "win_test_support.h"


#include <cstring>

#include "app/dll_search.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

std::string TestProgramFolder() {
    return PathFolderPart(ModulePath().CStr()).CStr();
}

bool RunChildMode(int argc, char** argv, int* exitCode) {
    if (argc < 2 || std::strncmp(argv[1], "--child=", 8) != 0) return false;
    std::string mode = argv[1] + 8;
    std::string argument = argc > 2 ? argv[2] : "";
    if (mode == "pump-quit") {
        // A quit request waiting in the queue ends the process inside the pump, with its code.
        PostQuitMessage(atoi(argument.c_str()));
        PumpPendingMessages();
        *exitCode = 200;  // only reached when the pump returned
        return true;
    }
    if (mode == "dll-by-name") {
        // 1: the DLL beside the program was loaded by its bare name; 0: it was not
        *exitCode = LoadLibraryA("qvplanted.dll") != nullptr ? 1 : 0;
        return true;
    }
    if (mode == "dll-restricted") {
        // 10 + the by-name result after the restriction, +100 when the full path still loads
        int code = RestrictDllSearch() ? 10 : 0;
        if (LoadLibraryA("qvplanted.dll") != nullptr) code += 1;
        std::string full = TestProgramFolder() + "\\qvplanted.dll";
        if (LoadLibraryExA(full.c_str(), nullptr, 0) != nullptr) code += 100;
        *exitCode = code;
        return true;
    }
    *exitCode = 201;
    return true;
}

DWORD RunChild(const std::string& mode, const std::string& argument) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" --child=" + mode + " \"" + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFFFFFFFF;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    else TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}
