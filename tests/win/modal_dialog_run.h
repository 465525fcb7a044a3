// Runs one of the program's dialogs modally inside a test and drives it from within: once the
// dialog is up, each step is applied to it in turn, one per timer tick, and the dialog's end
// code is what the run returns.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

using DialogStep = std::function<void(HWND dialog)>;

namespace modal_run {

constexpr UINT kTickMs = 50;
// A dialog that nothing ends within this many idle ticks is ended with kNotEnded.
constexpr int kIdleTickLimit = 100;
constexpr INT_PTR kNotEnded = 999;

struct State {
    DLGPROC proc = nullptr;
    HWND dialog = nullptr;
    std::vector<DialogStep> steps;
    size_t next = 0;
    int idleTicks = 0;
};

inline State& Current() {
    static State state;
    return state;
}

inline INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) Current().dialog = dialog;
    return Current().proc(dialog, message, wParam, lParam);
}

inline void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    State& state = Current();
    if (state.dialog == nullptr || !IsWindow(state.dialog)) return;
    if (state.next < state.steps.size()) {
        DialogStep step = state.steps[state.next++];
        step(state.dialog);
        return;
    }
    if (++state.idleTicks > kIdleTickLimit) EndDialog(state.dialog, kNotEnded);
}

}  // namespace modal_run

inline INT_PTR RunDialogWithSteps(const char* name, DLGPROC proc, std::vector<DialogStep> steps) {
    modal_run::State& state = modal_run::Current();
    state = modal_run::State();
    state.proc = proc;
    state.steps = std::move(steps);
    UINT_PTR timer = SetTimer(nullptr, 0, modal_run::kTickMs, modal_run::Tick);
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), name, nullptr, modal_run::RecordingProc, 0);
    KillTimer(nullptr, timer);
    state.dialog = nullptr;
    return result;
}

// Keys as the keyboard sends them: to the control with the focus.
inline DialogStep PressKey(WPARAM key) {
    return [key](HWND dialog) {
        HWND target = GetFocus();
        if (target == nullptr) target = dialog;
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    };
}

inline DialogStep PostCommand(int id, int code = BN_CLICKED) {
    return [id, code](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
}

inline DialogStep PostCloseBox() {
    return [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}
