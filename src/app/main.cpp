// Process entry and main program: guard, state, background window, message loop.
#include <windows.h>

#include "app/app_texts.h"
#include "app/commands.h"
#include "app/dll_search.h"
#include "app/exit_codes.h"
#include "app/main_window.h"
#include "app/self_removal.h"
#include "app/switch_refusals.h"
#include "install/check_run.h"
#include "list/install_context.h"
#include "list/list_loading.h"
#include "list/log_texts.h"
#include "list/run_log.h"
#include "ui/user_boxes.h"
#include "files/uninstall_entry.h"
#include "package/package_source.h"
#include "package/package_texts.h"
#include "res/resource.h"
#include "support/text_helpers.h"
#include "support/win_support.h"

namespace {

constexpr COLORREF kBackgroundColour = RGB(0, 0, 128);

HBRUSH g_backgroundBrush = nullptr;

bool DetectNT() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// One copy at a time. A second copy brings the first one's open dialog or box to the front and
// ends; under /Q nothing is shown and it ends at once with its own exit code. Earlier releases are
// found by their window class, every copy of this one by its mutex too (a copy under /Q has no
// window).
bool AnotherCopyRuns() {
    CreateMutexA(nullptr, FALSE, kMainWindowClass);
    bool running = GetLastError() == ERROR_ALREADY_EXISTS;
    HWND other = FindWindowA(kMainWindowClass, nullptr);
    if (other == nullptr || g_ctx.Unattended) return running || other != nullptr;
    MessageBeep(MB_OK);
    HWND popup = GetLastActivePopup(other);
    SetForegroundWindow(popup);
    if (IsIconic(popup)) ShowWindow(popup, SW_RESTORE);
    return true;
}

bool RegisterMainClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = g_ctx.ModuleInstance;
    windowClass.hIcon = LoadIconA(g_ctx.ModuleInstance, IDI_SETUP);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = g_backgroundBrush;
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// The background window, its message loop, and the command it runs; its exit code.
int RunWithWindow() {
    g_backgroundBrush = CreateSolidBrush(kBackgroundColour);
    if (!RegisterMainClass()) return ExitCodeFor(RunResult::NoWindowClass, g_ctx);
    HWND window = CreateAppWindow(kMainWindowClass, kMainWindowCaption,
                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  g_ctx.ModuleInstance, nullptr);
    // Without a window no command is posted, and the loop would wait for ever.
    if (window == nullptr) return ExitCodeFor(RunResult::NoWindow, g_ctx);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    int exitCode = RunMessageLoop();
    DeleteObject(g_backgroundBrush);
    return exitCode;
}

// Under /Q: no window at all, the command run straight away.
int RunUnattended() {
    RunResult result = g_switches.Uninstall ? RunUninstallCommand(nullptr) : RunInstallCommand(nullptr);
    return ExitCodeFor(result, g_ctx);
}

// /CHECK: the list checked and nothing written, so no background window either; the report
// box, or under /Q the log, is enough.
int RunCheck() {
    return ExitCodeFor(RunListCheck(), g_ctx);
}

void TakeSwitches() {
    g_switches = ParseCommandLine(g_ctx.CommandLine);
    g_ctx.Unattended = g_switches.Unattended;
    g_ctx.SilentInstall = g_switches.SilentInstall || g_ctx.Unattended;
    g_ctx.QuietUninstall = g_switches.QuietUninstall || g_ctx.Unattended;
    // A log that cannot be written is no reason to stop, but an unattended run must say so.
    if (g_switches.LogWanted && !(g_switches.LogPath.Fits() && OpenRunLog(g_switches.LogPath.CStr())))
        g_ctx.RunHadProblems = true;
    LogAction(kLogStart, g_ctx.CommandLine);
    PathBuffer<128> mode(g_switches.Check ? "Prüfung" : g_switches.Uninstall ? "Deinstallation" : "Installation");
    if (g_ctx.SilentInstall && !g_switches.Uninstall && !g_switches.Check) mode.Append(", still");
    if (g_ctx.QuietUninstall && g_switches.Uninstall) mode.Append(", ohne Fragen");
    if (g_ctx.Unattended) mode.Append(", unbeaufsichtigt");
    LogAction(kLogMode, mode.CStr());
}

void LogContext() {
    LogAction(kLogList, g_ctx.ListPath.CStr());
    LogAction(kLogFolders, g_ctx.SourceDir.CStr(), g_ctx.TargetDir.CStr());
}

// The program's folder has a name the ANSI code page cannot spell and no short name: none of its
// files could be named. The box names the folder as Windows spells it.
bool RefuseUnusableFolder() {
    if (!ModulePath().IsEmpty()) return false;
    LogAction(kLogFailed, kUnusableFolderCaption);
    if (g_ctx.Unattended) return true;
    WCHAR folder[1024] = L"";
    DWORD n = GetModuleFileNameW(nullptr, folder, 1024);
    while (n > 0 && n < 1024 && folder[n - 1] != L'\\') --n;
    folder[n > 0 && n < 1024 ? n - 1 : 0] = 0;
    // The text around the folder comes from the program's code page, the folder as it is.
    ComposeUnusableFolderText("\x01", g_ctx.ScratchText);
    static WCHAR text[kScratchWidth + 1024];
    static WCHAR caption[64];
    int length = MultiByteToWideChar(CP_ACP, 0, g_ctx.ScratchText.CStr(), -1, text, kScratchWidth);
    for (int i = 0; i < length; ++i) {
        if (text[i] != 1) continue;
        int folderLength = lstrlenW(folder);
        MoveMemory(text + i + folderLength, text + i + 1, (length - i - 1) * sizeof(WCHAR));
        CopyMemory(text + i, folder, folderLength * sizeof(WCHAR));
        break;
    }
    MultiByteToWideChar(CP_ACP, 0, kUnusableFolderCaption, -1, caption, 64);
    MessageBoxW(nullptr, text, caption, MB_ICONHAND);
    return true;
}

// A packed program is uninstalled by the uninstaller it installed, which knows its folder; the
// package itself would only find the folder its list names.
RunResult RefusePackedUninstall() {
    PathBuffer<1025> location = EntryInstallLocation(g_ctx.AppName.CStr());
    LongText uninstaller = JoinPathAs<kLongTextWidth>(location.IsEmpty() ? g_ctx.TargetDir.CStr() : location.CStr(),
                                                      kUninstallerFileName);
    ComposePackedUninstallText(g_ctx.AppName.CStr(), uninstaller.CStr(), g_ctx.ScratchText);
    TellUser(nullptr, g_ctx.ScratchText.CStr(), kUninstallQuestionCaption, MB_OK | MB_ICONHAND);
    return RunResult::Refused;
}

// The list: from the package behind the program, or beside it. A package that may not be
// installed ends the run before anything else (Refused).
RunResult LoadList() {
    PackageOpening package = OpenOwnPackage();
    if (package == PackageOpening::Refused) {
        ComposePackageProblemText(PackageRefusal(), false, g_ctx.ScratchText);
        TellUser(nullptr, g_ctx.ScratchText.CStr(), kPackageRefusedCaption, MB_OK | MB_ICONHAND);
        return RunResult::Refused;
    }
    if (package == PackageOpening::NotPacked) {
        LoadInstallContext();
        return RunResult::Done;
    }
    const unsigned char* list = nullptr;
    size_t size = 0;
    PackageList(&list, &size);
    LoadInstallContextFromBytes(list, size);
    return g_switches.Uninstall ? RefusePackedUninstall() : RunResult::Done;
}

// What comes before the command: refusals, another copy, the list. Done when the command may run.
RunResult Prepare() {
    TakeSwitches();
    if (RefuseUnusableFolder() || RefuseUnknownSwitch()) return RunResult::Refused;
    // A check writes nothing, so it may run beside another copy.
    if (!g_switches.Check && AnotherCopyRuns()) return RunResult::AnotherCopy;
    RunResult loaded = LoadList();
    if (loaded != RunResult::Done) return loaded;
    if (RefuseProgramFolder()) return RunResult::Refused;
    LogContext();
    return RunResult::Done;
}

int RunMainProgram() {
    RunResult prepared = Prepare();
    if (prepared != RunResult::Done) return ExitCodeFor(prepared, g_ctx);
    int exitCode = g_switches.Check ? RunCheck() : g_ctx.Unattended ? RunUnattended() : RunWithWindow();
    // The uninstall wrote its script before its closing message; only its start waits until now,
    // so that the uninstaller has as little left to do as possible when the script deletes it.
    if (!g_ctx.SelfRemovalScript.IsEmpty() && !StartSelfRemovalScript()) exitCode = ExitCodeFor(RunResult::Failed, g_ctx);
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    g_ctx.ModuleInstance = instance;
    g_ctx.CommandLine = GetCommandLineA();
    g_ctx.IsNT = DetectNT();
    EnterFolder(PathFolderPart(ModulePath().CStr()).CStr());
    ULONGLONG start = GetTickCount64();
    int exitCode = RunMainProgram();
    static LogLineText end;
    ComposeLogEnd(exitCode, GetTickCount64() - start, end);
    LogAction(end.CStr(), nullptr);
    CloseRunLog();
    return exitCode;
}
