/*
 * capi-run: one test session on the gateway. Runs each test program in a
 * process group of its own with its output captured into the results
 * folder, attributes the rows it appends to the result sheet, runs busprobe
 * last, and reports in TAP version 14 (see session.h), with --console also
 * as a console bundle streamed as the session goes (see bundle.h). With
 * --journal the session outlives restarts of the gateway (see journal.h and
 * steps.c). Inside a LAVA test shell, or with --lava, it reports each test
 * point to LAVA (see lava.h). The options are in options.c (capi-run
 * --help); this file is the order of a session.
 *
 * Exit status: 0 when every test point is ok, 1 otherwise, 2 for a usage or
 * set-up error.
 */
#define _POSIX_C_SOURCE 200809L

#include "steps.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#ifndef CAPI_RUN_SHEET_PATH
#error "the build defines CAPI_RUN_SHEET_PATH"
#endif

#define REPORT_NAME "capi-report"
/* Room kept for the rows' copy, as for the summary (console.c). */
#define SHEET_ROOM (16 * 1024)

/* A set-up error: the message on standard error, exit status 2. */
#define fail_setup(...) (fputs("capi-run: ", stderr), fprintf(stderr, __VA_ARGS__), fputc('\n', stderr), exit(2))

/* The tests in the order they run, busprobe last, and their names. */
static void plan(session *s, const capi_test_list *tests, char *busprobe)
{
    size_t i;
    s->count = tests->count + (busprobe != NULL ? 1 : 0);
    s->plan = malloc((s->count + 1) * sizeof *s->plan);
    if (s->plan == NULL) {
        fail_setup("out of memory");
    }
    for (i = 0; i < tests->count; ++i) {
        const char *slash = strrchr(tests->items[i].path, '/');
        s->plan[i].path = tests->items[i].path;
        s->plan[i].name = slash != NULL ? slash + 1 : tests->items[i].path;
        s->plan[i].reason = tests->items[i].reason;
        s->plan[i].busprobe = 0;
    }
    if (busprobe != NULL) {
        s->plan[i].path = busprobe;
        s->plan[i].name = CAPI_BUSPROBE_NAME;
        s->plan[i].reason = capi_cannot_run(busprobe);
        s->plan[i].busprobe = 1;
    }
    s->names = malloc((s->count + 1) * sizeof *s->names);
    if (s->names == NULL) {
        fail_setup("out of memory");
    }
    for (i = 0; i < s->count; ++i) {
        s->names[i] = s->plan[i].name;
    }
}

/* The results folder and the summary: a new session's, or the one of the
 * journal that goes on. */
static void open_session(session *s)
{
    char error[PATH_MAX * 3 + 64] = "";
    char kept[PATH_MAX * 2 + 64];
    capi_journal_state state = CAPI_JOURNAL_NEW;
    if (s->opt.journal != NULL) {
        state = capi_journal_open(&s->journal, s->opt.journal, s->names, s->count, kept, sizeof kept, error,
                                  sizeof error);
        if (state == CAPI_JOURNAL_ERROR) {
            fail_setup("%s", error);
        }
        if (state == CAPI_JOURNAL_NEW && error[0] != '\0') {
            fprintf(stderr, "capi-run: %s\n", error);
        }
        if (state == CAPI_JOURNAL_FINISHED) {
            fprintf(stderr, "capi-run: %s holds a session that ended: it is kept as %s; a new session begins\n",
                    s->opt.journal, kept);
        }
        s->journaled = 1;
    }
    if (state == CAPI_JOURNAL_RESUMED) {
        if (capi_folder_open(&s->folder, s->journal.results, error, sizeof error) != 0) {
            fail_setup("%s", error);
        }
        if (capi_console_resume(&s->console, &s->folder, STDOUT_FILENO, s->opt.console, s->journal.session,
                                s->journal.restarts + 2, (off_t)s->journal.summary_bytes) != 0 ||
            capi_kept_reopen(&s->folder, CAPI_SESSION_SHEET, (off_t)s->journal.sheet_bytes, &s->sheet_copy) != 0) {
            fail_setup("%s: %s", s->folder.path, strerror(errno));
        }
        s->rows.copied = s->journal.rows;
        s->resumed = 1;
        return;
    }
    if (capi_folder_make(&s->folder, s->opt.results, error, sizeof error) != 0) {
        fail_setup("%s", error);
    }
    if (strcmp(s->folder.path, s->opt.results) != 0) {
        fprintf(stderr, "capi-run: %s exists and is kept; the results go to %s\n", s->opt.results, s->folder.path);
    }
    if (capi_console_open(&s->console, &s->folder, STDOUT_FILENO, s->opt.console) != 0) {
        fail_setup("%s/%s: %s", s->folder.path, CAPI_SESSION_SUMMARY, strerror(errno));
    }
    if (capi_kept_open(&s->folder, CAPI_SESSION_SHEET, SHEET_ROOM, &s->sheet_copy) != 0) {
        fail_setup("%s/%s: %s", s->folder.path, CAPI_SESSION_SHEET, strerror(errno));
    }
    if (s->journaled &&
        capi_journal_begin(&s->journal, s->console.writer.session, s->folder.path, s->names, s->count) != 0) {
        fail_setup("the journal %s: %s", s->opt.journal, strerror(errno));
    }
}

int main(int argc, char **argv)
{
    session s;
    capi_test_list tests = {NULL, 0, 0};
    char *busprobe = NULL;
    char *capi_report;
    const char *why;
    int status;
    size_t i;

    memset(&s, 0, sizeof s);
    s.journal.fd = -1;
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
        busprobe = s.opt.busprobe != NULL ? strdup(s.opt.busprobe)
                                          : capi_program_beside(argv[0], CAPI_BUSPROBE_NAME);
    }
    capi_report = capi_program_beside(argv[0], REPORT_NAME);
    if ((!s.opt.no_busprobe && busprobe == NULL) || capi_report == NULL) {
        fail_setup("out of memory");
    }
    plan(&s, &tests, busprobe);

    open_session(&s);
    if (run_watch_signals(&s.limits) != 0) {
        fail_setup("pipe: %s", strerror(errno));
    }
    s.limits.timeout_ms = s.opt.timeout_ms;
    s.limits.max_output = s.opt.max_output;
    s.rows.copy = &s.sheet_copy;
    s.rows.max = s.opt.max_output;
    why = capi_cannot_run(capi_report);
    capi_lava_start(&s.lava, s.opt.lava, s.folder.path, why == NULL ? capi_report : NULL);
    if (s.lava.on && why != NULL) {
        fprintf(stderr, "capi-run: %s: %s: LAVA gets no test case per checker call\n", capi_report, why);
    }

    if (s.resumed) {
        capi_resume(&s);
    } else {
        capi_begin(&s);
    }
    for (i = s.points; i < s.count; ++i) {
        capi_run_planned(&s, i);
    }
    capi_end(&s);

    capi_test_list_free(&tests);
    capi_folder_close(&s.folder);
    capi_journal_close(&s.journal);
    free(s.plan);
    free(s.names);
    free(busprobe);
    free(capi_report);
    return s.not_ok == 0 && !s.console.failed ? 0 : 1;
}
