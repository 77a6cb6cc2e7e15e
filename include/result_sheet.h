/*
 * resultsheet: appends one row to a result sheet, the text file in which test
 * programs and busprobe record their outcomes, one line per row:
 *
 *     <name> " \t " ("pass" | "failed") "\n"
 *
 * for example "wifi_capi_function \t pass\n". Rows accumulate; the file is
 * never truncated or rewritten.
 *
 * Link: libresultsheet.a (C library only: no GLib, no C++ runtime).
 */
#ifndef RESULT_SHEET_H
#define RESULT_SHEET_H

#ifdef __cplusplus
extern "C" {
#endif

/* Longest row name in bytes; a row is then at most 265 bytes long. */
#define RESULT_SHEET_NAME_MAX 255

/*
 * Appends the row for `name` to the sheet at `path`: "pass" when verdict is
 * 1, "failed" for any other verdict. A null path means the kit's standard
 * sheet, the one busprobe writes to ("/tmp/capi.xls" unless the kit was
 * configured with another BUSPROBE_SHEET_PATH).
 *
 * Returns 0 when the whole row was written, -1 when it was not: then nothing
 * was written (but for one case on a full file system, described below).
 * The name is refused (-1, errno EINVAL, the sheet is not even opened) when
 * it is null or empty, longer than RESULT_SHEET_NAME_MAX bytes, or holds a
 * control byte (below 0x20, tab and newline included, or 0x7f), so one call
 * always writes exactly one line and a name can never forge a second row.
 * Bytes from 0x80 up are written as they are (UTF-8 names are fine; the
 * encoding is not checked). Only the first RESULT_SHEET_NAME_MAX + 1 bytes
 * of a name are ever read.
 *
 * The sheet is opened for appending only, created with mode 0644 less the
 * process's umask when it does not exist, and never through a symbolic link:
 * a link in place of the sheet (last path component) is refused (-1, errno
 * ELOOP) and its target left untouched, also when the target does not exist.
 * Anything other than a regular file is refused as well (-1: a folder gives
 * EISDIR, a FIFO without a reader ENXIO at once instead of waiting, any other
 * kind EINVAL). Any other error of opening the sheet gives -1 with that error
 * in errno (ENOENT for a missing folder, EACCES, ...).
 *
 * The row goes to the file in a single write() on a descriptor opened with
 * O_APPEND: rows of writers in other threads or processes, calling this
 * function at the same time on the same sheet, never mix; each row lands
 * whole after the rows before it. A write interrupted by a signal before it
 * wrote anything is tried again; a write that fails gives -1 with its error
 * (ENOSPC, EFBIG, EIO, ...), leaving the sheet as it was (a sheet created
 * by this call stays, empty).
 *
 * When the file system takes only part of the row (it is full, or the
 * process's file-size limit is reached), the part is taken back: if the sheet
 * still ends with it, the sheet is cut back to its length before the row, and
 * -1 is returned with errno EIO. If another writer has appended behind the
 * part meanwhile, the part stays, since cutting would take the other row with
 * it: the sheet then holds one broken line, and -1 is still returned. (The
 * check and the cut are two system calls; a row that another process appends
 * exactly between them, on a file system that is full, would be cut too.)
 * A process that does not ignore SIGXFSZ is ended by the system at its
 * file-size limit before any of this happens.
 *
 * No memory is allocated and nothing is kept between calls; the function may
 * be called from several threads at once. The descriptor is closed before it
 * returns and is never inherited by a child process started meanwhile.
 */
int result_sheet_append(const char *path, const char *name, int verdict);

#ifdef __cplusplus
}
#endif

#endif /* RESULT_SHEET_H */
