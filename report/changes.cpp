// The text report of a comparison (--baseline, --known), in place of the
// report by input: a line per case that changed or fails, beginning with
// its class, then the case as the report names it ("SUITE/CASE"), with what
// changed under it; then the known failures no longer seen, and a summary
// line.
//
//   BASELINE <path>                                   with a baseline
//   REGRESSION <suite>/<case>                         passed in the baseline, fails now
//     - <field>: passed with "<value>"; now failed with result="<value>" target="<value>": <reason>
//   NEW <suite>/<case>                                not in the baseline
//   STILL FAILING <suite>/<case>                      failed in both
//   FAIL <suite>/<case>                               fails, no baseline given
//   KNOWN <suite>/<case>                              fails and is known
//     - known: <reasons>
//   FIXED <suite>/<case>                              failed in the baseline, passes now
//   GONE <suite>/<case>                               in the baseline, not in the input
//   KNOWN ISSUE NO LONGER SEEN <name glob>
//     - <file>:<line>: <reason>
//   SUMMARY <PASS|FAIL|ERROR> cases=<n> regression=<n> new=<n> still_failing=<n> failing=<n> known=<n> fixed=<n> gone=<n> no_longer_seen=<n> newly_failing=<n>
//
// The classes come in that order (what makes CI red first), each in the
// order of the report. Under a case that fails, where no field's change is
// known: a call's failing fields with their values, or the case's message.
// A new case that passes says so.
#include "render.h"
#include "triage.h"

namespace capireport {

namespace {

void sub_line(GString *out, const char *text) {
    g_string_append(out, "  - ");
    render::append_shown(out, text);
    g_string_append_c(out, '\n');
}

void case_lines(GString *out, const TestSuite &suite, const TestCase &c, const CaseTriage &t) {
    const char *word = t.change == kFailing ? "FAIL" : change_word(t.change);
    g_string_append_printf(out, "%s ", word);
    render::append_shown(out, suite.name);
    g_string_append_c(out, '/');
    render::append_shown(out, c.name);
    g_string_append_c(out, '\n');
    if (t.known != nullptr) {
        char *known = render::known_text(t.known);
        sub_line(out, known);
        g_free(known);
        return;
    }
    for (guint i = 0; i < t.lines->len; ++i) sub_line(out, static_cast<const char *>(t.lines->pdata[i]));
    if (t.change == kNewPassing) sub_line(out, "passes");
    if (t.lines->len > 0 || c.verdict == TestCase::kPassed || t.change == kStillFailing) return;
    if (c.call == nullptr) {
        sub_line(out, render::plain_message(c));
        return;
    }
    for (guint i = 0; i < c.call->failures->len; ++i) {
        GString *line = g_string_new(nullptr);
        render::append_failure(line, render::failure_at(*c.call, i), true);
        sub_line(out, line->str);
        g_string_free(line, TRUE);
    }
}

}  // namespace

void write_changes(const Summary &s, GString *out) {
    const Triage &triage = *s.triage;
    if (triage.baseline != nullptr) {
        g_string_append(out, "BASELINE ");
        render::append_shown(out, triage.baseline->path);
        g_string_append_c(out, '\n');
    }
    GPtrArray *suites = test_suites(s);
    for (int change = kRegression; change < kGone; ++change) {
        guint flat = 0;
        for (guint i = 0; i < suites->len; ++i) {
            const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
            for (guint k = 0; k < suite.cases->len; ++k, ++flat) {
                const CaseTriage &t = *static_cast<const CaseTriage *>(g_ptr_array_index(triage.cases, flat));
                if (t.change != change) continue;
                case_lines(out, suite, *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k)), t);
            }
        }
    }
    g_ptr_array_unref(suites);
    for (guint i = 0; i < triage.gone->len; ++i) {
        g_string_append(out, "GONE ");
        render::append_shown(out, static_cast<const CaseTriage *>(g_ptr_array_index(triage.gone, i))->name);
        g_string_append_c(out, '\n');
    }
    for (guint i = 0; triage.known && i < triage.known->issues->len; ++i) {
        const KnownIssue &issue = *static_cast<const KnownIssue *>(g_ptr_array_index(triage.known->issues, i));
        if (!issue.applies || issue.seen) continue;
        g_string_append(out, "KNOWN ISSUE NO LONGER SEEN ");
        render::append_shown(out, issue.name);
        g_string_append(out, "\n  - ");
        render::append_shown(out, triage.known->path);
        g_string_append_printf(out, ":%lu: ", issue.line);
        render::append_shown(out, issue.reason);
        g_string_append_c(out, '\n');
    }
    const Count *n = triage.counts;
    g_string_append_printf(out,
                           "SUMMARY %s cases=%u regression=%llu new=%llu still_failing=%llu failing=%llu known=%llu "
                           "fixed=%llu gone=%llu no_longer_seen=%llu newly_failing=%llu\n",
                           triage.status == 2 ? "ERROR" : triage.status == 1 ? "FAIL" : "PASS", triage.cases->len,
                           n[kRegression], n[kNewFailing] + n[kNewPassing], n[kStillFailing], n[kFailing],
                           n[kKnownFailure], n[kFixed], n[kGone], triage.unseen, triage.newly);
}

}  // namespace capireport
