// A stand-in text editor for the end-to-end scenarios. Copied beside Setup.exe under any name
// (metapad.exe, Fenwo.exe, Notepad.exe, Talmer.exe), it leaves "<name>.started" with its command
// line in its own folder, shows an edit control that takes the keyboard focus, writes whatever
// is typed or pasted into it to "<name>.pasted", and ends by itself: soon after a paste, or after
// a few seconds without one.
#include <windows.h>

#include <cstring>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;
// Long enough for the 2-second pause before the paste, short enough that no copy lingers.
constexpr UINT kLifetimeMs = 5000;
constexpr UINT kAfterPasteMs = 500;
constexpr int kEditId = 1;
const char kClassName[] = "QvStandInEditor";

char g_base[MAX_PATH];  // the program's own path without ".exe"
HWND g_edit = nullptr;
char g_text[65536];

// Written under a name of its own and then renamed: a scenario that waits for the file reads it
// whole, never while it is still open here (that read found it missing).
void WriteBeside(const char* suffix, const char* bytes, DWORD size) {
    char path[MAX_PATH + 16], part[MAX_PATH + 20];
    size_t baseLength = std::strlen(g_base);
    size_t suffixLength = std::strlen(suffix);
    if (baseLength + suffixLength + 4 >= sizeof path) return;
    std::memcpy(path, g_base, baseLength);
    std::memcpy(path + baseLength, suffix, suffixLength + 1);
    std::memcpy(part, path, baseLength + suffixLength);
    std::memcpy(part + baseLength + suffixLength, ".new", 5);
    HANDLE file = CreateFileA(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    MoveFileExA(part, path, MOVEFILE_REPLACE_EXISTING);
}

void RecordText() {
    int length = GetWindowTextA(g_edit, g_text, sizeof g_text);
    WriteBeside(".pasted", g_text, static_cast<DWORD>(length));
}

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 100, 100,
                                 window, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
        SetTimer(window, kLifetimeTimer, kLifetimeMs, nullptr);
        return 0;
    case WM_SIZE:
        MoveWindow(g_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(g_edit);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
            RecordText();
            SetTimer(window, kLifetimeTimer, kAfterPasteMs, nullptr);
        }
        return 0;
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    DWORD length = GetModuleFileNameA(nullptr, g_base, sizeof g_base);
    if (length == 0 || length >= sizeof g_base) return 1;
    char* dot = std::strrchr(g_base, '.');
    if (dot != nullptr) *dot = 0;
    const char* commandLine = GetCommandLineA();
    WriteBeside(".started", commandLine, static_cast<DWORD>(std::strlen(commandLine)));

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = EditorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kClassName, "Stand-in editor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 2;
    ShowWindow(window, show);
    SetForegroundWindow(window);
    SetFocus(g_edit);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
