// The report as TAP version 14: a test point per suite of the report
// (cases.cpp), each with its cases as a subtest, in the order of the JUnit
// file:
//
//   TAP version 14
//   1..<suites>
//   # Subtest: <suite>
//       1..<cases>
//       ok 1 - <case>
//       not ok 2 - <case>
//         ---
//         severity: fail|error
//         message: "<message>"
//         details:
//           - "<line>"
//         ...
//   ok|not ok <n> - <suite>
//
// A suite is ok when each of its cases is, a known failure's "not ok ... #
// TODO known: REASON" aside (with --known). A name is escaped as capi-run
// escapes the names in its own TAP (text.h): a backslash is written "\\" and
// "#" is written "\#", so that no name begins a directive; control bytes and
// bytes from 0x7f up are "\xhh". The YAML texts are double-quoted, made valid UTF-8,
// with '"', '\' and control characters escaped as YAML reads them.
#include <string.h>

#include "render.h"

namespace capireport {

namespace {

void append_name(GString *out, const char *name) { render::append_escaped(out, name, "#"); }

void append_yaml(GString *out, const char *text) {
    char *valid = g_utf8_make_valid(text, -1);
    g_string_append_c(out, '"');
    for (const char *p = valid; *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if (c == '"' || c == '\\') {
            g_string_append_c(out, '\\');
            g_string_append_c(out, static_cast<char>(c));
        } else if (c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f)) {
            g_string_append_printf(out, "\\x%02x", c);
        } else {
            g_string_append_len(out, p, g_utf8_next_char(p) - p);
        }
    }
    g_string_append_c(out, '"');
    g_free(valid);
}

void tap_case(GString *out, guint number, const TestCase &c) {
    g_string_append_printf(out, "    %s %u - ", c.verdict == TestCase::kPassed ? "ok" : "not ok", number);
    append_name(out, c.name);
    if (c.known) {
        // A failure that is known: TAP's to-do, which does not fail the plan.
        g_string_append(out, " # TODO known: ");
        render::append_escaped(out, c.known, nullptr);
    }
    g_string_append_c(out, '\n');
    if (c.verdict == TestCase::kPassed) return;
    g_string_append_printf(out, "      ---\n      severity: %s\n      message: ",
                           c.verdict == TestCase::kFailed ? "fail" : "error");
    append_yaml(out, c.message);
    g_string_append_c(out, '\n');
    if (c.details->len > 0) g_string_append(out, "      details:\n");
    for (guint i = 0; i < c.details->len; ++i) {
        g_string_append(out, "        - ");
        append_yaml(out, static_cast<const char *>(g_ptr_array_index(c.details, i)));
        g_string_append_c(out, '\n');
    }
    g_string_append(out, "      ...\n");
}

}  // namespace

void write_tap(const Summary &s, GString *out) {
    GPtrArray *suites = test_suites(s);
    g_string_append_printf(out, "TAP version 14\n1..%u\n", suites->len);
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        g_string_append(out, "# Subtest: ");
        append_name(out, suite.name);
        g_string_append_printf(out, "\n    1..%u\n", suite.cases->len);
        for (guint k = 0; k < suite.cases->len; ++k) {
            tap_case(out, k + 1, *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k)));
        }
        g_string_append_printf(out, "%s %u - ", suite.failures + suite.errors == 0 ? "ok" : "not ok", i + 1);
        append_name(out, suite.name);
        g_string_append_c(out, '\n');
    }
    g_ptr_array_unref(suites);
}

}  // namespace capireport
