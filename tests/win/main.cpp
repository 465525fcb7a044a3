// Test runner of the Windows unit tests. A few tests start this program again as a child in a
// special mode (see win_test_support.h), to watch behaviour that ends a process.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstdio>
#include <string>

#include "doctest_guard.h"
#include "win_test_support.h"

int main(int argc, char** argv) {
    int childExit = 0;
    if (RunChildMode(argc, argv, &childExit)) return childExit;
    doctest::Context context;
    context.applyCommandLine(argc, argv);
    return doctest_guard::Finish(argc, argv, context.run());
}
