/*
 * The tests of a session, in the order they run: each TEST operand is a
 * program, or a folder whose regular files run in the byte order of their
 * names (hidden names and anything that is not a regular file passed over).
 * A file that cannot run (missing, not regular, not executable) is listed
 * with the reason, so that it is reported as not started rather than
 * missing silently. Internal to capi-run.
 */
#ifndef CAPI_RUN_TESTLIST_H
#define CAPI_RUN_TESTLIST_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    char *path;
    char *reason; /* why it cannot run, or NULL */
} capi_test_entry;

typedef struct {
    capi_test_entry *items;
    size_t count;
    size_t room;
} capi_test_list;

/* Why the file cannot run (a static text or strerror's), or NULL. */
const char *capi_cannot_run(const char *path);

/* Adds the tests of one operand. Returns 0, or -1 when memory ran out. */
int capi_test_list_add(capi_test_list *list, const char *operand);

void capi_test_list_free(capi_test_list *list);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_TESTLIST_H */
