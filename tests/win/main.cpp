// Runner of the Windows unit tests.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "doctest_guard.h"

int main(int argc, char** argv) {
    doctest::Context context;
    context.applyCommandLine(argc, argv);
    return doctest_guard::Finish(argc, argv, context.run());
}
