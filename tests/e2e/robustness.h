// The robustness suite's common parts: one test case per row of a case table, the run of the
// real program to its end with every box it shows recorded and answered, the record of each
// case's outcome for the suite's summary, and the Unix side of the faults (mounts, links).
//
// Each case is named "robustness: bad list - ..." or "robustness: fault - ...". A listener
// writes one record per case (started, then passed or failed, and whether the case could
// cover what it is about) to robustness-records.txt beside the test program; the case
// "robustness: summary - ..." reads the records back, prints the counts and fails when a case
// failed or never finished.
#pragma once

#include <doctest.h>

#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "unix_side.h"

namespace robustness {

// How many cases each table holds; the summary's name states them, and each table is checked
// against its number when it is compiled.
constexpr int kBadListCases = 46;
constexpr int kFaultCases = 11;

const char kListPrefix[] = "robustness: bad list - ";
const char kFaultPrefix[] = "robustness: fault - ";

// A stable "prefix + name" for a test case name.
const char* CaseName(const char* prefix, const char* name);

// Registers one doctest case per row, named prefix + row.name, running RunCase(row). Rows must
// have static storage (a table at namespace scope).
template <const auto& Rows, size_t I>
void RunRow() {
    RunCase(Rows[I]);
}

template <const auto& Rows, size_t... I>
int RegisterRows(const char* prefix, const char* file, std::index_sequence<I...>) {
    (doctest::detail::regTest(doctest::detail::TestCase(&RunRow<Rows, I>, file, static_cast<unsigned>(1000 + I),
                                                        doctest_detail_test_suite_ns::getCurrentTestSuite()) *
                              CaseName(prefix, Rows[I].name)),
     ...);
    return 0;
}

template <const auto& Rows>
int RegisterTable(const char* prefix, const char* file) {
    constexpr size_t count = sizeof(Rows) / sizeof(Rows[0]);
    return RegisterRows<Rows>(prefix, file, std::make_index_sequence<count>());
}

// The case could not set up the fault it is about on this machine: it says so on stdout with
// "NOT COVERED: <reason>" (ctest shows the case as skipped) and is counted as not covered.
void NotCovered(const std::string& reason);

// A dialog or box the program showed, as found before it was answered.
struct Box {
    std::string caption;
    std::string text;  // a box's message, or the main text (control 101) of a dialog
};

struct Ending {
    std::vector<Box> boxes;  // in the order they appeared
    DWORD exitCode = STILL_ACTIVE;
    bool hung = false;  // neither ended nor showed a box within the time allowed
};

// Answers every box the program shows with Cancel (its Escape answer; OK for a box that has
// only OK) until the process ends. answer may choose another button for a box (return 0 to
// take Cancel). Gives up after quietMs without an end and without a box.
Ending RunToEnd(e2e::Run& run, DWORD quietMs = 60000, int (*answer)(const Box&) = nullptr);


// "caption: text" of each box, for messages.
std::string Describe(const std::vector<Box>& boxes);

}  // namespace robustness
