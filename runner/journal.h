/*
 * The journal of a session that may outlive a restart of the gateway
 * (capi-run --journal FILE, FILE on storage that survives one): what the
 * session is, and each test's start and end, written durably (the file,
 * then its folder, synced), so that the same command run again after a
 * restart goes on where the session stood. A text file, a record a line,
 * each line ending in the CRC-32 of the line before it, so that a record
 * cut by a power loss is known as such:
 *
 *     capi-run journal 1 CRC
 *     session SESSION WALL_MS FOLDER CRC       the bundle's session name, when it began, the results folder
 *     test NUMBER NAME CRC                     the tests in order, busprobe last
 *     head SUMMARY_BYTES CRC                   the summary's head is written
 *     start NUMBER WALL_MS SHEET_BYTES STEM CRC   a test starts: when, the sheet's size then, and
 *                                              the stem of its files' names
 *     end NUMBER OK SUMMARY_BYTES SHEET_BYTES ROWS CRC   it ended: ok (1) or not (0), the summary's
 *                                              and the rows' copy's sizes after its point, rows copied
 *     sent NUMBER CRC                          its part of the console bundle went out
 *     restart NUMBER WALL_MS CRC               capi-run started again after a restart (1, 2, ...)
 *     done CRC                                 the session ended
 *
 * NAME, FOLDER and STEM are escaped as the summary escapes names, each the
 * rest of its line. The reader takes the records up to the last whole one:
 * a power loss cuts the last record only, so a damaged line with more after
 * it, or a record out of this order, makes the journal one capi-run does
 * not take on. Internal to capi-run.
 */
#ifndef CAPI_RUN_JOURNAL_H
#define CAPI_RUN_JOURNAL_H

#include <limits.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Restarts during one test after which the session ends: a restart loop. */
#define CAPI_JOURNAL_RESTART_BOUND 3

typedef struct {
    int fd;                          /* open for appending; -1 when none */
    int folder;                      /* the journal's folder, synced after it */
    char path[PATH_MAX];

    /* What the journal holds, as read. */
    char session[17];
    long long began_ms;
    char results[PATH_MAX];
    unsigned long tests;
    int head;                        /* the summary's head is written */
    unsigned long long head_bytes;
    unsigned long ended;             /* tests that ended */
    unsigned long not_ok;            /* of them, not ok */
    unsigned long long summary_bytes; /* the summary's size after the last end */
    unsigned long long sheet_bytes;   /* the rows' copy's size after the last end */
    unsigned long rows;              /* rows copied up to the last end */
    unsigned long sent;              /* parts sent */
    unsigned long running;           /* a test that started and did not end, or 0 */
    long long running_ms;            /* when it (last) started */
    unsigned long long running_sheet; /* the sheet's size when it first started */
    char running_stem[256];          /* its files' names without ".out", ".err" */
    unsigned running_restarts;       /* restarts while it ran */
    unsigned restarts;               /* restarts in all */
    int done;
} capi_journal;

/* What capi_journal_open found. */
typedef enum {
    CAPI_JOURNAL_NEW,      /* none: a new session begins */
    CAPI_JOURNAL_RESUMED,  /* a session that did not end: it goes on */
    CAPI_JOURNAL_FINISHED, /* a session that ended: kept under a new name, a new one begins */
    CAPI_JOURNAL_ERROR     /* cannot be read, or names other tests: `error` says why */
} capi_journal_state;

/*
 * Reads the journal at `path` and checks it names the tests `names` (count
 * of them) in that order. A finished session's journal is renamed PATH.1
 * (or .2, ... the first free) and its results folder likewise; `kept`
 * then names both. An empty journal (cut before its first record) is
 * removed: a new session begins, and `error` says so. Returns what it
 * found; for CAPI_JOURNAL_ERROR a whole sentence in `error`.
 */
capi_journal_state capi_journal_open(capi_journal *journal, const char *path, const char *const *names,
                                     size_t count, char *kept, size_t kept_size, char *error, size_t error_size);

/* The reader alone (capi_journal_open's, which then cuts the file at
 * `whole`): the records of `file` into `journal`, the offset after the last
 * whole one in `whole`. Returns 0, or -1 with a whole sentence in `error`. */
int capi_journal_read(capi_journal *journal, FILE *file, const char *const *names, size_t count, long *whole,
                      char *error, size_t error_size);

/* Begins a new journal (after CAPI_JOURNAL_NEW or _FINISHED): the session
 * and its tests. Returns 0, or -1 with errno. */
int capi_journal_begin(capi_journal *journal, const char *session, const char *results, const char *const *names,
                       size_t count);

/* Appends a record (its text, without the checksum) durably. Returns 0, or
 * -1 with errno. */
int capi_journal_record(capi_journal *journal, const char *format, ...) __attribute__((format(printf, 2, 3)));
int capi_journal_vrecord(capi_journal *journal, const char *format, va_list args) __attribute__((format(printf, 2, 0)));

/* Milliseconds of the wall clock, which runs on across a restart. */
long long capi_journal_now_ms(void);

void capi_journal_close(capi_journal *journal);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_JOURNAL_H */
