// The robustness suite's common parts: case registration, running the program to its end with
// every box answered, the records of the cases and the summary that counts them, and the Unix
// commands that the fault cases need.
#include "robustness.h"

#include "quiet_listener.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <map>

#include "test_files.h"

namespace robustness {

namespace {

const char kRecordsName[] = "robustness-records.txt";
const char kSummaryName[] = "robustness-summary.txt";

bool g_notCovered = false;
std::string g_notCoveredReason;

// Beside the test program, which lies in its build folder: one file per build tree.
std::string BesideTestProgram(const char* name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = std::strrchr(path, '\\');
    if (slash != nullptr) slash[1] = 0;
    return std::string(path) + name;
}

void AppendRecord(const std::string& line) {
    HANDLE file = CreateFileA(BesideTestProgram(kRecordsName).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

const char* KindOf(const char* name) {
    if (std::strncmp(name, kListPrefix, std::strlen(kListPrefix)) == 0) return "list";
    if (std::strncmp(name, kFaultPrefix, std::strlen(kFaultPrefix)) == 0) return "fault";
    return nullptr;
}

// Writes "started" when a case begins and its outcome when it ends; a case that crashes or is
// killed for hanging leaves only its "started" record.
struct RecordListener : QuietListener {
    explicit RecordListener(const doctest::ContextOptions&) {}
    const char* kind = nullptr;
    std::string name;
    void test_case_start(const doctest::TestCaseData& data) override {
        kind = KindOf(data.m_name);
        name = data.m_name;
        g_notCovered = false;
        g_notCoveredReason.clear();
        if (kind != nullptr) AppendRecord(std::string("started\t") + kind + "\t-\t" + name);
    }
    void test_case_end(const doctest::CurrentTestCaseStats& stats) override {
        if (kind == nullptr) return;
        bool passed = stats.testCaseSuccess && stats.numAssertsFailedCurrentTest == 0;
        std::string coverage = g_notCovered ? "not-covered:" + g_notCoveredReason : "covered";
        AppendRecord(std::string(passed ? "passed\t" : "failed\t") + kind + "\t" + coverage + "\t" + name);
        kind = nullptr;
    }
};

REGISTER_LISTENER("robustness-records", 2, RecordListener);

std::string SummaryCaseName() {
    return "robustness: summary - " + std::to_string(kBadListCases) + " bad lists and " +
           std::to_string(kFaultCases) + " faults in the suite, each case's outcome checked";
}

struct CaseRecord {
    std::string kind;
    bool ended = false;
    bool passed = false;
    std::string coverage;
};

std::map<std::string, CaseRecord> ReadRecords() {
    std::map<std::string, CaseRecord> cases;
    std::string text = ReadFileBytes(BesideTestProgram(kRecordsName));
    if (text == "<missing>") return cases;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        std::vector<std::string> fields;
        size_t from = 0;
        for (int i = 0; i < 3; ++i) {
            size_t tab = line.find('\t', from);
            if (tab == std::string::npos) break;
            fields.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        if (fields.size() != 3) continue;
        CaseRecord& record = cases[line.substr(from)];
        record.kind = fields[1];
        if (fields[0] == "started") {
            record.ended = false;
        } else {
            record.ended = true;
            record.passed = fields[0] == "passed";
            record.coverage = fields[2];
        }
    }
    return cases;
}

}  // namespace

const char* CaseName(const char* prefix, const char* name) {
    static std::deque<std::string> names;  // a deque never moves what it holds
    names.push_back(std::string(prefix) + name);
    return names.back().c_str();
}

void NotCovered(const std::string& reason) {
    g_notCovered = true;
    g_notCoveredReason = reason;
    std::printf("NOT COVERED: %s\n", reason.c_str());
    std::fflush(stdout);
}

Ending RunToEnd(e2e::Run& run, DWORD quietMs, int (*answer)(const Box&)) {
    Ending ending;
    DWORD lastActivity = GetTickCount();
    for (;;) {
        if (run.HasEnded()) {
            ending.exitCode = run.Exit(0);
            return ending;
        }
        e2e::Window dialog = e2e::AnswerableDialog(run.Pid());
        if (dialog) {
            // a box's text is its static 0xFFFF; the program's dialogs show theirs in control 101
            Box box{dialog.Caption(), dialog.HasControl(101) ? dialog.Text(101) : dialog.MessageText()};
            ending.boxes.push_back(box);
            int id = answer != nullptr ? answer(box) : 0;
            dialog.Press(id != 0 ? id : IDCANCEL);
            if (!dialog.WaitGone(10000)) {
                ending.hung = true;
                ending.exitCode = run.Exit(0);
                return ending;
            }
            lastActivity = GetTickCount();
            continue;
        }
        if (GetTickCount() - lastActivity > quietMs) {
            ending.hung = true;
            ending.exitCode = run.Exit(0);
            return ending;
        }
        Sleep(20);
    }
}

std::string Describe(const std::vector<Box>& boxes) {
    std::string text;
    for (const Box& box : boxes) {
        std::string shown = box.text.substr(0, 300);
        for (char& c : shown)
            if (c == '\r' || c == '\n') c = '|';
        text += "[" + box.caption + ": " + shown + "] ";
    }
    return text.empty() ? "(no box)" : text;
}

}  // namespace robustness

using namespace robustness;

TEST_CASE("robustness: start - the records of the cases are cleared") {
    DeleteFileA(BesideTestProgram(kRecordsName).c_str());
    DeleteFileA(BesideTestProgram(kSummaryName).c_str());
    CHECK_FALSE(PathExists(BesideTestProgram(kRecordsName)));
}

TEST_CASE(CaseName("", SummaryCaseName().c_str())) {
    std::map<std::string, CaseRecord> cases = ReadRecords();
    int ran = 0, lists = 0, faults = 0, passed = 0, listsCovered = 0, faultsCovered = 0;
    std::string notCovered, failed, unfinished;
    for (const auto& [name, record] : cases) {
        ++ran;
        bool isList = record.kind == "list";
        ++(isList ? lists : faults);
        if (!record.ended) {
            unfinished += "\n  " + name;
            continue;
        }
        if (!record.passed) {
            failed += "\n  " + name;
            continue;
        }
        ++passed;
        if (record.coverage == "covered") ++(isList ? listsCovered : faultsCovered);
        else notCovered += "\n  " + name + " (" + record.coverage.substr(record.coverage.find(':') + 1) + ")";
    }
    char line[400];
    std::snprintf(line, sizeof line,
                  "robustness suite: %d cases ran (%d bad lists, %d faults), %d passed; bad inputs covered: %d of %d; "
                  "faults covered: %d of %d",
                  ran, lists, faults, passed, listsCovered, kBadListCases, faultsCovered, kFaultCases);
    std::string summary = line;
    if (ran < kBadListCases + kFaultCases) summary += " (a partial run: only the selected cases ran)";
    if (!notCovered.empty()) summary += "\nnot covered on this machine:" + notCovered;
    if (!failed.empty()) summary += "\nfailed:" + failed;
    if (!unfinished.empty()) summary += "\nstarted but never finished (crash or hang of the test):" + unfinished;
    std::printf("%s\n", summary.c_str());
    std::fflush(stdout);
    WriteFileBytes(BesideTestProgram(kSummaryName), summary + "\n");
    MESSAGE(summary);
    CHECK(failed.empty());
    CHECK(unfinished.empty());
    CHECK(lists <= kBadListCases);
    CHECK(faults <= kFaultCases);
}
