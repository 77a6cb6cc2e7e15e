/* capi-run's report to LAVA: a test set per test point (see lava.h). */
#define _POSIX_C_SOURCE 200809L

#include "lava.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "result_sheet_row.h"
#include "process.h"
#include "text.h"

#define HELPER_CASE "lava-test-case"
#define HELPER_SET "lava-test-set"

/* Room for a line of capi-report's --cases or of a sheet; longer lines are
 * read in pieces, of which only the first counts. */
#define LINE_MAX_BYTES 4352

static int lava_char(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

size_t capi_lava_name(const char *name, size_t length, size_t max, char *out, size_t size)
{
    size_t n = 0;
    size_t i;
    if (max >= size) {
        max = size - 1;
    }
    for (i = 0; i < length && n < max; ++i) {
        if (lava_char((unsigned char)name[i])) {
            out[n++] = name[i];
        } else if (n == 0 || out[n - 1] != '_' || lava_char((unsigned char)name[i - 1])) {
            out[n++] = '_';
        }
    }
    if (n == 0) {
        out[n++] = '_';
    }
    out[n] = '\0';
    return n;
}

/* FNV-1a, 64 bits, over the kind and the name. */
static unsigned long long name_hash(int set, const char *name)
{
    unsigned long long h = 14695981039346656037ULL;
    h = (h ^ (set ? 's' : 'c')) * 1099511628211ULL;
    for (; *name != '\0'; ++name) {
        h = (h ^ (unsigned char)*name) * 1099511628211ULL;
    }
    return h;
}

static int used(const capi_lava *lava, unsigned long long hash)
{
    size_t i;
    for (i = 0; i < lava->used_count; ++i) {
        if (lava->used[i] == hash) {
            return 1;
        }
    }
    return 0;
}

/* `name` cut to leave room for the suffix within `max`, then the suffix. */
static size_t suffixed(char *name, size_t base, const char *suffix, size_t max)
{
    size_t s = strlen(suffix);
    if (base + s > max) {
        base = max - s;
    }
    memcpy(name + base, suffix, s + 1);
    return base + s;
}

size_t capi_lava_unique(capi_lava *lava, int set, char *name, size_t max, size_t size)
{
    char suffix[32];
    size_t base = strlen(name);
    size_t length = base;
    unsigned long n;
    if (max >= size) {
        max = size - 1;
    }
    if (lava->used_count == CAPI_LAVA_NAMES) {
        /* Nothing more can be remembered: a number no other name has. */
        snprintf(suffix, sizeof suffix, ".n%lu", ++lava->numbered);
        return suffixed(name, base, suffix, max);
    }
    /* A hash seen before may be another name's: then a number is added that
     * was not needed, but no name is given out twice. */
    for (n = 2; used(lava, name_hash(set, name)); ++n) {
        snprintf(suffix, sizeof suffix, ".%lu", n);
        length = suffixed(name, base, suffix, max);
    }
    lava->used[lava->used_count++] = name_hash(set, name);
    return length;
}

/* Whether `file` is an executable file in a folder of the PATH. */
static int on_path(const char *file)
{
    const char *path = getenv("PATH");
    char candidate[4096];
    struct stat st;
    while (path != NULL && *path != '\0') {
        const char *end = strchr(path, ':');
        size_t length = end != NULL ? (size_t)(end - path) : strlen(path);
        if (length > 0 && length + 1 + strlen(file) < sizeof candidate) {
            memcpy(candidate, path, length);
            candidate[length] = '/';
            strcpy(candidate + length + 1, file);
            if (stat(candidate, &st) == 0 && S_ISREG(st.st_mode) && access(candidate, X_OK) == 0) {
                return 1;
            }
        }
        path = end != NULL ? end + 1 : NULL;
    }
    return 0;
}

void capi_lava_start(capi_lava *lava, int forced, const char *results, const char *report)
{
    memset(lava, 0, sizeof *lava);
    lava->on = forced || on_path(HELPER_CASE);
    lava->results = results;
    lava->report = report;
}

/* Runs a helper with the arguments given and waits for it. Its lines go to
 * capi-run's standard output, after what capi-run has written there. */
static void helper(char *const argv[])
{
    capi_spawn_how how = {CAPI_SPAWN_INHERIT, CAPI_SPAWN_INHERIT, CAPI_SPAWN_INHERIT, 0, 1, NULL};
    fflush(NULL);
    if (capi_spawn_wait(argv, &how) < 0) {
        fprintf(stderr, "capi-run: %s: %s\n", argv[0], strerror(errno));
    }
}

static void report_case(capi_lava *lava, const char *set, const char *name, size_t length, int pass,
                        const char *seconds)
{
    char id[CAPI_LAVA_CASE_MAX + 1];
    size_t n = strlen(set);
    char *argv[9];
    int argc = 0;
    memcpy(id, set, n + 1);
    if (name != NULL) {
        id[n++] = '.';
        capi_lava_name(name, length, CAPI_LAVA_CASE_MAX - n, id + n, sizeof id - n);
    }
    capi_lava_unique(lava, 0, id, CAPI_LAVA_CASE_MAX, sizeof id);
    argv[argc++] = (char *)HELPER_CASE;
    argv[argc++] = id;
    argv[argc++] = (char *)"--result";
    argv[argc++] = (char *)(pass ? "pass" : "fail");
    if (seconds != NULL) {
        argv[argc++] = (char *)"--measurement";
        argv[argc++] = (char *)seconds;
        argv[argc++] = (char *)"--units";
        argv[argc++] = (char *)"seconds";
    }
    argv[argc] = NULL;
    helper(argv);
}

/* Reads `fd` to its end line by line; calls `each` with every line (without
 * its line end; a longer line than the buffer only with its first part, and
 * `cut` set). */
typedef void (*line_fn)(const char *line, size_t length, int cut, void *data);

static void read_lines(int fd, line_fn each, void *data)
{
    char buffer[LINE_MAX_BYTES];
    size_t have = 0;
    int skipping = 0;
    for (;;) {
        ssize_t got = read(fd, buffer + have, sizeof buffer - have);
        size_t start = 0;
        size_t i;
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        for (i = have; i < have + (size_t)got; ++i) {
            if (buffer[i] == '\n') {
                if (!skipping) {
                    each(buffer + start, i - start, 0, data);
                }
                skipping = 0;
                start = i + 1;
            }
        }
        have += (size_t)got;
        memmove(buffer, buffer + start, have - start);
        have -= start;
        if (have == sizeof buffer) {
            if (!skipping) {
                each(buffer, have, 1, data);
            }
            skipping = 1;
            have = 0;
        }
    }
    if (have > 0 && !skipping) {
        each(buffer, have, 0, data);
    }
}

typedef struct {
    capi_lava *lava;
    const char *set;
    unsigned long line;  /* sheet: number of the line read */
    unsigned long first; /* sheet: the test's rows */
    unsigned long last;
    unsigned long calls; /* output: the calls read so far */
} point_data;

/* The fields of a line of capi-report's --cases: suite, case, outcome and
 * message, each escaped (capi_escape), separated by tabs. The case is
 * unescaped into `name`; 0 when the line is not one. */
static int read_case(const char *line, size_t length, char *name, size_t size, size_t *name_length,
                     const char **outcome, const char **message, size_t *message_length)
{
    const char *field[4];
    size_t lengths[4];
    if (!capi_case_fields(line, length, field, lengths)) {
        return 0;
    }
    *name_length = capi_unescape(field[1], lengths[1], name, size);
    *outcome = field[2];
    *message = field[3];
    *message_length = lengths[3];
    return *name_length != (size_t)-1 && (lengths[2] == 4 || lengths[2] == 5);
}

/* A checker call's case is named "[HEADING: ]CHECKER[ #K]": LAVA names it
 * by its checker, and numbers repeats itself. */
static void checker_of(const char *name, size_t length, const char **checker, size_t *checker_length)
{
    size_t end = length;
    size_t at;
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') {
        --end;
    }
    if (end < length && end >= 2 && name[end - 1] == '#' && name[end - 2] == ' ') {
        length = end - 2;
    }
    for (at = length; at > 0 && name[at - 1] != ' '; --at) {
    }
    *checker = name + at;
    *checker_length = length - at;
}

/* A line of capi-report's --cases over the test's output: a case per
 * checker call, and "(log)" for the output's problems. An output without
 * any call says nothing of the test (its outcome does): "(log)" is
 * reported when lines of the kit stand outside any call, or the output
 * could not be read. */
static void call_line(const char *line, size_t length, int cut, void *data)
{
    point_data *p = (point_data *)data;
    char name[LINE_MAX_BYTES];
    size_t name_length;
    const char *outcome;
    const char *message;
    size_t message_length;
    const char *checker;
    size_t checker_length;
    if (cut || !read_case(line, length, name, sizeof name, &name_length, &outcome, &message, &message_length)) {
        return;
    }
    if (strcmp(name, "(log)") == 0) {
        if (p->calls > 0 || message_length != 9 || memcmp(message, "1 problem", 9) != 0) {
            report_case(p->lava, p->set, name, name_length, 0, NULL);
        }
        return;
    }
    ++p->calls;
    checker_of(name, name_length, &checker, &checker_length);
    report_case(p->lava, p->set, checker, checker_length, memcmp(outcome, "pass", 4) == 0 && outcome[4] == '\t', NULL);
}

/* The checker calls of the test's captured output, as capi-report reads them. */
static void report_calls(capi_lava *lava, const char *set, const char *out)
{
    char path[4096];
    capi_spawn_how how = {CAPI_SPAWN_NULL, CAPI_SPAWN_INHERIT, CAPI_SPAWN_NULL, 0, 0, NULL};
    point_data p;
    char *argv[6];
    int fds[2];
    pid_t pid;
    int rc;
    if (snprintf(path, sizeof path, "%s/%s", lava->results, out) >= (int)sizeof path) {
        return;
    }
    if (pipe(fds) != 0) {
        fprintf(stderr, "capi-run: LAVA: pipe: %s\n", strerror(errno));
        return;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    how.out = fds[1];
    argv[0] = (char *)lava->report;
    argv[1] = (char *)"--cases";
    argv[2] = (char *)"-";
    argv[3] = (char *)"--log";
    argv[4] = path;
    argv[5] = NULL;
    rc = capi_spawn(&pid, argv, &how);
    close(fds[1]);
    if (rc != 0) {
        fprintf(stderr, "capi-run: %s: %s\n", lava->report, strerror(rc));
        close(fds[0]);
        return;
    }
    memset(&p, 0, sizeof p);
    p.lava = lava;
    p.set = set;
    read_lines(fds[0], call_line, &p);
    close(fds[0]);
    (void)capi_wait(pid);
}

/* A row of the folder's sheet: "name \t pass" or "name \t failed". */
static void row_line(const char *line, size_t length, int cut, void *data)
{
    point_data *p = (point_data *)data;
    size_t name = 0;
    int pass = 0;
    ++p->line;
    if (p->line < p->first || p->line > p->last) {
        return;
    }
    if (cut || result_sheet_read_row(line, result_sheet_line_length(line, length), &name, &pass) != NULL) {
        /* Not a row (a line too long for one among them): a failed case
         * named as JUnit names the sheet's problems, "(sheet)". */
        report_case(p->lava, p->set, "(sheet)", 7, 0, NULL);
    } else {
        report_case(p->lava, p->set, line, name, pass, NULL);
    }
}

static void report_rows(capi_lava *lava, const char *set, const capi_session_test *test)
{
    char path[4096];
    point_data p;
    int fd;
    if (snprintf(path, sizeof path, "%s/%s", lava->results, CAPI_SESSION_SHEET) >= (int)sizeof path) {
        return;
    }
    fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fprintf(stderr, "capi-run: %s: %s\n", path, strerror(errno));
        return;
    }
    memset(&p, 0, sizeof p);
    p.lava = lava;
    p.set = set;
    p.first = test->rows_first;
    p.last = test->rows_first + test->rows - 1;
    read_lines(fd, row_line, &p);
    close(fd);
}

void capi_lava_point(capi_lava *lava, const capi_session_test *test)
{
    char set[CAPI_LAVA_SET_MAX + 1];
    char seconds[32];
    char *argv[4];
    if (!lava->on) {
        return;
    }
    capi_lava_name(test->name, strlen(test->name), CAPI_LAVA_SET_MAX, set, sizeof set);
    capi_lava_unique(lava, 1, set, CAPI_LAVA_SET_MAX, sizeof set);
    argv[0] = (char *)HELPER_SET;
    argv[1] = (char *)"start";
    argv[2] = set;
    argv[3] = NULL;
    helper(argv);
    if (lava->report != NULL && test->out.file[0] != '\0') {
        report_calls(lava, set, test->out.file);
    }
    if (test->rows > 0) {
        report_rows(lava, set, test);
    }
    snprintf(seconds, sizeof seconds, "%lu.%03lu", test->milliseconds / 1000, test->milliseconds % 1000);
    report_case(lava, set, NULL, 0, capi_session_ok(test), seconds);
    argv[1] = (char *)"stop";
    argv[2] = NULL;
    helper(argv);
}
