/*
 * lava_session CAPTURE DIR: recovers the results folder that capi-run sent
 * with --console from a console capture into DIR, then prints one line per
 * test point of its summary, in order:
 *
 *     NAME \t ok|not-ok \t STDOUT-FILE \t FIRST-ROW \t ROWS
 *
 * Problems of the capture or of the summary go to standard error; the exit
 * status is 0 only when the folder came back whole and its summary reads
 * without problems.
 */
#define _POSIX_C_SOURCE 200809L

#include <stdio.h>
#include <string.h>

#include "bundle.h"
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
    if (argc != 3) {
        fputs("usage: lava_session CAPTURE DIR\n", stderr);
        return 2;
    }
    if (capi_bundle_unpack(argv[1], argv[2], problem, NULL) != 0) {
        fprintf(stderr, "lava_session: %s: the results folder did not come back whole\n", argv[1]);
        return 1;
    }
    snprintf(summary, sizeof summary, "%s/%s", argv[2], CAPI_SESSION_SUMMARY);
    return capi_session_read(summary, point, problem, NULL) == 0 ? 0 : 1;
}
