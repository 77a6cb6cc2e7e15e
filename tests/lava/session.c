/*
 * lava_session DIR: the test points of a capi-run results folder, one line
 * each, in order, as scripts/lava compares them with LAVA's results:
 *
 *     NAME \t ok|not-ok \t STDOUT-FILE \t FIRST-ROW \t ROWS
 *
 * Problems of the summary go to standard error; the exit status is 0 only
 * when it reads without problems.
 */
#define _POSIX_C_SOURCE 200809L

#include <stdio.h>

#include "session.h"

static void problem(const char *message, void *data)
{
    (void)data;
    fprintf(stderr, "%s\n", message);
}

static int point(const capi_session_test *test, void *data)
{
    (void)data;
    printf("%s\t%s\t%s\t%lu\t%lu\n", test->name, capi_session_ok(test) ? "ok" : "not-ok", test->out.file,
           test->rows_first, test->rows);
    return 0;
}

int main(int argc, char **argv)
{
    char summary[4096];
    if (argc != 2) {
        fputs("usage: lava_session DIR\n", stderr);
        return 2;
    }
    snprintf(summary, sizeof summary, "%s/%s", argv[1], CAPI_SESSION_SUMMARY);
    return capi_session_read(summary, point, problem, NULL) == 0 ? 0 : 1;
}
