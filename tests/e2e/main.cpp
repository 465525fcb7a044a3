// Runner of the end-to-end scenarios: --setup=<Setup.exe> --tools=<folder of stand-in programs>.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstdio>
#include <string>

#include <cstring>

#include "doctest_guard.h"
#include "driver.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--setup=", 8) == 0) e2e::SetProgramUnderTest(e2e::WindowsPath(argv[i] + 8));
        if (std::strncmp(argv[i], "--tools=", 8) == 0) e2e::SetToolsFolder(e2e::WindowsPath(argv[i] + 8));
        if (std::strncmp(argv[i], "--demo=", 7) == 0) e2e::SetDemoFolder(e2e::WindowsPath(argv[i] + 7));
    }
    doctest::Context context;
    context.applyCommandLine(argc, argv);
    return doctest_guard::Finish(argc, argv, context.run());
}
