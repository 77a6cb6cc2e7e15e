// capi-report's core: result sheets and captured checker output read into
// results, summed up once in a summary that the outputs render (render.h).
// The program (main.cpp) only reads its options and writes these outputs;
// the tests use the core directly.
//
// Memory: a line is kept up to kMaxLine bytes, whatever its length, and a log
// is matched through a window of a few dozen lines; what stays is one record
// per sheet row, per row name and per checker call, and the first
// kMaxProblems problems of each input.
#ifndef CAPI_REPORT_REPORT_H
#define CAPI_REPORT_REPORT_H

#include <glib.h>
#include <stddef.h>

#include "session.h"

namespace capireport {

typedef unsigned long long Count;

// Bytes of a line that are kept; a longer line is cut there. Every line the
// kit prints is shorter, and so is every sheet row that is not malformed.
const size_t kMaxLine = 4096;
// Problems of one input that are kept, shown on stderr and put into the
// JUnit file; the rest are only counted.
const size_t kMaxProblems = 100;

// A result sheet, a test program's captured output, or a capi-run results
// folder (a session: its summary, each test's output and rows).
enum Kind { kSheet, kLog, kSession };

// Something wrong with an input: a malformed sheet row, a stray line of the
// kit in a log, an input that holds nothing (line 0), or a problem that
// names its own file and line (`whole`: a session summary's, a console
// capture's "FILE:LINE: reason").
struct Problem {
    Count line;
    char *reason;
    bool whole;
};

// All rows of one name in one sheet.
struct RowName {
    char *name;
    Count runs;
    Count passes;
    Count failures;
    bool latest_pass;
};

struct Row {
    const RowName *name;
    Count line;
    Count run;  // which of its name's rows it is, from 1
    bool pass;
};

// Why a field of a call failed. `result` and `target` are the values as the
// field line shows them, or null where the failure names no field line (an
// incomplete call, a direct domain check).
struct FailedField {
    char *label;
    char *result;
    char *target;
    char *reason;
};

// One top-level call of a checker or of a scalar primitive.
struct Call {
    const char *name;
    Count first_line;
    Count last_line;
    Count entries;  // file-entry walk: the entries it printed; else 0
    bool pass;
    bool complete;
    GPtrArray *failures;  // FailedField *
    // FailedField *: every judged field in order, `reason` null where it
    // passed; kept only where the catalog asks for it (keep_fields), null
    // otherwise.
    GPtrArray *fields;
    // GRefString: the test program's own line (a heading) last before the
    // call's first line, or null where the log has none before it.
    char *heading;
};

struct Input;

// One test of a session: its point of the session summary, its captured
// output read as a log, its rows of the folder's sheet.
struct SessionTest {
    capi_session_test point;
    Input *log;   // null where the test left no output file
    Input *rows;  // null where it appended no row
    // A planned test without a test point, in a session cut short: what
    // became of it ("running when the session stopped: kernel panic", "not
    // run: ..."); null for a test of the summary.
    char *missing;
};

struct Input {
    Kind kind;
    char *path;           // as given
    char *error;          // what could not be read and why ("cannot read PATH: reason"), or null
    GPtrArray *names;     // sheet: RowName *, in order of first appearance
    GHashTable *by_name;  // sheet: name -> RowName *
    GPtrArray *rows;      // sheet: Row *, in file order
    GPtrArray *calls;     // log: Call *, in file order
    Count malformed;      // sheet: malformed lines; log: stray lines of the kit
    Count foreign;        // log: lines that are not the kit's
    GPtrArray *tests;     // session: SessionTest *, in the summary's order
    GPtrArray *labels;    // session: char *, "KEY=VALUE" as capi-run --label gave it, in order
    char *cut;            // session: "cut short after test K (NAME)" where the summary has no last line, else null
    char *capture;        // session: the console capture it was recovered from, or null
    Count repaired, rebuilt;  // session: capture lines put together again, and rebuilt from their parity
    GPtrArray *gaps;      // session: Gap *, the bytes of its files the capture lost
    bool part;            // part of a session: holding nothing is no problem
    GPtrArray *problems;  // Problem *, the first kMaxProblems
    Count problem_count;
};

// What the report knows of the kit's checkers: their steps, read from the
// checkers themselves. Made once, shared by every input.
struct Catalog;
Catalog *catalog_new();
void catalog_free(Catalog *catalog);
// Makes the calls read from then on keep every judged field with its values
// (Call::fields), which a comparison with a baseline needs; off by default,
// so that a long log costs one record per call.
void catalog_keep_fields(Catalog *catalog);

struct LogState;

// Lines first..last of an input, from 1.
struct LineRange {
    Count first, last;
};

// Bytes first..last of a file that a console capture lost (they read as
// zero bytes in the recovered file).
struct Gap {
    char *file;
    Count first, last;
};

// Reads one input from bytes handed over in pieces of any size.
class Reader {
public:
    // With `lines`, only those lines are read, and an input holding nothing
    // is no problem (a part of a session).
    // With `gaps` (the file's bytes a capture lost, in order), a line that
    // holds any of them is not read: the log names the gap there.
    Reader(Kind kind, const char *path, const Catalog *catalog, const LineRange *lines = nullptr,
           const GPtrArray *gaps = nullptr);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    void feed(const char *bytes, size_t length);
    // Ends the input and hands it over (free it with input_free).
    Input *finish();

private:
    void line();

    Input *input_;
    const Catalog *catalog_;
    GString *line_;
    bool cut_;
    Count number_;
    LineRange lines_;
    Count kit_line_;  // sheet: the first malformed line that is a line of the kit, or 0
    LogState *log_;
    const GPtrArray *gaps_;  // Gap *: of this file, in order
    Count offset_;           // bytes fed so far
    Count line_start_;       // where the line being read begins
    guint gap_;              // the next gap not yet named
};

// Why a file could not be read (or a report written), in the same words
// whatever the C library (g_malloc'ed).
char *read_error_text(int error);

// Reads the file (a sheet or a log; "-" standard input); an input that
// cannot be read comes back with `error` set. With `lines`, only those
// lines are read (a test's rows of a session's sheet).
Input *read_input(Kind kind, const char *path, const Catalog *catalog, const LineRange *lines = nullptr,
                  const GPtrArray *gaps = nullptr);
// Reads a capi-run results folder; with `capture`, first recovers the
// folder into `dir` from that console capture (its damaged lines are
// problems of the session).
Input *read_session(const char *dir, const char *capture, const Catalog *catalog);
void input_free(Input *input);

// How the report names an input: a session by its labels ("board=gw2
// build=4.1.7"), anything else, and a session without labels, by its path
// as given (g_malloc'ed).
char *input_name(const Input &input);

// What the report says of one input, counted once for every output.
struct InputTotals {
    const Input *input;
    Count rows, names, passes, failures, failing;  // sheet; `failing`: names whose latest outcome failed
    Count calls, failed, incomplete;               // log; session: of every test
    Count tests, tests_failed;                     // session
    bool unreadable;
    // Readable, and a name's latest outcome or a call failed, a line was
    // malformed or stray, or it holds no row or call at all.
    bool fail;
};

struct Triage;

// All inputs summed up, in the order given: what every output renders.
struct Summary {
    InputTotals *inputs;
    size_t count;
    Count unreadable, names, failing, calls, failed;
    Count malformed;  // sheet lines
    Count stray;      // log lines
    bool fail;        // an input fails
    // 0: everything passed; 1: a failure, a malformed row, a stray line or
    // an empty input; 2: an input could not be read.
    int status;
    // A comparison with a baseline or a list of known failures (triage.h),
    // which the outputs then show; null without one.
    const Triage *triage;
};

// Whether a session's test passed: its point is ok, every call of its
// output and every one of its rows passed, and both could be read.
bool test_passes(const SessionTest &test);

// The inputs stay the caller's and must outlive the summary.
Summary *summarize(Input *const *inputs, size_t count);
void summary_free(Summary *summary);

}  // namespace capireport

#endif
