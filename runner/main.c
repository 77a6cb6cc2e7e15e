/*
 * capi-run: one test session on the gateway. Runs each test program in a
 * process group of its own with its output captured into the results
 * folder, attributes the rows it appends to the result sheet, runs busprobe
 * last, and reports in TAP version 14 (see session.h), optionally followed by
 * the whole results folder as a console bundle (see bundle.h). Inside a LAVA
 * test shell, or with --lava, it reports each test point to LAVA (see lava.h).
 * The options are in options.c (capi-run --help); this file is the order of
 * a session.
 *
 * Exit status: 0 when every test point is ok, 1 otherwise, 2 for a usage or
 * set-up error.
 */
#define _POSIX_C_SOURCE 200809L

#include "console.h"
#include "folder.h"
#include "lava.h"
#include "options.h"
#include "rows.h"
#include "run.h"
#include "session.h"
#include "process.h"
#include "testlist.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#ifndef CAPI_RUN_SHEET_PATH
#error "the build defines CAPI_RUN_SHEET_PATH"
#endif

#define BUSPROBE_NAME "busprobe"
#define REPORT_NAME "capi-report"
/* Room kept for the rows' copy, as for the summary (console.c). */
#define SHEET_ROOM (16 * 1024)

typedef struct {
    capi_run_options opt;
    capi_folder folder;
    capi_console console;
    capi_kept_file sheet_copy;
    capi_rows rows;
    run_limits limits;
    unsigned points;
    unsigned not_ok;
    capi_lava lava;
} session;

/* A set-up error: the message on standard error, exit status 2. */
#define fail_setup(...) (fputs("capi-run: ", stderr), fprintf(stderr, __VA_ARGS__), fputc('\n', stderr), exit(2))

static void finish_point(session *s, capi_session_test *test, off_t rows_from)
{
    test->number = ++s->points;
    if (!capi_session_ok(test)) {
        ++s->not_ok;
    }
    capi_console_point(&s->console, test, &s->sheet_copy, rows_from, s->sheet_copy.length);
    capi_lava_point(&s->lava, test);
}

static void name_of(const char *path, capi_session_test *test)
{
    const char *slash = strrchr(path, '/');
    snprintf(test->name, sizeof test->name, "%s", slash != NULL ? slash + 1 : path);
}

/* A test point for a test that does not run: why, or the signal that ended
 * the session before it. */
static void not_started(session *s, const char *name, const char *reason)
{
    capi_session_test test;
    memset(&test, 0, sizeof test);
    test.exit_status = -1;
    name_of(name, &test);
    test.outcome = CAPI_NOT_STARTED;
    if (*s->limits.interrupted) {
        char signal_name[16];
        run_signal_name(*s->limits.interrupted, signal_name, sizeof signal_name);
        snprintf(test.reason, sizeof test.reason, "capi-run got %s", signal_name);
    } else {
        snprintf(test.reason, sizeof test.reason, "%s", reason);
    }
    finish_point(s, &test, 0);
}

/* Runs one test: its two files, its run, its rows, its point. */
static void run_one(session *s, const char *path, const char *name)
{
    capi_session_test test;
    long long before;
    off_t rows_from;
    int fds[2];
    int i;

    memset(&test, 0, sizeof test);
    test.exit_status = -1;
    if (name != NULL) {
        snprintf(test.name, sizeof test.name, "%s", name);
    } else {
        name_of(path, &test);
    }
    capi_console_starting(&s->console, s->points + 1, test.name);
    /* busprobe's file names are kept for busprobe. */
    capi_folder_test_files(&s->folder, name != NULL || s->opt.no_busprobe ? NULL : BUSPROBE_NAME, &test, fds);
    before = capi_sheet_size(s->opt.sheet);
    run_test(path, fds[0], fds[1], &s->limits, &test);
    rows_from = s->sheet_copy.length;
    capi_rows_copy(&s->rows, s->opt.sheet, before, capi_sheet_size(s->opt.sheet), &test);
    for (i = 0; i < 2; ++i) {
        capi_stream *stream = i == 0 ? &test.out : &test.err;
        if (fds[i] >= 0 && close(fds[i]) != 0 && stream->error[0] == '\0') {
            snprintf(stream->error, sizeof stream->error, "%s", strerror(errno));
        }
    }
    finish_point(s, &test, rows_from);
}

int main(int argc, char **argv)
{
    session s;
    capi_test_list tests = {NULL, 0, 0};
    char error[PATH_MAX * 3 + 64];
    char *busprobe = NULL;
    char *capi_report;
    const char **names;
    const char *why;
    int status;
    size_t i;

    memset(&s, 0, sizeof s);
    capi_run_options_defaults(&s.opt, CAPI_RUN_SHEET_PATH);
    status = capi_run_options_read(argc, argv, &s.opt, stdout, stderr);
    if (status >= 0) {
        return status;
    }
    for (i = 0; i < s.opt.test_count; ++i) {
        if (capi_test_list_add(&tests, s.opt.tests[i]) != 0) {
            fail_setup("out of memory");
        }
    }
    if (!s.opt.no_busprobe) {
        busprobe = s.opt.busprobe != NULL ? strdup(s.opt.busprobe) : capi_program_beside(argv[0], BUSPROBE_NAME);
    }
    capi_report = capi_program_beside(argv[0], REPORT_NAME);
    if ((!s.opt.no_busprobe && busprobe == NULL) || capi_report == NULL) {
        fail_setup("out of memory");
    }

    if (capi_folder_make(&s.folder, s.opt.results, error, sizeof error) != 0) {
        fail_setup("%s", error);
    }
    if (strcmp(s.folder.path, s.opt.results) != 0) {
        fprintf(stderr, "capi-run: %s exists and is kept; the results go to %s\n", s.opt.results, s.folder.path);
    }
    if (run_watch_signals(&s.limits) != 0) {
        fail_setup("pipe: %s", strerror(errno));
    }
    s.limits.timeout_ms = s.opt.timeout_ms;
    s.limits.max_output = s.opt.max_output;
    if (capi_console_open(&s.console, &s.folder, STDOUT_FILENO, s.opt.console) != 0) {
        fail_setup("%s/%s: %s", s.folder.path, CAPI_SESSION_SUMMARY, strerror(errno));
    }
    if (capi_kept_open(&s.folder, CAPI_SESSION_SHEET, SHEET_ROOM, &s.sheet_copy) != 0) {
        fail_setup("%s/%s: %s", s.folder.path, CAPI_SESSION_SHEET, strerror(errno));
    }
    s.rows.copy = &s.sheet_copy;
    s.rows.max = s.opt.max_output;
    why = capi_cannot_run(capi_report);
    capi_lava_start(&s.lava, s.opt.lava, s.folder.path, why == NULL ? capi_report : NULL);
    if (s.lava.on && why != NULL) {
        fprintf(stderr, "capi-run: %s: %s: LAVA gets no test case per checker call\n", capi_report, why);
    }

    names = malloc((tests.count + 1) * sizeof *names);
    if (names == NULL) {
        fail_setup("out of memory");
    }
    for (i = 0; i < tests.count; ++i) {
        const char *slash = strrchr(tests.items[i].path, '/');
        names[i] = slash != NULL ? slash + 1 : tests.items[i].path;
    }
    names[tests.count] = BUSPROBE_NAME;
    capi_console_begin(&s.console, names, tests.count + (busprobe != NULL ? 1 : 0), s.opt.labels,
                       s.opt.label_count);
    for (i = 0; i < tests.count; ++i) {
        if (*s.limits.interrupted || tests.items[i].reason != NULL) {
            not_started(&s, tests.items[i].path, tests.items[i].reason);
        } else {
            run_one(&s, tests.items[i].path, NULL);
        }
    }
    if (busprobe != NULL) {
        why = capi_cannot_run(busprobe);
        if (*s.limits.interrupted || why != NULL) {
            snprintf(error, sizeof error, "%s: %s", busprobe, why != NULL ? why : "");
            not_started(&s, BUSPROBE_NAME, error);
        } else {
            run_one(&s, busprobe, BUSPROBE_NAME);
        }
    }
    capi_console_end(&s.console, s.points, s.not_ok);
    (void)capi_kept_close(&s.sheet_copy);
    free(names);

    capi_test_list_free(&tests);
    capi_folder_close(&s.folder);
    free(busprobe);
    free(capi_report);
    return s.not_ok == 0 && !s.console.failed ? 0 : 1;
}
