// A test program run for named test cases must fail when no test case matched the names:
// CMake splits a discovered name at a semicolon, and the pieces match nothing, so the run
// would pass having checked nothing. Include this header in exactly one file of each test
// program.
#pragma once

#include <doctest.h>

namespace doctest_guard {

inline int& StartedCases() {
    static int count = 0;
    return count;
}

struct CountingListener : doctest::IReporter {
    explicit CountingListener(const doctest::ContextOptions&) {}
    void test_case_start(const doctest::TestCaseData&) override { ++StartedCases(); }
    void report_query(const doctest::QueryData&) override {}
    void test_run_start() override {}
    void test_run_end(const doctest::TestRunStats&) override {}
    void test_case_reenter(const doctest::TestCaseData&) override {}
    void test_case_end(const doctest::CurrentTestCaseStats&) override {}
    void test_case_exception(const doctest::TestCaseException&) override {}
    void subcase_start(const doctest::SubcaseSignature&) override {}
    void subcase_end() override {}
    void log_assert(const doctest::AssertData&) override {}
    void log_message(const doctest::MessageData&) override {}
    void test_case_skipped(const doctest::TestCaseData&) override {}
};

REGISTER_LISTENER("started-cases", 1, CountingListener);

// The exit code of a run: doctest's own, or 1 when a name filter selected nothing.
inline int Finish(int argc, char** argv, int doctestResult) {
    bool filtered = false;
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--test-case=", 0) == 0 || arg.rfind("-tc=", 0) == 0) filtered = true;
        if (arg.rfind("--list", 0) == 0 || arg.rfind("-ltc", 0) == 0) listing = true;
    }
    if (filtered && !listing && StartedCases() == 0) {
        fprintf(stderr, "no test case matched the given name (a semicolon in a test name splits it)\n");
        return 1;
    }
    return doctestResult;
}

}  // namespace doctest_guard
