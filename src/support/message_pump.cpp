// Keeps the screen alive during long operations, and tells the run when it must stop.
#include "support/win_support.h"

namespace {

bool g_stopped = false;

}  // namespace

bool PumpPendingMessages() {
    MSG msg;
    while (!g_stopped && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Back into the queue with its exit code: the message loop ends the program with it
            // once the run has returned, and the log gets its last line.
            g_stopped = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !g_stopped;
}

bool RunStopped() {
    return g_stopped;
}
