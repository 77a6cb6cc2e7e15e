/* The console bundle: encoder and decoder. */
#define _POSIX_C_SOURCE 200809L

#include "bundle.h"

#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#define FORMAT_VERSION "1"
/* Payload bytes per data line: 64 characters of base64. */
#define CHUNK 48
/* Longest line: a file line with a name of 255 bytes, each escaped as \xhh. */
#define LINE_MAX_LENGTH 1400

/* ---- Writing ---- */

/* Finishes the line in `line` (its text so far, `length` bytes, room for
 * LINE_MAX_LENGTH) with its checksum and newline, and writes it. */
static int emit(int fd, char *line, size_t length)
{
    const uint32_t crc = capi_crc32(0, line, length);
    const int n = snprintf(line + length, LINE_MAX_LENGTH - length, " %08lx\n", (unsigned long)crc);
    if (n < 0 || (size_t)n >= LINE_MAX_LENGTH - length) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return capi_write_all(fd, line, length + (size_t)n, NULL);
}

static int emit_text(int fd, const char *format, ...) __attribute__((format(printf, 2, 3)));
static int emit_text(int fd, const char *format, ...)
{
    char line[LINE_MAX_LENGTH];
    va_list args;
    int n;
    va_start(args, format);
    n = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0 || (size_t)n >= sizeof line) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return emit(fd, line, (size_t)n);
}

/* Sends one open file: its file line, then its data lines. */
static int send_file(int fd, unsigned long *seq, size_t index, const char *name, int file,
                     unsigned long long *total)
{
    char escaped[LINE_MAX_LENGTH - 100];
    unsigned char block[CHUNK * 85];
    struct stat status;
    unsigned long long offset = 0;
    unsigned long long size;

    if (fstat(file, &status) != 0) {
        return -1;
    }
    if (capi_escape(name, strlen(name), " ", escaped, sizeof escaped) == (size_t)-1) {
        errno = ENAMETOOLONG;
        return -1;
    }
    size = (unsigned long long)status.st_size;
    if (emit_text(fd, CAPI_BUNDLE_PREFIX "%lu F %zu %llu %s", (*seq)++, index, size, escaped) != 0) {
        return -1;
    }
    while (offset < size) {
        const size_t want = size - offset < sizeof block ? (size_t)(size - offset) : sizeof block;
        const ssize_t got = read(file, block, want);
        size_t at;
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break; /* shrunk meanwhile: the decoder names the missing bytes */
        }
        for (at = 0; at < (size_t)got; at += CHUNK) {
            char line[LINE_MAX_LENGTH];
            const size_t piece = (size_t)got - at < CHUNK ? (size_t)got - at : CHUNK;
            int n = snprintf(line, sizeof line, CAPI_BUNDLE_PREFIX "%lu D %zu %llu ", (*seq)++, index,
                             offset + at);
            if (n < 0 || (size_t)n >= sizeof line) {
                return -1;
            }
            n += (int)capi_base64_encode(block + at, piece, line + n);
            if (emit(fd, line, (size_t)n) != 0) {
                return -1;
            }
        }
        offset += (unsigned long long)got;
    }
    *total += offset;
    return 0;
}

int capi_bundle_write(int fd, const char *dir, const char *const *names, size_t count)
{
    unsigned long seq = 0;
    unsigned long long total = 0;
    size_t i;
    const int folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return -1;
    }
    if (emit_text(fd, CAPI_BUNDLE_PREFIX "%lu B " FORMAT_VERSION " %zu", seq++, count) != 0) {
        close(folder);
        return -1;
    }
    for (i = 0; i < count; ++i) {
        const int file = openat(folder, names[i], O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        int failed;
        int error;
        if (file < 0) {
            error = errno;
            close(folder);
            errno = error;
            return -1;
        }
        failed = send_file(fd, &seq, i, names[i], file, &total);
        error = errno;
        close(file);
        if (failed) {
            close(folder);
            errno = error;
            return -1;
        }
    }
    close(folder);
    return emit_text(fd, CAPI_BUNDLE_PREFIX "%lu E %zu %llu", seq, count, total);
}

/* ---- Reading ---- */

typedef struct {
    const char *capture;
    unsigned long line;
    int problems;
    capi_bundle_problem problem;
    void *data;

    int folder;
    int started;
    int ended;
    unsigned long next_seq;
    unsigned long files;      /* announced by the begin line */
    unsigned long next_index; /* index the next file line should carry */
    unsigned long recovered;
    unsigned long long bytes;

    /* The file being received; index -1 when none. */
    long index;
    char name[256];
    unsigned long long size;
    unsigned long long received;
    int fd;
    int damaged;
    long orphan; /* last index whose data came without its file line */
} decoder;

static void complain(decoder *d, const char *format, ...) __attribute__((format(printf, 2, 3)));
static void complain(decoder *d, const char *format, ...)
{
    va_list args;
    ++d->problems;
    va_start(args, format);
    capi_problem_at(d->problem, d->data, d->capture, d->line, format, args);
    va_end(args);
}

/* The name for messages: escaped, so that it stays on one line. */
static const char *shown(const char *name, char *out, size_t size)
{
    return capi_escape(name, strlen(name), NULL, out, size) != (size_t)-1 ? out : "?";
}

/* Ends the file being received: kept when whole, removed otherwise. */
static void finish_file(decoder *d)
{
    char name[1100];
    if (d->index < 0) {
        return;
    }
    if (!d->damaged && d->received != d->size) {
        complain(d, "file %s: bytes %llu-%llu missing", shown(d->name, name, sizeof name), d->received,
                 d->size - 1);
        d->damaged = 1;
    }
    if (d->fd >= 0) {
        if (close(d->fd) != 0 && !d->damaged) {
            complain(d, "file %s: %s", shown(d->name, name, sizeof name), strerror(errno));
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

/* Splits `text` at spaces into at most `max` words; returns their number. */
static size_t split(char *text, char **words, size_t max)
{
    size_t n = 0;
    char *at = text;
    while (n < max) {
        words[n++] = at;
        at = strchr(at, ' ');
        if (at == NULL) {
            return n;
        }
        *at++ = '\0';
    }
    return n + 1; /* more words than allowed */
}

/* A name that stays inside the folder: no slash, not "." or "..". */
static int plain_name(const char *name)
{
    return name[0] != '\0' && strchr(name, '/') == NULL && strcmp(name, ".") != 0 &&
           strcmp(name, "..") != 0;
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

static void on_file(decoder *d, char **words, size_t n)
{
    unsigned long long index;
    unsigned long long size;
    char name[1100];
    size_t length = 0;
    finish_file(d);
    /* The name holds no NUL byte and stays inside the folder. */
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

static void on_data(decoder *d, char **words, size_t n)
{
    unsigned long long index;
    unsigned long long offset;
    unsigned char bytes[CHUNK];
    size_t length;
    char name[1100];
    if (n != 3 || !capi_read_decimal(words[0], &index) || !capi_read_decimal(words[1], &offset) ||
        strlen(words[2]) > 4 * CHUNK / 3 ||
        (length = capi_base64_decode(words[2], strlen(words[2]), bytes)) == (size_t)-1 || length == 0) {
        complain(d, "bad data line");
        if (d->index >= 0 && !d->damaged) {
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
            complain(d, "file %s: data at offset %llu out of place", shown(d->name, name, sizeof name),
                     offset);
        }
        d->damaged = 1;
        return;
    }
    if (d->fd >= 0 && capi_write_all(d->fd, bytes, length, NULL) != 0) {
        complain(d, "file %s: %s", shown(d->name, name, sizeof name), strerror(errno));
        d->damaged = 1;
        return;
    }
    d->received += length;
    d->bytes += length;
}

static void on_end(decoder *d, char **words, size_t n)
{
    unsigned long long files;
    unsigned long long bytes;
    finish_file(d);
    d->ended = 1;
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

/* Position of the prefix in the line, or -1. */
static long find_prefix(const char *line, size_t length)
{
    const size_t n = sizeof CAPI_BUNDLE_PREFIX - 1;
    size_t i;
    for (i = 0; i + n <= length; ++i) {
        if (line[i] == CAPI_BUNDLE_PREFIX[0] && memcmp(line + i, CAPI_BUNDLE_PREFIX, n) == 0) {
            return (long)i;
        }
    }
    return -1;
}

static void on_line(decoder *d, char *line, size_t length, int cut)
{
    char *words[6];
    size_t n;
    unsigned long long seq;
    char *crc_text;
    char *end;
    unsigned long crc;
    const long at = find_prefix(line, length);

    if (at < 0) {
        return; /* not the bundle's */
    }
    line += at;
    length -= (size_t)at;
    while (length > 0 && line[length - 1] == '\r') {
        --length;
    }
    line[length] = '\0';
    /* A line that does not end in its own checksum: cut, mixed with other
     * text, or with a byte changed. */
    crc_text = length >= 9 ? line + length - 8 : line;
    errno = 0;
    crc = strtoul(crc_text, &end, 16);
    if (cut || length < 9 || line[length - 9] != ' ' || memchr(line, '\0', length) != NULL ||
        *end != '\0' || errno != 0 || strspn(crc_text, "0123456789abcdef") != 8 ||
        crc != capi_crc32(0, line, length - 9)) {
        complain(d, "damaged bundle line (checksum)");
        return;
    }
    line[length - 9] = '\0';
    n = split(line + sizeof CAPI_BUNDLE_PREFIX - 1, words, sizeof words / sizeof words[0]);
    if (n < 2 || !capi_read_decimal(words[0], &seq) || strlen(words[1]) != 1) {
        complain(d, "bad bundle line");
        return;
    }
    if (d->ended) {
        complain(d, "bundle line after the end of the bundle");
        return;
    }
    if (!d->started) {
        if (words[1][0] != 'B' || seq != 0) {
            complain(d, "bundle line %llu before the bundle's begin line", seq);
            return;
        }
    } else if (seq < d->next_seq) {
        complain(d, "bundle line %llu repeated or out of order", seq);
        return;
    } else if (seq == d->next_seq + 1) {
        complain(d, "bundle line %lu missing", d->next_seq);
    } else if (seq > d->next_seq) {
        complain(d, "bundle lines %lu-%llu missing", d->next_seq, seq - 1);
    }
    d->next_seq = (unsigned long)seq + 1;
    switch (words[1][0]) {
    case 'B': {
        unsigned long long files;
        if (d->started) {
            complain(d, "a second begin line");
            return;
        }
        if (n != 4 || strcmp(words[2], FORMAT_VERSION) != 0 || !capi_read_decimal(words[3], &files) ||
            files > 0xffffffffUL) {
            complain(d, "begin line of an unknown bundle format");
            d->ended = 1;
            return;
        }
        d->started = 1;
        d->files = (unsigned long)files;
        return;
    }
    case 'F':
        on_file(d, words + 2, n - 2);
        return;
    case 'D':
        on_data(d, words + 2, n - 2);
        return;
    case 'E':
        on_end(d, words + 2, n - 2);
        return;
    default:
        complain(d, "bundle line of an unknown kind");
        return;
    }
}

int capi_bundle_unpack(const char *capture, const char *dir, capi_bundle_problem problem, void *data)
{
    decoder d;
    char line[LINE_MAX_LENGTH + 1];
    size_t length = 0;
    int cut = 0;
    int c;
    int error = 0;
    FILE *file = fopen(capture, "rb");

    if (file == NULL) {
        return -1;
    }
    if (mkdir(dir, 0755) != 0 && errno != EEXIST) {
        error = errno;
        fclose(file);
        errno = error;
        return -1;
    }
    memset(&d, 0, sizeof d);
    d.capture = capture;
    d.problem = problem;
    d.data = data;
    d.index = -1;
    d.fd = -1;
    d.orphan = -1;
    d.folder = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d.folder < 0) {
        error = errno;
        fclose(file);
        errno = error;
        return -1;
    }
    /* Line by line, NUL bytes included; a longer line than any of the
     * bundle's keeps its beginning only. */
    while ((c = getc(file)) != EOF) {
        if (c == '\n') {
            ++d.line;
            on_line(&d, line, length, cut);
            length = 0;
            cut = 0;
        } else if (length < LINE_MAX_LENGTH) {
            line[length++] = (char)c;
        } else {
            cut = 1;
        }
    }
    if (ferror(file)) {
        error = errno != 0 ? errno : EIO;
    } else if (length > 0) {
        ++d.line;
        on_line(&d, line, length, cut);
    }
    fclose(file);
    if (!d.started && error == 0) {
        complain(&d, "no bundle in the capture");
    } else if (!d.ended && error == 0) {
        finish_file(&d);
        complain(&d, "the bundle breaks off: %lu of %lu files recovered", d.recovered, d.files);
    }
    finish_file(&d);
    close(d.folder);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return d.problems;
}
