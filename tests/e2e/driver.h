// Driving the real program from outside, as a user does: its processes, and the windows and boxes
// they show, read and pressed through messages.
#pragma once

#include <windows.h>

#include <string>

#include "machine.h"

namespace e2e {

// The Setup.exe under test, the stand-in programs and the demo package (set by the runner).
void SetProgramUnderTest(const std::string& windowsPath);
const std::string& ProgramUnderTest();
void SetToolsFolder(const std::string& windowsPath);
const std::string& ToolsFolder();
void SetDemoFolder(const std::string& windowsPath);
const std::string& DemoFolder();

class Window {
public:
    Window() = default;
    explicit Window(HWND handle) : handle_(handle) {}
    HWND Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    std::string Caption() const;
    std::string Text(int controlId) const;  // bytes, as the control holds them
    std::string MessageText() const;        // the text of a message box
    bool HasControl(int controlId) const;
    bool IsEnabled(int controlId) const;
    bool IsVisible() const;

    void Press(int controlId) const;  // a click as the dialog's code sees it; needs no focus
    void PressEnter() const;
    void PressEscape() const;
    void CloseBox() const;                       // the close box of the caption
    void Notify(int controlId, int code) const;  // a notification of a control, e.g. EN_SETFOCUS
    bool WaitGone(DWORD ms) const;

private:
    HWND handle_ = nullptr;
};

// Whether the process shows any top-level window at all, dialog or not.
bool HasVisibleWindow(DWORD pid);
// A visible dialog of the process that has buttons (a box, or a dialog waiting for an answer),
// and the progress window (the only dialog without buttons); empty when there is none.
Window AnswerableDialog(DWORD pid);
Window ProgressWindowOf(DWORD pid);
// The background window (class clsVarnekSetup).
Window MainWindowOf(DWORD pid);

class Run {
public:
    Run() = default;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run();  // a run that is still going is ended

    // Starts commandLine in currentFolder; with a program path, the command line may name the
    // program any way it likes (a bare name, as typed in its folder).
    bool Start(const std::string& commandLine, const std::string& currentFolder, const std::string& program = "");
    DWORD Pid() const { return process_.dwProcessId; }
    bool HasEnded() const;
    // The exit code, or 259 (STILL_ACTIVE) when the process did not end in time (it is then killed).
    DWORD Exit(DWORD ms);

private:
    PROCESS_INFORMATION process_ = {};
};

}  // namespace e2e
