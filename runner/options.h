/*
 * capi-run's command line: its options as one table, read with getopt_long,
 * from which the usage line and --help are made too. Internal to capi-run.
 */
#ifndef CAPI_RUN_OPTIONS_H
#define CAPI_RUN_OPTIONS_H

#include <stddef.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Labels a session may carry (--label KEY=VALUE), tests it may declare to
 * restart the gateway (--restarts NAME). */
#define CAPI_RUN_LABELS_MAX 32
#define CAPI_RUN_RESTARTS_MAX 32

typedef struct {
    const char *results;           /* the results folder to make */
    unsigned long long timeout_ms; /* time a test may run */
    unsigned long long max_output; /* bytes kept per stream, and of a test's rows */
    const char *sheet;             /* the result sheet the tests append to */
    const char *busprobe;          /* NULL: the one beside capi-run */
    int no_busprobe;
    int console;                   /* print the results as a console bundle too */
    int lava;                      /* report to LAVA's helpers whatever the PATH holds */
    const char *labels[CAPI_RUN_LABELS_MAX]; /* "KEY=VALUE", as given */
    size_t label_count;
    const char *journal;           /* the journal on storage that survives a restart, or NULL */
    const char *restarts[CAPI_RUN_RESTARTS_MAX]; /* tests that restart the gateway on purpose */
    size_t restart_count;
    unsigned long long restart_wait_ms; /* after such a test ended by itself: the time its restart may take */
    char **tests;                  /* the TEST operands */
    size_t test_count;
} capi_run_options;

/* The options' defaults; `sheet` is the kit's standard sheet. */
void capi_run_options_defaults(capi_run_options *options, const char *sheet);

/*
 * Reads the command line into `options` (set to the defaults first).
 * Returns -1 when a session is to run; otherwise the exit status: 0 after
 * --help or --version (printed on `out`), 2 after a usage error (its message
 * and the usage line on `err`).
 */
int capi_run_options_read(int argc, char **argv, capi_run_options *options, FILE *out, FILE *err);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_OPTIONS_H */
