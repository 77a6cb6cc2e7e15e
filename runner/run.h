/* Running one test program: its own process group, its output drained into
 * files, its end and outcome. Internal to capi-run. */
#ifndef CAPI_RUN_RUN_H
#define CAPI_RUN_RUN_H

#include "session.h"

#include <signal.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    unsigned long long timeout_ms; /* time a test may run */
    unsigned long long max_output; /* bytes kept per stream */
    int wake_fd;                  /* read end of the pipe the signal handlers write to */
    volatile sig_atomic_t *interrupted; /* set (to the signal) when capi-run is to stop */
    char *const *env;             /* the test's environment; NULL: capi-run's own */
} run_limits;

/*
 * Sets up the signals of a session: SIGINT and SIGTERM end it (the running
 * test is ended, the rest do not start: *limits->interrupted is set to the
 * signal), SIGCHLD wakes the wait for a test, and SIGPIPE and SIGXFSZ are
 * ignored (a reader of standard output that went away ends nothing but the
 * output; a file-size limit fails the write with EFBIG, which is reported
 * like a full file system). Fills in limits->wake_fd and
 * limits->interrupted. Returns 0, or -1 with errno.
 */
int run_watch_signals(run_limits *limits);

/* Milliseconds of a monotonic clock. */
unsigned long long run_now_ms(void);

/* "SIGSEGV" for SIGSEGV, "SIG<n>" for a signal without a name here. */
void run_signal_name(int signal_number, char *out, size_t size);

/*
 * Runs the program at `path` (no arguments) with standard input from
 * /dev/null, standard output into `out_fd` and standard error into `err_fd`
 * (each -1 when the file could not be made: all its bytes are dropped), and
 * fills in the test's outcome, exit status or signal, time and the two
 * streams' byte counts. `test->out.error` and `err.error` may hold the reason
 * of a file that could not be made.
 */
void run_test(const char *path, int out_fd, int err_fd, const run_limits *limits,
              capi_session_test *test);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_RUN_H */
