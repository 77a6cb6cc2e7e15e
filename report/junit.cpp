// The JUnit XML file.
//
// A <testsuite> per sheet or log, named by the file's base name (by its path
// where two inputs share a base name); a <testcase> per sheet row (named by
// the row) and per call (named as the text report names it: the heading the
// test program printed before it, and the checker), a <failure> in each
// failed one: a row's says its line and which run of its name it was, a
// call's message lists the failing fields. Names are unique within a suite:
// a name that occurs more than once gets " #K", its place among them. The
// problems of an input (malformed rows, stray lines, no row or call at all,
// unreadable) make one more testcase, "(sheet)" or "(log)", with an <error>.
// A session gives a suite per test, named by the test: its calls and rows,
// "(run)" (an <error> naming what happened where the test point is not ok)
// and the problems of its parts; its own problems (the summary's, the
// capture's) make a suite of the folder's name with a "(session)" testcase.
// Texts are made valid UTF-8 (invalid bytes become U+FFFD), control
// characters and the characters XML 1.0 refuses are written as "\xhh" or
// "\uhhhh", then the markup is escaped: the file is well-formed whatever
// bytes the inputs hold.
#include "render.h"

#include <string.h>

namespace capireport {

namespace {

// Text fit for XML 1.0 and escaped for markup.
void append_xml(GString *out, const char *bytes, size_t length) {
    char *valid = g_utf8_make_valid(bytes, static_cast<gssize>(length));
    GString *clean = g_string_sized_new(length);
    for (const char *p = valid; *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if (c < 0x20 || c == 0x7f) {
            g_string_append_printf(clean, "\\x%02x", c);
        } else if ((c >= 0x80 && c <= 0x9f) || c == 0xfffe || c == 0xffff) {
            g_string_append_printf(clean, "\\u%04x", c);
        } else {
            g_string_append_len(clean, p, g_utf8_next_char(p) - p);
        }
    }
    char *escaped = g_markup_escape_text(clean->str, static_cast<gssize>(clean->len));
    g_string_append(out, escaped);
    g_free(escaped);
    g_string_free(clean, TRUE);
    g_free(valid);
}

void append_xml(GString *out, const char *text) { append_xml(out, text, strlen(text)); }

// A testcase's opening tag, without its closing ">" or "/>".
void open_case(GString *xml, const char *suite, const char *name) {
    g_string_append(xml, "    <testcase classname=\"");
    append_xml(xml, suite);
    g_string_append(xml, "\" name=\"");
    append_xml(xml, name);
    g_string_append_c(xml, '"');
}

// The <error> of a testcase: the message, then the body's lines.
void error_case(GString *xml, const char *suite, const char *name, const char *message, const GPtrArray *lines) {
    open_case(xml, suite, name);
    g_string_append(xml, ">\n      <error message=\"");
    append_xml(xml, message);
    if (lines == nullptr) {
        g_string_append(xml, "\"/>\n    </testcase>\n");
        return;
    }
    g_string_append(xml, "\">");
    for (guint i = 0; i < lines->len; ++i) {
        append_xml(xml, static_cast<const char *>(g_ptr_array_index(lines, i)));
        g_string_append_c(xml, '\n');
    }
    g_string_append(xml, "</error>\n    </testcase>\n");
}

// The problems of an input as one testcase with an <error>: "(sheet)",
// "(log)" or "(session)".
void junit_problems(GString *xml, const Input &in, const char *suite) {
    const char *name = in.kind == kSheet ? "(sheet)" : in.kind == kLog ? "(log)" : "(session)";
    if (in.error != nullptr && in.problem_count == 0) {
        error_case(xml, suite, name, in.error, nullptr);
        return;
    }
    GPtrArray *lines = g_ptr_array_new_with_free_func(g_free);
    if (in.error != nullptr) g_ptr_array_add(lines, g_strdup(in.error));
    for (guint i = 0; i < in.problems->len; ++i) {
        const Problem *p = static_cast<const Problem *>(g_ptr_array_index(in.problems, i));
        g_ptr_array_add(lines, p->line ? g_strdup_printf("line %llu: %s", p->line, p->reason) : g_strdup(p->reason));
    }
    if (in.problem_count > in.problems->len) {
        g_ptr_array_add(lines, g_strdup_printf("%llu more", in.problem_count - in.problems->len));
    }
    char *message = in.error != nullptr ? g_strdup(in.error)
                                        : g_strdup_printf("%llu problem%s", in.problem_count, in.problem_count == 1 ? "" : "s");
    error_case(xml, suite, name, message, lines);
    g_free(message);
    g_ptr_array_free(lines, TRUE);
}

// A suite's name: the input's base name, or its path as given where another
// input has the same base name (several gateways' capi.xls), so that every
// suite stays apart.
char *suite_name(const Summary &s, size_t index) {
    const char *path = s.inputs[index].input->path;
    char *base = g_path_get_basename(path);
    for (size_t i = 0; i < s.count; ++i) {
        if (i == index) continue;
        char *other = g_path_get_basename(s.inputs[i].input->path);
        const bool clash = strcmp(base, other) == 0;
        g_free(other);
        if (clash) {
            g_free(base);
            return g_strdup(path);
        }
    }
    return base;
}

// One suite being written: its testcases go to `cases` and are counted.
struct Suite {
    const char *name;
    GString *cases;
    Count tests, failures, errors;
};

void suite_end(GString *xml, Suite &suite, Count totals[3]) {
    g_string_append(xml, "  <testsuite name=\"");
    append_xml(xml, suite.name);
    g_string_append_printf(xml, "\" tests=\"%llu\" failures=\"%llu\" errors=\"%llu\">\n", suite.tests, suite.failures,
                           suite.errors);
    g_string_append_len(xml, suite.cases->str, static_cast<gssize>(suite.cases->len));
    g_string_append(xml, "  </testsuite>\n");
    totals[0] += suite.tests;
    totals[1] += suite.failures;
    totals[2] += suite.errors;
    g_string_free(suite.cases, TRUE);
}

void call_case(Suite &suite, const Call &call, const char *name) {
    GString *xml = suite.cases;
    open_case(xml, suite.name, name);
    ++suite.tests;
    if (call.pass) {
        g_string_append(xml, "/>\n");
        return;
    }
    ++suite.failures;
    // The message names the fields and why they failed; the body gives
    // where the call stands and a line per field with its values.
    GString *text = g_string_new(nullptr);
    for (guint k = 0; k < call.failures->len; ++k) {
        if (k > 0) g_string_append(text, "; ");
        render::append_failure(text, render::failure_at(call, k), false);
    }
    g_string_append(xml, ">\n      <failure message=\"");
    append_xml(xml, text->str, text->len);
    char lines[64];
    render::where(call, ' ', lines, sizeof lines);
    g_string_append(xml, "\">");
    append_xml(xml, lines);
    g_string_append_c(xml, '\n');
    for (guint k = 0; k < call.failures->len; ++k) {
        g_string_truncate(text, 0);
        render::append_failure(text, render::failure_at(call, k), true);
        append_xml(xml, text->str, text->len);
        g_string_append_c(xml, '\n');
    }
    g_string_free(text, TRUE);
    g_string_append(xml, "</failure>\n    </testcase>\n");
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
        const char *heading = static_cast<const Call *>(g_ptr_array_index(log.calls, i))->heading;
        guint j = i + 1;
        while (j < log.calls->len && static_cast<const Call *>(g_ptr_array_index(log.calls, j))->heading == heading) ++j;
        if (heading != nullptr && heading_names(heading, row.name->name) && ++group == row.run) {
            *first = i;
            *end = j;
            return true;
        }
        i = j;
    }
    return false;
}

// A row's testcase; in a session's suite a failed row pairs with its calls
// and lists them with their verdicts and failing fields.
void row_case(Suite &suite, const Row &row, const char *name, const Input *log) {
    GString *xml = suite.cases;
    open_case(xml, suite.name, name);
    ++suite.tests;
    if (row.pass) {
        g_string_append(xml, "/>\n");
        return;
    }
    ++suite.failures;
    g_string_append_printf(xml, ">\n      <failure message=\"failed at line %llu, run %llu of %llu\"", row.line, row.run,
                           row.name->runs);
    guint first = 0, end = 0;
    if (log == nullptr || !paired_calls(*log, row, &first, &end)) {
        g_string_append(xml, "/>\n    </testcase>\n");
        return;
    }
    // The body: the heading, then a line per call and per failing field.
    g_string_append_c(xml, '>');
    GString *text = g_string_new(nullptr);
    g_string_printf(text, "its calls, under \"%s\":", static_cast<const Call *>(g_ptr_array_index(log->calls, first))->heading);
    for (guint i = first; i < end; ++i) {
        append_xml(xml, text->str, text->len);
        g_string_append_c(xml, '\n');
        const Call &call = *static_cast<const Call *>(g_ptr_array_index(log->calls, i));
        char lines[64];
        render::where(call, ' ', lines, sizeof lines);
        g_string_printf(text, "%s %s %s", render::status(call.pass), lines, call.name);
        for (guint k = 0; k < call.failures->len; ++k) {
            append_xml(xml, text->str, text->len);
            g_string_append_c(xml, '\n');
            g_string_assign(text, "  ");
            render::append_failure(text, render::failure_at(call, k), true);
        }
    }
    append_xml(xml, text->str, text->len);
    g_string_append(xml, "\n</failure>\n    </testcase>\n");
    g_string_free(text, TRUE);
}

// The testcases of a sheet's rows and a log's calls (either may be null),
// named uniquely within the suite; with `paired`, a failed row lists the
// calls it pairs with.
void rows_and_calls(Suite &suite, const Input *sheet, const Input *log, bool paired) {
    GPtrArray *names = g_ptr_array_new_with_free_func(g_free);
    const guint rows = sheet ? sheet->rows->len : 0;
    const guint calls = log ? log->calls->len : 0;
    for (guint i = 0; i < calls; ++i) {
        g_ptr_array_add(names, render::call_name(*static_cast<const Call *>(g_ptr_array_index(log->calls, i))));
    }
    for (guint i = 0; i < rows; ++i) {
        g_ptr_array_add(names, g_strdup(static_cast<const Row *>(g_ptr_array_index(sheet->rows, i))->name->name));
    }
    render::make_unique(names);
    for (guint i = 0; i < calls; ++i) {
        call_case(suite, *static_cast<const Call *>(g_ptr_array_index(log->calls, i)),
                  static_cast<const char *>(g_ptr_array_index(names, i)));
    }
    for (guint i = 0; i < rows; ++i) {
        row_case(suite, *static_cast<const Row *>(g_ptr_array_index(sheet->rows, i)),
                 static_cast<const char *>(g_ptr_array_index(names, calls + i)), paired ? log : nullptr);
    }
    g_ptr_array_free(names, TRUE);
}

void part_problems(Suite &suite, const Input *part) {
    if (part == nullptr || (part->error == nullptr && part->problem_count == 0)) return;
    junit_problems(suite.cases, *part, suite.name);
    ++suite.tests;
    ++suite.errors;
}

// A suite per test of the session, named by the test: its calls, its rows,
// "(run)" (an <error> naming what happened to a test point that is not ok),
// the problems of its output and rows; and one for the session's own
// problems.
void junit_session(GString *xml, const Input &in, const char *name, Count totals[3]) {
    if (in.error != nullptr || in.problem_count > 0) {
        Suite suite = {name, g_string_new(nullptr), 0, 0, 0};
        part_problems(suite, &in);
        suite_end(xml, suite, totals);
    }
    for (guint i = 0; i < in.tests->len; ++i) {
        const SessionTest &test = render::test_at(in, i);
        Suite suite = {test.point.name, g_string_new(nullptr), 0, 0, 0};
        rows_and_calls(suite, test.rows && !test.rows->error ? test.rows : nullptr,
                       test.log && !test.log->error ? test.log : nullptr, true);
        ++suite.tests;
        if (capi_session_ok(&test.point)) {
            open_case(suite.cases, suite.name, "(run)");
            g_string_append(suite.cases, "/>\n");
        } else {
            char *what = render::what_happened(test.point);
            error_case(suite.cases, suite.name, "(run)", what, nullptr);
            g_free(what);
            ++suite.errors;
        }
        part_problems(suite, test.log);
        part_problems(suite, test.rows);
        suite_end(xml, suite, totals);
    }
}

void junit_input(GString *xml, const Input &in, const char *name, Count totals[3]) {
    if (in.kind == kSession) {
        junit_session(xml, in, name, totals);
        return;
    }
    Suite suite = {name, g_string_new(nullptr), 0, 0, 0};
    rows_and_calls(suite, &in, &in, false);
    part_problems(suite, &in);
    suite_end(xml, suite, totals);
}

}  // namespace

void write_junit(const Summary &s, GString *xml) {
    Count totals[3] = {0, 0, 0};  // tests, failures, errors
    GString *suites = g_string_new(nullptr);
    for (size_t i = 0; i < s.count; ++i) {
        char *name = suite_name(s, i);
        junit_input(suites, *s.inputs[i].input, name, totals);
        g_free(name);
    }
    g_string_append_printf(xml,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<testsuites name=\"capi-report\" tests=\"%llu\" failures=\"%llu\" errors=\"%llu\">\n",
                           totals[0], totals[1], totals[2]);
    g_string_append_len(xml, suites->str, static_cast<gssize>(suites->len));
    g_string_append(xml, "</testsuites>\n");
    g_string_free(suites, TRUE);
}

}  // namespace capireport
