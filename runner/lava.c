/* capi-run's report to LAVA: a test set per test point (see lava.h). */
#define _POSIX_C_SOURCE 200809L

#include "lava.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "result_sheet_row.h"

extern char **environ;

#define HELPER_CASE "lava-test-case"
#define HELPER_SET "lava-test-set"

/* Room for a line of capi-report's text report or of a sheet; longer lines
 * are read in pieces, of which only the first counts. */
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
    pid_t pid;
    int status;
    fflush(NULL);
    errno = posix_spawnp(&pid, argv[0], NULL, NULL, argv, environ);
    if (errno != 0) {
        fprintf(stderr, "capi-run: %s: %s\n", argv[0], strerror(errno));
        return;
    }
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
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
} point_data;

/* Lines of the kit in the output that belong to no call, as the total line
 * of capi-report's text report counts them: "TOTAL FAIL calls=3 ... stray=1 ...". */
static unsigned long stray_lines(const char *line, size_t length)
{
    static const char key[] = " stray=";
    unsigned long n = 0;
    size_t i;
    if (length < 6 || memcmp(line, "TOTAL ", 6) != 0) {
        return 0;
    }
    for (i = 0; i + sizeof key - 1 <= length; ++i) {
        if (memcmp(line + i, key, sizeof key - 1) == 0) {
            for (i += sizeof key - 1; i < length && line[i] >= '0' && line[i] <= '9'; ++i) {
                n = n * 10 + (unsigned long)(line[i] - '0');
            }
            break;
        }
    }
    return n;
}

/* A call line of capi-report's text report: "  PASS lines=1-19    NAME";
 * its total line, for the stray lines. */
static void call_line(const char *line, size_t length, int cut, void *data)
{
    point_data *p = (point_data *)data;
    const char *name;
    int pass;
    if (cut) {
        return;
    } else if (stray_lines(line, length) > 0) {
        /* The case JUnit has for the output's problems, "(log)". */
        report_case(p->lava, p->set, "(log)", 5, 0, NULL);
        return;
    } else if (length > 7 && memcmp(line, "  PASS ", 7) == 0) {
        pass = 1;
    } else if (length > 7 && memcmp(line, "  FAIL ", 7) == 0) {
        pass = 0;
    } else {
        return;
    }
    name = line + length;
    while (name > line && name[-1] != ' ') {
        --name;
    }
    report_case(p->lava, p->set, name, (size_t)(line + length - name), pass, NULL);
}

/* The checker calls of the test's captured output, as capi-report reads them. */
static void report_calls(capi_lava *lava, const char *set, const char *out)
{
    char path[4096];
    posix_spawn_file_actions_t actions;
    point_data p;
    char *argv[4];
    int fds[2];
    pid_t pid;
    int status;
    if (snprintf(path, sizeof path, "%s/%s", lava->results, out) >= (int)sizeof path) {
        return;
    }
    if (pipe(fds) != 0) {
        fprintf(stderr, "capi-run: LAVA: pipe: %s\n", strerror(errno));
        return;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    argv[0] = (char *)lava->report;
    argv[1] = (char *)"--log";
    argv[2] = path;
    argv[3] = NULL;
    errno = posix_spawn(&pid, lava->report, &actions, NULL, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (errno != 0) {
        fprintf(stderr, "capi-run: %s: %s\n", lava->report, strerror(errno));
        close(fds[0]);
        return;
    }
    memset(&p, 0, sizeof p);
    p.lava = lava;
    p.set = set;
    read_lines(fds[0], call_line, &p);
    close(fds[0]);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
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
    /* Read as the report reads rows: a CR before the newline is part of the
     * line end. */
    if (length > 0 && line[length - 1] == '\r') {
        --length;
    }
    if (cut || result_sheet_read_row(line, length, &name, &pass) != NULL) {
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
