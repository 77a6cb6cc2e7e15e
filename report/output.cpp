// The outputs made from the inputs read: the text report, the problems, the
// JUnit XML and the exit status.
//
// Text report, one block per input (sheets first, then logs, each in the
// order given), then one summary line. Each line begins with a keyword and
// PASS, FAIL or ERROR; counts are key=value; a name or path, which may hold
// spaces, comes last:
//
//   SHEET <path>
//     <PASS|FAIL> runs=<n> pass=<n> failed=<n> <row name>       latest outcome first
//   TOTAL <PASS|FAIL> rows=<n> names=<n> pass=<n> failed=<n> failing=<n> malformed=<n> <path>
//   LOG <path>
//     <PASS|FAIL> line=<a>|lines=<a>-<b> [entries=<n>] <checker>
//       - <field>: result="<value>" target="<value>": <reason>  per failing field
//   TOTAL <PASS|FAIL> calls=<n> pass=<n> failed=<n> incomplete=<n> stray=<n> foreign=<n> <path>
//   TOTAL ERROR unreadable <path>                              an input that cannot be read
//   SUMMARY <PASS|FAIL|ERROR> inputs=<n> unreadable=<n> names=<n> failing=<n> calls=<n> failed=<n> malformed=<n> stray=<n>
//
// `failing` counts the row names whose latest outcome is failed. An input is
// FAIL when a row name's latest outcome or a call failed, a line was
// malformed or stray, or it holds no row or call at all; the summary is ERROR
// when an input could not be read, FAIL when an input is, PASS otherwise.
// Values and names are shown with their control bytes as "\xhh"; field values
// are shown as the field line shows them.
//
// JUnit: a <testsuite> per input, named by the file's base name (by its path
// where two inputs share a base name); a <testcase> per sheet row (named by
// the row) and per call (named by the checker), a <failure> in each failed one, whose message lists the failing
// fields. The problems of an input (malformed rows, stray lines, no row or
// call at all, unreadable) make one more testcase, "(sheet)" or "(log)",
// with an <error>. Texts are made valid UTF-8 (invalid bytes become U+FFFD),
// control characters and the characters XML 1.0 refuses are written as
// "\xhh" or "\uhhhh", then the markup is escaped: the file is well-formed
// whatever bytes the inputs hold.
#include <string.h>

#include "core.h"
#include "fieldaudit_tools.h"

namespace capireport {

namespace {

struct Totals {
    Count rows, names, passes, failures, failing;  // sheet
    Count calls, failed, incomplete;               // log
    bool unreadable, fail;
};

Totals totals_of(const Input &in) {
    Totals t;
    memset(&t, 0, sizeof t);
    t.unreadable = in.error != nullptr;
    t.rows = in.rows->len;
    t.names = in.names->len;
    for (guint i = 0; i < in.names->len; ++i) {
        const RowName *name = static_cast<const RowName *>(g_ptr_array_index(in.names, i));
        t.passes += name->passes;
        t.failures += name->failures;
        if (!name->latest_pass) ++t.failing;
    }
    t.calls = in.calls->len;
    for (guint i = 0; i < in.calls->len; ++i) {
        const Call *call = static_cast<const Call *>(g_ptr_array_index(in.calls, i));
        if (!call->pass) ++t.failed;
        if (!call->complete) ++t.incomplete;
    }
    t.fail = !t.unreadable && (t.failing > 0 || t.failed > 0 || in.problem_count > 0);
    return t;
}

const char *status(bool pass) { return pass ? "PASS" : "FAIL"; }

// A path or a row name, its control bytes shown as the kit shows them.
void append_shown(GString *out, const char *text) {
    const size_t length = strlen(text);
    const size_t start = out->len;
    g_string_set_size(out, start + fieldaudit::escaped_length(text, length));
    fieldaudit::escape(text, length, out->str + start);
}

// Where the call stands: "line<between><n>" or "lines<between><a>-<b>".
void where(const Call &call, char between, char *space, size_t size) {
    if (call.first_line == call.last_line) {
        g_snprintf(space, size, "line%c%llu", between, call.first_line);
    } else {
        g_snprintf(space, size, "lines%c%llu-%llu", between, call.first_line, call.last_line);
    }
}

// A failing field: its label, with `values` its two values where it has
// them, and the reason.
void append_failure(GString *out, const FailedField &f, bool values) {
    if (values && f.result != nullptr) {
        g_string_append_printf(out, "%s: result=\"%s\" target=\"%s\": %s", f.label, f.result, f.target, f.reason);
    } else {
        g_string_append_printf(out, "%s: %s", f.label, f.reason);
    }
}

const FailedField &failure_at(const Call &call, guint i) {
    return *static_cast<const FailedField *>(g_ptr_array_index(call.failures, i));
}

void text_call(GString *out, const Call &call) {
    char lines[64];
    where(call, '=', lines, sizeof lines);
    g_string_append_printf(out, "  %s %-13s ", status(call.pass), lines);
    if (call.entries > 0) g_string_append_printf(out, "entries=%llu ", call.entries);
    g_string_append_printf(out, "%s\n", call.name);
    for (guint i = 0; i < call.failures->len; ++i) {
        g_string_append(out, "    - ");
        append_failure(out, failure_at(call, i), true);
        g_string_append_c(out, '\n');
    }
}

void text_input(GString *out, const Input &in, const Totals &t) {
    g_string_append(out, in.kind == kSheet ? "SHEET " : "LOG ");
    append_shown(out, in.path);
    g_string_append_c(out, '\n');
    if (t.unreadable) {
        g_string_append(out, "TOTAL ERROR unreadable ");
    } else if (in.kind == kSheet) {
        for (guint i = 0; i < in.names->len; ++i) {
            const RowName *name = static_cast<const RowName *>(g_ptr_array_index(in.names, i));
            g_string_append_printf(out, "  %s runs=%-4llu pass=%-4llu failed=%-4llu ", status(name->latest_pass),
                                   name->runs, name->passes, name->failures);
            append_shown(out, name->name);
            g_string_append_c(out, '\n');
        }
        g_string_append_printf(out, "TOTAL %s rows=%llu names=%llu pass=%llu failed=%llu failing=%llu malformed=%llu ",
                               status(!t.fail), t.rows, t.names, t.passes, t.failures, t.failing, in.malformed);
    } else {
        for (guint i = 0; i < in.calls->len; ++i) text_call(out, *static_cast<const Call *>(g_ptr_array_index(in.calls, i)));
        g_string_append_printf(out, "TOTAL %s calls=%llu pass=%llu failed=%llu incomplete=%llu stray=%llu foreign=%llu ",
                               status(!t.fail), t.calls, t.calls - t.failed, t.failed, t.incomplete, in.malformed,
                               in.foreign);
    }
    append_shown(out, in.path);
    g_string_append_c(out, '\n');
}

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

void junit_problems(GString *xml, const Input &in, const char *suite) {
    open_case(xml, suite, in.kind == kSheet ? "(sheet)" : "(log)");
    g_string_append(xml, ">\n      <error message=\"");
    if (in.error != nullptr) {
        g_string_append(xml, "cannot read: ");
        append_xml(xml, in.error);
        g_string_append(xml, "\"/>\n    </testcase>\n");
        return;
    }
    g_string_append_printf(xml, "%llu problem%s\">", in.problem_count, in.problem_count == 1 ? "" : "s");
    for (guint i = 0; i < in.problems->len; ++i) {
        const Problem *p = static_cast<const Problem *>(g_ptr_array_index(in.problems, i));
        char *line = p->line ? g_strdup_printf("line %llu: %s", p->line, p->reason) : g_strdup(p->reason);
        append_xml(xml, line);
        g_string_append_c(xml, '\n');
        g_free(line);
    }
    if (in.problem_count > in.problems->len) {
        g_string_append_printf(xml, "%llu more\n", in.problem_count - in.problems->len);
    }
    g_string_append(xml, "</error>\n    </testcase>\n");
}

// A suite's name: the input's base name, or its path as given where another
// input has the same base name (several gateways' capi.xls), so that every
// suite stays apart.
char *suite_name(Input *const *inputs, size_t count, size_t index) {
    char *base = g_path_get_basename(inputs[index]->path);
    for (size_t i = 0; i < count; ++i) {
        if (i == index) continue;
        char *other = g_path_get_basename(inputs[i]->path);
        const bool clash = strcmp(base, other) == 0;
        g_free(other);
        if (clash) {
            g_free(base);
            return g_strdup(inputs[index]->path);
        }
    }
    return base;
}

// A suite's counts: a testcase per row or call, one more for the problems.
struct SuiteCounts {
    Count tests, failures;
    bool error;
};

SuiteCounts suite_counts(const Input &in, const Totals &t) {
    const bool error = t.unreadable || in.problem_count > 0;
    return SuiteCounts{(in.kind == kSheet ? t.rows : t.calls) + (error ? 1 : 0), in.kind == kSheet ? t.failures : t.failed,
                       error};
}

void junit_input(GString *xml, const Input &in, const SuiteCounts &counts, char *suite) {
    g_string_append(xml, "  <testsuite name=\"");
    append_xml(xml, suite);
    g_string_append_printf(xml, "\" tests=\"%llu\" failures=\"%llu\" errors=\"%d\">\n", counts.tests, counts.failures,
                           counts.error ? 1 : 0);
    for (guint i = 0; i < in.rows->len; ++i) {
        const Row *row = static_cast<const Row *>(g_ptr_array_index(in.rows, i));
        open_case(xml, suite, row->name->name);
        if (row->pass) {
            g_string_append(xml, "/>\n");
        } else {
            g_string_append_printf(xml, ">\n      <failure message=\"failed at line %llu\"/>\n    </testcase>\n",
                                   row->line);
        }
    }
    for (guint i = 0; i < in.calls->len; ++i) {
        const Call *call = static_cast<const Call *>(g_ptr_array_index(in.calls, i));
        open_case(xml, suite, call->name);
        if (call->pass) {
            g_string_append(xml, "/>\n");
            continue;
        }
        // The message names the fields and why they failed; the body gives
        // where the call stands and a line per field with its values.
        GString *text = g_string_new(nullptr);
        for (guint k = 0; k < call->failures->len; ++k) {
            if (k > 0) g_string_append(text, "; ");
            append_failure(text, failure_at(*call, k), false);
        }
        g_string_append(xml, ">\n      <failure message=\"");
        append_xml(xml, text->str, text->len);
        char lines[64];
        where(*call, ' ', lines, sizeof lines);
        g_string_append(xml, "\">");
        append_xml(xml, lines);
        g_string_append_c(xml, '\n');
        for (guint k = 0; k < call->failures->len; ++k) {
            g_string_truncate(text, 0);
            append_failure(text, failure_at(*call, k), true);
            append_xml(xml, text->str, text->len);
            g_string_append_c(xml, '\n');
        }
        g_string_free(text, TRUE);
        g_string_append(xml, "</failure>\n    </testcase>\n");
    }
    if (counts.error) junit_problems(xml, in, suite);
    g_string_append(xml, "  </testsuite>\n");
    g_free(suite);
}

}  // namespace

void write_text(Input *const *inputs, size_t count, GString *out) {
    Totals all;
    memset(&all, 0, sizeof all);
    Count unreadable = 0, malformed = 0, stray = 0;
    bool fail = false;
    for (size_t i = 0; i < count; ++i) {
        const Input &in = *inputs[i];
        const Totals t = totals_of(in);
        text_input(out, in, t);
        all.names += t.names;
        all.failing += t.failing;
        all.calls += t.calls;
        all.failed += t.failed;
        (in.kind == kSheet ? malformed : stray) += in.malformed;
        if (t.unreadable) ++unreadable;
        fail = fail || t.fail;
    }
    g_string_append_printf(out,
                           "SUMMARY %s inputs=%zu unreadable=%llu names=%llu failing=%llu calls=%llu failed=%llu "
                           "malformed=%llu stray=%llu\n",
                           unreadable ? "ERROR" : status(!fail), count, unreadable, all.names, all.failing, all.calls,
                           all.failed, malformed, stray);
}

void write_problems(Input *const *inputs, size_t count, GString *err) {
    for (size_t i = 0; i < count; ++i) {
        const Input &in = *inputs[i];
        if (in.error != nullptr) {
            g_string_append(err, "capi-report: cannot read ");
            append_shown(err, in.path);
            g_string_append_printf(err, ": %s\n", in.error);
            continue;
        }
        for (guint k = 0; k < in.problems->len; ++k) {
            const Problem *p = static_cast<const Problem *>(g_ptr_array_index(in.problems, k));
            append_shown(err, in.path);
            if (p->line) g_string_append_printf(err, ":%llu", p->line);
            g_string_append_printf(err, ": %s\n", p->reason);
        }
        if (in.problem_count > in.problems->len) {
            append_shown(err, in.path);
            g_string_append_printf(err, ": %llu more problems not shown\n", in.problem_count - in.problems->len);
        }
    }
}

void write_junit(Input *const *inputs, size_t count, GString *xml) {
    Count tests = 0, failures = 0, errors = 0;
    GString *suites = g_string_new(nullptr);
    for (size_t i = 0; i < count; ++i) {
        const SuiteCounts counts = suite_counts(*inputs[i], totals_of(*inputs[i]));
        tests += counts.tests;
        failures += counts.failures;
        errors += counts.error ? 1 : 0;
        junit_input(suites, *inputs[i], counts, suite_name(inputs, count, i));
    }
    g_string_append_printf(xml,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<testsuites name=\"capi-report\" tests=\"%llu\" failures=\"%llu\" errors=\"%llu\">\n",
                           tests, failures, errors);
    g_string_append_len(xml, suites->str, static_cast<gssize>(suites->len));
    g_string_append(xml, "</testsuites>\n");
    g_string_free(suites, TRUE);
}

int exit_status(Input *const *inputs, size_t count) {
    int status = 0;
    for (size_t i = 0; i < count; ++i) {
        const Totals t = totals_of(*inputs[i]);
        if (t.unreadable) return 2;
        if (t.fail) status = 1;
    }
    return status;
}

}  // namespace capireport
