// Window finder for the screenshot tool: winfind.exe "<caption>" [timeout_ms] [--away]
// Waits for a visible top-level window with that caption (a trailing * matches any ending) and
// prints its rectangle as WxH+X+Y, the geometry ImageMagick crops with. With --away the window
// is then moved off the screen, so that what lies beneath it can be seen. Exit code 1: no such
// window within the time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    const char* caption;
    size_t length;
    bool prefix;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    bool same = search->prefix ? std::strncmp(text, search->caption, search->length) == 0
                               : std::strcmp(text, search->caption) == 0;
    if (!same) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 2;
    const char* caption = __argv[1];
    DWORD timeout = __argc > 2 ? std::strtoul(__argv[2], nullptr, 10) : 10000;
    bool away = __argc > 3 && std::strcmp(__argv[3], "--away") == 0;
    Search search{caption, std::strlen(caption), false, nullptr};
    if (search.length > 0 && caption[search.length - 1] == '*') {
        search.prefix = true;
        --search.length;
    }
    DWORD start = GetTickCount();
    while (search.found == nullptr) {
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) break;
        if (GetTickCount() - start > timeout) return 1;
        Sleep(20);
    }
    RECT rect;
    GetWindowRect(search.found, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    std::fflush(stdout);
    if (away) SetWindowPos(search.found, nullptr, -4000, -4000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}
