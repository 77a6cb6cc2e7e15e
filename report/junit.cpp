// The JUnit XML file: the report's test suites (cases.cpp) as
// <testsuites name="capi-report">, a <testsuite> per suite with its counts, a
// <testcase> per case, a <failure> or <error> with its message and, where the
// case says more, its lines as the body.
//
// A session's labels are each suite's properties. With a comparison
// (--baseline, --known) a failure's message begins with its class, and a
// known failure is <skipped message="known: REASON">, counted as skipped.
//
// Texts are made valid UTF-8 (invalid bytes become U+FFFD), control
// characters and the characters XML 1.0 refuses are written as "\xhh" or
// "\uhhhh", then the markup is escaped: the file is well-formed whatever
// bytes the inputs hold.
#include "render.h"

#include <string.h>

namespace capireport {

namespace {

void append_xml(GString *out, const char *text) { render::append_markup(out, text); }

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
    // A known failure is skipped: the known issue's reason, then the
    // failure's message and lines.
    const char *tag = c.known ? "skipped" : c.verdict == TestCase::kFailed ? "failure" : "error";
    g_string_append_printf(xml, ">\n      <%s message=\"", tag);
    if (c.known) {
        char *known = render::known_text(c.known);
        append_xml(xml, known);
        g_free(known);
        g_string_append(xml, "\">");
        append_xml(xml, c.message);
        g_string_append_c(xml, '\n');
    } else {
        append_xml(xml, c.message);
        if (c.details->len == 0) {
            g_string_append(xml, "\"/>\n    </testcase>\n");
            return;
        }
        g_string_append(xml, "\">");
    }
    for (guint i = 0; i < c.details->len; ++i) {
        append_xml(xml, static_cast<const char *>(g_ptr_array_index(c.details, i)));
        g_string_append_c(xml, '\n');
    }
    g_string_append_printf(xml, "</%s>\n    </testcase>\n", tag);
}

// The known failures a suite holds, where there are any.
void append_skipped(GString *xml, Count skipped) {
    if (skipped > 0) g_string_append_printf(xml, " skipped=\"%llu\"", skipped);
}

// A session's labels as the suite's properties, where it has them.
void append_labels(GString *xml, const Input &input) {
    if (input.labels->len == 0) return;
    g_string_append(xml, "    <properties>\n");
    for (guint i = 0; i < input.labels->len; ++i) {
        const char *label = static_cast<const char *>(g_ptr_array_index(input.labels, i));
        const char *equals = strchr(label, '=');
        char *key = g_strndup(label, static_cast<gsize>(equals - label));
        g_string_append(xml, "      <property name=\"");
        append_xml(xml, key);
        g_string_append(xml, "\" value=\"");
        append_xml(xml, equals + 1);
        g_string_append(xml, "\"/>\n");
        g_free(key);
    }
    g_string_append(xml, "    </properties>\n");
}

}  // namespace

void write_junit(const Summary &s, GString *xml) {
    GPtrArray *suites = test_suites(s);
    Count tests = 0, failures = 0, errors = 0, skipped = 0;
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        tests += suite.cases->len;
        failures += suite.failures;
        errors += suite.errors;
        skipped += suite.skipped;
    }
    g_string_append_printf(xml,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<testsuites name=\"capi-report\" tests=\"%llu\" failures=\"%llu\" errors=\"%llu\"",
                           tests, failures, errors);
    append_skipped(xml, skipped);
    g_string_append(xml, ">\n");
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        g_string_append(xml, "  <testsuite name=\"");
        append_xml(xml, suite.name);
        g_string_append_printf(xml, "\" tests=\"%u\" failures=\"%llu\" errors=\"%llu\"", suite.cases->len,
                               suite.failures, suite.errors);
        append_skipped(xml, suite.skipped);
        g_string_append(xml, ">\n");
        append_labels(xml, *s.inputs[suite.input].input);
        for (guint k = 0; k < suite.cases->len; ++k) {
            junit_case(xml, suite.name, *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k)));
        }
        g_string_append(xml, "  </testsuite>\n");
    }
    g_string_append(xml, "</testsuites>\n");
    g_ptr_array_unref(suites);
}

}  // namespace capireport
