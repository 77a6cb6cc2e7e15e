// The report's test cases for programs: one line per case of the report's
// test suites (cases.cpp), in the order of the JUnit file, four fields
// separated by tabs:
//
//   <suite> \t <case> \t pass|fail|error|known \t <message>
//
// The message is empty for a case that passed. With --known, a failure that
// is known reads "known", its message "known: REASON"; a reader that takes
// every outcome but "pass" as a failure (capi-run's report to LAVA) counts
// it as one. With a comparison, a failure's message begins with its class. Each field is written with
// capi-run's escaping (text.h): a control byte (a tab, a newline among them)
// or a byte from 0x7f up as "\xhh", a backslash as "\\", so that every case
// stays on its line and every field between its tabs whatever bytes the
// inputs hold; capi_unescape gives the bytes back. This is the report that
// other programs read (capi-run's report to LAVA among them); the text
// report is for people and may change without changing this one.
#include "render.h"

namespace capireport {

namespace {

const char *outcome(const TestCase &c) {
    if (c.known) return "known";
    return c.verdict == TestCase::kPassed ? "pass" : c.verdict == TestCase::kFailed ? "fail" : "error";
}

}  // namespace

void write_cases(const Summary &s, GString *out) {
    GPtrArray *suites = test_suites(s);
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        for (guint k = 0; k < suite.cases->len; ++k) {
            const TestCase &c = *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k));
            render::append_escaped(out, suite.name, nullptr);
            g_string_append_c(out, '\t');
            render::append_escaped(out, c.name, nullptr);
            g_string_append_printf(out, "\t%s\t", outcome(c));
            if (c.known) {
                char *known = render::known_text(c.known);
                render::append_escaped(out, known, nullptr);
                g_free(known);
            } else {
                render::append_escaped(out, c.verdict == TestCase::kPassed ? nullptr : c.message, nullptr);
            }
            g_string_append_c(out, '\n');
        }
    }
    g_ptr_array_unref(suites);
}

}  // namespace capireport
