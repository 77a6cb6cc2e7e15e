/* The session summary: formatting a test point, reading the summary file. */
#define _POSIX_C_SOURCE 200809L

#include "session.h"

#include "result_sheet_row.h"
#include "text.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Characters escaped besides the control bytes and the backslash: "#" in a
 * TAP description would begin a directive, '"' would end a YAML string. */
#define TAP_SPECIAL "#"
#define YAML_SPECIAL "\""

#define BLOCK_BEGIN "  ---"
#define BLOCK_END "  ..."

static const char *const kOutcomes[] = {
    "passed", "failed", "crashed", "timed out", "not started", "interrupted", "restarted", "no restart", "restart loop",
};

const char *capi_outcome_name(capi_outcome outcome)
{
    return (unsigned)outcome < sizeof kOutcomes / sizeof kOutcomes[0] ? kOutcomes[outcome] : "unknown";
}

static unsigned long long dropped(const capi_session_test *test)
{
    return test->out.dropped + test->err.dropped + test->rows_dropped;
}

int capi_session_ok(const capi_session_test *test)
{
    return test->outcome == CAPI_PASSED && dropped(test) == 0 && test->rows_failed == 0;
}

/* A growing text in a fixed buffer; `failed` once anything did not fit. */
typedef struct {
    char *text;
    size_t size;
    size_t length;
    int failed;
} buffer;

static void put(buffer *b, const char *format, ...) __attribute__((format(printf, 2, 3)));
static void put(buffer *b, const char *format, ...)
{
    va_list args;
    int n;
    if (b->failed) {
        return;
    }
    va_start(args, format);
    n = vsnprintf(b->text + b->length, b->size - b->length, format, args);
    va_end(args);
    if (n < 0 || (size_t)n >= b->size - b->length) {
        b->failed = 1;
        return;
    }
    b->length += (size_t)n;
}

static void put_escaped_bytes(buffer *b, const char *text, size_t length, const char *special)
{
    size_t n;
    if (b->failed) {
        return;
    }
    n = capi_escape(text, length, special, b->text + b->length, b->size - b->length);
    if (n == (size_t)-1) {
        b->failed = 1;
        return;
    }
    b->length += n;
}

static void put_escaped(buffer *b, const char *text, const char *special)
{
    put_escaped_bytes(b, text, strlen(text), special);
}

static void put_string(buffer *b, const char *key, const char *value)
{
    if (value[0] != '\0') {
        put(b, "  %s: \"", key);
        put_escaped(b, value, YAML_SPECIAL);
        put(b, "\"\n");
    }
}

static void put_stream(buffer *b, const char *key, const capi_stream *stream)
{
    put_string(b, key, stream->file);
    put(b, "  %s_bytes: %llu\n  %s_dropped: %llu\n", key, stream->bytes, key, stream->dropped);
    if (stream->error[0] != '\0') {
        put(b, "  %s_error: \"", key);
        put_escaped(b, stream->error, YAML_SPECIAL);
        put(b, "\"\n");
    }
}

size_t capi_session_what(const capi_session_test *test, char *out, size_t size)
{
    buffer b = {out, size, 0, 0};
    const int failed_rows_only = test->outcome == CAPI_PASSED && test->rows_failed > 0;
    if (capi_session_ok(test)) {
        put(&b, "%s", "");
        return 0;
    }
    if (test->outcome == CAPI_RESTARTED) {
        put(&b, "gateway restarted during the test");
    } else if (test->outcome == CAPI_NO_RESTART) {
        put(&b, "expected a restart");
    } else if (test->outcome == CAPI_RESTART_LOOP) {
        put(&b, "gateway restarted %u times during the test: a restart loop, the session ends", test->restarts);
    } else if (!failed_rows_only) {
        put(&b, "%s", capi_outcome_name(test->outcome));
    }
    if (test->outcome == CAPI_FAILED && test->exit_status >= 0) {
        put(&b, ": exit %d", test->exit_status);
    } else if (test->outcome == CAPI_CRASHED) {
        put(&b, ": %s", test->signal);
    } else if (test->outcome == CAPI_NOT_STARTED) {
        put(&b, ": %s", test->reason);
    }
    if (test->rows_failed > 0) {
        put(&b, "%sfailed rows: %lu", failed_rows_only ? "" : ", ", test->rows_failed);
    }
    if (dropped(test) > 0) {
        put(&b, ", %llu bytes dropped", dropped(test));
    }
    if (b.failed && size > 0) {
        /* Cut to fit: what fits of it. */
        out[size - 1] = '\0';
        return strlen(out);
    }
    return b.length;
}

size_t capi_session_subtest_head(const char *name, unsigned long rows, char *out, size_t size)
{
    buffer b = {out, size, 0, 0};
    put(&b, "# Subtest: ");
    put_escaped(&b, name, TAP_SPECIAL);
    put(&b, "\n    1..%lu\n", rows);
    return b.failed ? 0 : b.length;
}

size_t capi_session_subtest_row(unsigned long number, const char *line, size_t length, char *out, size_t size)
{
    buffer b = {out, size, 0, 0};
    size_t name_length = 0;
    int verdict = 0;
    const int row =
        result_sheet_read_row(line, result_sheet_line_length(line, length), &name_length, &verdict) == NULL;
    put(&b, "    %s %lu - ", row && verdict == 1 ? "ok" : "not ok", number);
    if (row) {
        put_escaped_bytes(&b, line, name_length, TAP_SPECIAL);
    } else {
        put(&b, "(not a row)");
    }
    put(&b, "\n");
    return b.failed ? 0 : b.length;
}

size_t capi_session_format(const capi_session_test *test, char *out, size_t size)
{
    buffer b = {out, size, 0, 0};
    const int ok = capi_session_ok(test);

    put(&b, "%s %u - ", ok ? "ok" : "not ok", test->number);
    put_escaped(&b, test->name, TAP_SPECIAL);
    if (!ok) {
        /* The directive: what happened, in a few words. */
        char what[CAPI_SESSION_TEXT_MAX + 128];
        capi_session_what(test, what, sizeof what);
        put(&b, " # ");
        put_escaped(&b, what, TAP_SPECIAL);
    }
    put(&b, "\n" BLOCK_BEGIN "\n  outcome: %s\n", capi_outcome_name(test->outcome));
    if (test->exit_status >= 0) {
        put(&b, "  exit: %d\n", test->exit_status);
    }
    if (test->signal[0] != '\0') {
        put(&b, "  signal: %s\n", test->signal);
    }
    put_string(&b, "reason", test->reason);
    if (test->restarts > 0) {
        put(&b, "  restarts: %u\n", test->restarts);
    }
    put(&b, "  seconds: %lu.%03lu\n", test->milliseconds / 1000, test->milliseconds % 1000);
    put_stream(&b, "stdout", &test->out);
    put_stream(&b, "stderr", &test->err);
    put(&b, "  rows: %lu\n  rows_first: %lu\n  rows_passed: %lu\n  rows_failed: %lu\n"
            "  rows_dropped: %llu\n" BLOCK_END "\n",
        test->rows, test->rows_first, test->rows_passed, test->rows_failed, test->rows_dropped);
    if (b.failed) {
        if (size > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    return b.length;
}

size_t capi_session_format_label(const char *label, char *out, size_t size)
{
    buffer b = {out, size, 0, 0};
    const char *equals = strchr(label, '=');
    if (equals == NULL) {
        return 0;
    }
    put(&b, CAPI_SESSION_LABEL_PREFIX "%.*s=", (int)(equals - label), label);
    put_escaped(&b, equals + 1, NULL);
    put(&b, "\n");
    return b.failed ? 0 : b.length;
}

size_t capi_session_format_plan(unsigned long number, const char *name, char *out, size_t size)
{
    buffer b = {out, size, 0, 0};
    put(&b, "%lu ", number);
    put_escaped(&b, name, TAP_SPECIAL);
    put(&b, "\n");
    return b.failed ? 0 : b.length;
}

long capi_session_read_plan(const char *path, void (*each)(unsigned long number, const char *name, void *data),
                            void *data)
{
    char line[4 * CAPI_SESSION_NAME_MAX + 32];
    char name[CAPI_SESSION_NAME_MAX + 1];
    long count = 0;
    int error;
    FILE *file = fopen(path, "r");
    if (file == NULL) {
        return -1;
    }
    while (fgets(line, sizeof line, file) != NULL) {
        const size_t length = strlen(line);
        char *space = strchr(line, ' ');
        unsigned long long number;
        size_t n;
        if (length == 0 || line[length - 1] != '\n' || space == NULL) {
            break;
        }
        line[length - 1] = '\0';
        *space = '\0';
        if (!capi_read_decimal(line, &number) || number != (unsigned long long)count + 1 ||
            (n = capi_unescape(space + 1, strlen(space + 1), name, sizeof name)) == (size_t)-1 || n != strlen(name)) {
            break;
        }
        ++count;
        if (each != NULL) {
            each((unsigned long)number, name, data);
        }
    }
    error = capi_close_read(file);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return count;
}

/* ---- Reading ---- */

typedef struct {
    const char *path;
    unsigned long line;
    int problems;
    capi_session_problem problem;
    void *data;
} reader;

static void complain(reader *r, const char *format, ...) __attribute__((format(printf, 2, 3)));
static void complain(reader *r, const char *format, ...)
{
    va_list args;
    ++r->problems;
    va_start(args, format);
    capi_problem_at(r->problem, r->data, r->path, r->line, format, args);
    va_end(args);
}

/* A YAML value written by put_string: "text" with escapes. */
static int read_string(const char *text, char *out, size_t size)
{
    const size_t length = strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"') {
        return 0;
    }
    return capi_unescape(text + 1, length - 2, out, size) != (size_t)-1;
}

static int read_stream_key(const char *key, const char *value, const char *prefix, capi_stream *stream)
{
    const size_t n = strlen(prefix);
    unsigned long long number;
    if (strncmp(key, prefix, n) != 0) {
        return -1;
    }
    key += n;
    if (strcmp(key, "") == 0) {
        return read_string(value, stream->file, sizeof stream->file);
    }
    if (strcmp(key, "_error") == 0) {
        return read_string(value, stream->error, sizeof stream->error);
    }
    if (!capi_read_decimal(value, &number)) {
        return 0;
    }
    if (strcmp(key, "_bytes") == 0) {
        stream->bytes = number;
    } else if (strcmp(key, "_dropped") == 0) {
        stream->dropped = number;
    }
    return 1;
}

/* One "key: value" line of the block. Unknown keys are passed over. */
static int read_key(capi_session_test *test, const char *key, const char *value)
{
    unsigned long long number = 0;
    int done;
    if (strcmp(key, "outcome") == 0) {
        size_t i;
        for (i = 0; i < sizeof kOutcomes / sizeof kOutcomes[0]; ++i) {
            if (strcmp(value, kOutcomes[i]) == 0) {
                test->outcome = (capi_outcome)i;
                return 1;
            }
        }
        return 0;
    }
    if (strcmp(key, "signal") == 0) {
        const size_t length = strlen(value);
        if (length == 0 || length >= sizeof test->signal) {
            return 0;
        }
        memcpy(test->signal, value, length + 1);
        return 1;
    }
    if (strcmp(key, "reason") == 0) {
        return read_string(value, test->reason, sizeof test->reason);
    }
    if ((done = read_stream_key(key, value, "stdout", &test->out)) >= 0 ||
        (done = read_stream_key(key, value, "stderr", &test->err)) >= 0) {
        return done;
    }
    if (strcmp(key, "seconds") == 0) {
        /* seconds.mmm: the milliseconds are three digits, "041" among them */
        const char *dot = strchr(value, '.');
        char whole[24];
        unsigned long fraction = 0;
        size_t i;
        if (dot == NULL || (size_t)(dot - value) >= sizeof whole || strlen(dot + 1) != 3) {
            return 0;
        }
        memcpy(whole, value, (size_t)(dot - value));
        whole[dot - value] = '\0';
        for (i = 1; i <= 3; ++i) {
            if (dot[i] < '0' || dot[i] > '9') {
                return 0;
            }
            fraction = fraction * 10 + (unsigned long)(dot[i] - '0');
        }
        if (!capi_read_decimal(whole, &number)) {
            return 0;
        }
        test->milliseconds = (unsigned long)(number * 1000 + fraction);
        return 1;
    }
    if (!capi_read_decimal(value, &number)) {
        return strcmp(key, "exit") != 0 && strncmp(key, "rows", 4) != 0 && strcmp(key, "restarts") != 0;
    }
    if (strcmp(key, "exit") == 0) {
        test->exit_status = number <= 255 ? (int)number : -1;
    } else if (strcmp(key, "rows") == 0) {
        test->rows = (unsigned long)number;
    } else if (strcmp(key, "rows_first") == 0) {
        test->rows_first = (unsigned long)number;
    } else if (strcmp(key, "rows_passed") == 0) {
        test->rows_passed = (unsigned long)number;
    } else if (strcmp(key, "rows_failed") == 0) {
        test->rows_failed = (unsigned long)number;
    } else if (strcmp(key, "rows_dropped") == 0) {
        test->rows_dropped = number;
    } else if (strcmp(key, "restarts") == 0) {
        test->restarts = number <= 0xffffffffUL ? (unsigned)number : 0;
    }
    return 1;
}

/* "ok N - name[ # directive]" or "not ok ...": number and name. */
static int read_point(const char *line, capi_session_test *test)
{
    const char *at;
    const char *end;
    char *number_end;
    unsigned long number;
    if (strncmp(line, "ok ", 3) == 0) {
        at = line + 3;
    } else if (strncmp(line, "not ok ", 7) == 0) {
        at = line + 7;
    } else {
        return 0;
    }
    if (*at < '1' || *at > '9') {
        return 0;
    }
    errno = 0;
    number = strtoul(at, &number_end, 10);
    if (errno != 0 || number > 0xffffffffUL || strncmp(number_end, " - ", 3) != 0) {
        return 0;
    }
    at = number_end + 3;
    /* The name ends at the first " #" that is not escaped. */
    for (end = at; *end != '\0'; ++end) {
        if (*end == '\\' && end[1] != '\0') {
            ++end;
        } else if (*end == ' ' && end[1] == '#') {
            break;
        }
    }
    memset(test, 0, sizeof *test);
    test->number = (unsigned)number;
    test->exit_status = -1;
    return end > at && capi_unescape(at, (size_t)(end - at), test->name, sizeof test->name) != (size_t)-1;
}

/* "# label KEY=VALUE": the key and the value unescaped; 0 when the line is not one. */
static int read_label(const char *line, char *key, char *value, size_t size)
{
    const char *at = line + sizeof CAPI_SESSION_LABEL_PREFIX - 1;
    const size_t length = strspn(at, CAPI_SESSION_LABEL_KEY_CHARS);
    size_t n;
    if (length == 0 || length >= size || at[length] != '=') {
        return 0;
    }
    memcpy(key, at, length);
    key[length] = '\0';
    at += length + 1;
    /* The value holds no NUL byte: it is handed on as a C string. */
    n = capi_unescape(at, strlen(at), value, size);
    return n != (size_t)-1 && n == strlen(value);
}

/* A line "HEAD" N "WHAT" ("s" when N is not 1) and maybe more: N. */
static int counted(const char *line, const char *head, const char *what, unsigned long long *n)
{
    char number[24];
    const size_t h = strlen(head);
    const size_t w = strlen(what);
    const char *at = line + h;
    size_t digits;
    if (strncmp(line, head, h) != 0) {
        return 0; /* and `at` may lie past the line's end */
    }
    digits = strspn(at, "0123456789");
    if (digits == 0 || digits >= sizeof number) {
        return 0;
    }
    memcpy(number, at, digits);
    number[digits] = '\0';
    at += digits;
    if (!capi_read_decimal(number, n) || strncmp(at, what, w) != 0) {
        return 0;
    }
    at += w;
    return *n == 1 ? (*at == '\0' || *at == ':') : *at == 's';
}

int capi_session_read(const char *path, capi_session_each each, capi_session_problem problem, void *data)
{
    capi_session_handlers handlers;
    memset(&handlers, 0, sizeof handlers);
    handlers.each = each;
    handlers.problem = problem;
    handlers.data = data;
    return capi_session_read_all(path, &handlers);
}

int capi_session_read_all(const char *path, const capi_session_handlers *handlers)
{
    const capi_session_each each = handlers->each;
    void *const data = handlers->data;
    reader r = {path, 0, 0, handlers->problem, handlers->data};
    char line[4096];
    capi_session_test test;
    enum { BEFORE, POINT, BLOCK } state = BEFORE;
    unsigned long plan = 0;
    int planned = 0;
    unsigned long points = 0;
    int stop = 0;
    int error;
    FILE *file = fopen(path, "r");

    if (file == NULL) {
        return -1;
    }
    memset(&test, 0, sizeof test);
    while (!stop && fgets(line, sizeof line, file) != NULL) {
        size_t length = strlen(line);
        ++r.line;
        if (length == 0 || line[length - 1] != '\n') {
            int c;
            if (length + 1 < sizeof line) {
                complain(&r, "last line without newline");
                break;
            }
            while ((c = fgetc(file)) != EOF && c != '\n') {
            }
            complain(&r, "line too long");
            continue;
        }
        line[--length] = '\0';
        if (r.line == 1) {
            if (strcmp(line, "TAP version 14") != 0) {
                complain(&r, "not a session summary (no \"TAP version 14\")");
                break;
            }
            continue;
        }
        if (state == BLOCK) {
            char *colon;
            if (strcmp(line, BLOCK_END) == 0) {
                state = BEFORE;
                ++points;
                stop = each != NULL ? each(&test, data) : 0;
            } else if (strncmp(line, "  ", 2) != 0 || (colon = strstr(line + 2, ": ")) == NULL) {
                complain(&r, "not a line of a test point's details");
            } else {
                *colon = '\0';
                if (!read_key(&test, line + 2, colon + 2)) {
                    complain(&r, "bad value of %s", line + 2);
                }
            }
            continue;
        }
        if (state == POINT) {
            if (strcmp(line, BLOCK_BEGIN) == 0) {
                state = BLOCK;
                continue;
            }
            complain(&r, "test point without its details");
            state = BEFORE;
        }
        {
            /* The last line: the count of test points. */
            unsigned long long n;
            if (counted(line, "# ", " test point", &n)) {
                if (handlers->end != NULL) {
                    handlers->end((unsigned long)n, data);
                }
                continue;
            }
        }
        if (strncmp(line, CAPI_SESSION_LABEL_PREFIX, sizeof CAPI_SESSION_LABEL_PREFIX - 1) == 0) {
            char key[CAPI_SESSION_TEXT_MAX + 1];
            char value[CAPI_SESSION_TEXT_MAX + 1];
            if (!read_label(line, key, value, sizeof value)) {
                complain(&r, "bad label line");
            } else if (handlers->label != NULL) {
                handlers->label(key, value, data);
            }
            continue;
        }
        /* Comments, and the rows' subtests before a point (they are the
         * sheet's rows: the folder's sheet holds them). */
        if (line[0] == '#' || length == 0 || strncmp(line, "    ", 4) == 0) {
            continue;
        }
        if (strncmp(line, "1..", 3) == 0 && !planned) {
            unsigned long long n = 0;
            planned = capi_read_decimal(line + 3, &n);
            plan = (unsigned long)n;
            if (!planned) {
                complain(&r, "bad plan");
            }
        } else if (read_point(line, &test)) {
            if (test.number != points + 1) {
                complain(&r, "test point %u where %lu was due", test.number, points + 1);
            }
            state = POINT;
        } else {
            complain(&r, "not a line of a session summary");
        }
    }
    error = capi_close_read(file);
    if (error != 0) {
        errno = error;
        return -1;
    }
    if (stop) {
        return stop;
    }
    if (state != BEFORE) {
        complain(&r, "the last test point breaks off");
    }
    if (!planned) {
        complain(&r, "no plan");
    } else if (plan != points) {
        complain(&r, "%lu test point%s of the %lu planned", points, points == 1 ? "" : "s", plan);
    }
    return r.problems;
}
