// The report as test suites of test cases, which the JUnit, TAP, --cases
// and page outputs render: a suite per sheet or log, named by the file's
// base name (by its path where two inputs share one), and a suite per test
// of a session, named by the test ("FOLDER/TEST" where several sessions are
// reported, a labelled session's labels in place of FOLDER); a case per
// row, per call, "(run)" for a test of a session, and one for an input's
// problems. Each suite keeps its input and the name a report of that input
// alone gives it, by which a comparison knows its cases (case_keys).
//
// Names are unique within a suite: a name that occurs more than once gets
// " #K". A failed row says its line and which run of its name it was; in a
// session's suite it also lists the calls it pairs with: the calls under
// the heading that ends with its name (calls.cpp). A failed call's message names the failing fields; its details
// say where it stands and give each field with its values.
#include <string.h>

#include "render.h"
#include "triage.h"

namespace capireport {

namespace {

// The case of a session's own problems, and the `own` name of their suite.
const char kSessionProblems[] = "(session)";

void case_free(void *p) {
    TestCase *c = static_cast<TestCase *>(p);
    g_free(c->name);
    g_free(c->message);
    g_free(c->known);
    g_ptr_array_free(c->details, TRUE);
    g_free(c);
}

void suite_free(void *p) {
    TestSuite *s = static_cast<TestSuite *>(p);
    g_free(s->name);
    g_free(s->own);
    g_ptr_array_free(s->cases, TRUE);
    g_free(s);
}

TestSuite *suite_new(GPtrArray *suites, const char *name, size_t input, const char *own) {
    TestSuite *s = g_new0(TestSuite, 1);
    s->name = g_strdup(name);
    s->cases = g_ptr_array_new_with_free_func(case_free);
    s->input = input;
    s->own = g_strdup(own);
    g_ptr_array_add(suites, s);
    return s;
}

// A case of the suite; takes the message (g_malloc'ed or null).
TestCase *add_case(TestSuite &suite, const char *name, TestCase::Verdict verdict, char *message) {
    TestCase *c = g_new0(TestCase, 1);
    c->name = g_strdup(name);
    c->verdict = verdict;
    c->message = message;
    c->details = g_ptr_array_new_with_free_func(g_free);
    g_ptr_array_add(suite.cases, c);
    if (verdict == TestCase::kFailed) ++suite.failures;
    if (verdict == TestCase::kError) ++suite.errors;
    return c;
}

const Call &call_at(const Input &log, guint i) { return *static_cast<const Call *>(g_ptr_array_index(log.calls, i)); }

// Adds a line per failing field of the call, with both values.
void add_failures(GPtrArray *details, const Call &call, const char *indent) {
    for (guint k = 0; k < call.failures->len; ++k) {
        GString *line = g_string_new(indent);
        render::append_failure(line, render::failure_at(call, k), true);
        g_ptr_array_add(details, g_string_free(line, FALSE));
    }
}

void call_case(TestSuite &suite, const Call &call, const char *name) {
    if (call.pass) {
        add_case(suite, name, TestCase::kPassed, nullptr)->call = &call;
        return;
    }
    GString *message = g_string_new(nullptr);
    for (guint k = 0; k < call.failures->len; ++k) {
        if (k > 0) g_string_append(message, "; ");
        render::append_failure(message, render::failure_at(call, k), false);
    }
    TestCase *c = add_case(suite, name, TestCase::kFailed, g_string_free(message, FALSE));
    c->call = &call;
    char lines[64];
    render::where(call, ' ', lines, sizeof lines);
    g_ptr_array_add(c->details, g_strdup(lines));
    add_failures(c->details, call, "");
}

// Whether the heading ends with the row's name, as a word of its own.
bool heading_names(const char *heading, const char *name) {
    const size_t h = strlen(heading), n = strlen(name);
    if (n == 0 || h < n || strcmp(heading + h - n, name) != 0) return false;
    return h == n || heading[h - n - 1] == ' ' || heading[h - n - 1] == ':' || heading[h - n - 1] == '\t';
}

// The calls a row of a test pairs with: the K-th run of consecutive calls
// under one heading line that ends with the row's name, K the row's run of
// that name. Sets [*first, *end) and returns true where there is one.
bool paired_calls(const Input &log, const Row &row, guint *first, guint *end) {
    Count group = 0;
    for (guint i = 0; i < log.calls->len;) {
        const char *heading = call_at(log, i).heading;
        guint j = i + 1;
        while (j < log.calls->len && call_at(log, j).heading == heading) ++j;
        if (heading != nullptr && heading_names(heading, row.name->name) && ++group == row.run) {
            *first = i;
            *end = j;
            return true;
        }
        i = j;
    }
    return false;
}

void row_case(TestSuite &suite, const Row &row, const char *name, const Input *log) {
    if (row.pass) {
        add_case(suite, name, TestCase::kPassed, nullptr);
        return;
    }
    TestCase *c = add_case(suite, name, TestCase::kFailed, render::row_failure(row));
    guint first = 0, end = 0;
    if (log == nullptr || !paired_calls(*log, row, &first, &end)) return;
    g_ptr_array_add(c->details, g_strdup_printf("its calls, under \"%s\":", call_at(*log, first).heading));
    for (guint i = first; i < end; ++i) {
        const Call &call = call_at(*log, i);
        char lines[64];
        render::where(call, ' ', lines, sizeof lines);
        g_ptr_array_add(c->details, g_strdup_printf("%s %s %s", render::status(call.pass), lines, call.name));
        add_failures(c->details, call, "  ");
    }
}

// The cases of a sheet's rows and a log's calls (either may be null), named
// uniquely within the suite; with `paired`, a failed row lists its calls.
void rows_and_calls(TestSuite &suite, const Input *sheet, const Input *log, bool paired) {
    GPtrArray *names = g_ptr_array_new_with_free_func(g_free);
    const guint rows = sheet ? sheet->rows->len : 0;
    const guint calls = log ? log->calls->len : 0;
    for (guint i = 0; i < calls; ++i) g_ptr_array_add(names, render::call_name(call_at(*log, i)));
    for (guint i = 0; i < rows; ++i) {
        g_ptr_array_add(names, g_strdup(static_cast<const Row *>(g_ptr_array_index(sheet->rows, i))->name->name));
    }
    render::make_unique(names);
    for (guint i = 0; i < calls; ++i) {
        call_case(suite, call_at(*log, i), static_cast<const char *>(g_ptr_array_index(names, i)));
    }
    for (guint i = 0; i < rows; ++i) {
        row_case(suite, *static_cast<const Row *>(g_ptr_array_index(sheet->rows, i)),
                 static_cast<const char *>(g_ptr_array_index(names, calls + i)), paired ? log : nullptr);
    }
    g_ptr_array_free(names, TRUE);
}

// The problems of an input as one case with an error: "(sheet)", "(log)" or
// "(session)"; none where it has none.
void problems_case(TestSuite &suite, const Input *in) {
    if (in == nullptr || (in->error == nullptr && in->problem_count == 0)) return;
    const char *name = in->kind == kSheet ? "(sheet)" : in->kind == kLog ? "(log)" : kSessionProblems;
    char *message = in->error != nullptr
                        ? g_strdup(in->error)
                        : g_strdup_printf("%llu problem%s", in->problem_count, in->problem_count == 1 ? "" : "s");
    TestCase *c = add_case(suite, name, TestCase::kError, message);
    if (in->problem_count == 0) return;
    if (in->error != nullptr) g_ptr_array_add(c->details, g_strdup(in->error));
    for (guint i = 0; i < in->problems->len; ++i) {
        const Problem *p = static_cast<const Problem *>(g_ptr_array_index(in->problems, i));
        g_ptr_array_add(c->details, p->line ? g_strdup_printf("line %llu: %s", p->line, p->reason) : g_strdup(p->reason));
    }
    if (in->problem_count > in->problems->len) {
        g_ptr_array_add(c->details, g_strdup_printf("%llu more", in->problem_count - in->problems->len));
    }
}

// An input's short name: a labelled session's labels, else the base name
// of its path.
char *short_name(const Input &in) {
    return in.kind == kSession && in.labels->len > 0 ? input_name(in) : g_path_get_basename(in.path);
}

// The name of an input's suite, or of the prefix of a session's suites: its
// short name, or where another input has the same short name (several
// gateways' capi.xls), its path as given, after its labels where it has
// them, so that every suite stays apart.
char *input_suite_name(const Summary &s, size_t index) {
    const Input &in = *s.inputs[index].input;
    char *name = short_name(in);
    for (size_t i = 0; i < s.count; ++i) {
        if (i == index) continue;
        char *other = short_name(*s.inputs[i].input);
        const bool clash = strcmp(name, other) == 0;
        g_free(other);
        if (clash) {
            char *both = in.labels->len > 0 ? g_strdup_printf("%s (%s)", name, in.path) : g_strdup(in.path);
            g_free(name);
            return both;
        }
    }
    return name;
}

size_t session_count(const Summary &s) {
    size_t sessions = 0;
    for (size_t i = 0; i < s.count; ++i) sessions += s.inputs[i].input->kind == kSession ? 1 : 0;
    return sessions;
}

// A suite per test of the session: its calls, its rows, "(run)" (an error
// naming what happened to a test point that is not ok), the problems of its
// output and rows; first one of the folder's name for the session's own
// problems. Where several sessions are reported (a fleet of gateways), a
// test's suite is named "FOLDER/TEST" (the session's labels in place of
// FOLDER where it has them), so that the suites stay apart.
void session_suites(GPtrArray *suites, const Summary &s, size_t index, const char *name) {
    const Input &in = *s.inputs[index].input;
    if (in.error != nullptr || in.problem_count > 0) {
        problems_case(*suite_new(suites, name, index, kSessionProblems), &in);
    }
    for (guint i = 0; i < in.tests->len; ++i) {
        const SessionTest &test = render::test_at(in, i);
        char *named = suite_name(s, index, test.point.name);
        TestSuite &suite = *suite_new(suites, named, index, test.point.name);
        g_free(named);
        rows_and_calls(suite, test.rows && !test.rows->error ? test.rows : nullptr,
                       test.log && !test.log->error ? test.log : nullptr, true);
        if (capi_session_ok(&test.point)) {
            add_case(suite, "(run)", TestCase::kPassed, nullptr);
        } else {
            add_case(suite, "(run)", TestCase::kError, render::what_happened(test));
        }
        problems_case(suite, test.log);
        problems_case(suite, test.rows);
    }
}

}  // namespace

char *suite_name(const Summary &s, size_t index, const char *own) {
    char *name = input_suite_name(s, index);
    // The session's own problems are its suite, as a sheet's or a log's are.
    if (s.inputs[index].input->kind != kSession || strcmp(own, kSessionProblems) == 0) return name;
    char *suite = session_count(s) > 1 ? g_strdup_printf("%s/%s", name, own) : g_strdup(own);
    g_free(name);
    return suite;
}

GPtrArray *test_suites(const Summary &s) {
    GPtrArray *suites = g_ptr_array_new_with_free_func(suite_free);
    for (size_t i = 0; i < s.count; ++i) {
        const Input &in = *s.inputs[i].input;
        char *name = input_suite_name(s, i);
        if (in.kind == kSession) {
            session_suites(suites, s, i, name);
        } else {
            char *base = g_path_get_basename(in.path);
            TestSuite &suite = *suite_new(suites, name, i, base);
            g_free(base);
            rows_and_calls(suite, &in, &in, false);
            problems_case(suite, &in);
        }
        g_free(name);
    }
    if (s.triage != nullptr) triage_apply(*s.triage, suites);
    return suites;
}

GPtrArray *case_keys(const GPtrArray *suites) {
    GPtrArray *keys = g_ptr_array_new_with_free_func(g_free);
    for (guint i = 0; i < suites->len;) {
        // The suites of one input, made unique together.
        const size_t input = static_cast<const TestSuite *>(g_ptr_array_index(suites, i))->input;
        GPtrArray *names = g_ptr_array_new();
        for (; i < suites->len && static_cast<const TestSuite *>(g_ptr_array_index(suites, i))->input == input; ++i) {
            const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
            for (guint k = 0; k < suite.cases->len; ++k) {
                const TestCase &c = *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k));
                g_ptr_array_add(names, g_strdup_printf("%s/%s", suite.own, c.name));
            }
        }
        render::make_unique(names);
        for (guint k = 0; k < names->len; ++k) g_ptr_array_add(keys, g_ptr_array_index(names, k));
        g_ptr_array_free(names, TRUE);
    }
    return keys;
}

}  // namespace capireport
