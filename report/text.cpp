// The text report on standard output and the problems on standard error.
//
// Text report, one block per input (sheets first, then logs, each in the
// order given), then one summary line. Each line begins with a keyword and
// PASS, FAIL or ERROR; counts are key=value; a name or path, which may hold
// spaces, comes last:
//
//   SHEET <path>
//     <PASS|FAIL> runs=<n> pass=<n> failed=<n> <row name>       latest outcome first
//       - failed at line <n>, run <k> of <n>                     per failed row of the name
//   TOTAL <PASS|FAIL> rows=<n> names=<n> pass=<n> failed=<n> failing=<n> malformed=<n> <path>
//   LOG <path>
//     <PASS|FAIL> line=<a>|lines=<a>-<b> [entries=<n>] [<heading>: ]<checker>
//       - <field>: result="<value>" target="<value>": <reason>  per failing field
//   TOTAL <PASS|FAIL> calls=<n> pass=<n> failed=<n> incomplete=<n> stray=<n> foreign=<n> <path>
//   SESSION <path>                                              a capi-run results folder
//   LABELS <KEY=VALUE> [<KEY=VALUE>]...                         its labels, where it has them
//   CAPTURE <PASS|FAIL> lines_repaired=<n> lines_rebuilt=<n> <capture>   recovered from a console capture
//   CUT ERROR cut short after test <k> (<name>)                 a summary without its last line
//             | cut short before its first test ended
//   TEST <PASS|FAIL> <name>                                     per test, in the order run
//     ERROR <what happened>                                     a test point that is not ok
//     <the call lines of its output, then the row lines of its rows, as above>
//   TOTAL <PASS|FAIL> tests=<n> pass=<n> failed=<n> calls=<n> failed_calls=<n> rows=<n> failed_rows=<n> problems=<n> <path>
//   TOTAL ERROR unreadable <path>                              an input that cannot be read
//   SUMMARY <PASS|FAIL|ERROR> inputs=<n> unreadable=<n> names=<n> failing=<n> calls=<n> failed=<n> malformed=<n> stray=<n>
//
// A call's heading is the test program's own line last before it.
// `failing` counts the row names whose latest outcome is failed. An input is
// FAIL when a row name's latest outcome or a call failed, a line was
// malformed or stray, or it holds no row or call at all; the summary is ERROR
// when an input could not be read, FAIL when an input is, PASS otherwise.
// Values and names are shown with their control bytes as "\xhh"; field values
// are shown as the field line shows them. With a comparison (--baseline,
// --known) the report is the list of changes in its place (changes.cpp).
#include "render.h"

namespace capireport {

using render::append_shown;
using render::status;

namespace {

void string_free(gpointer s) { g_string_free(static_cast<GString *>(s), TRUE); }

void text_call(GString *out, const Call &call) {
    char lines[64];
    render::where(call, '=', lines, sizeof lines);
    g_string_append_printf(out, "  %s %-13s ", status(call.pass), lines);
    if (call.entries > 0) g_string_append_printf(out, "entries=%llu ", call.entries);
    char *name = render::call_name(call);
    append_shown(out, name);
    g_free(name);
    g_string_append_c(out, '\n');
    for (guint i = 0; i < call.failures->len; ++i) {
        g_string_append(out, "    - ");
        render::append_failure(out, render::failure_at(call, i), true);
        g_string_append_c(out, '\n');
    }
}

// A name's row line, then a line for each of its failed runs, in sheet order.
void text_names(GString *out, const Input &in) {
    GHashTable *failed = g_hash_table_new_full(g_direct_hash, g_direct_equal, nullptr, string_free);
    for (guint i = 0; i < in.rows->len; ++i) {
        const Row &row = *static_cast<const Row *>(g_ptr_array_index(in.rows, i));
        if (row.pass) continue;
        GString *lines = static_cast<GString *>(g_hash_table_lookup(failed, row.name));
        if (lines == nullptr) {
            lines = g_string_new(nullptr);
            g_hash_table_insert(failed, const_cast<RowName *>(row.name), lines);
        }
        char *which = render::row_failure(row);
        g_string_append_printf(lines, "    - %s\n", which);
        g_free(which);
    }
    for (guint i = 0; i < in.names->len; ++i) {
        const RowName *name = static_cast<const RowName *>(g_ptr_array_index(in.names, i));
        g_string_append_printf(out, "  %s runs=%-4llu pass=%-4llu failed=%-4llu ", status(name->latest_pass),
                               name->runs, name->passes, name->failures);
        append_shown(out, name->name);
        g_string_append_c(out, '\n');
        if (const GString *lines = static_cast<const GString *>(g_hash_table_lookup(failed, name))) {
            g_string_append_len(out, lines->str, static_cast<gssize>(lines->len));
        }
    }
    g_hash_table_destroy(failed);
}

void text_calls(GString *out, const Input &in) {
    for (guint i = 0; i < in.calls->len; ++i) text_call(out, *static_cast<const Call *>(g_ptr_array_index(in.calls, i)));
}

void text_test(GString *out, const SessionTest &test) {
    g_string_append_printf(out, "TEST %s ", status(test_passes(test)));
    append_shown(out, test.point.name);
    g_string_append_c(out, '\n');
    if (!capi_session_ok(&test.point)) {
        char *what = render::what_happened(test);
        g_string_append(out, "  ERROR ");
        append_shown(out, what);
        g_string_append_c(out, '\n');
        g_free(what);
    }
    const Input *const parts[] = {test.log, test.rows};
    for (const Input *part : parts) {
        if (part == nullptr) continue;
        if (part->error != nullptr) {
            g_string_append(out, "  ERROR ");
            append_shown(out, part->error);
            g_string_append_c(out, '\n');
        } else {
            (part->kind == kLog ? text_calls : text_names)(out, *part);
        }
    }
}

void text_input(GString *out, const InputTotals &t) {
    const Input &in = *t.input;
    g_string_append(out, in.kind == kSheet ? "SHEET " : in.kind == kLog ? "LOG " : "SESSION ");
    append_shown(out, in.path);
    g_string_append_c(out, '\n');
    if (in.labels->len > 0) {
        char *name = input_name(in);
        g_string_append(out, "LABELS ");
        append_shown(out, name);
        g_string_append_c(out, '\n');
        g_free(name);
    }
    if (in.capture != nullptr) {
        // What the capture took to give the folder back, never hidden.
        g_string_append_printf(out, "CAPTURE %s lines_repaired=%llu lines_rebuilt=%llu ",
                               status(in.problem_count == 0 && in.error == nullptr), in.repaired, in.rebuilt);
        append_shown(out, in.capture);
        g_string_append_c(out, '\n');
    }
    if (in.cut != nullptr) {
        g_string_append(out, "CUT ERROR ");
        append_shown(out, in.cut);
        g_string_append_c(out, '\n');
    }
    if (t.unreadable) {
        g_string_append(out, "TOTAL ERROR unreadable ");
    } else if (in.kind == kSession) {
        for (guint i = 0; i < in.tests->len; ++i) text_test(out, render::test_at(in, i));
        g_string_append_printf(out,
                               "TOTAL %s tests=%llu pass=%llu failed=%llu calls=%llu failed_calls=%llu rows=%llu "
                               "failed_rows=%llu problems=%llu ",
                               status(!t.fail), t.tests, t.tests - t.tests_failed, t.tests_failed, t.calls, t.failed,
                               t.rows, t.failures, in.problem_count);
    } else if (in.kind == kSheet) {
        text_names(out, in);
        g_string_append_printf(out, "TOTAL %s rows=%llu names=%llu pass=%llu failed=%llu failing=%llu malformed=%llu ",
                               status(!t.fail), t.rows, t.names, t.passes, t.failures, t.failing, in.malformed);
    } else {
        text_calls(out, in);
        g_string_append_printf(out, "TOTAL %s calls=%llu pass=%llu failed=%llu incomplete=%llu stray=%llu foreign=%llu ",
                               status(!t.fail), t.calls, t.calls - t.failed, t.failed, t.incomplete, in.malformed,
                               in.foreign);
    }
    append_shown(out, in.path);
    g_string_append_c(out, '\n');
}

}  // namespace

void write_text(const Summary &s, GString *out) {
    if (s.triage != nullptr) {
        write_changes(s, out);
        return;
    }
    for (size_t i = 0; i < s.count; ++i) text_input(out, s.inputs[i]);
    g_string_append_printf(out,
                           "SUMMARY %s inputs=%zu unreadable=%llu names=%llu failing=%llu calls=%llu failed=%llu "
                           "malformed=%llu stray=%llu\n",
                           s.unreadable ? "ERROR" : status(!s.fail), s.count, s.unreadable, s.names, s.failing,
                           s.calls, s.failed, s.malformed, s.stray);
}

namespace {

// "PATH:LINE: reason" for a problem at a line; one without a line, and a
// count of those not shown, begin with the program's name.
void input_problems(GString *err, const Input &in) {
    if (in.error != nullptr) {
        g_string_append(err, "capi-report: ");
        append_shown(err, in.error);
        g_string_append_c(err, '\n');
    }
    for (guint k = 0; k < in.problems->len; ++k) {
        const Problem *p = static_cast<const Problem *>(g_ptr_array_index(in.problems, k));
        if (!p->whole) {
            if (!p->line) g_string_append(err, "capi-report: ");
            append_shown(err, in.path);
            if (p->line) g_string_append_printf(err, ":%llu", p->line);
            g_string_append(err, ": ");
        }
        append_shown(err, p->reason);
        g_string_append_c(err, '\n');
    }
    if (in.problem_count > in.problems->len) {
        g_string_append(err, "capi-report: ");
        append_shown(err, in.path);
        g_string_append_printf(err, ": %llu more problems not shown\n", in.problem_count - in.problems->len);
    }
    for (guint i = 0; i < in.tests->len; ++i) {
        const SessionTest &test = render::test_at(in, i);
        if (test.log) input_problems(err, *test.log);
        if (test.rows) input_problems(err, *test.rows);
    }
}

}  // namespace

void write_problems(const Summary &s, GString *err) {
    for (size_t i = 0; i < s.count; ++i) input_problems(err, *s.inputs[i].input);
}

}  // namespace capireport
