// The outputs of capi-report, each a renderer of the summary, and the
// program's options: the inputs it reads and the files it may write.
//
// A new output is a renderer in a file of its own and a row in kOptions;
// main.cpp makes the option, the usage line and the --help text from the
// table and writes the file.
#ifndef CAPI_REPORT_RENDER_H
#define CAPI_REPORT_RENDER_H

#include <glib.h>
#include <stddef.h>

#include "report.h"

namespace capireport {

typedef void (*Renderer)(const Summary &summary, GString *out);

// The report as test suites of test cases, which JUnit and TAP render
// (cases.cpp).
struct TestCase {
    char *name;  // unique within its suite
    enum Verdict { kPassed, kFailed, kError } verdict;
    char *message;       // kFailed, kError: why, in one line
    GPtrArray *details;  // char *: the lines that say more
    const Call *call;    // a checker call's case: the call; else null
    // With a comparison (triage.h): the case's class ("REGRESSION", ...; a
    // failing case's message then begins with it), or null; and for a
    // failure that is known, the reasons of the known issues it matches
    // (it then counts as skipped, not as a failure or an error).
    const char *mark;
    char *known;
};
struct TestSuite {
    char *name;
    GPtrArray *cases;  // TestCase *
    Count failures, errors, skipped;
    size_t input;  // the place of its input in the summary
    char *own;     // its name in a report of that input alone: the case's name in a baseline or known issue
};
// The summary's suites in order (free with g_ptr_array_unref), with the
// summary's comparison applied where it has one.
GPtrArray *test_suites(const Summary &summary);
// The name a report of the whole summary gives the suite that a report of
// input `index` alone names `own` (g_malloc'ed).
char *suite_name(const Summary &summary, size_t index, const char *own);
// Every case of the suites, in order, by its name within its input:
// "OWN/CASE" (TestSuite::own), with " #K" where an input gives one name to
// several cases (g_ptr_array_unref; char *).
GPtrArray *case_keys(const GPtrArray *suites);

// The report for people and scripts, on standard output (text.cpp).
void write_text(const Summary &summary, GString *out);
// "PATH:LINE: reason" for every problem kept, "PATH: reason" for an input
// that cannot be read or holds nothing; on standard error (text.cpp).
void write_problems(const Summary &summary, GString *err);
// JUnit XML: a testsuite per input, a testcase per sheet row and per call
// (junit.cpp).
void write_junit(const Summary &summary, GString *xml);
// TAP version 14: a test point per suite, its cases as a subtest (tap.cpp).
void write_tap(const Summary &summary, GString *out);
// A line per test case, tab-separated: suite, case, outcome, message
// (caselist.cpp).
void write_cases(const Summary &summary, GString *out);
// With a comparison: in place of the text report, a line per case that
// changed or failed, by class, regressions first (changes.cpp).
void write_changes(const Summary &summary, GString *out);
// One self-contained HTML page: a column per input, a row per case, a cell
// per case of an input coloured by its outcome (html.cpp).
void write_html(const Summary &summary, GString *html);

// What an option that is neither an input nor an output sets: what the
// report compares its cases with (triage.h). Each is given once at most.
enum Setting { kNoSetting, kBaselineSetting, kBaselineLogSetting, kKnownSetting };

// A long option: an input it names (repeatable) or a file it writes.
struct Option {
    const char *name;      // without the leading "--"
    const char *argument;  // its argument as the usage line and --help name it
    const char *help;
    Kind input;            // an input option: the kind of input each path names
    Renderer output;       // a file output: what goes into the file; null for an input option
    const char *what;      // a file output: what the file holds, as a message names it
    int arguments;         // words it takes: 1, or 2 (--unpack DIR CAPTURE)
    Setting setting;       // a setting: which one; kNoSetting for an input or an output
};

// In the order of --help and of the usage line. Inputs are read in the
// order of the arguments left over (sheets, results folders, "-"), then
// each input option's in this order.
const Option kOptions[] = {
    {"junit", "FILE", "Also write the report as JUnit XML to FILE", kSheet, write_junit, "JUnit XML", 1, kNoSetting},
    {"tap", "FILE", "Also write the report as TAP version 14 to FILE", kSheet, write_tap, "TAP", 1, kNoSetting},
    {"cases", "FILE", "Also write its test cases, a line each, tab-separated, to FILE", kSheet, write_cases,
     "test case", 1, kNoSetting},
    {"html", "FILE", "Also write a page with a column per input and a row per case to FILE", kSheet, write_html,
     "HTML", 1, kNoSetting},
    {"log", "CAPTURED_OUTPUT", "Captured standard output of a test program (repeatable)", kLog, nullptr, nullptr, 1,
     kNoSetting},
    {"unpack", "DIR CAPTURE", "A capi-run results folder recovered into DIR from a console capture (repeatable)",
     kSession, nullptr, nullptr, 2, kNoSetting},
    {"baseline", "BASE", "Compare each case with BASE: a results folder, a sheet or a --cases file", kSheet, nullptr,
     nullptr, 1, kBaselineSetting},
    {"baseline-log", "LOG", "Compare each case with a captured output of an earlier run", kLog, nullptr, nullptr, 1,
     kBaselineLogSetting},
    {"known", "FILE", "Known failures, a line each: NAME-GLOB [KEY=GLOB]... REASON, tab-separated", kSheet, nullptr,
     nullptr, 1, kKnownSetting},
};
const size_t kOptionCount = sizeof kOptions / sizeof kOptions[0];

// What the renderers share.
namespace render {

// A path or a row name, its control bytes shown as the kit shows them.
void append_shown(GString *out, const char *text);
// Text for XML and HTML: made valid UTF-8 (invalid bytes become U+FFFD),
// control characters and those XML 1.0 refuses as "\xhh" or "\uhhhh",
// then the markup escaped (& < > " ').
void append_markup(GString *out, const char *text);
// A name or text for programs, escaped as capi-run escapes them (text.h):
// control bytes and bytes from 0x7f up as "\xhh", a backslash and each
// byte of `special` (may be null) after a backslash.
void append_escaped(GString *out, const char *text, const char *special);
// A failing case's message without the class that a comparison put before it.
const char *plain_message(const TestCase &c);
// Where the call stands: "line<between><n>" or "lines<between><a>-<b>".
void where(const Call &call, char between, char *space, size_t size);
// A failing field: its label, with `values` its two values where it has
// them, and the reason.
void append_failure(GString *out, const FailedField &f, bool values);
const FailedField &failure_at(const Call &call, guint i);
const char *status(bool pass);

// A call's name as both outputs give it: "HEADING: CHECKER" where the test
// program printed a line of its own before the call, else the checker's
// name. Raw bytes: each output shows them its own way.
char *call_name(const Call &call);
// Test case names made unique within a suite: each name that occurs more
// than once gets " #K", K its place among them from 1. Replaces the
// strings (g_malloc'ed) in place.
void make_unique(GPtrArray *names);
// What happened to a test of a session that is not ok, in a few words
// ("crashed: SIGSEGV", "failed: exit 3, 120 bytes dropped"), as capi-run's
// summary says it, or why a planned test has no test point; g_malloc'ed.
char *what_happened(const SessionTest &test);
// What a known failure says, "known: REASON" (JUnit's skipped message, the
// --cases message, the report's line); g_malloc'ed.
char *known_text(const char *reason);
// Which run a failed row was: "failed at line L, run K of N" (its line in
// the sheet, its place among the rows of its name); g_malloc'ed.
char *row_failure(const Row &row);
// The test of a session at that place.
const SessionTest &test_at(const Input &session, guint i);

}  // namespace render

}  // namespace capireport

#endif
