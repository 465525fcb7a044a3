// The process entry, instead of the C run-time's start-up code (cmake/windows.cmake).
#include <windows.h>

// The linker's table of static constructors: -1, the constructors, 0 (cmake/windows.cmake links
// without the C run-time's start-up code, which would otherwise walk it).
extern "C" void (*__CTOR_LIST__[])();
extern "C" IMAGE_DOS_HEADER __ImageBase;

// The process entry (cmake/windows.cmake). The program takes nothing from the C run-time's
// start-up: its command line comes from GetCommandLineA, it has no thread-local data, no
// exception handling and no data imported from a DLL, and msvcrt.dll, whose few functions it
// calls, sets itself up when it is loaded. ExitProcess and not a return: a thread that the
// shell or COM started would keep the process alive after the last window is gone.
extern "C" void ProgramEntry() {
    // Today there are none; a static object with a constructor added later still gets it run,
    // in the order GCC's own start-up uses (last entry first).
    size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    while (count > 0) __CTOR_LIST__[count--]();
    ExitProcess(static_cast<UINT>(WinMain(reinterpret_cast<HINSTANCE>(&__ImageBase), nullptr, nullptr, SW_SHOWDEFAULT)));
}
