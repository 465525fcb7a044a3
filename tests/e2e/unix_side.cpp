// The Unix side of the machine the tests run on: paths, shell commands, and deterministic bytes.
#include "unix_side.h"

#include "driver.h"
#include "test_files.h"

namespace robustness {

std::string UnixPathOf(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(const WCHAR*);
    Convert convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unixPath = convert(wide);
    if (unixPath == nullptr) return "";
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

// Wine starts a Unix program detached, without a process to wait for: its end is seen through
// a file in /tmp (outside every folder a snapshot looks at) that holds its exit status.
bool RunUnixShell(const std::string& command, DWORD ms) {
    char marker[64];
    wsprintfA(marker, "/tmp/qv-robust-%lu.status", GetCurrentProcessId());
    std::string windowsMarker = e2e::WindowsPath(marker);
    DeleteFileA(windowsMarker.c_str());
    std::string line = "Z:\\bin\\sh -c \"(" + command + ") >/dev/null 2>&1; echo $? > " + marker + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::string status;
    e2e::WaitFor(
        [&] {
            status = ReadFileBytes(windowsMarker);
            return status != "<missing>" && !status.empty() && status.back() == '\n';
        },
        ms);
    DeleteFileA(windowsMarker.c_str());
    return status == "0\n";
}

std::string PseudoRandomBytes(size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    unsigned state = seed != 0 ? seed : 1;
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state & 0xFF);
    }
    return bytes;
}

}  // namespace robustness
