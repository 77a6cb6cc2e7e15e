/* The console bundle's writer, format 2 (see bundle.h and bundle_format.h). */
#define _POSIX_C_SOURCE 200809L

#include "bundle.h"

#include "bundle_format.h"
#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

/* Finishes the line in `line` (its text so far, `length` bytes, room for
 * BUNDLE_LINE_MAX) with its checksum and newline, and writes it whole. */
static int emit(capi_bundle_writer *w, char *line, size_t length)
{
    const unsigned long crc = crc32(0L, (const Bytef *)line, (uInt)length);
    const int n = snprintf(line + length, BUNDLE_LINE_MAX - length, " %08lx\n", crc);
    if (n < 0 || (size_t)n >= BUNDLE_LINE_MAX - length) {
        errno = ENAMETOOLONG;
        return -1;
    }
    if (capi_write_all(w->fd, line, length + (size_t)n, NULL) != 0) {
        return -1;
    }
    ++w->seq;
    ++w->lines;
    w->bytes += length + (size_t)n;
    return 0;
}

/* A line of fields, then, where `data` is given, its `length` bytes in
 * base64. */
static int emit_fields(capi_bundle_writer *w, const unsigned char *data, size_t length, const char *format,
                       va_list args) __attribute__((format(printf, 4, 0)));
static int emit_fields(capi_bundle_writer *w, const unsigned char *data, size_t length, const char *format,
                       va_list args)
{
    char line[BUNDLE_LINE_MAX];
    const size_t room = data != NULL ? 4 * BUNDLE_CHUNK / 3 + 16 : 0;
    int n = snprintf(line, sizeof line, CAPI_BUNDLE_PREFIX "%lu ", w->seq);
    const int m = vsnprintf(line + n, sizeof line - (size_t)n, format, args);
    if (m < 0 || (size_t)(n + m) + room >= sizeof line) {
        errno = ENAMETOOLONG;
        return -1;
    }
    n += m;
    if (data != NULL) {
        line[n++] = ' ';
        n += (int)capi_base64_encode(data, length, line + n);
    }
    return emit(w, line, (size_t)n);
}

static int emit_text(capi_bundle_writer *w, const char *format, ...) __attribute__((format(printf, 2, 3)));
static int emit_text(capi_bundle_writer *w, const char *format, ...)
{
    va_list args;
    int rc;
    va_start(args, format);
    rc = emit_fields(w, NULL, 0, format, args);
    va_end(args);
    return rc;
}

static int emit_data(capi_bundle_writer *w, const unsigned char *data, size_t length, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
static int emit_data(capi_bundle_writer *w, const unsigned char *data, size_t length, const char *format, ...)
{
    va_list args;
    int rc;
    va_start(args, format);
    rc = emit_fields(w, data, length, format, args);
    va_end(args);
    return rc;
}

/* A name for a new session: 16 hex digits, from the system's random bytes
 * where it has them, else from the clock and the process. */
void capi_bundle_new_session(char *out)
{
    unsigned char bytes[8];
    struct timespec now;
    size_t i;
    int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0 || read(fd, bytes, sizeof bytes) != (ssize_t)sizeof bytes) {
        unsigned long long mix;
        clock_gettime(CLOCK_REALTIME, &now);
        mix = (unsigned long long)now.tv_sec * 1000000007ULL ^ (unsigned long long)now.tv_nsec * 2654435761ULL ^
              (unsigned long long)getpid() << 40;
        for (i = 0; i < sizeof bytes; ++i) {
            bytes[i] = (unsigned char)(mix >> (8 * i));
        }
    }
    if (fd >= 0) {
        close(fd);
    }
    for (i = 0; i < sizeof bytes; ++i) {
        snprintf(out + 2 * i, 3, "%02x", bytes[i]);
    }
}

int capi_bundle_begin(capi_bundle_writer *w, int fd, const char *session, unsigned start)
{
    char name[17];
    if (session != NULL && strlen(session) == 16 && strspn(session, "0123456789abcdef") == 16) {
        memcpy(name, session, 17);
    } else {
        capi_bundle_new_session(name);
    }
    memset(w, 0, sizeof *w);
    w->fd = fd;
    memcpy(w->session, name, 17);
    return emit_text(w, "B " BUNDLE_FORMAT " %s %u", w->session, start);
}

int capi_bundle_starting(capi_bundle_writer *w, unsigned long part, const char *name)
{
    char escaped[BUNDLE_LINE_MAX - 100];
    if (capi_escape(name, strlen(name), NULL, escaped, sizeof escaped) == (size_t)-1) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return emit_text(w, "S %lu %s", part, escaped);
}

/* A block's lines as they are made: the group's parity so far. */
typedef struct {
    capi_bundle_writer *w;
    unsigned long part;
    unsigned long block;
    size_t line;
    unsigned char parity[BUNDLE_CHUNK];
    size_t group_lines;
    size_t group_bytes;
    size_t parity_length;
} block_lines;

/* One data line of the block; after each group of BUNDLE_GROUP lines, and
 * after the block's last (`last`), the group's parity line. */
static int send_line(block_lines *b, const unsigned char *piece, size_t size, int last)
{
    size_t i;
    if (size > 0) {
        if (emit_data(b->w, piece, size, "D %lu %lu %zu", b->part, b->block, b->line) != 0) {
            return -1;
        }
        if (b->group_lines == 0) {
            memset(b->parity, 0, sizeof b->parity);
            b->parity_length = 0;
        }
        for (i = 0; i < size; ++i) {
            b->parity[i] ^= piece[i];
        }
        b->parity_length = size > b->parity_length ? size : b->parity_length;
        b->group_bytes += size;
        ++b->group_lines;
        ++b->line;
    }
    if (b->group_lines > 0 && (b->group_lines == BUNDLE_GROUP || last)) {
        if (emit_data(b->w, b->parity, b->parity_length, "P %lu %lu %zu %zu %zu", b->part, b->block,
                      (b->line - 1) / BUNDLE_GROUP, b->group_lines, b->group_bytes) != 0) {
            return -1;
        }
        b->group_lines = 0;
        b->group_bytes = 0;
    }
    return 0;
}

/* Compresses `length` bytes of `raw` as a zlib stream of its own and sends
 * it as block `block`, a data line per BUNDLE_CHUNK compressed bytes as
 * they come out of the compressor. */
static int send_raw(capi_bundle_writer *w, z_stream *z, unsigned long part, unsigned long block,
                    const unsigned char *raw, size_t length)
{
    unsigned char chunk[BUNDLE_CHUNK];
    block_lines b;
    int rc = Z_OK;
    memset(&b, 0, sizeof b);
    b.w = w;
    b.part = part;
    b.block = block;
    if (deflateReset(z) != Z_OK) {
        errno = EIO;
        return -1;
    }
    z->next_in = (Bytef *)raw;
    z->avail_in = (uInt)length;
    while (rc != Z_STREAM_END) {
        z->next_out = chunk;
        z->avail_out = sizeof chunk;
        rc = deflate(z, Z_FINISH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            errno = EIO;
            return -1;
        }
        if (send_line(&b, chunk, sizeof chunk - z->avail_out, rc == Z_STREAM_END) != 0) {
            return -1;
        }
    }
    return 0;
}

/* The piece's bytes from `at` on into `out` (up to `room`); how many came
 * (fewer than asked: it cannot be read further). */
static size_t piece_bytes(const capi_bundle_piece *piece, unsigned long long at, unsigned char *out, size_t room)
{
    const unsigned long long left = piece->size - at;
    const size_t want = left < room ? (size_t)left : room;
    size_t got = 0;
    if (piece->bytes != NULL) {
        memcpy(out, piece->bytes + at, want);
        return want;
    }
    while (got < want) {
        const ssize_t n = pread(piece->fd, out + got, want - got, piece->offset + (off_t)(at + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += (size_t)n;
    }
    return got;
}

int capi_bundle_part(capi_bundle_writer *w, unsigned long part, const capi_bundle_piece *pieces, size_t count)
{
    unsigned char raw[BUNDLE_BLOCK_RAW];
    size_t have = 0;
    unsigned long block = 1;
    unsigned long long sent = 0;
    z_stream z;
    size_t i;
    int failed = 0;

    memset(&z, 0, sizeof z);
    if (deflateInit2(&z, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        errno = ENOMEM;
        return -1;
    }
    /* Block 0: the part's files, a line each: "new|append SIZE NAME", the
     * name escaped and last (it may hold spaces). */
    for (i = 0; i < count && !failed; ++i) {
        char escaped[BUNDLE_NAME_ESCAPED];
        int n;
        if (capi_escape(pieces[i].name, strlen(pieces[i].name), NULL, escaped, sizeof escaped) == (size_t)-1) {
            errno = ENAMETOOLONG;
            failed = 1;
            break;
        }
        n = snprintf((char *)raw + have, sizeof raw - have, "%s %llu %s\n", pieces[i].append ? "append" : "new",
                     pieces[i].size, escaped);
        if (n < 0 || (size_t)n >= sizeof raw - have) {
            errno = E2BIG;
            failed = 1;
            break;
        }
        have += (size_t)n;
    }
    failed = failed || send_raw(w, &z, part, 0, raw, have) != 0;
    /* Then the files' bytes one after the other, in blocks of BUNDLE_BLOCK_RAW.
     * A file that cannot be read whole ends the part there: the end line
     * counts the bytes sent, and the reader names the ones missing. */
    have = 0;
    for (i = 0; i < count && !failed; ++i) {
        unsigned long long at = 0;
        while (at < pieces[i].size && !failed) {
            const size_t got = piece_bytes(&pieces[i], at, raw + have, sizeof raw - have);
            if (got == 0) {
                break;
            }
            have += got;
            at += got;
            sent += got;
            if (have == sizeof raw) {
                failed = send_raw(w, &z, part, block++, raw, have) != 0;
                have = 0;
            }
        }
        if (at < pieces[i].size) {
            break;
        }
    }
    if (!failed && have > 0) {
        failed = send_raw(w, &z, part, block++, raw, have) != 0;
    }
    deflateEnd(&z);
    if (failed) {
        return -1;
    }
    return emit_text(w, "E %lu %lu %llu", part, block, sent);
}

int capi_bundle_end(capi_bundle_writer *w, unsigned long parts)
{
    return emit_text(w, "Z %lu", parts);
}
