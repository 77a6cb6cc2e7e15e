// A capi-run results folder read as one input: the session summary through
// capi-run's own reader (capi_session_read_all), each test's captured
// standard output read as a log, and the rows the summary attributes to it
// read from the folder's copy of the sheet; the session's labels (capi-run
// --label) kept as "KEY=VALUE", by which the report names the session. With a console capture, the folder is
// first recovered from it by capi-run's own decoder (capi_bundle_unpack).
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
#include "session.h"

namespace capireport {

namespace {

struct Reading {
    Input *input;
    const Catalog *catalog;
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
        test->log = read_input(kLog, path, reading.catalog, &all);
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

}  // namespace

Input *read_session(const char *dir, const char *capture, const Catalog *catalog) {
    Input *input = input_new(kSession, dir);
    Reading reading = {input, catalog};
    if (capture != nullptr && capi_bundle_unpack(capture, dir, problem, &reading) < 0) {
        char *text = read_error_text(errno);
        input->error = g_strdup_printf("cannot recover %s from %s: %s", dir, capture, text);
        g_free(text);
        return input;
    }
    char *summary = g_build_filename(dir, CAPI_SESSION_SUMMARY, nullptr);
    const capi_session_handlers handlers = {each, problem, label, &reading};
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
    } else if (input->tests->len == 0) {
        add_problem(input, 0, g_strdup("no test points"));
    }
    g_free(summary);
    return input;
}

}  // namespace capireport
