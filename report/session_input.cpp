// A capi-run results folder read as one input: the session summary through
// capi-run's own reader (capi_session_read_all), each test's captured
// standard output read as a log, and the rows the summary attributes to it
// read from the folder's copy of the sheet; the session's labels (capi-run
// --label) kept as "KEY=VALUE", by which the report names the session. With
// a console capture, the folder is first recovered from it by capi-run's own
// decoder (capi_bundle_read): the bytes it lost are gaps of their files (a
// test's output is read around them), the lines it put together or rebuilt
// are counted. A summary without its last line is a session cut short: the
// planned tests (capi-run.plan) without a test point are added, the one
// that was running named with what the capture shows after it.
//
// Problems of the summary and of the capture name their own file and line
// ("FILE:LINE: reason") and count as malformed lines of the session; a
// summary lost with damaged capture lines is one more problem. A test
// whose output or rows cannot be read keeps the error on that part: the test
// fails, the session stays readable.
#include <errno.h>
#include <string.h>

#include "bundle.h"
#include "core.h"
#include "render.h"
#include "session.h"

namespace capireport {

namespace {

struct Reading {
    Input *input;
    const Catalog *catalog;
    bool ended;  // the summary's last line came
};

void problem(const char *message, void *data) {
    Input *input = static_cast<Reading *>(data)->input;
    ++input->malformed;
    add_problem(input, 0, g_strdup(message), true);
}

// The rows read back must be the ones the summary attributes to the test: a
// sheet copy cut short or changed (a failed row lost) is a problem of the
// test's rows, never a pass.
void check_rows(const capi_session_test &point, Input *rows) {
    if (rows->error != nullptr) return;
    Count failed = 0;
    for (guint i = 0; i < rows->rows->len; ++i) {
        if (!static_cast<const Row *>(g_ptr_array_index(rows->rows, i))->pass) ++failed;
    }
    if (rows->rows->len == point.rows && failed == point.rows_failed) return;
    ++rows->malformed;
    add_problem(rows, 0,
                g_strdup_printf("the summary gives this test %lu rows from line %lu, %lu failed; the sheet holds "
                                "%u there, %llu failed",
                                point.rows, point.rows_first, point.rows_failed, rows->rows->len, failed));
}

int each(const capi_session_test *point, void *data) {
    const Reading &reading = *static_cast<Reading *>(data);
    SessionTest *test = g_new0(SessionTest, 1);
    test->point = *point;
    if (point->out.file[0] != '\0') {
        char *path = g_build_filename(reading.input->path, point->out.file, nullptr);
        const LineRange all = {1, ~0ULL};
        // The bytes of it that the capture lost, in order.
        GPtrArray *gaps = g_ptr_array_new();
        for (guint i = 0; i < reading.input->gaps->len; ++i) {
            const Gap *gap = static_cast<const Gap *>(g_ptr_array_index(reading.input->gaps, i));
            if (strcmp(gap->file, point->out.file) == 0) g_ptr_array_add(gaps, const_cast<Gap *>(gap));
        }
        test->log = read_input(kLog, path, reading.catalog, &all, gaps);
        g_ptr_array_free(gaps, TRUE);
        g_free(path);
    }
    if (point->rows > 0 && point->rows_first > 0) {
        char *path = g_build_filename(reading.input->path, CAPI_SESSION_SHEET, nullptr);
        const LineRange rows = {point->rows_first, static_cast<Count>(point->rows_first) + point->rows - 1};
        test->rows = read_input(kSheet, path, reading.catalog, &rows);
        g_free(path);
        check_rows(*point, test->rows);
    }
    g_ptr_array_add(reading.input->tests, test);
    return 0;
}

void label(const char *key, const char *value, void *data) {
    g_ptr_array_add(static_cast<Reading *>(data)->input->labels, g_strconcat(key, "=", value, nullptr));
}

void end(unsigned long, void *data) { static_cast<Reading *>(data)->ended = true; }


void gap(const char *file, unsigned long long first, unsigned long long last, void *data) {
    Gap *g = g_new0(Gap, 1);
    g->file = g_strdup(file);
    g->first = first;
    g->last = last;
    g_ptr_array_add(static_cast<Reading *>(data)->input->gaps, g);
}

void planned(unsigned long, const char *name, void *data) { g_ptr_array_add(static_cast<GPtrArray *>(data), g_strdup(name)); }

const char *after_text(capi_bundle_after after) {
    return after == CAPI_BUNDLE_AFTER_PANIC  ? "then a kernel panic"
           : after == CAPI_BUNDLE_AFTER_BOOT ? "then a new boot"
                                             : "then nothing more: the capture ends";
}

// A session whose summary has no last line was cut short: said as a
// problem of the session, and each planned test without a test point added
// as missing: the one that was running (known from the capture, or the next
// of the plan), then those that never started.
void cut_short(Input *input, const char *capture, const capi_bundle_outcome &outcome) {
    char *plan_path = g_build_filename(input->path, CAPI_SESSION_PLAN, nullptr);
    GPtrArray *plan = g_ptr_array_new_with_free_func(g_free);
    const long planned_count = capi_session_read_plan(plan_path, planned, plan);
    g_free(plan_path);
    const guint ended = input->tests->len;
    const char *last = ended > 0 ? render::test_at(*input, ended - 1).point.name : nullptr;
    input->cut = last ? g_strdup_printf("cut short after test %u (%s)", ended, last)
                      : g_strdup("cut short before its first test ended");
    add_problem(input, 0, g_strdup_printf("the session was %s", input->cut));
    for (guint i = ended; planned_count > 0 && i < plan->len; ++i) {
        SessionTest *test = g_new0(SessionTest, 1);
        test->point.number = i + 1;
        test->point.exit_status = -1;
        test->point.outcome = CAPI_NOT_STARTED;
        g_strlcpy(test->point.name, static_cast<const char *>(g_ptr_array_index(plan, i)), sizeof test->point.name);
        if (i > ended) {
            test->missing = g_strdup_printf("not run: the session was %s", input->cut);
        } else if (capture != nullptr && outcome.running == i + 1) {
            test->missing = g_strdup_printf("running when the session stopped, %s", after_text(outcome.after));
        } else if (capture != nullptr) {
            test->missing = g_strdup_printf("not run: the session stopped before it started");
        } else {
            test->missing = g_strdup("no test point: the session stopped while it ran or before it started");
        }
        g_ptr_array_add(input->tests, test);
    }
    g_ptr_array_free(plan, TRUE);
}

}  // namespace

Input *read_session(const char *dir, const char *capture, const Catalog *catalog) {
    Input *input = input_new(kSession, dir);
    Reading reading = {input, catalog, false};
    capi_bundle_outcome outcome;
    memset(&outcome, 0, sizeof outcome);
    if (capture != nullptr) {
        const capi_bundle_handlers unpacking = {problem, gap, &reading};
        if (capi_bundle_read(capture, dir, &unpacking, &outcome) < 0) {
            char *text = read_error_text(errno);
            input->error = g_strdup_printf("cannot recover %s from %s: %s", dir, capture, text);
            g_free(text);
            return input;
        }
        input->capture = g_strdup(capture);
        input->repaired = outcome.repaired;
        input->rebuilt = outcome.rebuilt;
    }
    char *summary = g_build_filename(dir, CAPI_SESSION_SUMMARY, nullptr);
    const capi_session_handlers handlers = {each, problem, label, &reading, end};
    if (capi_session_read_all(summary, &handlers) < 0) {
        char *text = read_error_text(errno);
        char *reason = g_strdup_printf("cannot read %s: %s", summary, text);
        g_free(text);
        g_ptr_array_set_size(input->tests, 0);
        g_ptr_array_set_size(input->labels, 0);
        if (capture != nullptr && input->problem_count > 0) {
            // Lost with the capture's damaged lines: what the capture holds
            // is damaged, not unreadable.
            add_problem(input, 0, reason);
        } else {
            input->error = reason;
        }
    } else if (!reading.ended) {
        cut_short(input, capture, outcome);
    } else if (input->tests->len == 0) {
        add_problem(input, 0, g_strdup("no test points"));
    }
    g_free(summary);
    return input;
}

}  // namespace capireport
