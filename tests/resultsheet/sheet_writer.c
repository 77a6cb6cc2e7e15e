/*
 * One of several writers appending to one sheet at the same time, started by
 * the sheet tests:
 *
 *     sheet_writer SHEET GO NAME COUNT
 *
 * waits until the file GO exists (so that all writers start together), then
 * appends COUNT rows "NAME-0", "NAME-1", ... (pass for an even number, failed
 * for an odd one). Exits 0 when every row was appended, 1 when one was not,
 * 2 on bad arguments or when GO does not appear within ten seconds.
 */
#define _POSIX_C_SOURCE 200809L

#include "result_sheet.h"

#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    const struct timespec pause = {0, 1000000};
    char name[RESULT_SHEET_NAME_MAX + 1];
    int count;
    int waited;
    int failures = 0;
    int i;

    if (argc != 5 || (count = atoi(argv[4])) <= 0) {
        fprintf(stderr, "usage: sheet_writer SHEET GO NAME COUNT\n");
        return 2;
    }
    for (waited = 0; access(argv[2], F_OK) != 0; ++waited) {
        if (waited == 10000) {
            fprintf(stderr, "sheet_writer: %s did not appear\n", argv[2]);
            return 2;
        }
        nanosleep(&pause, NULL);
    }
    for (i = 0; i < count; ++i) {
        snprintf(name, sizeof name, "%s-%d", argv[3], i);
        if (result_sheet_append(argv[1], name, i % 2 == 0 ? 1 : 0) != 0) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
