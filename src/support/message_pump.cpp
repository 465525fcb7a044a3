// Keeps the screen alive during long operations.
#include "support/win_support.h"

void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The background window was closed while a command ran: nothing of the command may go
        // on, and the quit code tells a calling script how the program ended.
        if (msg.message == WM_QUIT) ExitProcess(static_cast<UINT>(msg.wParam));
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
