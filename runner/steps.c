/* The steps of a session (see steps.h). */
#define _POSIX_C_SOURCE 200809L

#include "steps.h"

#include "text.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

#define AFTER_RESTART "CAPI_RUN_AFTER_RESTART"

/* A journal that cannot be written is said once: the session goes on, but
 * can no longer go on after a restart, and fails. */
static void record(session *s, const char *format, ...) __attribute__((format(printf, 2, 3)));
static void record(session *s, const char *format, ...)
{
    va_list args;
    int rc;
    if (!s->journaled) {
        return;
    }
    va_start(args, format);
    rc = capi_journal_vrecord(&s->journal, format, args);
    va_end(args);
    if (rc != 0) {
        fprintf(stderr, "capi-run: the journal %s: %s: the session cannot go on after a restart\n", s->opt.journal,
                strerror(errno));
        s->journaled = 0;
        s->console.failed = 1;
    }
}

static int declared(const session *s, const char *name)
{
    size_t i;
    for (i = 0; i < s->opt.restart_count; ++i) {
        if (strcmp(s->opt.restarts[i], name) == 0) {
            return 1;
        }
    }
    return 0;
}

/* The point, then (the journal saying the test ended) its part of the
 * bundle, and LAVA's report. */
static void finish_point(session *s, capi_session_test *test, off_t rows_from)
{
    off_t summary_from;
    test->number = ++s->points;
    if (!capi_session_ok(test)) {
        ++s->not_ok;
    }
    summary_from = capi_console_point(&s->console, test, &s->sheet_copy, rows_from, s->sheet_copy.length);
    if (s->journaled) {
        /* What the journal says is there must be there. */
        (void)capi_console_sync(&s->console);
        (void)fsync(s->sheet_copy.fd);
        record(s, "end %u %d %lld %lld %lu", test->number, capi_session_ok(test),
               (long long)s->console.summary.length, (long long)s->sheet_copy.length, s->rows.copied);
    }
    capi_console_part(&s->console, test, summary_from, &s->sheet_copy, rows_from, s->sheet_copy.length);
    record(s, "sent %u", test->number);
    capi_lava_point(&s->lava, test);
}

static void new_test(capi_session_test *test, const char *name)
{
    memset(test, 0, sizeof *test);
    test->exit_status = -1;
    snprintf(test->name, sizeof test->name, "%s", name);
}

/* A test point for a test that does not run: why, or the signal that ended
 * the session before it. */
static void not_started(session *s, const capi_planned *planned, const char *reason)
{
    capi_session_test test;
    new_test(&test, planned->name);
    test.outcome = CAPI_NOT_STARTED;
    if (*s->limits.interrupted) {
        char signal_name[16];
        run_signal_name(*s->limits.interrupted, signal_name, sizeof signal_name);
        snprintf(test.reason, sizeof test.reason, "capi-run got %s", signal_name);
    } else if (planned->busprobe && reason == planned->reason) {
        snprintf(test.reason, sizeof test.reason, "%s: %s", planned->path, reason);
    } else {
        snprintf(test.reason, sizeof test.reason, "%s", reason);
    }
    finish_point(s, &test, s->sheet_copy.length);
}

/* The environment of a test run again after the restart it made. */
static char **after_restart_env(void)
{
    size_t n = 0;
    size_t i;
    char **env;
    while (environ[n] != NULL) {
        ++n;
    }
    env = malloc((n + 2) * sizeof *env);
    if (env == NULL) {
        return NULL;
    }
    for (i = 0, n = 0; environ[i] != NULL; ++i) {
        if (strncmp(environ[i], AFTER_RESTART "=", sizeof AFTER_RESTART) != 0) {
            env[n++] = environ[i];
        }
    }
    env[n++] = (char *)AFTER_RESTART "=1";
    env[n] = NULL;
    return env;
}

/* After a test declared to restart the gateway ended by itself: the time
 * the restart may still take (an interface call may ask for it and return
 * first). Returns 0 when the wait ran out, 1 when capi-run was interrupted. */
static int wait_for_restart(const session *s)
{
    const unsigned long long end = run_now_ms() + s->opt.restart_wait_ms;
    while (run_now_ms() < end) {
        struct timespec pause = {0, 100 * 1000000L};
        if (*s->limits.interrupted) {
            return 1;
        }
        nanosleep(&pause, NULL);
    }
    return 0;
}

/* Runs one test (again, after the restart it made: with AFTER_RESTART set,
 * its files and rows going on from its first run). */
static void run_one(session *s, const capi_planned *planned, int again)
{
    capi_session_test test;
    char stem[CAPI_FOLDER_STEM_MAX + 16];
    char escaped[4 * sizeof stem];
    long long before;
    off_t rows_from;
    char **env = NULL;
    int fds[2];
    int i;

    new_test(&test, planned->name);
    if (again) {
        snprintf(stem, sizeof stem, "%s", s->journal.running_stem);
        capi_folder_test_files_again(&s->folder, stem, &test, fds);
        before = (long long)s->journal.running_sheet;
        test.restarts = s->journal.running_restarts;
        env = after_restart_env();
    } else {
        /* busprobe's file names are kept for busprobe. */
        capi_folder_test_files(&s->folder, planned->busprobe || s->opt.no_busprobe ? NULL : CAPI_BUSPROBE_NAME, &test,
                               fds, stem);
        before = capi_sheet_size(s->opt.sheet);
    }
    capi_console_starting(&s->console, s->points + 1, test.name);
    if (capi_escape(stem, strlen(stem), NULL, escaped, sizeof escaped) != (size_t)-1) {
        record(s, "start %u %lld %lld %s", s->points + 1, capi_journal_now_ms(), before, escaped);
    }
    s->limits.env = env;
    run_test(planned->path, fds[0], fds[1], &s->limits, &test);
    s->limits.env = NULL;
    free(env);
    if (declared(s, planned->name) && !again && test.outcome != CAPI_INTERRUPTED && test.outcome != CAPI_NOT_STARTED) {
        /* It should have restarted the gateway; it ended by itself. */
        test.outcome = wait_for_restart(s) ? CAPI_INTERRUPTED : CAPI_NO_RESTART;
    }
    rows_from = s->sheet_copy.length;
    capi_rows_copy(&s->rows, s->opt.sheet, before, capi_sheet_size(s->opt.sheet), &test);
    for (i = 0; i < 2; ++i) {
        capi_stream *stream = i == 0 ? &test.out : &test.err;
        if (fds[i] >= 0 && s->journaled) {
            (void)fsync(fds[i]);
        }
        if (fds[i] >= 0 && close(fds[i]) != 0 && stream->error[0] == '\0') {
            snprintf(stream->error, sizeof stream->error, "%s", strerror(errno));
        }
    }
    finish_point(s, &test, rows_from);
}

/* The test during which the gateway restarted (not on purpose): how long it
 * had run (to its last output), what it wrote, its rows. */
static void restarted(session *s, const capi_planned *planned)
{
    capi_session_test test;
    long long last = s->journal.running_ms;
    off_t rows_from;
    int fds[2];
    int i;
    new_test(&test, planned->name);
    test.outcome = CAPI_RESTARTED;
    test.restarts = s->journal.running_restarts;
    capi_folder_test_files_again(&s->folder, s->journal.running_stem, &test, fds);
    for (i = 0; i < 2; ++i) {
        struct stat status;
        if (fds[i] >= 0 && fstat(fds[i], &status) == 0) {
            const long long written = (long long)status.st_mtim.tv_sec * 1000 + status.st_mtim.tv_nsec / 1000000;
            last = written > last ? written : last;
        }
        if (fds[i] >= 0) {
            close(fds[i]);
        }
    }
    test.milliseconds = (unsigned long)(last - s->journal.running_ms);
    rows_from = s->sheet_copy.length;
    capi_rows_copy(&s->rows, s->opt.sheet, (long long)s->journal.running_sheet, capi_sheet_size(s->opt.sheet), &test);
    finish_point(s, &test, rows_from);
}

void capi_begin(session *s)
{
    capi_console_begin(&s->console, s->names, s->count, s->opt.labels, s->opt.label_count);
    if (s->journaled) {
        (void)capi_console_sync(&s->console);
        record(s, "head %lld", (long long)s->console.summary.length);
    }
}

void capi_resume(session *s)
{
    capi_journal *j = &s->journal;
    const capi_planned *running;
    s->points = (unsigned)j->ended;
    s->not_ok = (unsigned)j->not_ok;
    record(s, "restart %u %lld", j->restarts + 1, capi_journal_now_ms());
    ++j->restarts;
    if (j->sent < j->ended) {
        fprintf(stderr, "capi-run: test %lu's part of the console bundle was being sent when the gateway restarted: "
                        "the results folder has it whole\n",
                j->ended);
    }
    if (j->running == 0 || j->running > s->count) {
        return;
    }
    running = &s->plan[j->running - 1];
    ++j->running_restarts;
    if (j->running_restarts >= CAPI_JOURNAL_RESTART_BOUND) {
        capi_session_test test;
        new_test(&test, running->name);
        test.outcome = CAPI_RESTART_LOOP;
        test.restarts = j->running_restarts;
        finish_point(s, &test, s->sheet_copy.length);
        snprintf(s->why, sizeof s->why, "the session ended after a restart loop in %.200s", test.name);
        s->stopped = s->why;
    } else if (declared(s, running->name)) {
        run_one(s, running, 1);
    } else {
        restarted(s, running);
    }
}

void capi_run_planned(session *s, size_t index)
{
    const capi_planned *planned = &s->plan[index];
    if (s->stopped != NULL) {
        not_started(s, planned, s->stopped);
    } else if (*s->limits.interrupted || planned->reason != NULL) {
        not_started(s, planned, planned->reason != NULL ? planned->reason : "");
    } else {
        run_one(s, planned, 0);
    }
}

void capi_end(session *s)
{
    capi_console_end(&s->console, s->points, s->not_ok, s->journaled ? s->journal.restarts : 0);
    (void)capi_kept_close(&s->sheet_copy);
    record(s, "done");
}
