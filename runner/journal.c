/* The journal of a session that outlives restarts (see journal.h). */
#define _POSIX_C_SOURCE 200809L

#include "journal.h"

#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <libgen.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#define FIRST_LINE "capi-run journal 1"
#define LINE_MAX_BYTES (PATH_MAX * 4 + 128)
/* Other names a finished session's journal may take: PATH.1 ... PATH.99. */
#define KEPT_TRIES 99

long long capi_journal_now_ms(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

/* The line's text when its checksum holds (cut before " CRC"), else NULL. */
static char *checked(char *line, size_t length)
{
    unsigned long written;
    if (length < 10 || line[length - 9] != ' ' || !capi_read_crc(line + length - 8, &written) ||
        crc32(0L, (const Bytef *)line, (uInt)(length - 9)) != written) {
        return NULL;
    }
    line[length - 9] = '\0';
    return line;
}

static int number(const char *text, unsigned long long *value)
{
    return text != NULL && capi_read_decimal(text, value);
}

/* One record read into the journal; 0 when it is not one. */
static int take(capi_journal *j, char *text, const char *const *names, size_t count, unsigned long *tests_seen,
                char *error, size_t size)
{
    /* The fields; a name (a test's, the folder's, a stem) is the last one,
     * the rest of the line, spaces and all. What follows a sixth field of
     * another record is not read. */
    char *field[6] = {NULL, NULL, NULL, NULL, NULL, NULL};
    const size_t named = strncmp(text, "test ", 5) == 0 ? 3 : strncmp(text, "session ", 8) == 0 ? 4
                         : strncmp(text, "start ", 6) == 0 ? 5 : 0;
    (void)capi_split_words(text, field, named != 0 ? named : 6, named != 0);
    char *kind = field[0];
    char *a = field[1];
    char *b = field[2];
    char *c = field[3];
    char *d = field[4];
    char *e = field[5];
    unsigned long long n1 = 0, n2 = 0, n3 = 0, n4 = 0, n5 = 0;
    if (kind == NULL) {
        return 0;
    }
    if (strcmp(kind, "session") == 0) {
        size_t length;
        if (j->session[0] != '\0' || a == NULL || strlen(a) != 16 || !number(b, &n2) || c == NULL ||
            (length = capi_unescape(c, strlen(c), j->results, sizeof j->results)) == (size_t)-1 ||
            length != strlen(j->results)) {
            return 0;
        }
        memcpy(j->session, a, 17);
        j->began_ms = (long long)n2;
        return 1;
    }
    if (strcmp(kind, "test") == 0) {
        char name[PATH_MAX];
        size_t length;
        if (j->session[0] == '\0' || j->head || !number(a, &n1) || n1 != *tests_seen + 1 || b == NULL ||
            (length = capi_unescape(b, strlen(b), name, sizeof name)) == (size_t)-1) {
            return 0;
        }
        ++*tests_seen;
        if (n1 > count || strlen(names[n1 - 1]) != length || memcmp(names[n1 - 1], name, length) != 0) {
            snprintf(error, size, "test %llu is %.255s there, %.255s here", n1, name,
                     n1 <= count ? names[n1 - 1] : "none");
            return -1;
        }
        return 1;
    }
    if (strcmp(kind, "head") == 0 && number(a, &n1) && !j->head && *tests_seen == count) {
        j->head = 1;
        j->head_bytes = j->summary_bytes = n1;
        return 1;
    }
    /* The records of the tests' runs follow the list of tests, in order:
     * a test starts after the last one ended (or starts again, declared to
     * restart the gateway), ends as the one running, and its part is sent
     * after its end. Another order is not a journal capi-run wrote. */
    if (strcmp(kind, "start") == 0 && number(a, &n1) && number(b, &n2) && number(c, &n3) && d != NULL) {
        size_t length;
        if (*tests_seen != count || (n1 != j->ended + 1 && (j->running == 0 || n1 != j->running)) || n1 > count) {
            return 0;
        }
        length = capi_unescape(d, strlen(d), j->running_stem, sizeof j->running_stem);
        if (length == (size_t)-1 || length != strlen(j->running_stem) || strchr(j->running_stem, '/') != NULL) {
            return 0;
        }
        if (j->running != n1) {
            j->running = (unsigned long)n1;
            j->running_sheet = n3;
            j->running_restarts = 0;
        }
        j->running_ms = (long long)n2;
        return 1;
    }
    if (strcmp(kind, "end") == 0 && number(a, &n1) && number(b, &n2) && number(c, &n3) && number(d, &n4) &&
        number(e, &n5)) {
        if (j->running == 0 || n1 != j->running || n3 < j->summary_bytes || n5 < j->rows) {
            return 0;
        }
        j->ended = (unsigned long)n1;
        j->not_ok += n2 == 0;
        j->summary_bytes = n3;
        j->sheet_bytes = n4;
        j->rows = (unsigned long)n5;
        j->running = 0;
        return 1;
    }
    if (strcmp(kind, "sent") == 0 && number(a, &n1) && n1 == j->ended && n1 > j->sent) {
        j->sent = (unsigned long)n1;
        return 1;
    }
    if (strcmp(kind, "restart") == 0 && number(a, &n1) && number(b, &n2) && n1 == (unsigned long long)j->restarts + 1) {
        j->restarts = (unsigned)n1;
        j->running_restarts += j->running != 0;
        return 1;
    }
    if (strcmp(kind, "done") == 0 && a == NULL) {
        j->done = 1;
        return 1;
    }
    return 0;
}

int capi_journal_read(capi_journal *j, FILE *file, const char *const *names, size_t count, long *whole,
                      char *error, size_t size)
{
    char line[LINE_MAX_BYTES];
    unsigned long tests_seen = 0;
    unsigned long number = 0;
    *whole = 0;
    while (fgets(line, sizeof line, file) != NULL) {
        size_t length = strlen(line);
        const int ended = length > 0 && line[length - 1] == '\n';
        char *text = NULL;
        int rc;
        ++number;
        if (ended) {
            line[--length] = '\0';
            text = checked(line, length);
        }
        /* A power loss cuts the last record only: a damaged line with more
         * after it is not that, and nothing after it is dropped. */
        const int last = text != NULL || fgetc(file) == EOF;
        if (number == 1 && (text == NULL || strcmp(text, FIRST_LINE) != 0) && (ended || !last)) {
            snprintf(error, size, "not a capi-run journal (its first line is not \"" FIRST_LINE "\")");
            return -1;
        }
        if (text == NULL && !last) {
            snprintf(error, size, "its line %lu is damaged and more follows it", number);
            return -1;
        }
        if (text == NULL) {
            break; /* the record cut: taken out */
        }
        if (number > 1 && (rc = take(j, text, names, count, &tests_seen, error, size)) <= 0) {
            if (rc == 0) {
                snprintf(error, size, "its line %lu is not a record of this session", number);
            }
            return -1;
        }
        *whole = ftell(file);
    }
    if (ferror(file)) {
        snprintf(error, size, "%s", strerror(errno));
        return -1;
    }
    if (j->session[0] == '\0') {
        snprintf(error, size, "it holds no session (cut before its first records)");
        return -1;
    }
    if (tests_seen != count) {
        snprintf(error, size, "%lu tests there, %zu here", tests_seen, count);
        return -1;
    }
    j->tests = tests_seen;
    return 0;
}

/* Reads the journal's records; a record cut by a power loss is taken out,
 * so that the next one begins on a line of its own. -1 with the reason in
 * `error`. */
static int read_records(capi_journal *j, FILE *file, const char *const *names, size_t count, char *error,
                        size_t size)
{
    long whole = 0;
    if (capi_journal_read(j, file, names, count, &whole, error, size) != 0) {
        return -1;
    }
    if (ftruncate(j->fd, (off_t)whole) != 0 || lseek(j->fd, 0, SEEK_END) < 0) {
        snprintf(error, size, "%s", strerror(errno));
        return -1;
    }
    return 0;
}

/* PATH.N for the first N from 1 whose name is free for the journal and, when
 * given, for the results folder too. */
static int free_suffix(const char *path, const char *results)
{
    int n;
    for (n = 1; n <= KEPT_TRIES; ++n) {
        char name[PATH_MAX + 16];
        struct stat status;
        snprintf(name, sizeof name, "%s.%d", path, n);
        if (lstat(name, &status) == 0) {
            continue;
        }
        if (results != NULL) {
            snprintf(name, sizeof name, "%s.%d", results, n);
            if (lstat(name, &status) == 0) {
                continue;
            }
        }
        return n;
    }
    return -1;
}

capi_journal_state capi_journal_open(capi_journal *j, const char *path, const char *const *names, size_t count,
                                     char *kept, size_t kept_size, char *error, size_t error_size)
{
    char dir[PATH_MAX];
    char why[PATH_MAX + 256] = "";
    FILE *file;
    int rc;
    memset(j, 0, sizeof *j);
    j->fd = -1;
    snprintf(j->path, sizeof j->path, "%s", path);
    snprintf(dir, sizeof dir, "%s", path);
    j->folder = open(dirname(dir), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (j->folder < 0) {
        snprintf(error, error_size, "the journal %s: its folder: %s", path, strerror(errno));
        return CAPI_JOURNAL_ERROR;
    }
    j->fd = open(path, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (j->fd < 0 && errno == ENOENT) {
        return CAPI_JOURNAL_NEW;
    }
    if (j->fd < 0) {
        snprintf(error, error_size, "the journal %s cannot be read: %s", path, strerror(errno));
        return CAPI_JOURNAL_ERROR;
    }
    {
        /* Cut before its first record: it holds nothing, and a new session
         * begins in its place (said in `error`). */
        struct stat status;
        if (fstat(j->fd, &status) == 0 && status.st_size == 0 && unlink(path) == 0) {
            close(j->fd);
            j->fd = -1;
            snprintf(error, error_size, "the journal %s was empty (cut before its first record): a new session begins",
                     path);
            return CAPI_JOURNAL_NEW;
        }
    }
    file = fdopen(dup(j->fd), "r");
    if (file == NULL) {
        snprintf(error, error_size, "the journal %s cannot be read: %s", path, strerror(errno));
        return CAPI_JOURNAL_ERROR;
    }
    rc = read_records(j, file, names, count, why, sizeof why);
    fclose(file);
    if (rc != 0) {
        snprintf(error, error_size, "the journal %s cannot be taken on: %s (it is kept as it is)", path, why);
        return CAPI_JOURNAL_ERROR;
    }
    if (!j->done) {
        return CAPI_JOURNAL_RESUMED;
    }
    /* A finished session: kept, with its results folder, under new names. */
    {
        struct stat status;
        const int has_results = stat(j->results, &status) == 0;
        const int n = free_suffix(path, has_results ? j->results : NULL);
        char journal_kept[PATH_MAX + 16];
        char results_kept[PATH_MAX + 16];
        if (n < 0) {
            snprintf(error, error_size, "the journal %s of a finished session cannot be kept: %s.1 to %s.%d all exist",
                     path, path, path, KEPT_TRIES);
            return CAPI_JOURNAL_ERROR;
        }
        snprintf(journal_kept, sizeof journal_kept, "%s.%d", path, n);
        snprintf(results_kept, sizeof results_kept, "%s.%d", j->results, n);
        if (rename(path, journal_kept) != 0 || (has_results && rename(j->results, results_kept) != 0)) {
            snprintf(error, error_size, "the journal %s of a finished session cannot be kept: %s", path,
                     strerror(errno));
            return CAPI_JOURNAL_ERROR;
        }
        (void)fsync(j->folder);
        snprintf(kept, kept_size, "%s%s%s", journal_kept, has_results ? " and " : "", has_results ? results_kept : "");
        close(j->fd);
        j->fd = -1;
        return CAPI_JOURNAL_FINISHED;
    }
}

/* Appends a record; with `durably`, the file then its folder synced. */
static int append(capi_journal *j, int durably, const char *format, va_list args)
    __attribute__((format(printf, 3, 0)));
static int append(capi_journal *j, int durably, const char *format, va_list args)
{
    char line[LINE_MAX_BYTES];
    int n = vsnprintf(line, sizeof line - 16, format, args);
    if (n < 0 || (size_t)n >= sizeof line - 16) {
        errno = ENAMETOOLONG;
        return -1;
    }
    n += snprintf(line + n, 16, " %08lx\n", crc32(0L, (const Bytef *)line, (uInt)n));
    if (capi_write_all(j->fd, line, (size_t)n, NULL) != 0) {
        return -1;
    }
    return durably && (fsync(j->fd) != 0 || fsync(j->folder) != 0) ? -1 : 0;
}

int capi_journal_vrecord(capi_journal *j, const char *format, va_list args)
{
    return append(j, 1, format, args);
}

int capi_journal_record(capi_journal *j, const char *format, ...)
{
    va_list args;
    int rc;
    va_start(args, format);
    rc = append(j, 1, format, args);
    va_end(args);
    return rc;
}

/* A record of the journal's head, synced with the last of them. */
static int head_record(capi_journal *j, const char *format, ...) __attribute__((format(printf, 2, 3)));
static int head_record(capi_journal *j, const char *format, ...)
{
    va_list args;
    int rc;
    va_start(args, format);
    rc = append(j, 0, format, args);
    va_end(args);
    return rc;
}

int capi_journal_begin(capi_journal *j, const char *session, const char *results, const char *const *names,
                       size_t count)
{
    char escaped[PATH_MAX * 4];
    size_t i;
    j->fd = open(j->path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (j->fd < 0) {
        return -1;
    }
    memcpy(j->session, session, 17);
    snprintf(j->results, sizeof j->results, "%s", results);
    j->began_ms = capi_journal_now_ms();
    if (capi_escape(results, strlen(results), NULL, escaped, sizeof escaped) == (size_t)-1) {
        errno = ENAMETOOLONG;
        return -1;
    }
    if (head_record(j, "%s", FIRST_LINE) != 0 ||
        head_record(j, "session %s %lld %s", session, j->began_ms, escaped) != 0) {
        return -1;
    }
    for (i = 0; i < count; ++i) {
        if (capi_escape(names[i], strlen(names[i]), NULL, escaped, sizeof escaped) == (size_t)-1 ||
            head_record(j, "test %zu %s", i + 1, escaped) != 0) {
            return -1;
        }
    }
    j->tests = count;
    /* The head whole, then durably. */
    return fsync(j->fd) != 0 || fsync(j->folder) != 0 ? -1 : 0;
}

void capi_journal_close(capi_journal *j)
{
    if (j->fd >= 0) {
        close(j->fd);
    }
    if (j->folder >= 0) {
        close(j->folder);
    }
    j->fd = j->folder = -1;
}
