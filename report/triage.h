// The report's cases compared with a baseline (the cases of an earlier run)
// and with a list of known failures: what changed, what is known, and the
// exit status that follows (a failure that is new and not known makes it 1).
//
// A case is named by its key: "SUITE/CASE" as a report of its input alone
// names it (render.h, case_keys), so a session's test "capi_demo" has the
// cases "capi_demo/capi_demo: wifi_function: CheckTolvaWiFiInfo_t" whether
// it is reported alone or beside other gateways' sessions. Each input is
// compared with the baseline on its own.
#ifndef CAPI_REPORT_TRIAGE_H
#define CAPI_REPORT_TRIAGE_H

#include <glib.h>

#include "render.h"

namespace capireport {

// ---- Known failures (known.cpp) ----
//
// A text file, one known failure a line, its fields separated by tabs:
//
//   NAME-GLOB [<tab> KEY=VALUE-GLOB]... <tab> REASON
//
// NAME-GLOB is a glob (GLib's GPatternSpec: "*" any text, "?" one
// character) over a case's key, "SUITE/CASE", or over "SUITE/CASE/FIELD"
// for one field of a checker call; each condition a glob over the value of
// the session's label KEY; REASON says why (a ticket). Names and values are
// matched as the --cases file writes them (capi_escape: printable ASCII, a
// byte outside it as "\xhh"), so the file is printable ASCII. Blank lines
// and lines whose first character that is not a blank is "#" are comments.
// A field's blanks around it are not part of it; several tabs in a row are
// one separator.
struct KnownIssue {
    unsigned long line;
    char *name;           // the NAME-GLOB as written
    GPatternSpec *glob;
    GPtrArray *keys;      // char *: the conditions' label keys
    GPtrArray *values;    // GPatternSpec *: the globs over their values
    char *reason;
    bool seen;     // a failure matched it
    bool applies;  // an input's labels meet its conditions
};
struct KnownList {
    char *path;
    GPtrArray *issues;  // KnownIssue *, in file order
};

// Reads the known failures; null when the file cannot be read or a line of
// it is not a known failure: every such line is named on `errors`
// ("FILE:LINE: reason\n"; "capi-report: cannot read FILE: reason\n").
KnownList *known_read(const char *path, GString *errors);
// The same from bytes in memory, named `path` in the messages.
KnownList *known_parse(const char *path, const char *bytes, size_t length, GString *errors);
void known_free(KnownList *known);
// The reasons of the known failures matching the failure named `name` (a
// case's key, or a key and "/FIELD") of an input with those labels, joined
// by "; ", or null (g_malloc'ed); marks them seen.
char *known_match(KnownList &known, const char *name, const Input &input);
// Notes, for each known failure, whether the input's labels meet its conditions.
void known_applies(KnownList &known, const Input &input);

// ---- A baseline (baseline.cpp) ----

struct BaseCase {
    char *own;   // its suite's name, as a report of the baseline alone gives it
    char *name;  // its name within the suite
    char *key;   // "OWN/NAME", " #K" where the baseline gives one key to several cases
    bool pass;
    const Call *call;  // a checker call with its fields (the baseline a folder or a log), else null
    size_t seen;       // the last input that has it, from 1
};
struct Baseline {
    char *path;
    Input *input;       // read as a results folder, a sheet or a log; null for a --cases file
    GPtrArray *cases;   // BaseCase *, in order
    GHashTable *by_key; // key -> BaseCase *
};

// Reads a baseline as the setting names it (kBaselineSetting: a results
// folder, a --cases file, which a first line of three tabs tells, or a
// sheet; kBaselineLogSetting: a captured output). Null when it cannot be
// read or a line of a --cases file is not a case (named on `errors`); the
// problems of a folder, sheet or log go to `errors` and the reading goes on.
Baseline *baseline_read(const char *path, Setting setting, const Catalog *catalog, GString *errors);
// A --cases file's bytes in memory.
Baseline *baseline_parse_cases(const char *path, const char *bytes, size_t length, GString *errors);
// The cases of an input read as the baseline (a folder, a sheet or a log);
// takes the input, writes its problems to `errors`.
Baseline *baseline_of(const char *path, Input *input, GString *errors);
void baseline_free(Baseline *baseline);

// ---- The comparison (triage.cpp) ----

// What a case is, by the rank in which the changes are listed.
enum Change {
    kRegression,    // passed in the baseline, fails now
    kNewFailing,    // not in the baseline, fails
    kStillFailing,  // failed in the baseline and fails now
    kFailing,       // fails, and there is no baseline
    kKnownFailure,  // fails and is known (whatever it was in the baseline)
    kFixed,         // failed in the baseline, passes now
    kNewPassing,    // not in the baseline, passes
    kGone,          // in the baseline, not in the input
    kUnchanged,     // passed in the baseline, or there is none, and passes
};
// The class word that the text report, JUnit and the page give it; null
// for kFailing and kUnchanged.
const char *change_word(Change change);

struct CaseTriage {
    Change change;
    bool counts;       // fails newly and is not known: makes the exit status 1
    char *known;       // a known failure: the reasons, else null
    GPtrArray *lines;  // char *: the fields whose verdict changed, a line each
    // A case gone from an input: its input, its name as the report would
    // give it and its key; null for the others.
    size_t input;
    char *name;
    char *key;
};

struct Triage {
    Baseline *baseline;  // or null
    KnownList *known;    // or null
    GPtrArray *cases;    // CaseTriage *: one per case of the plain test suites, in order
    GPtrArray *gone;     // CaseTriage *: the baseline's cases gone from each input
    Count counts[kUnchanged + 1];
    Count unseen;        // known failures no longer seen
    Count newly;         // cases that count for the exit status
    int status;
};

// A comparison with the baseline and the known failures (either may be
// null); takes both.
Triage *triage_new(Baseline *baseline, KnownList *known);
// What the settings ask for (null where not given); null when one cannot
// be read, with why on `errors`. With a baseline, the catalog keeps the
// fields of every call read from then on.
Triage *triage_read(const char *baseline, Setting kind, const char *known, Catalog *catalog, GString *errors);
// Compares the summary's cases; the triage's status then takes the
// summary's place (2 still where an input cannot be read).
void triage_compare(Triage &triage, const Summary &summary);
// Marks the cases of test_suites (called by it): the class, a failing
// case's message and details, a known failure as skipped.
void triage_apply(const Triage &triage, GPtrArray *suites);
void triage_free(Triage *triage);

}  // namespace capireport

#endif
