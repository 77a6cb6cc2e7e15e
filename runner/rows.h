/*
 * The rows a test appends to the result sheet, copied into the results
 * folder's CAPI_SESSION_SHEET and counted. capi-run only reads the sheet:
 * what it grew by during the test, row by row. Internal to capi-run.
 */
#ifndef CAPI_RUN_ROWS_H
#define CAPI_RUN_ROWS_H

#include "folder.h"
#include "session.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The sheet's size now; 0 when it does not exist. */
long long capi_sheet_size(const char *path);

typedef struct {
    capi_kept_file *copy;  /* the folder's sheet */
    unsigned long copied;  /* rows copied so far in the session */
    unsigned long long max; /* bytes a test's rows may take */
} capi_rows;

/*
 * Copies what the sheet at `sheet` grew by, from `before` to `after` bytes,
 * row by row into the copy, within rows->max bytes, and counts the test's
 * rows (rows, rows_first, rows_passed, rows_failed, rows_dropped; a reason
 * in test->reason where the sheet could not be read, shrank, or the copy
 * could not be written). A sheet that shrank was cut or rewritten by the
 * test: all it holds now is copied as the test's rows, never lost. A line
 * longer than any row the row writer makes is dropped (counted in bytes); at
 * the limit the copy is cut, and every row from there on is dropped.
 */
void capi_rows_copy(capi_rows *rows, const char *sheet, long long before, long long after,
                    capi_session_test *test);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_ROWS_H */
