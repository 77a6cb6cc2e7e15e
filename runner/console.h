/*
 * What a session prints: its summary (TAP version 14) on standard output and,
 * the same bytes, into the results folder as CAPI_SESSION_SUMMARY; with
 * --console, the results folder as a console bundle at the end. Internal to
 * capi-run.
 */
#ifndef CAPI_RUN_CONSOLE_H
#define CAPI_RUN_CONSOLE_H

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
    int failed;             /* the summary (or the bundle) could not be written whole */
} capi_console;

/* Makes the summary file, with room kept for it. Returns 0, or -1 with errno. */
int capi_console_open(capi_console *console, capi_folder *folder, int out);

/* Lines of the summary: on standard output and into the folder. A summary
 * that cannot be written is said once on standard error, and the session
 * then fails. */
void capi_console_write(capi_console *console, const char *text, size_t length);
void capi_console_printf(capi_console *console, const char *format, ...) __attribute__((format(printf, 2, 3)));

/* The head of the summary: the plan, the results folder, the labels. */
void capi_console_begin(capi_console *console, size_t tests, const char *const *labels, size_t label_count);

/* One test point, numbered `number`. */
void capi_console_point(capi_console *console, const capi_session_test *test);

/* The last line of the summary ("# N test points: ..."), the summary file
 * closed and, with `bundle`, the folder's files printed as a console
 * bundle. */
void capi_console_end(capi_console *console, unsigned points, unsigned not_ok, int bundle);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_CONSOLE_H */
