/* The rows of a test, copied from the sheet (see rows.h). */
#define _POSIX_C_SOURCE 200809L

#include "rows.h"

#include "result_sheet.h"
#include "result_sheet_row.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

long long capi_sheet_size(const char *path)
{
    struct stat status;
    return stat(path, &status) == 0 ? (long long)status.st_size : 0;
}

typedef struct {
    capi_rows *rows;
    capi_session_test *test;
    unsigned long long room; /* bytes the copy may still take */
    int failed;              /* the copy cannot be written any more */
} row_copy;

/* Copies one row (`length` bytes, its newline included unless it is the
 * sheet's unfinished last line, given as `unfinished`; its first `kept`
 * bytes at `row`) and counts it. */
static void copy_row(row_copy *c, const char *row, size_t length, size_t kept, int unfinished)
{
    capi_session_test *test = c->test;
    const size_t size = length + (unfinished ? 1 : 0);
    size_t name_length;
    int verdict = 0;

    if (size > c->room) {
        c->room = 0; /* the copy is cut here */
    }
    if (c->failed || kept < length || size > c->room) {
        test->rows_dropped += length;
        return;
    }
    /* The unfinished line gets a newline: the next test's rows then start
     * on a line of their own. */
    if (capi_kept_write(c->rows->copy, row, length) != 0 ||
        (unfinished && capi_kept_write(c->rows->copy, "\n", 1) != 0)) {
        snprintf(test->reason, sizeof test->reason, "%s: %s", CAPI_SESSION_SHEET, strerror(errno));
        c->failed = 1;
        test->rows_dropped += length;
        return;
    }
    c->room -= size;
    ++test->rows;
    ++c->rows->copied;
    /* Its outcome, read as every reader of sheets reads rows. */
    if (result_sheet_read_row(row, result_sheet_line_length(row, length), &name_length, &verdict) == NULL) {
        ++*(verdict == 1 ? &test->rows_passed : &test->rows_failed);
    }
}

void capi_rows_copy(capi_rows *rows, const char *sheet, long long before, long long after,
                    capi_session_test *test)
{
    char block[16 * 1024];
    /* Room for the longest row the row writer makes, and a little more. */
    char row[RESULT_SHEET_NAME_MAX + 64];
    size_t row_length = 0;
    unsigned long long left;
    row_copy copy;
    int fd;

    if (after < before) {
        snprintf(test->reason, sizeof test->reason, "the sheet shrank from %lld to %lld bytes", before, after);
        before = 0;
    }
    if (after == before) {
        return;
    }
    left = (unsigned long long)(after - before);
    fd = open(sheet, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || lseek(fd, (off_t)before, SEEK_SET) < 0) {
        snprintf(test->reason, sizeof test->reason, "the sheet: %s", strerror(errno));
        test->rows_dropped = left;
        if (fd >= 0) {
            close(fd);
        }
        return;
    }
    copy.rows = rows;
    copy.test = test;
    copy.room = rows->max;
    copy.failed = 0;
    test->rows_first = rows->copied + 1;
    while (left > 0) {
        const size_t want = left < sizeof block ? (size_t)left : sizeof block;
        const ssize_t n = read(fd, block, want);
        size_t i;
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        left -= (unsigned long long)n;
        for (i = 0; i < (size_t)n; ++i) {
            if (row_length < sizeof row) {
                row[row_length] = block[i];
            }
            ++row_length;
            if (block[i] == '\n') {
                copy_row(&copy, row, row_length, row_length < sizeof row ? row_length : sizeof row, 0);
                row_length = 0;
            }
        }
    }
    close(fd);
    /* What could not be read (the sheet shrank meanwhile) is dropped too. */
    test->rows_dropped += left;
    if (row_length > 0) {
        copy_row(&copy, row, row_length, row_length < sizeof row ? row_length : sizeof row, 1);
    }
    if (test->rows == 0) {
        test->rows_first = 0;
    }
}
