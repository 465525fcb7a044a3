// Test runner of the native tests.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstdio>
#include <string>

#include "doctest_guard.h"

int main(int argc, char** argv) {
    doctest::Context context;
    context.applyCommandLine(argc, argv);
    return doctest_guard::Finish(argc, argv, context.run());
}
