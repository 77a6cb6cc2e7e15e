/* The console bundle's reader: from a console capture back to the results
 * folder, format 2 and format 1 (see bundle.h). */
#define _POSIX_C_SOURCE 200809L

#include "bundle.h"

#include "bundle_format.h"
#include "capture.h"
#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <zlib.h>

/* Format 1: payload bytes per data line. */
#define FORMAT1_CHUNK 48

/* A file of the part being read: where its bytes go. */
typedef struct {
    char name[256];
    int append;
    unsigned long long size;
    unsigned long long first; /* its first byte among the part's bytes */
    unsigned long long base;  /* where that byte goes in the folder's file */
    int fd;
} piece;

typedef struct {
    const char *capture;
    unsigned long line;
    int problems;
    const capi_bundle_handlers *h;
    capi_bundle_outcome *out;
    int folder;

    int format; /* 0 until a begin line came */
    char session[17];
    int ended;
    unsigned long next_seq;

    /* Format 2: the part being read, its files, its block. */
    int in_part;
    unsigned long part;
    int table; /* its list of files came */
    piece pieces[BUNDLE_PIECES_MAX];
    size_t count;
    unsigned long long total;    /* its bytes, by its list of files */
    unsigned long long placed;   /* bytes before the next block's */
    unsigned long next_block;    /* the block due */
    int in_block;
    unsigned long block;
    unsigned char data[BUNDLE_BLOCK_LINES][BUNDLE_CHUNK];
    unsigned char length[BUNDLE_BLOCK_LINES];
    unsigned char got[BUNDLE_BLOCK_LINES];
    size_t lines;                /* lines of the block seen: the highest line + 1 */
    unsigned char parity[BUNDLE_BLOCK_GROUPS][BUNDLE_CHUNK];
    size_t parity_lines[BUNDLE_BLOCK_GROUPS];
    size_t parity_bytes[BUNDLE_BLOCK_GROUPS];
    unsigned char parity_got[BUNDLE_BLOCK_GROUPS];
    unsigned char raw[BUNDLE_BLOCK_RAW];
    /* The tests that started, and the one still running at the end. */
    unsigned long started;
    char started_name[256];
    int started_ended;

    /* Format 1: the file being read. */
    unsigned long files;
    unsigned long next_index;
    unsigned long recovered;
    unsigned long long bytes;
    long index;
    char name[256];
    unsigned long long size;
    unsigned long long received;
    int fd;
    int damaged;
    long orphan;
} decoder;

static void complain_at(decoder *d, unsigned long line, const char *format, ...) __attribute__((format(printf, 3, 4)));
static void complain_at(decoder *d, unsigned long line, const char *format, ...)
{
    va_list args;
    ++d->problems;
    va_start(args, format);
    capi_problem_at(d->h->problem, d->h->data, d->capture, line, format, args);
    va_end(args);
}

#define complain(d, ...) complain_at((d), (d)->line, __VA_ARGS__)

/* The name for messages: escaped, so that it stays on one line. */
static const char *shown(const char *name, char *out, size_t size)
{
    return capi_escape(name, strlen(name), NULL, out, size) != (size_t)-1 ? out : "?";
}

/* A file that cannot be written: its name and the reason. */
static void file_failed(decoder *d, const char *file)
{
    char name[1100];
    complain(d, "file %s: %s", shown(file, name, sizeof name), strerror(errno));
}

/* The part's list of files did not come whole. */
static void list_lost(decoder *d)
{
    complain(d, "part %lu: its list of files lost: its files not recovered", d->part);
}

/* Where block `block` (from 1) begins among its part's bytes. */
static unsigned long long block_start(unsigned long block)
{
    return (block - 1) * (unsigned long long)BUNDLE_BLOCK_RAW;
}

/* A name that stays inside the folder: no slash, not "." or "..". */
static int plain_name(const char *name)
{
    return name[0] != '\0' && strchr(name, '/') == NULL && strcmp(name, ".") != 0 && strcmp(name, "..") != 0;
}

static int number(const char *text, unsigned long *value)
{
    unsigned long long n;
    if (!capi_read_decimal(text, &n) || n > 0xffffffffUL) {
        return 0;
    }
    *value = (unsigned long)n;
    return 1;
}

/* ---- Format 2 ---- */

/* Bytes `first` to `last` (of the part's bytes) did not come: each file's
 * share of them is named. */
static void lost(decoder *d, unsigned long long first, unsigned long long end)
{
    size_t i;
    for (i = 0; i < d->count && first < end; ++i) {
        const piece *p = &d->pieces[i];
        const unsigned long long from = first > p->first ? first : p->first;
        const unsigned long long to = end < p->first + p->size ? end : p->first + p->size;
        char name[1100];
        if (from >= to) {
            continue;
        }
        complain(d, "file %s: bytes %llu-%llu lost", shown(p->name, name, sizeof name), p->base + from - p->first,
                 p->base + to - p->first - 1);
        if (d->h->gap != NULL) {
            d->h->gap(p->name, p->base + from - p->first, p->base + to - p->first - 1, d->h->data);
        }
    }
}

/* The part's list of files: "new|append SIZE NAME" a line. */
static int read_table(decoder *d, size_t length)
{
    char *text = (char *)d->raw;
    size_t at = 0;
    unsigned long long first = 0;
    d->count = 0;
    while (at < length) {
        char *end = memchr(text + at, '\n', length - at);
        char *words[4];
        unsigned long long size;
        piece *p;
        struct stat status;
        if (end == NULL || d->count == BUNDLE_PIECES_MAX) {
            return 0;
        }
        *end = '\0';
        if (capi_split_words(text + at, words, 3, 1) != 3 || !capi_read_decimal(words[1], &size) ||
            (strcmp(words[0], "new") != 0 && strcmp(words[0], "append") != 0)) {
            return 0;
        }
        p = &d->pieces[d->count];
        {
            const size_t n = capi_unescape(words[2], strlen(words[2]), p->name, sizeof p->name);
            if (n == (size_t)-1 || n != strlen(p->name) || !plain_name(p->name)) {
                return 0;
            }
        }
        p->append = words[0][0] == 'a';
        p->size = size;
        p->first = first;
        first += size;
        p->fd = openat(d->folder, p->name,
                       O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (p->append ? 0 : O_EXCL), 0644);
        if (p->fd < 0 || fstat(p->fd, &status) != 0) {
            file_failed(d, p->name);
            if (p->fd >= 0) {
                close(p->fd);
            }
            p->fd = -1;
        }
        p->base = p->append && p->fd >= 0 ? (unsigned long long)status.st_size : 0;
        ++d->count;
        at = (size_t)(end - text) + 1;
    }
    d->total = first;
    d->table = 1;
    return 1;
}

/* The block's bytes, decompressed, to the files they belong to. */
static void place(decoder *d, unsigned long long at, size_t length)
{
    size_t i;
    for (i = 0; i < d->count; ++i) {
        const piece *p = &d->pieces[i];
        const unsigned long long from = at > p->first ? at : p->first;
        const unsigned long long to = at + length < p->first + p->size ? at + length : p->first + p->size;
        off_t where;
        if (from >= to || p->fd < 0) {
            continue;
        }
        where = (off_t)(p->base + from - p->first);
        if (capi_write_all(p->fd, d->raw + (from - at), (size_t)(to - from), &where) != 0) {
            file_failed(d, p->name);
        }
    }
}

/* Rebuilds the one missing line of each group from its parity line;
 * returns the block's compressed length, or 0 when a line is still missing. */
static size_t whole_block(decoder *d)
{
    size_t lines = d->lines;
    size_t g;
    size_t at = 0;
    size_t i;
    /* The parity lines say how many lines the groups hold. */
    for (g = 0; g < BUNDLE_BLOCK_GROUPS; ++g) {
        if (d->parity_got[g] && g * BUNDLE_GROUP + d->parity_lines[g] > lines) {
            lines = g * BUNDLE_GROUP + d->parity_lines[g];
        }
    }
    for (g = 0; g * BUNDLE_GROUP < lines; ++g) {
        const size_t from = g * BUNDLE_GROUP;
        const size_t to = from + BUNDLE_GROUP < lines ? from + BUNDLE_GROUP : lines;
        size_t missing = BUNDLE_BLOCK_LINES;
        size_t others = 0;
        size_t n = 0;
        for (i = from; i < to; ++i) {
            if (d->got[i]) {
                others += d->length[i];
            } else {
                missing = i;
                ++n;
            }
        }
        if (n == 0) {
            continue;
        }
        if (n > 1 || !d->parity_got[g] || d->parity_lines[g] != to - from || d->parity_bytes[g] <= others ||
            d->parity_bytes[g] - others > BUNDLE_CHUNK) {
            return 0;
        }
        d->length[missing] = (unsigned char)(d->parity_bytes[g] - others);
        memcpy(d->data[missing], d->parity[g], BUNDLE_CHUNK);
        for (i = from; i < to; ++i) {
            size_t k;
            if (i == missing) {
                continue;
            }
            for (k = 0; k < d->length[i]; ++k) {
                d->data[missing][k] ^= d->data[i][k];
            }
        }
        d->got[missing] = 1;
        if (d->out != NULL) {
            ++d->out->rebuilt;
        }
    }
    for (i = 0; i < lines; ++i) {
        /* Every line but the last is full: the lines, one after the other,
         * are the block's compressed bytes. */
        if (i + 1 < lines && d->length[i] != BUNDLE_CHUNK) {
            return 0;
        }
        at += d->length[i];
    }
    return at;
}

/* Decompresses the block's bytes into d->raw: their length, or -1. */
static long inflate_block(decoder *d, size_t packed)
{
    z_stream z;
    long length = -1;
    memset(&z, 0, sizeof z);
    if (packed == 0 || inflateInit(&z) != Z_OK) {
        return -1;
    }
    z.next_in = &d->data[0][0];
    z.avail_in = (uInt)packed;
    z.next_out = d->raw;
    z.avail_out = sizeof d->raw;
    if (inflate(&z, Z_FINISH) == Z_STREAM_END && z.avail_in == 0) {
        length = (long)(sizeof d->raw - z.avail_out);
    }
    inflateEnd(&z);
    return length;
}

static void finish_block(decoder *d)
{
    size_t packed;
    long length = -1;
    if (!d->in_block) {
        return;
    }
    d->in_block = 0;
    packed = whole_block(d);
    if (packed > 0) {
        length = inflate_block(d, packed);
    }
    if (d->block == 0) {
        if (length < 0 || !read_table(d, (size_t)length)) {
            list_lost(d);
        }
    } else if (!d->table) {
        /* Nothing can be placed without the list of files. */
    } else if (length < 0 || block_start(d->block) != d->placed ||
               (length < BUNDLE_BLOCK_RAW && d->placed + (unsigned long long)length != d->total)) {
        lost(d, block_start(d->block), block_start(d->block + 1));
        d->placed = block_start(d->block + 1);
    } else {
        place(d, d->placed, (size_t)length);
        d->placed += (unsigned long long)length;
    }
    d->next_block = d->block + 1;
}

/* Ends the part being read: the bytes that never came are named, each file
 * gets its size. `sent`: the bytes its end line counts (all, when it did
 * not come). */
static void finish_part(decoder *d, unsigned long long sent)
{
    size_t i;
    if (!d->in_part) {
        return;
    }
    finish_block(d);
    d->in_part = 0;
    if (!d->table) {
        if (d->next_block == 0) {
            list_lost(d);
        }
        return;
    }
    if (d->placed < d->total) {
        if (sent < d->total) {
            complain(d, "part %lu: %llu of its %llu bytes sent: a file could not be read whole on the gateway",
                     d->part, sent, d->total);
        }
        lost(d, d->placed, d->total);
    }
    for (i = 0; i < d->count; ++i) {
        piece *p = &d->pieces[i];
        if (p->fd < 0) {
            continue;
        }
        if (ftruncate(p->fd, (off_t)(p->base + p->size)) != 0 || close(p->fd) != 0) {
            file_failed(d, p->name);
        }
        p->fd = -1;
    }
    d->count = 0;
}

static void start_part(decoder *d, unsigned long part)
{
    finish_part(d, ~0ULL);
    d->in_part = 1;
    d->part = part;
    d->table = 0;
    d->count = 0;
    d->total = 0;
    d->placed = 0;
    d->next_block = 0;
    if (part == d->started && d->started > 0) {
        d->started_ended = 1;
        if (d->out != NULL) {
            d->out->last_ended = part;
            memcpy(d->out->last_ended_name, d->started_name, sizeof d->started_name);
        }
    }
}

static void start_block(decoder *d, unsigned long block)
{
    finish_block(d);
    if (block > d->next_block && d->table) {
        /* Blocks between never came. */
        lost(d, d->placed, block_start(block));
        d->placed = block_start(block);
    } else if (block > d->next_block && d->next_block == 0) {
        list_lost(d);
    }
    d->in_block = 1;
    d->block = block;
    d->lines = 0;
    memset(d->got, 0, sizeof d->got);
    memset(d->parity_got, 0, sizeof d->parity_got);
}

/* The part and block of a data or parity line: the block being read, or a
 * new one (a new part). 0 when it comes out of order. */
static int into_block(decoder *d, unsigned long part, unsigned long block)
{
    if (!d->in_part || part != d->part) {
        if (d->in_part && part < d->part) {
            complain(d, "a line of part %lu inside part %lu", part, d->part);
            return 0;
        }
        start_part(d, part);
    }
    if (!d->in_block || block != d->block) {
        if (block < d->next_block || (d->in_block && block < d->block)) {
            complain(d, "part %lu: block %lu again, or out of order", part, block);
            return 0;
        }
        start_block(d, block);
    }
    return 1;
}

static void on_data(decoder *d, char **words, size_t n)
{
    unsigned long part;
    unsigned long block;
    unsigned long line;
    unsigned char bytes[BUNDLE_CHUNK];
    size_t length;
    if (n != 4 || !number(words[0], &part) || !number(words[1], &block) || !number(words[2], &line) ||
        line >= BUNDLE_BLOCK_LINES || strlen(words[3]) > 4 * BUNDLE_CHUNK / 3 ||
        (length = capi_base64_decode(words[3], strlen(words[3]), bytes)) == (size_t)-1 || length == 0) {
        complain(d, "bad data line");
        return;
    }
    if (!into_block(d, part, block)) {
        return;
    }
    memcpy(d->data[line], bytes, length);
    d->length[line] = (unsigned char)length;
    d->got[line] = 1;
    if (line + 1 > d->lines) {
        d->lines = line + 1;
    }
}

static void on_parity(decoder *d, char **words, size_t n)
{
    unsigned long part;
    unsigned long block;
    unsigned long group;
    unsigned long lines;
    unsigned long bytes;
    unsigned char parity[BUNDLE_CHUNK];
    size_t length;
    if (n != 6 || !number(words[0], &part) || !number(words[1], &block) || !number(words[2], &group) ||
        group >= BUNDLE_BLOCK_GROUPS || !number(words[3], &lines) || lines == 0 || lines > BUNDLE_GROUP ||
        !number(words[4], &bytes) || strlen(words[5]) > 4 * BUNDLE_CHUNK / 3 ||
        (length = capi_base64_decode(words[5], strlen(words[5]), parity)) == (size_t)-1) {
        complain(d, "bad parity line");
        return;
    }
    if (!into_block(d, part, block)) {
        return;
    }
    memset(d->parity[group], 0, BUNDLE_CHUNK);
    memcpy(d->parity[group], parity, length);
    d->parity_lines[group] = lines;
    d->parity_bytes[group] = bytes;
    d->parity_got[group] = 1;
}

static void on_starting(decoder *d, char **words, size_t n)
{
    unsigned long part;
    char name[256];
    size_t length;
    if (n != 2 || !number(words[0], &part) ||
        (length = capi_unescape(words[1], strlen(words[1]), name, sizeof name)) == (size_t)-1 ||
        length != strlen(name)) {
        complain(d, "bad start line");
        return;
    }
    finish_part(d, ~0ULL);
    d->started = part;
    memcpy(d->started_name, name, sizeof name);
    d->started_ended = 0;
    if (d->out != NULL) {
        d->out->after = CAPI_BUNDLE_AFTER_NOTHING;
    }
}

static void on_part_end(decoder *d, char **words, size_t n)
{
    unsigned long part;
    unsigned long blocks;
    unsigned long long bytes;
    if (n != 3 || !number(words[0], &part) || !number(words[1], &blocks) || !capi_read_decimal(words[2], &bytes)) {
        complain(d, "bad part end line");
        return;
    }
    if (!d->in_part || part != d->part) {
        /* All its lines were lost: what it held cannot be named. */
        complain(d, "part %lu lost: none of its lines came", part);
        finish_part(d, ~0ULL);
        return;
    }
    finish_block(d);
    if (d->next_block < blocks && d->table) {
        lost(d, d->placed, d->total);
        d->placed = d->total;
    }
    finish_part(d, bytes);
}

static void line2(decoder *d, char kind, char **words, size_t n)
{
    switch (kind) {
    case 'S':
        on_starting(d, words, n);
        return;
    case 'D':
        on_data(d, words, n);
        return;
    case 'P':
        on_parity(d, words, n);
        return;
    case 'E':
        on_part_end(d, words, n);
        return;
    case 'Z': {
        unsigned long parts;
        finish_part(d, ~0ULL);
        if (n != 1 || !number(words[0], &parts)) {
            complain(d, "bad end line");
            return;
        }
        d->ended = 1;
        if (d->out != NULL) {
            d->out->ended = 1;
            d->out->parts = parts;
        }
        return;
    }
    default:
        complain(d, "bundle line of an unknown kind");
        return;
    }
}

/* ---- Format 1 ---- */

/* Ends the file being received: kept when whole, removed otherwise. */
static void finish_file(decoder *d)
{
    char name[1100];
    if (d->index < 0) {
        return;
    }
    if (!d->damaged && d->received != d->size) {
        complain(d, "file %s: bytes %llu-%llu missing", shown(d->name, name, sizeof name), d->received, d->size - 1);
        d->damaged = 1;
    }
    if (d->fd >= 0) {
        if (close(d->fd) != 0 && !d->damaged) {
            file_failed(d, d->name);
            d->damaged = 1;
        }
        if (d->damaged) {
            unlinkat(d->folder, d->name, 0);
        }
    }
    if (d->damaged) {
        complain(d, "file %s not recovered", shown(d->name, name, sizeof name));
    } else {
        ++d->recovered;
    }
    d->index = -1;
    d->fd = -1;
}

/* The files before index `next` whose file lines never came. */
static void lost_files(decoder *d, unsigned long next)
{
    if (next == d->next_index + 1) {
        complain(d, "file %lu not recovered: its lines are missing", d->next_index);
    } else if (next > d->next_index) {
        complain(d, "files %lu-%lu not recovered: their lines are missing", d->next_index, next - 1);
    }
}

static void on_file1(decoder *d, char **words, size_t n)
{
    unsigned long long index;
    unsigned long long size;
    char name[1100];
    size_t length = 0;
    finish_file(d);
    if (n != 3 || !capi_read_decimal(words[0], &index) || !capi_read_decimal(words[1], &size) ||
        (length = capi_unescape(words[2], strlen(words[2]), d->name, sizeof d->name)) == (size_t)-1 ||
        length != strlen(d->name) || !plain_name(d->name)) {
        complain(d, "bad file line");
        return;
    }
    if (index < d->next_index || index >= d->files) {
        complain(d, "file line with index %llu out of order", index);
        return;
    }
    lost_files(d, (unsigned long)index);
    d->next_index = (unsigned long)index + 1;
    d->index = (long)index;
    d->size = size;
    d->received = 0;
    d->damaged = 0;
    d->fd = openat(d->folder, d->name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (d->fd < 0) {
        complain(d, "file %s: %s", shown(d->name, name, sizeof name), strerror(errno));
        d->damaged = 1;
    }
}

static void on_data1(decoder *d, char **words, size_t n)
{
    unsigned long long index;
    unsigned long long offset;
    unsigned char bytes[FORMAT1_CHUNK];
    size_t length;
    char name[1100];
    if (n != 3 || !capi_read_decimal(words[0], &index) || !capi_read_decimal(words[1], &offset) ||
        strlen(words[2]) > 4 * FORMAT1_CHUNK / 3 ||
        (length = capi_base64_decode(words[2], strlen(words[2]), bytes)) == (size_t)-1 || length == 0) {
        complain(d, "bad data line");
        if (d->index >= 0) {
            d->damaged = 1;
        }
        return;
    }
    if (d->index < 0 || index != (unsigned long long)d->index) {
        if ((long)index != d->orphan) {
            complain(d, "data of file %llu without its file line", index);
            d->orphan = (long)index;
        }
        return;
    }
    if (d->damaged) {
        return;
    }
    if (offset != d->received || offset + length > d->size) {
        if (offset > d->received) {
            complain(d, "file %s: bytes %llu-%llu missing", shown(d->name, name, sizeof name), d->received,
                     offset - 1);
        } else {
            complain(d, "file %s: data at offset %llu out of place", shown(d->name, name, sizeof name), offset);
        }
        d->damaged = 1;
        return;
    }
    if (d->fd >= 0 && capi_write_all(d->fd, bytes, length, NULL) != 0) {
        file_failed(d, d->name);
        d->damaged = 1;
        return;
    }
    d->received += length;
    d->bytes += length;
}

static void on_end1(decoder *d, char **words, size_t n)
{
    unsigned long long files;
    unsigned long long bytes;
    finish_file(d);
    d->ended = 1;
    if (d->out != NULL) {
        d->out->ended = 1;
    }
    if (n != 2 || !capi_read_decimal(words[0], &files) || !capi_read_decimal(words[1], &bytes)) {
        complain(d, "bad end line");
        return;
    }
    if (files != d->files) {
        complain(d, "end line counts %llu files, the begin line %lu", files, d->files);
    }
    lost_files(d, d->files);
    if (bytes != d->bytes && d->recovered == d->files) {
        complain(d, "end line counts %llu bytes, %llu came", bytes, d->bytes);
    }
}

static void line1(decoder *d, char kind, char **words, size_t n)
{
    switch (kind) {
    case 'F':
        on_file1(d, words, n);
        return;
    case 'D':
        on_data1(d, words, n);
        return;
    case 'E':
        on_end1(d, words, n);
        return;
    default:
        complain(d, "bundle line of an unknown kind");
        return;
    }
}

/* ---- Both ---- */

/* A begin line: format 1 ("B 1 FILES") or 2 ("B 2 SESSION START"). */
static void on_begin(decoder *d, unsigned long long seq, char **words, size_t n)
{
    unsigned long value;
    if (d->format == 2 && n == 5 && strcmp(words[2], BUNDLE_FORMAT) == 0 && strcmp(words[3], d->session) == 0 &&
        seq == 0) {
        /* The same session after a restart of the gateway. */
        finish_part(d, ~0ULL);
        if (d->out != NULL) {
            ++d->out->starts;
            if (!d->started_ended && d->started > 0) {
                d->out->after = CAPI_BUNDLE_AFTER_BOOT;
            }
        }
        d->next_seq = 1;
        return;
    }
    if (d->format != 0) {
        complain(d, d->ended ? "bundle line after the end of the bundle" : "a second begin line");
        return;
    }
    if (seq != 0) {
        complain(d, "bundle line %llu before the bundle's begin line", seq);
        return;
    }
    if (n == 4 && strcmp(words[2], "1") == 0 && number(words[3], &value)) {
        d->format = 1;
        d->files = value;
    } else if (n == 5 && strcmp(words[2], BUNDLE_FORMAT) == 0 && strlen(words[3]) == 16 &&
               strspn(words[3], "0123456789abcdef") == 16 && number(words[4], &value)) {
        d->format = 2;
        memcpy(d->session, words[3], 17);
    } else {
        complain(d, "begin line of an unknown bundle format");
        d->format = -1;
        return;
    }
    if (d->out != NULL) {
        d->out->format = d->format;
        d->out->starts = 1;
    }
    d->next_seq = 1;
}

static void on_line(void *data, const char *text, size_t length, unsigned long number_at, int repaired)
{
    decoder *d = (decoder *)data;
    char line[BUNDLE_LINE_MAX + 1];
    char *words[8];
    size_t n;
    unsigned long long seq;
    d->line = number_at;
    if (repaired && d->out != NULL) {
        ++d->out->repaired;
    }
    if (length > BUNDLE_LINE_MAX || memchr(text, '\0', length) != NULL) {
        complain(d, "bad bundle line");
        return;
    }
    memcpy(line, text, length);
    line[length] = '\0';
    {
        /* A start line's name is the rest of the line, spaces and all. */
        const char *kind = strchr(line + sizeof CAPI_BUNDLE_PREFIX - 1, ' ');
        const int starting = d->format == 2 && kind != NULL && kind[1] == 'S' && kind[2] == ' ';
        n = capi_split_words(line + sizeof CAPI_BUNDLE_PREFIX - 1, words, starting ? 4 : sizeof words / sizeof words[0],
                        starting);
    }
    if (n < 2 || !capi_read_decimal(words[0], &seq) || strlen(words[1]) != 1) {
        complain(d, "bad bundle line");
        return;
    }
    if (words[1][0] == 'B') {
        on_begin(d, seq, words, n);
        return;
    }
    if (d->format <= 0) {
        if (d->format == 0) {
            complain(d, "bundle line %llu before the bundle's begin line", seq);
        }
        return;
    }
    if (d->ended) {
        complain(d, "bundle line after the end of the bundle");
        return;
    }
    if (seq < d->next_seq) {
        complain(d, "bundle line %llu repeated or out of order", seq);
        return;
    }
    if (d->format == 1 && seq == d->next_seq + 1) {
        complain(d, "bundle line %lu missing", d->next_seq);
    } else if (d->format == 1 && seq > d->next_seq) {
        complain(d, "bundle lines %lu-%llu missing", d->next_seq, seq - 1);
    }
    d->next_seq = (unsigned long)seq + 1;
    (d->format == 1 ? line1 : line2)(d, words[1][0], words + 2, n - 2);
}

/* What the console shows after a test that started: the kernel's panic, or
 * a new boot. */
static void on_other(void *data, const char *text, size_t length, unsigned long number_at)
{
    decoder *d = (decoder *)data;
    static const char panic[] = "Kernel panic";
    static const char boot[] = "Booting Linux";
    size_t i;
    d->line = number_at;
    if (d->out == NULL || d->format != 2 || d->started == 0 || d->started_ended ||
        d->out->after != CAPI_BUNDLE_AFTER_NOTHING) {
        return;
    }
    for (i = 0; i < length && d->out->after == CAPI_BUNDLE_AFTER_NOTHING; ++i) {
        if (length - i >= sizeof panic - 1 && memcmp(text + i, panic, sizeof panic - 1) == 0) {
            d->out->after = CAPI_BUNDLE_AFTER_PANIC;
        } else if (length - i >= sizeof boot - 1 && memcmp(text + i, boot, sizeof boot - 1) == 0) {
            d->out->after = CAPI_BUNDLE_AFTER_BOOT;
        }
    }
}

static void on_damaged(void *data, unsigned long number_at)
{
    decoder *d = (decoder *)data;
    /* Format 2 rebuilds a lost line from its group's parity, and names what
     * stays lost by the bytes of the files; format 1 names the line. */
    if (d->format != 2) {
        complain_at(d, number_at, "damaged bundle line (checksum)");
    }
}

int capi_bundle_read(const char *capture, const char *dir, const capi_bundle_handlers *handlers,
                     capi_bundle_outcome *outcome)
{
    capture_handlers reading;
    capi_bundle_handlers none = {NULL, NULL, NULL};
    /* About 150 KiB: a block of lines, its parity and its bytes. */
    decoder state;
    decoder *d = &state;
    int error = 0;
    int rc;

    memset(d, 0, sizeof *d);
    if (mkdir(dir, 0755) != 0 && errno != EEXIST) {
        return -1;
    }
    d->folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d->folder < 0) {
        return -1;
    }
    d->capture = capture;
    d->h = handlers != NULL ? handlers : &none;
    d->out = outcome;
    d->index = -1;
    d->fd = -1;
    d->orphan = -1;
    if (outcome != NULL) {
        memset(outcome, 0, sizeof *outcome);
    }
    reading.line = on_line;
    reading.other = on_other;
    reading.damaged = on_damaged;
    reading.data = d;
    rc = capture_read(capture, &reading);
    if (rc != 0) {
        error = errno;
    } else if (d->format == 0) {
        complain(d, "no bundle in the capture");
    } else if (d->format == 1 && !d->ended) {
        finish_file(d);
        complain(d, "the bundle breaks off: %lu of %lu files recovered", d->recovered, d->files);
    } else if (d->format == 2) {
        const int cut = d->in_part;
        finish_part(d, ~0ULL);
        if (!d->ended) {
            complain(d, "the bundle breaks off%s", cut ? " inside a part" : "");
        }
        if (outcome != NULL && d->started > 0 && !d->started_ended) {
            outcome->running = d->started;
            memcpy(outcome->running_name, d->started_name, sizeof d->started_name);
        }
    }
    finish_file(d);
    close(d->folder);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return d->problems;
}

int capi_bundle_unpack(const char *capture, const char *dir, capi_bundle_problem problem, void *data)
{
    capi_bundle_handlers handlers;
    handlers.problem = problem;
    handlers.gap = NULL;
    handlers.data = data;
    return capi_bundle_read(capture, dir, &handlers, NULL);
}
