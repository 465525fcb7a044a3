// The end-to-end driver: windows of another process, found and handled through messages.
#include "driver.h"

#include <cstring>

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
    const std::string* caption;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<WindowQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != query->pid || !IsWindowVisible(window)) return TRUE;
    if (query->className && ClassOf(window) != query->className) return TRUE;
    if (query->caption && TextOf(window) != *query->caption) return TRUE;
    query->found->push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD pid, const char* className, const std::string* caption) {
    std::vector<HWND> found;
    WindowQuery query{pid, className, caption, &found};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return found;
}

}  // namespace

void SetProgramUnderTest(const std::string& windowsPath) { g_program = windowsPath; }
const std::string& ProgramUnderTest() { return g_program; }
void SetToolsFolder(const std::string& windowsPath) { g_tools = windowsPath; }
const std::string& ToolsFolder() { return g_tools; }

void SetDemoFolder(const std::string& windowsPath) { g_demo = windowsPath; }
const std::string& DemoFolder() { return g_demo; }
std::string DejaVuFont() { return "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf"; }

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// ---- Window

std::string Window::Caption() const { return TextOf(handle_); }
std::string Window::ClassName() const { return ClassOf(handle_); }
std::string Window::Text(int controlId) const { return TextOf(GetDlgItem(handle_, controlId)); }
std::string Window::MessageText() const { return Text(0xFFFF); }
bool Window::HasControl(int controlId) const { return GetDlgItem(handle_, controlId) != nullptr; }
bool Window::IsEnabled(int controlId) const { return IsWindowEnabled(GetDlgItem(handle_, controlId)) != 0; }
HWND Window::Owner() const { return GetWindow(handle_, GW_OWNER); }
bool Window::IsVisible() const { return IsWindow(handle_) && IsWindowVisible(handle_); }

int Window::DefaultButton() const {
    for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Button" && (GetWindowLongA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
    return 0;
}

std::vector<int> Window::ButtonIds() const {
    std::vector<int> ids;
    for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Button" && IsWindowVisible(child)) ids.push_back(GetDlgCtrlID(child));
    return ids;
}

bool Window::HasIcon() const {
    for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0)
            return true;
    return false;
}

void Window::Press(int controlId) const {
    PostMessageA(handle_, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(handle_, controlId)));
}

// Keys go to the control with the focus inside the dialog, as a keyboard would send them.
static HWND FocusTarget(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus && IsChild(dialog, info.hwndFocus)) return info.hwndFocus;
    HWND child = GetWindow(dialog, GW_CHILD);
    return child ? child : dialog;
}

void Window::PressEnter() const {
    HWND target = FocusTarget(handle_);
    PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(target, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

void Window::PressEscape() const {
    HWND target = FocusTarget(handle_);
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void Window::CloseBox() const { PostMessageA(handle_, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Window::Notify(int controlId, int code) const {
    PostMessageA(handle_, WM_COMMAND, MAKEWPARAM(controlId, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(handle_, controlId)));
}

bool Window::WaitGone(DWORD ms) const {
    return WaitFor([this] { return !IsVisible(); }, ms);
}

// ---- Run

Run::Run(Run&& other) noexcept : process_(other.process_) { other.process_ = {}; }

Run& Run::operator=(Run&& other) noexcept {
    if (this != &other) {
        this->~Run();
        process_ = other.process_;
        other.process_ = {};
    }
    return *this;
}

Run::~Run() {
    if (process_.hProcess) {
        // a scenario that failed half-way must not leave a copy behind for the next one
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 98);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool Run::Start(const std::string& commandLine, const std::string& currentFolder, const std::string& program) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    return CreateProcessA(program.empty() ? nullptr : program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &process_) != 0;
}

Window Run::WaitWindow(const std::string& caption, const char* className, DWORD ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> windows = WindowsOf(process_.dwProcessId, className, &caption);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        ms);
    return Window(found);
}

Window Run::MainWindow(DWORD ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            std::vector<HWND> windows = WindowsOf(process_.dwProcessId, "clsVarnekSetup", nullptr);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        ms);
    return Window(found);
}

std::vector<std::string> Run::DialogCaptions() const {
    std::vector<std::string> captions;
    for (HWND window : WindowsOf(process_.dwProcessId, "#32770", nullptr)) captions.push_back(TextOf(window));
    return captions;
}

bool Run::NoDialogFor(DWORD ms) const {
    return !WaitFor([&] { return !WindowsOf(process_.dwProcessId, "#32770", nullptr).empty(); }, ms);
}

static Window DialogOf(DWORD pid, bool withButtons) {
    for (HWND window : WindowsOf(pid, "#32770", nullptr))
        if (Window(window).ButtonIds().empty() != withButtons) return Window(window);
    return Window();
}

Window AnswerableDialog(DWORD pid) { return DialogOf(pid, true); }
Window ProgressWindowOf(DWORD pid) { return DialogOf(pid, false); }

bool Run::NoMessageBoxFor(DWORD ms) const {
    return !WaitFor([&] { return static_cast<bool>(AnswerableDialog(process_.dwProcessId)); }, ms);
}

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

bool Run::HasEnded() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

// ---- Package

Package::Package(const std::string& name) {
    folder_ = FreshFolder(name, "C:\\qve2e");
    ProgramAs("Setup.exe");
}

Package& Package::List(const std::string& text) { return File("Setup.lst", text); }

Package& Package::File(const std::string& relativePath, const std::string& bytes) {
    std::string path = Path(relativePath);
    for (size_t i = folder_.size() + 1; i < path.size(); ++i)
        if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    WriteFileBytes(path, bytes);
    return *this;
}

Package& Package::CopyIn(const std::string& sourcePath, const std::string& relativePath) {
    File(relativePath, "");
    ::CopyFileA(sourcePath.c_str(), Path(relativePath).c_str(), FALSE);
    return *this;
}

Package& Package::CopyFrom(const std::string& folder) {
    std::vector<std::string> pending{""};
    while (!pending.empty()) {
        std::string relative = pending.back();
        pending.pop_back();
        std::string from = relative.empty() ? folder : folder + "\\" + relative;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA((from + "\\*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = relative.empty() ? name : relative + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) pending.push_back(child);
            else CopyIn(from + "\\" + name, child);
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    return *this;
}

Package& Package::ProgramAs(const std::string& fileName) {
    ::CopyFileA(g_program.c_str(), Path(fileName).c_str(), FALSE);
    return *this;
}

Run Package::Start(const std::string& arguments, const std::string& programName) const {
    Run run;
    std::string line = "\"" + Path(programName) + "\"";
    if (!arguments.empty()) line += " " + arguments;
    run.Start(line, folder_);
    return run;
}

Run Package::StartBare(const std::string& programName, const std::string& arguments) const {
    Run run;
    std::string line = programName;
    if (!arguments.empty()) line += " " + arguments;
    run.Start(line, folder_, Path(programName));
    return run;
}

Run StartInstalled(const std::string& programPath, const std::string& arguments) {
    Run run;
    std::string line = "\"" + programPath + "\"";
    if (!arguments.empty()) line += " " + arguments;
    size_t slash = programPath.rfind('\\');
    run.Start(line, slash == std::string::npos ? "" : programPath.substr(0, slash));
    return run;
}

}  // namespace e2e
