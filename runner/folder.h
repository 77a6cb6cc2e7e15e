/*
 * The results folder of a session: made afresh (an existing one is kept and
 * another name taken), the files made in it, and the session's own files
 * written into room reserved when they are made. Internal to capi-run.
 */
#ifndef CAPI_RUN_FOLDER_H
#define CAPI_RUN_FOLDER_H

#include "session.h"

#include <limits.h>
#include <stddef.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Other names tried when the folder exists: DIR.1 ... DIR.99. */
#define CAPI_FOLDER_TRIES 99
/* A test's file names: its name cut to this, "-N" where taken, ".out"/".err". */
#define CAPI_FOLDER_STEM_MAX 240

typedef struct {
    char path[PATH_MAX];
    int fd;
} capi_folder;

/*
 * Makes the folder `wanted`, or the first of wanted.1 ... that does not
 * exist. Returns 0 (the name in folder->path), or -1 with the reason in
 * `error` (a whole sentence without "capi-run: ").
 */
int capi_folder_make(capi_folder *folder, const char *wanted, char *error, size_t size);

/* Opens the folder of a session that goes on after a restart (it must
 * exist). Returns 0, or -1 with the reason in `error`. */
int capi_folder_open(capi_folder *folder, const char *path, char *error, size_t size);

/* Makes the file `name` in the folder (never through a link, never over an
 * existing file). Returns its descriptor, or -1 with the
 * reason in `error` when given. */
int capi_folder_file(capi_folder *folder, const char *name, char *error, size_t size);

/* The stem of a test's file names: `name` cut to CAPI_FOLDER_STEM_MAX, with
 * "-2", "-3", ... where NAME.out is taken or where it is `reserved` (the name
 * kept for busprobe; NULL: none). `stem` has room for CAPI_FOLDER_STEM_MAX + 16. */
void capi_folder_stem(const capi_folder *folder, const char *name, const char *reserved, char *stem);

/* Makes a test's two files, STEM.out and STEM.err (see capi_folder_stem;
 * the stem into `stem`), and names them in its streams; a file that cannot
 * be made has its reason in the stream's `error`, an empty `file`, and -1
 * in `fds`. */
void capi_folder_test_files(capi_folder *folder, const char *reserved, capi_session_test *test, int fds[2],
                            char *stem);

/* Opens a test's two files again, STEM.out and STEM.err, after the
 * restart that its first run ended with: what it writes now follows what
 * it wrote then (the streams' counts begin at the files' sizes). A file
 * that is gone is made anew. */
void capi_folder_test_files_again(capi_folder *folder, const char *stem, capi_session_test *test, int fds[2]);

/* Closes the folder (the files stay). */
void capi_folder_close(capi_folder *folder);

/*
 * A file of the session's own (the summary, the rows' copy), written through
 * an offset kept here into room reserved when it is made, so that a test
 * filling the file system cannot take the bytes the session still needs. At
 * its end it is cut to what was written.
 */
typedef struct {
    int fd;
    off_t length;
} capi_kept_file;

/* Makes the file with `room` bytes reserved (where the file system can).
 * Returns 0, or -1 with errno. */
int capi_kept_open(capi_folder *folder, const char *name, off_t room, capi_kept_file *file);
/* Opens the file again as it was after `length` bytes were written (a
 * session that goes on after a restart): what came after them is cut off.
 * Returns 0, or -1 with errno. */
int capi_kept_reopen(capi_folder *folder, const char *name, off_t length, capi_kept_file *file);
/* Returns 0, or -1 with errno. */
int capi_kept_write(capi_kept_file *file, const void *data, size_t length);
/* Cuts off the room not used and closes the file. Returns 0, or -1 with errno. */
int capi_kept_close(capi_kept_file *file);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_FOLDER_H */
