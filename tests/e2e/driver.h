// The end-to-end driver: prepares a source folder with Setup.exe, Setup.lst and files, starts
// the real program the way a user does, and reads and presses its windows from outside.
//
//   Package pkg("uninstall-question");
//   pkg.List("[General]\r\nAppName=Demo\r\n").File("Readme.txt", "hello");
//   Run run = pkg.Start("/U");
//   Window box = run.WaitWindow("Deinstallation");
//   CHECK(box.MessageText() == "...");
//   box.Press(IDCANCEL);
//   CHECK(run.Exit() == 0);
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace e2e {

constexpr DWORD kWaitMs = 15000;

// The Setup.exe under test (set from the command line by main).
void SetProgramUnderTest(const std::string& windowsPath);
const std::string& ProgramUnderTest();
// The folder of the driver's own helper programs (stand-ins such as metapad.exe).
void SetToolsFolder(const std::string& windowsPath);
const std::string& ToolsFolder();
// The demo package's folder (examples/demo) as Windows sees it.
void SetDemoFolder(const std::string& windowsPath);
const std::string& DemoFolder();
// A TrueType font from Debian's fonts-dejavu-core, for scenarios that install a font.
std::string DejaVuFont();
// Unix path as CMake passes it -> the Z:\ path Windows programs see under Wine.
std::string WindowsPath(std::string path);

class Window {
public:
    Window() = default;
    explicit Window(HWND handle) : handle_(handle) {}
    HWND Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    std::string Caption() const;
    std::string ClassName() const;
    std::string Text(int controlId) const;  // bytes, as the control holds them
    std::string MessageText() const;        // the text of a message box
    bool HasControl(int controlId) const;
    bool IsEnabled(int controlId) const;
    int DefaultButton() const;  // found by the BS_DEFPUSHBUTTON style (Wine's DM_GETDEFID is unreliable on boxes)
    std::vector<int> ButtonIds() const;
    HWND Owner() const;
    bool IsVisible() const;
    bool HasIcon() const;  // a message box's icon control shows an icon

    void Press(int controlId) const;  // a click as the dialog's code sees it; needs no focus
    void PressEnter() const;
    void PressEscape() const;
    void CloseBox() const;  // the close box of the caption (WM_SYSCOMMAND SC_CLOSE)
    void Notify(int controlId, int code) const;  // a notification of a control, e.g. EN_SETFOCUS
    bool WaitGone(DWORD ms = kWaitMs) const;

private:
    HWND handle_ = nullptr;
};

// A visible dialog of the process that has buttons (a box, a question, a dialog waiting for an
// answer), and the progress window (the only dialog without buttons); empty when there is none.
Window AnswerableDialog(DWORD pid);
Window ProgressWindowOf(DWORD pid);

class Run {
public:
    Run() = default;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    Run(Run&& other) noexcept;
    Run& operator=(Run&& other) noexcept;
    ~Run();

    // Starts commandLine (program path included) with the current directory given. With a
    // program path, the command line may name the program any way it likes (a bare name).
    bool Start(const std::string& commandLine, const std::string& currentFolder, const std::string& program = "");
    DWORD Pid() const { return process_.dwProcessId; }

    // A visible top-level window of this process with the caption (and class, if given).
    Window WaitWindow(const std::string& caption, const char* className = "#32770", DWORD ms = kWaitMs) const;
    // The background window (class clsVarnekSetup).
    Window MainWindow(DWORD ms = kWaitMs) const;
    // True when no dialog or box of this process appears within ms.
    bool NoDialogFor(DWORD ms) const;
    // True when no dialog with buttons (a box or a question) appears within ms; the progress
    // window may.
    bool NoMessageBoxFor(DWORD ms) const;
    // Every visible dialog or box caption of this process right now.
    std::vector<std::string> DialogCaptions() const;

    // The exit code, or 259 (STILL_ACTIVE) when the process did not end in time (it is then killed).
    DWORD Exit(DWORD ms = kWaitMs * 2);
    bool HasEnded() const;

private:
    PROCESS_INFORMATION process_ = {};
};

// A source folder C:\qve2e\<name> holding Setup.exe (a fresh copy of the program under test),
// and whatever list and files the scenario writes.
class Package {
public:
    explicit Package(const std::string& name);
    Package& List(const std::string& text);
    Package& File(const std::string& relativePath, const std::string& bytes);
    // A copy of the program under test under another name in the folder (e.g. Uninst.exe).
    Package& ProgramAs(const std::string& fileName);
    // Copies every file of a folder tree into the package (the list included, if it has one).
    Package& CopyFrom(const std::string& folder);
    Package& CopyIn(const std::string& sourcePath, const std::string& relativePath);
    std::string Folder() const { return folder_; }
    std::string Path(const std::string& relativePath) const { return folder_ + "\\" + relativePath; }

    // Starts Setup.exe (or the named program of the folder) by its full path, with arguments.
    Run Start(const std::string& arguments = "", const std::string& programName = "Setup.exe") const;
    // Starts the named program of the folder with only its bare name on the command line, as
    // a user typing it in that folder would.
    Run StartBare(const std::string& programName, const std::string& arguments = "") const;

private:
    std::string folder_;
};

// Starts an installed program (such as Uninst.exe) by its full path, quoted, with arguments and
// with its own folder as the current folder, the way the list of installed software starts it.
Run StartInstalled(const std::string& programPath, const std::string& arguments = "");

// Waits until the condition holds or ms have passed; returns the final value.
template <typename Condition>
bool WaitFor(Condition condition, DWORD ms = kWaitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > ms) return condition();
        Sleep(20);
    }
}

}  // namespace e2e
