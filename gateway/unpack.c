/*
 * capi-unpack: recovers a capi-run results folder from a console capture
 * (what a serial console carried of `capi-run --console`, kernel and other
 * lines included) into a new folder, for the host that booted the gateway.
 *
 *   capi-unpack DIR CAPTURE
 *
 * Every problem of the capture (a damaged or missing line, a file short of
 * bytes, no bundle) goes to standard error as "CAPTURE:LINE: reason".
 * Exit status: 0 when every file was recovered whole, 1 when something was
 * damaged or missing, 2 for a usage error or a capture or folder that cannot
 * be read or made.
 */
#include "bundle.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

static void problem(const char *message, void *data)
{
    (void)data;
    fprintf(stderr, "%s\n", message);
}

int main(int argc, char **argv)
{
    int problems;

    if (argc != 3 || argv[1][0] == '-' || argv[2][0] == '-') {
        fputs("usage: capi-unpack DIR CAPTURE\n", stderr);
        return 2;
    }
    problems = capi_bundle_unpack(argv[2], argv[1], problem, NULL);
    if (problems < 0) {
        fprintf(stderr, "capi-unpack: %s into %s: %s\n", argv[2], argv[1], strerror(errno));
        return 2;
    }
    return problems == 0 ? 0 : 1;
}
