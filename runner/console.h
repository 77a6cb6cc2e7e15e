/*
 * What a session prints: its summary (TAP version 14) on standard output and,
 * the same bytes, into the results folder as CAPI_SESSION_SUMMARY; with
 * --console, the results folder as a console bundle too, streamed: a part
 * as soon as what it holds is known, so that a capture cut at any point
 * holds every test that ended before it (bundle.h). Internal to capi-run.
 */
#ifndef CAPI_RUN_CONSOLE_H
#define CAPI_RUN_CONSOLE_H

#include "bundle.h"
#include "folder.h"
#include "session.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    int out;                /* standard output */
    capi_folder *folder;
    capi_kept_file summary; /* CAPI_SESSION_SUMMARY in the folder */
    int failed;             /* the summary or the bundle could not be written whole */
    int bundle;             /* the bundle goes out too */
    capi_bundle_writer writer;
} capi_console;

/* Makes the summary file, with room kept for it, for a new session (its
 * name made in console->writer.session). Returns 0, or -1 with errno. */
int capi_console_open(capi_console *console, capi_folder *folder, int out, int bundle);

/* The same for a session that goes on after a restart: its summary as it
 * was after `summary_bytes`, the bundle begun again for the session named
 * `session` at capi-run's start number `start`. */
int capi_console_resume(capi_console *console, capi_folder *folder, int out, int bundle, const char *session,
                        unsigned start, off_t summary_bytes);

/* The summary's bytes on storage (a journal is kept: they must be there
 * before it says so). Returns 0, or -1 with errno. */
int capi_console_sync(capi_console *console);

/* Lines of the summary: on standard output and into the folder. A summary
 * that cannot be written is said once on standard error, and the session
 * then fails. */
void capi_console_write(capi_console *console, const char *text, size_t length);
void capi_console_printf(capi_console *console, const char *format, ...) __attribute__((format(printf, 2, 3)));

/* The head of the summary (the plan, the results folder, the labels) and
 * the session's plan file, `names` the tests in order; the bundle's begin
 * and its first part. */
void capi_console_begin(capi_console *console, const char *const *names, size_t count, const char *const *labels,
                        size_t label_count);

/* Test `number`, named `name`, is starting (a line of the bundle). */
void capi_console_starting(capi_console *console, unsigned number, const char *name);

/* One test point: its rows as a subtest (read back from the rows' copy
 * `rows`, bytes `from` to `to`), then the point. Returns where the point
 * began in the summary. */
off_t capi_console_point(capi_console *console, const capi_session_test *test, const capi_kept_file *rows,
                         off_t from, off_t to);

/* The bundle's part of the test: its point (the summary from
 * `summary_from`), its two files, its rows. */
void capi_console_part(capi_console *console, const capi_session_test *test, off_t summary_from,
                       const capi_kept_file *rows, off_t from, off_t to);

/* The last lines of the summary (the gateway's restarts, where there were
 * any, and "# N test points: ..."), the summary file closed, and the
 * bundle's last part and end. */
void capi_console_end(capi_console *console, unsigned points, unsigned not_ok, unsigned restarts);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_CONSOLE_H */
