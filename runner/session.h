/*
 * The summary of a capi-run session: TAP version 14, one test point per test
 * and one for busprobe, each with a YAML block of details. capi-run prints it
 * on standard output and writes the same bytes into its results folder as
 * CAPI_SESSION_SUMMARY, so a folder carried off the gateway describes itself.
 *
 *     TAP version 14
 *     1..3
 *     ok 1 - capi_demo
 *       ---
 *       outcome: passed
 *       exit: 0
 *       seconds: 0.041
 *       stdout: "capi_demo.out"
 *       ...
 *     not ok 2 - crasher # crashed: SIGSEGV
 *
 * This header gives the record of one test point, the function that formats
 * it and a reader of the summary file. Plain C, no memory allocated, nothing
 * kept between calls.
 */
#ifndef CAPI_RUN_SESSION_H
#define CAPI_RUN_SESSION_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The summary file in a results folder, and the sheet rows copied there. */
#define CAPI_SESSION_SUMMARY "capi-run.tap"
#define CAPI_SESSION_SHEET "capi.xls"

/* Longest test name and file name (bytes), longest reason text. */
#define CAPI_SESSION_NAME_MAX 255
#define CAPI_SESSION_TEXT_MAX 255

typedef enum {
    CAPI_PASSED,      /* exit status 0 */
    CAPI_FAILED,      /* another exit status */
    CAPI_CRASHED,     /* ended by a signal */
    CAPI_TIMED_OUT,   /* still running after the time limit, then ended */
    CAPI_NOT_STARTED, /* never ran: `reason` says why */
    CAPI_INTERRUPTED, /* ended because capi-run itself was interrupted */
    CAPI_RESTARTED,   /* the gateway restarted while it ran (not a test declared to restart it) */
    CAPI_NO_RESTART,  /* declared to restart the gateway, it ended without a restart */
    CAPI_RESTART_LOOP /* the gateway restarted again and again while it ran: the session ended */
} capi_outcome;

/* One captured stream (standard output or error) of a test. */
typedef struct {
    char file[CAPI_SESSION_NAME_MAX + 1]; /* name in the results folder; "" when none */
    unsigned long long bytes;             /* bytes kept in the file */
    unsigned long long dropped;           /* bytes the test wrote that were not kept */
    char error[CAPI_SESSION_TEXT_MAX + 1]; /* why bytes were dropped besides the limit, or "" */
} capi_stream;

typedef struct {
    unsigned number;                     /* test point number, from 1 */
    char name[CAPI_SESSION_NAME_MAX + 1];
    capi_outcome outcome;
    int exit_status;                     /* when the test exited by itself; else -1 */
    char signal[16];                     /* signal that ended it ("SIGSEGV"), or "" */
    char reason[CAPI_SESSION_TEXT_MAX + 1]; /* why not started, or a note; or "" */
    unsigned long milliseconds;          /* from start to its end (to its last output, when the gateway restarted) */
    unsigned restarts;                   /* restarts of the gateway while it ran */
    capi_stream out;
    capi_stream err;
    /* Its rows in the folder's CAPI_SESSION_SHEET: lines first .. first + rows - 1
     * (first is 0 when it has none), how many read "pass" and "failed", and
     * the bytes the sheet grew by that were not copied. */
    unsigned long rows_first;
    unsigned long rows;
    unsigned long rows_passed;
    unsigned long rows_failed;
    unsigned long long rows_dropped;
} capi_session_test;

/* "passed", "failed", ... as the summary writes an outcome. */
const char *capi_outcome_name(capi_outcome outcome);

/* Whether a test point is "ok": passed, none of its rows failed and
 * nothing of its output lost. */
int capi_session_ok(const capi_session_test *test);

/*
 * What happened to a test point that is not ok, in a few words, as its
 * directive says it after "# ": "crashed: SIGSEGV", "failed: exit 3, failed
 * rows: 1", "failed rows: 4", "passed, 934464 bytes dropped". Returns its
 * length (cut to fit `size`); "" for a point that is ok. capi-run's summary
 * and capi-report say it alike.
 */
size_t capi_session_what(const capi_session_test *test, char *out, size_t size);

/*
 * The rows of a test as a TAP version 14 subtest of its point, printed
 * before the point: "# Subtest: NAME", then indented by four spaces the
 * plan and a point per row, "ok" for a row that reads "pass" and "not ok"
 * for one that reads "failed" or is no row at all:
 *
 *     # Subtest: capi_demo
 *         1..2
 *         ok 1 - device_info_function
 *         not ok 2 - pon_info_function
 *
 * The head (its first two lines) for `rows` rows, and the point of row
 * `number`, given as the line of the folder's sheet (`length` bytes, its
 * line end included or not). Each returns the length formatted into `out`,
 * or 0 when `size` is too small (CAPI_SESSION_POINT_MAX always suffices
 * for a row the row writer makes).
 */
size_t capi_session_subtest_head(const char *name, unsigned long rows, char *out, size_t size);
size_t capi_session_subtest_row(unsigned long number, const char *line, size_t length, char *out, size_t size);

/*
 * Formats the whole test point (its TAP line and YAML block, each line ending
 * in "\n") into `out`. Returns its length, or 0 when `size` is too small
 * (CAPI_SESSION_POINT_MAX always suffices).
 */
#define CAPI_SESSION_POINT_MAX 16384
size_t capi_session_format(const capi_session_test *test, char *out, size_t size);

/*
 * A label of the session (capi-run --label KEY=VALUE: board=gw2, build=4.1.7),
 * a comment line of the summary after the line that names the results
 * folder, one per label in the order given:
 *
 *     # label board=gw2
 *
 * KEY is made of CAPI_SESSION_LABEL_KEY_CHARS; VALUE is escaped as names
 * are, so that the line stays one printable line. Formats the line (with
 * its newline) for "KEY=VALUE" into `out`; returns its length, or 0 when
 * `size` is too small.
 */
#define CAPI_SESSION_LABEL_KEY_CHARS \
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-"
#define CAPI_SESSION_LABEL_PREFIX "# label "
size_t capi_session_format_label(const char *label, char *out, size_t size);

/*
 * Reads the summary file at `path` and calls `each` once per test point, in
 * order (a non-zero return stops the reading and is returned), and `label`
 * once per label, with its key and its value unescaped (NUL-terminated;
 * each at most CAPI_SESSION_TEXT_MAX bytes). Problems of the file (a line
 * that is not of the summary, a point without its block, a plan that does
 * not match, a label line that is not one) go to `problem` as
 * "PATH:LINE: reason". Any of them may be NULL. Returns 0 when the file was
 * read whole without problems, the number of problems, or -1 when it cannot
 * be opened or read (errno set).
 */
typedef int (*capi_session_each)(const capi_session_test *test, void *data);
typedef void (*capi_session_problem)(const char *message, void *data);
typedef void (*capi_session_label)(const char *key, const char *value, void *data);
typedef struct {
    capi_session_each each;
    capi_session_problem problem;
    capi_session_label label;
    void *data;
    /* The summary's last line ("# N test points: ..."): the session ended. */
    void (*end)(unsigned long points, void *data);
} capi_session_handlers;
int capi_session_read_all(const char *path, const capi_session_handlers *handlers);

/* The session's plan in the results folder: its tests in the order they
 * run, busprobe last, "NUMBER NAME" a line (the name escaped as in a test
 * point), written before the first test starts, so that a folder whose
 * session was cut short still names the tests that never ran. */
#define CAPI_SESSION_PLAN "capi-run.plan"
/* The plan's line for test `number`, with its newline; its length, or 0
 * when `size` is too small. */
size_t capi_session_format_plan(unsigned long number, const char *name, char *out, size_t size);
/* Reads the plan at `path`: `each` per test, in order, with its name
 * unescaped. Returns the number of tests, or -1 (errno set) when it cannot
 * be opened or read; a line that is not of the plan ends the reading. */
long capi_session_read_plan(const char *path, void (*each)(unsigned long number, const char *name, void *data),
                            void *data);

/* The same, without the labels. */
int capi_session_read(const char *path, capi_session_each each, capi_session_problem problem,
                      void *data);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_SESSION_H */
