/*
 * Text helpers shared by the session summary, the console bundle and
 * capi-run: the escaping that keeps any byte string on one printable line,
 * base64, reading a decimal number, writing a whole buffer, naming a problem
 * of an input. (CRC-32 and compression are zlib's.) capi-report uses them too, through the capirun
 * library.
 */
#ifndef CAPI_RUN_TEXT_H
#define CAPI_RUN_TEXT_H

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <stdint.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Writes `length` bytes of `text` into `out` (room for `size` bytes, NUL
 * included) as printable ASCII: a byte below 0x20, from 0x7f up, or a
 * backslash becomes "\xhh" or "\\"; a byte found in `special` becomes a
 * backslash and the byte. Returns the length written, or (size_t)-1 when
 * `out` is too small (then `out` holds an empty string).
 */
size_t capi_escape(const char *text, size_t length, const char *special, char *out, size_t size);

/*
 * The reverse of capi_escape for any `special`: "\xhh" gives that byte, a
 * backslash and any other byte gives the byte. Returns the length of the
 * result (NUL added after it), or (size_t)-1 when it does not fit or the text
 * ends in a lone backslash or a short "\x".
 */
size_t capi_unescape(const char *text, size_t length, char *out, size_t size);

/* base64 (RFC 4648, with padding) of `length` bytes into `out`, which has
 * room for 4 * ((length + 2) / 3) + 1 bytes. Returns the text's length. */
size_t capi_base64_encode(const unsigned char *data, size_t length, char *out);

/* Decodes `length` characters of base64 (padded, a multiple of 4) into `out`
 * (room for 3 * length / 4 bytes). Returns the number of bytes, or
 * (size_t)-1 for anything that is not such base64. */
size_t capi_base64_decode(const char *text, size_t length, unsigned char *out);

/*
 * Reads `text` (NUL-terminated) as a decimal number of the kit's own
 * writing: one or more digits, no sign, no blanks, no leading zero but in
 * "0" itself, no more than fits. Returns 1 with *value set, else 0. Every
 * reader of a count, a size or an offset in runner/ goes through it, and so
 * do capi-run's options that take a number.
 */
int capi_read_decimal(const char *text, unsigned long long *value);

/* Writes all `length` bytes to `fd`, again after EINTR or a short write:
 * at the file's offset, or at `*at` when `at` is given (which then moves
 * past what was written). Returns 0, or -1 with errno. */
int capi_write_all(int fd, const void *data, size_t length, off_t *at);

/* Splits `text` at spaces, in place, into at most `max` words; returns
 * their number (max + 1 when more follow). With `rest`, the last word is
 * the rest of the text, spaces and all (a name): the bundle's lines and the
 * journal's records end in one. */
size_t capi_split_words(char *text, char **words, size_t max, int rest);

/* The CRC-32 that ends a line of the bundle and of the journal, " %08lx":
 * its 8 lower-case hexadecimal digits at `text` read into `value`. Returns
 * 1, or 0 when they are not that (`value` unchanged). */
int capi_read_crc(const char *text, unsigned long *value);

/* Closes `file`, read as far as its reader went: 0, or the errno of a read
 * that failed (EIO where none was set). */
int capi_close_read(FILE *file);

/*
 * Splits a line of capi-report's --cases (without its newline) into its
 * four fields, suite, case, outcome and message, each still escaped
 * (capi_escape): pointers into the line and their lengths. Returns 1, or 0
 * when the line has not exactly four fields between tabs. Each reader of
 * the case list goes through it and reads the outcome as it needs.
 */
int capi_case_fields(const char *line, size_t length, const char *field[4], size_t lengths[4]);

/* Hands "PATH:LINE: " and the formatted message (cut at 1 KiB) to
 * `problem`, the way every reader here names a problem of its input. */
void capi_problem_at(void (*problem)(const char *message, void *data), void *data, const char *path,
                     unsigned long line, const char *format, va_list args)
    __attribute__((format(printf, 5, 0)));

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_TEXT_H */
