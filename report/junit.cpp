// The JUnit XML file: the report's test suites (cases.cpp) as
// <testsuites name="capi-report">, a <testsuite> per suite with its counts, a
// <testcase> per case, a <failure> or <error> with its message and, where the
// case says more, its lines as the body.
//
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

void junit_case(GString *xml, const char *suite, const TestCase &c) {
    g_string_append(xml, "    <testcase classname=\"");
    append_xml(xml, suite);
    g_string_append(xml, "\" name=\"");
    append_xml(xml, c.name);
    g_string_append_c(xml, '"');
    if (c.verdict == TestCase::kPassed) {
        g_string_append(xml, "/>\n");
        return;
    }
    const char *tag = c.verdict == TestCase::kFailed ? "failure" : "error";
    g_string_append_printf(xml, ">\n      <%s message=\"", tag);
    append_xml(xml, c.message);
    if (c.details->len == 0) {
        g_string_append(xml, "\"/>\n    </testcase>\n");
        return;
    }
    g_string_append(xml, "\">");
    for (guint i = 0; i < c.details->len; ++i) {
        append_xml(xml, static_cast<const char *>(g_ptr_array_index(c.details, i)));
        g_string_append_c(xml, '\n');
    }
    g_string_append_printf(xml, "</%s>\n    </testcase>\n", tag);
}

}  // namespace

void write_junit(const Summary &s, GString *xml) {
    GPtrArray *suites = test_suites(s);
    Count tests = 0, failures = 0, errors = 0;
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        tests += suite.cases->len;
        failures += suite.failures;
        errors += suite.errors;
    }
    g_string_append_printf(xml,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<testsuites name=\"capi-report\" tests=\"%llu\" failures=\"%llu\" errors=\"%llu\">\n",
                           tests, failures, errors);
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        g_string_append(xml, "  <testsuite name=\"");
        append_xml(xml, suite.name);
        g_string_append_printf(xml, "\" tests=\"%u\" failures=\"%llu\" errors=\"%llu\">\n", suite.cases->len,
                               suite.failures, suite.errors);
        for (guint k = 0; k < suite.cases->len; ++k) {
            junit_case(xml, suite.name, *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k)));
        }
        g_string_append(xml, "  </testsuite>\n");
    }
    g_string_append(xml, "</testsuites>\n");
    g_ptr_array_unref(suites);
}

}  // namespace capireport
