/* Running one test program: its own process group, its output drained into
 * files, its end and outcome. Internal to capi-run. */
#ifndef CAPI_RUN_RUN_H
#define CAPI_RUN_RUN_H

#include "session.h"

#include <signal.h>

typedef struct {
    unsigned long long timeout_ms; /* time a test may run */
    unsigned long long max_output; /* bytes kept per stream */
    int wake_fd;                  /* read end of the pipe the signal handlers write to */
    volatile sig_atomic_t *interrupted; /* set (to the signal) when capi-run is to stop */
} run_limits;

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

#endif /* CAPI_RUN_RUN_H */
