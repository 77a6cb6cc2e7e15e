// The JUnit XML file.
//
// A <testsuite> per input, named by the file's base name (by its path where
// two inputs share a base name); a <testcase> per sheet row (named by the
// row) and per call (named by the checker), a <failure> in each failed one,
// whose message lists the failing fields. The problems of an input (malformed rows, stray lines, no row or
// call at all, unreadable) make one more testcase, "(sheet)" or "(log)",
// with an <error>. Texts are made valid UTF-8 (invalid bytes become U+FFFD),
// control characters and the characters XML 1.0 refuses are written as
// "\xhh" or "\uhhhh", then the markup is escaped: the file is well-formed
// whatever bytes the inputs hold.
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

// A suite's counts: a testcase per row or call, one more for the problems.
struct SuiteCounts {
    Count tests, failures;
    bool error;
};

SuiteCounts suite_counts(const InputTotals &t) {
    const Input &in = *t.input;
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
            render::append_failure(text, render::failure_at(*call, k), false);
        }
        g_string_append(xml, ">\n      <failure message=\"");
        append_xml(xml, text->str, text->len);
        char lines[64];
        render::where(*call, ' ', lines, sizeof lines);
        g_string_append(xml, "\">");
        append_xml(xml, lines);
        g_string_append_c(xml, '\n');
        for (guint k = 0; k < call->failures->len; ++k) {
            g_string_truncate(text, 0);
            render::append_failure(text, render::failure_at(*call, k), true);
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

void write_junit(const Summary &s, GString *xml) {
    Count tests = 0, failures = 0, errors = 0;
    GString *suites = g_string_new(nullptr);
    for (size_t i = 0; i < s.count; ++i) {
        const SuiteCounts counts = suite_counts(s.inputs[i]);
        tests += counts.tests;
        failures += counts.failures;
        errors += counts.error ? 1 : 0;
        junit_input(suites, *s.inputs[i].input, counts, suite_name(s, i));
    }
    g_string_append_printf(xml,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<testsuites name=\"capi-report\" tests=\"%llu\" failures=\"%llu\" errors=\"%llu\">\n",
                           tests, failures, errors);
    g_string_append_len(xml, suites->str, static_cast<gssize>(suites->len));
    g_string_append(xml, "</testsuites>\n");
    g_string_free(suites, TRUE);
}

}  // namespace capireport
