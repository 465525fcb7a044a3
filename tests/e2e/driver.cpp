// Driving the real program from outside: processes, windows and boxes through messages.
#include "driver.h"

#include <vector>

namespace e2e {

namespace {

std::string g_program;
std::string g_tools;
std::string g_demo;

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// WM_GETTEXT is marshalled across processes; the timeout keeps a hung program from hanging us.
std::string TextOf(HWND window) {
    if (window == nullptr) return "";
    static char buffer[65536];
    DWORD_PTR length = 0;
    buffer[0] = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             3000, &length))
        return "";
    return std::string(buffer, static_cast<size_t>(length));
}

struct WindowQuery {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

std::vector<HWND> WindowsOf(DWORD pid, const char* className) {
    WindowQuery query{pid, className, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* q = reinterpret_cast<WindowQuery*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == q->pid && IsWindowVisible(window) && (!q->className || ClassOf(window) == q->className))
                q->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.found;
}

bool HasButtons(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Button" && IsWindowVisible(child)) return true;
    return false;
}

Window DialogOf(DWORD pid, bool withButtons) {
    for (HWND window : WindowsOf(pid, "#32770"))
        if (HasButtons(window) == withButtons) return Window(window);
    return Window();
}

// Keys go to the control with the focus inside the dialog, as a keyboard would send them.
HWND FocusTarget(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus && IsChild(dialog, info.hwndFocus)) return info.hwndFocus;
    HWND child = GetWindow(dialog, GW_CHILD);
    return child ? child : dialog;
}

void PostKey(HWND dialog, WPARAM key, LPARAM scan) {
    HWND target = FocusTarget(dialog);
    PostMessageA(target, WM_KEYDOWN, key, scan);
    PostMessageA(target, WM_KEYUP, key, scan | 0xC0000000);
}

}  // namespace

void SetProgramUnderTest(const std::string& windowsPath) { g_program = windowsPath; }
const std::string& ProgramUnderTest() { return g_program; }
void SetToolsFolder(const std::string& windowsPath) { g_tools = windowsPath; }
const std::string& ToolsFolder() { return g_tools; }
void SetDemoFolder(const std::string& windowsPath) { g_demo = windowsPath; }
const std::string& DemoFolder() { return g_demo; }

std::string Window::Caption() const { return TextOf(handle_); }
std::string Window::Text(int controlId) const { return TextOf(GetDlgItem(handle_, controlId)); }
std::string Window::MessageText() const { return Text(0xFFFF); }
bool Window::HasControl(int controlId) const { return GetDlgItem(handle_, controlId) != nullptr; }
bool Window::IsEnabled(int controlId) const { return IsWindowEnabled(GetDlgItem(handle_, controlId)) != 0; }
bool Window::IsVisible() const { return IsWindow(handle_) && IsWindowVisible(handle_); }

void Window::Press(int controlId) const { Notify(controlId, BN_CLICKED); }
void Window::PressEnter() const { PostKey(handle_, VK_RETURN, 0x001C0001); }
void Window::PressEscape() const { PostKey(handle_, VK_ESCAPE, 0x00010001); }
void Window::CloseBox() const { PostMessageA(handle_, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Window::Notify(int controlId, int code) const {
    PostMessageA(handle_, WM_COMMAND, MAKEWPARAM(controlId, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(handle_, controlId)));
}

bool Window::WaitGone(DWORD ms) const {
    return WaitFor([this] { return !IsVisible(); }, ms);
}

bool HasVisibleWindow(DWORD pid) { return !WindowsOf(pid, nullptr).empty(); }
Window AnswerableDialog(DWORD pid) { return DialogOf(pid, true); }
Window ProgressWindowOf(DWORD pid) { return DialogOf(pid, false); }

Window MainWindowOf(DWORD pid) {
    std::vector<HWND> windows = WindowsOf(pid, "clsVarnekSetup");
    return windows.empty() ? Window() : Window(windows.front());
}

Run::~Run() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 98);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool Run::Start(const std::string& commandLine, const std::string& currentFolder, const std::string& program) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    return CreateProcessA(program.empty() ? nullptr : program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &process_) != 0;
}

bool Run::HasEnded() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

DWORD Run::Exit(DWORD ms) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.hProcess, &code);
    } else {
        TerminateProcess(process_.hProcess, 97);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    return code;
}

}  // namespace e2e
