// Helpers for the capi-report tests: the core run on bytes in memory, the
// JUnit parsed back, checker output captured, and the program run as a
// process.
#ifndef CAPI_REPORT_TEST_SUPPORT_H
#define CAPI_REPORT_TEST_SUPPORT_H

#include <string>
#include <utility>
#include <vector>

#include "report.h"

// One input: its kind, the path the report names, its bytes.
struct Source {
    capireport::Kind kind;
    std::string path;
    std::string bytes;
};

// Everything the core makes of the inputs.
struct Outcome {
    std::string out;
    std::string err;
    std::string junit;
    int status;
};

// Runs the core on the inputs, each handed over in pieces of `piece` bytes
// (0: whole).
Outcome report_of(const std::vector<Source> &sources, size_t piece = 0);

// A call as "<name> PASS" or "<name> FAIL".
std::vector<std::string> calls_of(const std::string &log, size_t piece = 0);

// A JUnit file read back with GLib's markup parser.
struct TestCase {
    std::string name;
    std::string classname;
    bool failure = false;
    bool error = false;
    std::string message;
    std::string body;
};
struct Suite {
    std::string name;
    std::string tests, failures, errors;
    std::vector<TestCase> cases;
};
struct JUnit {
    bool parsed = false;
    std::string error;
    std::string tests, failures, errors;
    std::vector<Suite> suites;
};
JUnit parse_junit(const std::string &xml);

// A run of the program: its output, its errors and exit status.
struct ProgramRun {
    std::string out;
    std::string err;
    int status;  // -1 when it did not exit normally
};
// Runs capi-report with the arguments in a fresh folder, which holds `files`
// (name, bytes) first; `kept` receives the named file afterwards, if any.
ProgramRun run_program(const std::vector<std::string> &args, const std::vector<std::pair<std::string, std::string>> &files,
                const std::string &kept_name = "", std::string *kept = nullptr);

#endif
