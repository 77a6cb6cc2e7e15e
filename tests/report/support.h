// Helpers for the capi-report tests: the core run on bytes in memory, the
// JUnit checked for well-formed XML 1.0, and the program run as a process.
#ifndef CAPI_REPORT_TEST_SUPPORT_H
#define CAPI_REPORT_TEST_SUPPORT_H

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "render.h"

// One input: its kind, the path the report names, its bytes.
struct Source {
    capireport::Kind kind;
    std::string path;
    std::string bytes;
};

// Everything the core makes of the inputs: the text report, the problems,
// the JUnit file and every file output of the program's table by its
// option's name (junit too).
struct Outcome {
    std::string out, err, junit;
    int status;
    std::map<std::string, std::string> files;
};

// Runs the core on the inputs, each handed over in pieces of `piece` bytes
// (0: whole).
Outcome report_of(const std::vector<Source> &sources, size_t piece = 0);

// The calls of a log, each as "<name> PASS" or "<name> FAIL".
std::vector<std::string> calls_of(const std::string &log, size_t piece = 0);

// Why the text is not well-formed XML 1.0 (GLib's markup parser, and only
// the characters XML 1.0 admits), or "" when it is.
std::string xml_fault(const std::string &xml);

// A run of the program: its output, its errors and exit status (-1 when it
// did not exit normally).
struct ProgramRun {
    std::string out, err;
    int status;
};
typedef std::vector<std::pair<std::string, std::string>> Files;  // name, bytes
// Runs capi-report with the arguments in a fresh folder, which holds `files`
// first; `kept` receives the file named `kept_name` afterwards, if any. With
// `environment` set for it, and standard input from the file `input` of the
// folder (else from /dev/null).
ProgramRun run_program(const std::vector<std::string> &args, const Files &files, const std::string &kept_name = "",
                       std::string *kept = nullptr, const Files &environment = {}, const std::string &input = "");

#endif
