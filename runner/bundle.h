/*
 * The console bundle: a results folder as printable lines that a serial
 * console carries, and the way back from a console capture to the folder.
 * The line format is described in docs/console.md:
 *
 *     @capi SEQ B 1 FILES CRC             begin: format 1, number of files
 *     @capi SEQ F INDEX SIZE NAME CRC      a file: its size and escaped name
 *     @capi SEQ D INDEX OFFSET DATA CRC    48 bytes of it (less at its end), base64
 *     @capi SEQ E FILES BYTES CRC          end: files and bytes sent
 *
 * SEQ counts the bundle's lines from 0; CRC is the CRC-32 of the line up to
 * the space before it, as 8 lowercase hex digits.
 *
 * Plain C, no memory allocated, nothing kept between calls.
 */
#ifndef CAPI_RUN_BUNDLE_H
#define CAPI_RUN_BUNDLE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Every bundle line begins with it. */
#define CAPI_BUNDLE_PREFIX "@capi "

/*
 * Writes the files `names` (count of them) of the folder `dir` to `fd` as a
 * bundle, one write() per line. Returns 0, or -1 with errno when a file
 * cannot be opened (nothing is written then) or a write fails. A file that
 * shrinks while it is sent leaves the bundle short of bytes, which the
 * decoder reports.
 */
int capi_bundle_write(int fd, const char *dir, const char *const *names, size_t count);

/*
 * Reads the console capture at `capture` (any bytes: other lines, CRs added
 * before the line ends, lines cut and mixed) and recreates the bundle's files
 * in the folder `dir`, made when missing; a file that is already there is not
 * overwritten. Lines without CAPI_BUNDLE_PREFIX are not the bundle's and are
 * passed over. Each problem goes to `problem` (when given) as
 * "CAPTURE:LINE: reason": a line whose checksum fails, missing lines, a
 * file that lacks bytes (it is then not written: no file holds a gap), a
 * bundle without its end, no bundle at all. Returns 0 when every file was
 * recovered whole, the number of problems otherwise, or -1 with errno when
 * the capture cannot be read or `dir` cannot be made.
 */
typedef void (*capi_bundle_problem)(const char *message, void *data);
int capi_bundle_unpack(const char *capture, const char *dir, capi_bundle_problem problem, void *data);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_BUNDLE_H */
