/*
 * capi-run: one test session on the gateway. Runs each test program in a
 * process group of its own with its output captured into the results
 * folder, attributes the rows it appends to the result sheet, runs busprobe
 * last, and reports in TAP version 14 (see session.h), optionally followed by
 * the whole results folder as a console bundle (see bundle.h). Inside a LAVA
 * test shell, or with --lava, it reports each test point to LAVA (see lava.h).
 *
 *   capi-run [--results DIR] [--timeout SECONDS] [--max-output BYTES] [--sheet FILE]
 *            [--busprobe PATH | --no-busprobe] [--console] [--lava] TEST...
 *
 * Exit status: 0 when every test point is ok, 1 otherwise, 2 for a usage or
 * set-up error.
 */
#define _POSIX_C_SOURCE 200809L

#include "bundle.h"
#include "lava.h"
#include "result_sheet.h"
#include "result_sheet_row.h"
#include "run.h"
#include "session.h"
#include "text.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#ifndef CAPI_RUN_SHEET_PATH
#error "the build defines CAPI_RUN_SHEET_PATH"
#endif

#define DEFAULT_RESULTS "/tmp/capi-run"
#define DEFAULT_TIMEOUT_MS (600ULL * 1000ULL)
#define DEFAULT_MAX_OUTPUT (4ULL * 1024 * 1024)
#define BUSPROBE_NAME "busprobe"
#define REPORT_NAME "capi-report"
/* Other names tried when the results folder exists: DIR.1 ... DIR.99. */
#define MAX_RESULTS_TRIES 99
/* File names stay within NAME_MAX with room for ".out" and a number. */
#define STEM_MAX 240

static volatile sig_atomic_t g_interrupted;
static int g_wake[2] = {-1, -1};

static void on_signal(int number)
{
    const int saved = errno;
    const char byte = 0;
    if (number != SIGCHLD) {
        g_interrupted = number;
    }
    (void)!write(g_wake[1], &byte, 1);
    errno = saved;
}

typedef struct {
    const char *results;
    unsigned long long timeout_ms;
    unsigned long long max_output;
    const char *sheet;
    const char *busprobe; /* NULL: the one beside capi-run */
    int no_busprobe;
    int console;
    int lava;
} options;

/* A test to run: its path, or why it cannot run. */
typedef struct {
    char *path;
    char *reason; /* not started when not NULL */
} entry;

typedef struct {
    entry *items;
    size_t count;
    size_t room;
} entries;

/* The files of the results folder, in the order they were made. */
typedef struct {
    char **names;
    size_t count;
    size_t room;
} files;

/*
 * A file of the session's own (the summary, the rows' copy), written through
 * an offset kept here into room reserved when it is made, so that a test
 * filling the file system cannot take the bytes the session still needs. At
 * its end it is cut to what was written.
 */
typedef struct {
    int fd;
    off_t length;
} kept_file;

#define SUMMARY_ROOM (64 * 1024)
#define SHEET_ROOM (16 * 1024)

typedef struct {
    options opt;
    char results[PATH_MAX];
    int folder;
    kept_file summary;    /* the summary file in the folder */
    int summary_failed;
    kept_file sheet_copy; /* CAPI_SESSION_SHEET in the folder */
    unsigned long copied_rows;
    files made;
    run_limits limits;
    unsigned points;
    unsigned not_ok;
    capi_lava lava;
} session;

static void fail_setup(const char *format, ...)
{
    va_list args;
    fputs("capi-run: ", stderr);
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    exit(2);
}

static void *grow(void *items, size_t *room, size_t count, size_t size)
{
    if (count < *room) {
        return items;
    }
    *room = *room != 0 ? *room * 2 : 16;
    items = realloc(items, *room * size);
    if (items == NULL) {
        fail_setup("out of memory");
    }
    return items;
}

static char *copy(const char *text)
{
    char *c = strdup(text);
    if (c == NULL) {
        fail_setup("out of memory");
    }
    return c;
}

static void usage(const char *problem)
{
    if (problem != NULL) {
        fprintf(stderr, "capi-run: %s\n", problem);
    }
    fputs("usage: capi-run [--results DIR] [--timeout SECONDS] [--max-output BYTES] [--sheet FILE]\n"
          "                [--busprobe PATH | --no-busprobe] [--console] [--lava] TEST...\n",
          stderr);
    exit(2);
}

/* ---- Tests to run ---- */

static void add_entry(entries *list, const char *path, const char *reason)
{
    list->items = grow(list->items, &list->room, list->count, sizeof *list->items);
    list->items[list->count].path = copy(path);
    list->items[list->count].reason = reason != NULL ? copy(reason) : NULL;
    ++list->count;
}

/* A file that is to run: regular and executable, else the reason it cannot. */
static const char *cannot_run(const char *path)
{
    struct stat status;
    if (stat(path, &status) != 0) {
        return strerror(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return "not a regular file";
    }
    if (access(path, X_OK) != 0) {
        return "not executable";
    }
    return NULL;
}

static int by_name(const struct dirent **a, const struct dirent **b)
{
    return strcmp((*a)->d_name, (*b)->d_name);
}

static int visible(const struct dirent *item)
{
    return item->d_name[0] != '.';
}

/* A folder's regular files in byte order of their names; hidden names and
 * anything that is not a regular file are passed over. A regular file that
 * is not executable is listed, not started. */
static void add_folder(entries *list, const char *dir)
{
    struct dirent **items;
    const int n = scandir(dir, &items, visible, by_name);
    int i;
    if (n < 0) {
        add_entry(list, dir, strerror(errno));
        return;
    }
    for (i = 0; i < n; ++i) {
        struct stat status;
        const size_t length = strlen(dir) + 1 + strlen(items[i]->d_name) + 1;
        char *path = malloc(length);
        if (path == NULL) {
            fail_setup("out of memory");
        }
        snprintf(path, length, "%s%s%s", dir, dir[strlen(dir) - 1] == '/' ? "" : "/", items[i]->d_name);
        if (stat(path, &status) == 0 && S_ISREG(status.st_mode)) {
            add_entry(list, path, cannot_run(path));
        }
        free(path);
        free(items[i]);
    }
    free(items);
}

static void add_operand(entries *list, const char *path)
{
    struct stat status;
    if (stat(path, &status) == 0 && S_ISDIR(status.st_mode)) {
        add_folder(list, path);
    } else {
        add_entry(list, path, cannot_run(path));
    }
}

/* ---- Options ---- */

/* The value of option `name` in argv[*i] ("--name VALUE" or "--name=VALUE"),
 * or NULL when argv[*i] is not that option. */
static const char *value_of(char **argv, int argc, int *i, const char *name)
{
    const size_t n = strlen(name);
    if (strncmp(argv[*i], name, n) != 0) {
        return NULL;
    }
    if (argv[*i][n] == '=') {
        return argv[*i] + n + 1;
    }
    if (argv[*i][n] != '\0') {
        return NULL;
    }
    if (*i + 1 >= argc) {
        fprintf(stderr, "capi-run: %s needs a value\n", name);
        usage(NULL);
    }
    return argv[++*i];
}

static unsigned long long parse_seconds(const char *text)
{
    char *end;
    double seconds;
    unsigned long long ms;
    errno = 0;
    seconds = strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(seconds > 0) || seconds > 86400.0 * 365) {
        usage("--timeout takes a number of seconds above 0");
    }
    ms = (unsigned long long)(seconds * 1000 + 0.5);
    return ms > 0 ? ms : 1;
}

static unsigned long long parse_bytes(const char *text)
{
    char *end;
    unsigned long long bytes;
    errno = 0;
    bytes = strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] < '0' || text[0] > '9') {
        usage("--max-output takes a number of bytes");
    }
    return bytes;
}

static int parse_options(int argc, char **argv, options *opt)
{
    int i;
    opt->results = DEFAULT_RESULTS;
    opt->timeout_ms = DEFAULT_TIMEOUT_MS;
    opt->max_output = DEFAULT_MAX_OUTPUT;
    opt->sheet = CAPI_RUN_SHEET_PATH;
    opt->busprobe = NULL;
    opt->no_busprobe = 0;
    opt->console = 0;
    opt->lava = 0;
    for (i = 1; i < argc; ++i) {
        const char *value;
        if (strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (argv[i][0] != '-' || argv[i][1] == '\0') {
            break;
        }
        if ((value = value_of(argv, argc, &i, "--results")) != NULL) {
            opt->results = value;
        } else if ((value = value_of(argv, argc, &i, "--timeout")) != NULL) {
            opt->timeout_ms = parse_seconds(value);
        } else if ((value = value_of(argv, argc, &i, "--max-output")) != NULL) {
            opt->max_output = parse_bytes(value);
        } else if ((value = value_of(argv, argc, &i, "--sheet")) != NULL) {
            opt->sheet = value;
        } else if ((value = value_of(argv, argc, &i, "--busprobe")) != NULL) {
            opt->busprobe = value;
        } else if (strcmp(argv[i], "--no-busprobe") == 0) {
            opt->no_busprobe = 1;
        } else if (strcmp(argv[i], "--console") == 0) {
            opt->console = 1;
        } else if (strcmp(argv[i], "--lava") == 0) {
            opt->lava = 1;
        } else if (strcmp(argv[i], "--help") == 0) {
            usage(NULL);
        } else {
            fprintf(stderr, "capi-run: unknown option %s\n", argv[i]);
            usage(NULL);
        }
    }
    if (opt->busprobe != NULL && opt->no_busprobe) {
        usage("--busprobe and --no-busprobe exclude each other");
    }
    return i;
}

/* A program of the kit beside this one: the folder of /proc/self/exe, else of argv[0]. */
static char *beside(const char *argv0, const char *name)
{
    char self[PATH_MAX];
    const char *slash;
    size_t length;
    char *path;
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
    } else {
        snprintf(self, sizeof self, "%s", argv0);
    }
    slash = strrchr(self, '/');
    length = slash != NULL ? (size_t)(slash - self) + 1 : 0;
    if (length == 0) {
        /* No folder known: look in the current one, never in PATH. */
        memcpy(self, "./", 2);
        length = 2;
    }
    path = malloc(length + strlen(name) + 1);
    if (path == NULL) {
        fail_setup("out of memory");
    }
    memcpy(path, self, length);
    strcpy(path + length, name);
    return path;
}

/* ---- The results folder ---- */

/* Makes the folder afresh: an existing one is kept and another name taken. */
static void make_results(session *s)
{
    int try;
    for (try = 0; try <= MAX_RESULTS_TRIES; ++try) {
        int n = try == 0 ? snprintf(s->results, sizeof s->results, "%s", s->opt.results)
                         : snprintf(s->results, sizeof s->results, "%s.%d", s->opt.results, try);
        if (n < 0 || (size_t)n >= sizeof s->results) {
            fail_setup("results folder name too long: %s", s->opt.results);
        }
        if (mkdir(s->results, 0755) == 0) {
            if (try > 0) {
                fprintf(stderr, "capi-run: %s exists and is kept; the results go to %s\n", s->opt.results,
                        s->results);
            }
            s->folder = open(s->results, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (s->folder < 0) {
                fail_setup("%s: %s", s->results, strerror(errno));
            }
            return;
        }
        if (errno != EEXIST) {
            fail_setup("cannot make the results folder %s: %s", s->results, strerror(errno));
        }
    }
    fail_setup("%s and %s.1 to %s.%d all exist: remove some", s->opt.results, s->opt.results,
               s->opt.results, MAX_RESULTS_TRIES);
}

/* Makes a file of the folder and lists it for the bundle; -1 when it cannot
 * (the reason then in `error`, when given). */
static int make_file(session *s, const char *name, char *error, size_t size)
{
    const int fd = openat(s->folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error != NULL) {
            snprintf(error, size, "%s", strerror(errno));
        }
        return -1;
    }
    s->made.names = grow(s->made.names, &s->made.room, s->made.count, sizeof *s->made.names);
    s->made.names[s->made.count++] = copy(name);
    return fd;
}

/* Makes the file with `room` bytes reserved (where the file system can). */
static int kept_open(session *s, const char *name, off_t room, kept_file *file)
{
    file->length = 0;
    file->fd = make_file(s, name, NULL, 0);
    if (file->fd < 0) {
        return -1;
    }
    (void)posix_fallocate(file->fd, 0, room);
    return 0;
}

static int kept_write(kept_file *file, const void *data, size_t length)
{
    return capi_write_all(file->fd, data, length, &file->length);
}

/* Cuts off the room not used and closes the file. */
static int kept_close(kept_file *file)
{
    const int cut = ftruncate(file->fd, file->length);
    const int error = errno;
    const int closed = close(file->fd);
    file->fd = -1;
    if (cut != 0) {
        errno = error;
        return -1;
    }
    return closed;
}

/* A line (or lines) of the summary: on standard output and into the folder. */
static void report(session *s, const char *text, size_t length)
{
    (void)capi_write_all(STDOUT_FILENO, text, length, NULL);
    if (s->summary.fd >= 0 && kept_write(&s->summary, text, length) != 0 && !s->summary_failed) {
        s->summary_failed = 1;
        fprintf(stderr, "capi-run: %s/%s: %s\n", s->results, CAPI_SESSION_SUMMARY, strerror(errno));
    }
}

static void reportf(session *s, const char *format, ...)
{
    char line[PATH_MAX + 128];
    va_list args;
    int n;
    va_start(args, format);
    n = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0) {
        report(s, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
    }
}

/* ---- The sheet ---- */

static long long sheet_size(const char *path)
{
    struct stat status;
    return stat(path, &status) == 0 ? (long long)status.st_size : 0;
}

/* The copy of the sheet's new rows for one test. */
typedef struct {
    session *s;
    capi_session_test *test;
    unsigned long long room; /* bytes the copy may still take */
    int failed;              /* the copy cannot be written any more */
} row_copy;

/* Copies one row (`length` bytes, its newline included unless it is the
 * sheet's unfinished last line, given as `unfinished`; its first `kept`
 * bytes at `row`) and counts it. A line longer than any row the row writer
 * makes is dropped (counted in bytes); at the limit the copy is cut, and
 * every row from there on is dropped. */
static void copy_row(row_copy *c, const char *row, size_t length, size_t kept, int unfinished)
{
    capi_session_test *test = c->test;
    const size_t size = length + (unfinished ? 1 : 0);
    size_t name_length;
    int verdict = 0;

    if (size > c->room) {
        c->room = 0; /* the copy is cut here */
    }
    if (c->failed || kept < length || size > c->room) {
        test->rows_dropped += length;
        return;
    }
    /* The unfinished line gets a newline: the next test's rows then start
     * on a line of their own. */
    if (kept_write(&c->s->sheet_copy, row, length) != 0 ||
        (unfinished && kept_write(&c->s->sheet_copy, "\n", 1) != 0)) {
        snprintf(test->reason, sizeof test->reason, "%s: %s", CAPI_SESSION_SHEET, strerror(errno));
        c->failed = 1;
        test->rows_dropped += length;
        return;
    }
    c->room -= size;
    ++test->rows;
    ++c->s->copied_rows;
    /* Its outcome, read as the report reads rows: without the line end (a CR
     * before the newline is part of it). */
    if (!unfinished) {
        --length;
        if (length > 0 && row[length - 1] == '\r') {
            --length;
        }
    }
    if (result_sheet_read_row(row, length, &name_length, &verdict) == NULL) {
        ++*(verdict == 1 ? &test->rows_passed : &test->rows_failed);
    }
}

/* Copies what the sheet grew by, from `before` to `after`, row by row into
 * the folder's sheet, within the output limit, and counts the rows. */
static void copy_rows(session *s, capi_session_test *test, long long before, long long after)
{
    char block[16 * 1024];
    /* Room for the longest row the row writer makes, and a little more. */
    char row[RESULT_SHEET_NAME_MAX + 64];
    size_t row_length = 0;
    unsigned long long left;
    row_copy copy;
    int fd;

    if (after < before) {
        /* The test cut or rewrote the sheet: what it holds now is the test's
         * own writing, so it is copied whole as its rows, never lost. */
        snprintf(test->reason, sizeof test->reason, "the sheet shrank from %lld to %lld bytes", before, after);
        before = 0;
    }
    if (after == before) {
        return;
    }
    left = (unsigned long long)(after - before);
    fd = open(s->opt.sheet, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || lseek(fd, (off_t)before, SEEK_SET) < 0) {
        snprintf(test->reason, sizeof test->reason, "the sheet: %s", strerror(errno));
        test->rows_dropped = left;
        if (fd >= 0) {
            close(fd);
        }
        return;
    }
    copy.s = s;
    copy.test = test;
    copy.room = s->opt.max_output;
    copy.failed = 0;
    test->rows_first = s->copied_rows + 1;
    while (left > 0) {
        const size_t want = left < sizeof block ? (size_t)left : sizeof block;
        const ssize_t n = read(fd, block, want);
        size_t i;
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        left -= (unsigned long long)n;
        for (i = 0; i < (size_t)n; ++i) {
            if (row_length < sizeof row) {
                row[row_length] = block[i];
            }
            ++row_length;
            if (block[i] == '\n') {
                copy_row(&copy, row, row_length, row_length < sizeof row ? row_length : sizeof row, 0);
                row_length = 0;
            }
        }
    }
    close(fd);
    /* What could not be read (the sheet shrank meanwhile) is dropped too. */
    test->rows_dropped += left;
    if (row_length > 0) {
        copy_row(&copy, row, row_length, row_length < sizeof row ? row_length : sizeof row, 1);
    }
    if (test->rows == 0) {
        test->rows_first = 0;
    }
}

/* ---- Tests ---- */

/* stem + suffix into a file name field (the stem is at most STEM_MAX + 15 bytes). */
static void with_suffix(char *file, const char *stem, const char *suffix)
{
    const size_t length = strlen(stem);
    memcpy(file, stem, length);
    memcpy(file + length, suffix, strlen(suffix) + 1);
}

/* The file names of a test: its name, made unique within the folder, where
 * busprobe's names are kept for busprobe. */
static void file_stem(session *s, const char *name, int busprobe, char *stem, size_t size)
{
    int n;
    for (n = 1;; ++n) {
        char out[CAPI_SESSION_NAME_MAX + 1];
        struct stat status;
        if (n == 1) {
            snprintf(stem, size, "%.*s", STEM_MAX, name);
        } else {
            snprintf(stem, size, "%.*s-%d", STEM_MAX, name, n);
        }
        with_suffix(out, stem, ".out");
        if (fstatat(s->folder, out, &status, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
            (busprobe || s->opt.no_busprobe || strcmp(stem, BUSPROBE_NAME) != 0)) {
            return;
        }
    }
}

static void finish_point(session *s, capi_session_test *test)
{
    char point[CAPI_SESSION_POINT_MAX];
    size_t length;
    test->number = ++s->points;
    length = capi_session_format(test, point, sizeof point);
    if (!capi_session_ok(test)) {
        ++s->not_ok;
    }
    report(s, point, length);
    capi_lava_point(&s->lava, test);
}

static void name_of(const char *path, capi_session_test *test)
{
    const char *slash = strrchr(path, '/');
    snprintf(test->name, sizeof test->name, "%s", slash != NULL ? slash + 1 : path);
}

static void not_started(session *s, const char *path, const char *reason)
{
    capi_session_test test;
    memset(&test, 0, sizeof test);
    test.exit_status = -1;
    name_of(path, &test);
    test.outcome = CAPI_NOT_STARTED;
    snprintf(test.reason, sizeof test.reason, "%s", reason);
    finish_point(s, &test);
}

static void run_one(session *s, const char *path, const char *name)
{
    capi_session_test test;
    char stem[STEM_MAX + 16];
    long long before;
    int out;
    int err;

    memset(&test, 0, sizeof test);
    test.exit_status = -1;
    if (name != NULL) {
        snprintf(test.name, sizeof test.name, "%s", name);
    } else {
        name_of(path, &test);
    }
    file_stem(s, test.name, name != NULL, stem, sizeof stem);
    with_suffix(test.out.file, stem, ".out");
    with_suffix(test.err.file, stem, ".err");
    out = make_file(s, test.out.file, test.out.error, sizeof test.out.error);
    err = make_file(s, test.err.file, test.err.error, sizeof test.err.error);
    if (out < 0) {
        test.out.file[0] = '\0';
    }
    if (err < 0) {
        test.err.file[0] = '\0';
    }
    before = sheet_size(s->opt.sheet);
    run_test(path, out, err, &s->limits, &test);
    copy_rows(s, &test, before, sheet_size(s->opt.sheet));
    if (out >= 0 && close(out) != 0 && test.out.error[0] == '\0') {
        snprintf(test.out.error, sizeof test.out.error, "%s", strerror(errno));
    }
    if (err >= 0 && close(err) != 0 && test.err.error[0] == '\0') {
        snprintf(test.err.error, sizeof test.err.error, "%s", strerror(errno));
    }
    finish_point(s, &test);
}

static void setup_signals(void)
{
    struct sigaction action;
    if (pipe(g_wake) != 0) {
        fail_setup("pipe: %s", strerror(errno));
    }
    fcntl(g_wake[0], F_SETFD, FD_CLOEXEC);
    fcntl(g_wake[1], F_SETFD, FD_CLOEXEC);
    fcntl(g_wake[0], F_SETFL, O_NONBLOCK);
    fcntl(g_wake[1], F_SETFL, O_NONBLOCK);
    memset(&action, 0, sizeof action);
    sigemptyset(&action.sa_mask);
    action.sa_handler = on_signal;
    sigaction(SIGINT, &action, NULL);
    sigaction(SIGTERM, &action, NULL);
    action.sa_flags = SA_NOCLDSTOP;
    sigaction(SIGCHLD, &action, NULL);
    /* A reader of standard output that went away ends nothing but the
     * output; a file-size limit fails the write (EFBIG), which is reported
     * like a full file system. */
    action.sa_handler = SIG_IGN;
    action.sa_flags = 0;
    sigaction(SIGPIPE, &action, NULL);
    sigaction(SIGXFSZ, &action, NULL);
}

int main(int argc, char **argv)
{
    session s;
    entries tests = {NULL, 0, 0};
    char *busprobe = NULL;
    char *capi_report;
    char signal_name[16];
    int first;
    size_t i;

    memset(&s, 0, sizeof s);
    s.summary.fd = -1;
    first = parse_options(argc, argv, &s.opt);
    if (first >= argc) {
        usage("no TEST given");
    }
    for (i = (size_t)first; i < (size_t)argc; ++i) {
        add_operand(&tests, argv[i]);
    }
    if (!s.opt.no_busprobe) {
        busprobe = s.opt.busprobe != NULL ? copy(s.opt.busprobe) : beside(argv[0], BUSPROBE_NAME);
    }
    capi_report = beside(argv[0], REPORT_NAME);

    make_results(&s);
    setup_signals();
    s.limits.timeout_ms = s.opt.timeout_ms;
    s.limits.max_output = s.opt.max_output;
    s.limits.wake_fd = g_wake[0];
    s.limits.interrupted = &g_interrupted;
    if (kept_open(&s, CAPI_SESSION_SUMMARY, SUMMARY_ROOM, &s.summary) != 0) {
        fail_setup("%s/%s: %s", s.results, CAPI_SESSION_SUMMARY, strerror(errno));
    }
    if (kept_open(&s, CAPI_SESSION_SHEET, SHEET_ROOM, &s.sheet_copy) != 0) {
        fail_setup("%s/%s: %s", s.results, CAPI_SESSION_SHEET, strerror(errno));
    }
    capi_lava_start(&s.lava, s.opt.lava, s.results, cannot_run(capi_report) == NULL ? capi_report : NULL);
    if (s.lava.on && s.lava.report == NULL) {
        fprintf(stderr, "capi-run: %s: %s: LAVA gets no test case per checker call\n", capi_report,
                cannot_run(capi_report));
    }

    reportf(&s, "TAP version 14\n1..%zu\n", tests.count + (busprobe != NULL ? 1 : 0));
    reportf(&s, "# results in %s\n", s.results);
    for (i = 0; i < tests.count; ++i) {
        if (g_interrupted) {
            char reason[64];
            run_signal_name(g_interrupted, signal_name, sizeof signal_name);
            snprintf(reason, sizeof reason, "capi-run got %s", signal_name);
            not_started(&s, tests.items[i].path, reason);
        } else if (tests.items[i].reason != NULL) {
            not_started(&s, tests.items[i].path, tests.items[i].reason);
        } else {
            run_one(&s, tests.items[i].path, NULL);
        }
    }
    if (busprobe != NULL) {
        const char *reason = cannot_run(busprobe);
        if (g_interrupted) {
            char text[64];
            run_signal_name(g_interrupted, signal_name, sizeof signal_name);
            snprintf(text, sizeof text, "capi-run got %s", signal_name);
            not_started(&s, BUSPROBE_NAME, text);
        } else if (reason != NULL) {
            char text[PATH_MAX + 64];
            snprintf(text, sizeof text, "%s: %s", busprobe, reason);
            not_started(&s, BUSPROBE_NAME, text);
        } else {
            run_one(&s, busprobe, BUSPROBE_NAME);
        }
    }
    reportf(&s, "# %u test point%s: %u ok, %u not ok\n", s.points, s.points == 1 ? "" : "s", s.points - s.not_ok,
            s.not_ok);
    if (kept_close(&s.summary) != 0 && !s.summary_failed) {
        s.summary_failed = 1;
        fprintf(stderr, "capi-run: %s/%s: %s\n", s.results, CAPI_SESSION_SUMMARY, strerror(errno));
    }
    kept_close(&s.sheet_copy);
    if (s.opt.console &&
        capi_bundle_write(STDOUT_FILENO, s.results, (const char *const *)s.made.names, s.made.count) != 0) {
        fprintf(stderr, "capi-run: console bundle: %s\n", strerror(errno));
        s.summary_failed = 1;
    }
    for (i = 0; i < tests.count; ++i) {
        free(tests.items[i].path);
        free(tests.items[i].reason);
    }
    for (i = 0; i < s.made.count; ++i) {
        free(s.made.names[i]);
    }
    free(tests.items);
    free(s.made.names);
    free(busprobe);
    free(capi_report);
    close(s.folder);
    return s.not_ok == 0 && !s.summary_failed ? 0 : 1;
}
