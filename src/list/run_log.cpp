// The run's log.
#include "list/run_log.h"

#include "list/log_texts.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

HANDLE g_runLog = nullptr;  // null without a log: no initial value to store in the program file
FileIdentity g_runLogIdentity;
WorkPath g_runLogPath;  // in full

void WriteLine(const LogLineText& line) {
    if (g_runLog == nullptr) return;
    static LogLineText text;
    text.Assign(line);
    text.Append("\r\n");
    DWORD written = 0;
    // One write per line, straight to the system: nothing waits in the program's own buffers.
    WriteFile(g_runLog, text.CStr(), static_cast<DWORD>(text.Length()), &written, nullptr);
}

}  // namespace

bool OpenRunLog(const char* path) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    g_runLog = file;
    g_runLogIdentity = IdentityOf(path);
    DWORD n = GetFullPathNameA(path, g_runLogPath.RawSize(), g_runLogPath.RawData(), nullptr);
    if (n == 0 || n >= g_runLogPath.RawSize()) g_runLogPath.Clear();
    else g_runLogPath.Adopt();
    return true;
}

bool RunLogIsOpen() { return g_runLog != nullptr; }

const char* RunLogPath() { return RunLogIsOpen() && !g_runLogPath.IsEmpty() ? g_runLogPath.CStr() : nullptr; }

// Only a file of the log's name is opened to compare: the uninstall asks for every file it deletes.
bool IsRunLog(const char* path) {
    return RunLogIsOpen() && EqualsNoCase(PathFilePart(path).CStr(), PathFilePart(g_runLogPath.CStr()).CStr()) &&
           SameIdentity(g_runLogIdentity, IdentityOf(path));
}

bool RunLogLiesIn(const char* folder) {
    WorkPath inside = JoinPath(folder, "");
    return RunLogIsOpen() && inside.Fits() && FindTextNoCase(g_runLogPath.CStr(), inside.CStr()) == g_runLogPath.CStr();
}

void LogAction(const char* action, const char* detail, const char* other) {
    if (g_runLog == nullptr) return;
    static LogLineText line;
    ComposeLogLine(action, detail, other, line);
    WriteLine(line);
}

void LogFailure(const char* detail, DWORD error) {
    if (g_runLog == nullptr) return;
    char message[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, message,
                             sizeof message, nullptr);
    // The system's texts end with a line break of their own.
    while (n > 0 && (message[n - 1] == '\r' || message[n - 1] == '\n' || message[n - 1] == ' ')) message[--n] = 0;
    LogAction(kLogFailed, detail, n > 0 ? message : "?");
}

void CloseRunLog() {
    if (g_runLog != nullptr) CloseHandle(g_runLog);
    g_runLog = nullptr;
}
