/* What a session prints, and the bundle as it goes (see console.h). */
#define _POSIX_C_SOURCE 200809L

#include "console.h"

#include "bundle.h"
#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* Room kept for the summary: a flood that fills the file system still
 * leaves a whole summary. */
#define SUMMARY_ROOM (64 * 1024)

/* A bundle that cannot be written is said once; the session then fails. */
static void bundle_failed(capi_console *console, int rc)
{
    if (rc != 0 && console->bundle) {
        fprintf(stderr, "capi-run: console bundle: %s\n", strerror(errno));
        console->bundle = 0;
        console->failed = 1;
    }
}

static void init(capi_console *console, capi_folder *folder, int out, int bundle)
{
    memset(console, 0, sizeof *console);
    console->out = out;
    console->folder = folder;
    console->bundle = bundle;
}

int capi_console_open(capi_console *console, capi_folder *folder, int out, int bundle)
{
    init(console, folder, out, bundle);
    capi_bundle_new_session(console->writer.session);
    return capi_kept_open(folder, CAPI_SESSION_SUMMARY, SUMMARY_ROOM, &console->summary);
}

int capi_console_resume(capi_console *console, capi_folder *folder, int out, int bundle, const char *session,
                        unsigned start, off_t summary_bytes)
{
    init(console, folder, out, bundle);
    if (capi_kept_reopen(folder, CAPI_SESSION_SUMMARY, summary_bytes, &console->summary) != 0) {
        return -1;
    }
    if (bundle) {
        bundle_failed(console, capi_bundle_begin(&console->writer, out, session, start));
    }
    memcpy(console->writer.session, session, 17);
    return 0;
}

int capi_console_sync(capi_console *console)
{
    return fsync(console->summary.fd);
}

/* The summary's bytes from `from` to its end so far, as a piece of a part. */
static capi_bundle_piece summary_piece(const capi_console *console, off_t from)
{
    capi_bundle_piece piece;
    memset(&piece, 0, sizeof piece);
    piece.name = CAPI_SESSION_SUMMARY;
    piece.append = 1;
    piece.fd = console->summary.fd;
    piece.offset = from;
    piece.size = (unsigned long long)(console->summary.length - from);
    return piece;
}

static void summary_failed(capi_console *console)
{
    if (!console->failed) {
        console->failed = 1;
        fprintf(stderr, "capi-run: %s/%s: %s\n", console->folder->path, CAPI_SESSION_SUMMARY, strerror(errno));
    }
}

void capi_console_write(capi_console *console, const char *text, size_t length)
{
    (void)capi_write_all(console->out, text, length, NULL);
    if (console->summary.fd >= 0 && capi_kept_write(&console->summary, text, length) != 0) {
        summary_failed(console);
    }
}

void capi_console_printf(capi_console *console, const char *format, ...)
{
    char line[PATH_MAX + 128];
    va_list args;
    int n;
    va_start(args, format);
    n = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0) {
        capi_console_write(console, line, (size_t)n < sizeof line ? (size_t)n : sizeof line - 1);
    }
}

void capi_console_begin(capi_console *console, const char *const *names, size_t count, const char *const *labels,
                        size_t label_count)
{
    capi_bundle_piece pieces[3];
    char line[CAPI_SESSION_TEXT_MAX * 4 + 64];
    capi_kept_file plan = {-1, 0};
    size_t i;
    capi_console_printf(console, "TAP version 14\n1..%zu\n", count);
    capi_console_printf(console, "# results in %s\n", console->folder->path);
    for (i = 0; i < label_count; ++i) {
        capi_console_write(console, line, capi_session_format_label(labels[i], line, sizeof line));
    }
    /* The plan: what a folder cut short still names. */
    if (capi_kept_open(console->folder, CAPI_SESSION_PLAN, 0, &plan) == 0) {
        for (i = 0; i < count; ++i) {
            const size_t n = capi_session_format_plan(i + 1, names[i], line, sizeof line);
            if (capi_kept_write(&plan, line, n) != 0) {
                break;
            }
        }
    }
    if (plan.fd < 0 || i < count) {
        fprintf(stderr, "capi-run: %s/%s: %s\n", console->folder->path, CAPI_SESSION_PLAN, strerror(errno));
        console->failed = 1;
    }
    if (console->bundle) {
        memset(pieces, 0, sizeof pieces);
        pieces[0] = summary_piece(console, 0);
        pieces[1].name = CAPI_SESSION_PLAN;
        pieces[1].fd = plan.fd;
        pieces[1].size = (unsigned long long)(plan.fd >= 0 ? plan.length : 0);
        pieces[2].name = CAPI_SESSION_SHEET;
        pieces[2].append = 1;
        pieces[2].bytes = "";
        bundle_failed(console, capi_bundle_begin(&console->writer, console->out, console->writer.session, 1) ||
                                   capi_bundle_part(&console->writer, 0, pieces, 3));
    }
    if (plan.fd >= 0) {
        capi_kept_close(&plan);
    }
}

void capi_console_starting(capi_console *console, unsigned number, const char *name)
{
    if (console->bundle) {
        bundle_failed(console, capi_bundle_starting(&console->writer, number, name));
    }
}

/* The rows' subtest: each line of the copy from `from` to `to`. */
static void subtest(capi_console *console, const capi_session_test *test, const capi_kept_file *rows, off_t from,
                    off_t to)
{
    char block[16 * 1024];
    char line[CAPI_SESSION_POINT_MAX];
    unsigned long number = 0;
    size_t have = 0;
    int end = 0;
    capi_console_write(console, line, capi_session_subtest_head(test->name, test->rows, line, sizeof line));
    while (!end) {
        ssize_t got = 0;
        size_t start = 0;
        size_t i;
        if (from < to) {
            const size_t want = sizeof block - have;
            got = pread(rows->fd, block + have, (size_t)(to - from) < want ? (size_t)(to - from) : want, from);
            if (got < 0 && errno == EINTR) {
                continue;
            }
        }
        if (got > 0) {
            from += got;
            have += (size_t)got;
        } else {
            end = 1; /* all read (or what cannot be read ends it): what is left is the last line */
        }
        for (i = 0; i < have; ++i) {
            if (block[i] == '\n' || (end && i + 1 == have) || (start == 0 && i + 1 == sizeof block)) {
                capi_console_write(console, line,
                                   capi_session_subtest_row(++number, block + start, i + 1 - start, line, sizeof line));
                start = i + 1;
            }
        }
        memmove(block, block + start, have - start);
        have -= start;
    }
}

/* A file of the test's own, as a piece of its part. */
static void file_piece(capi_console *console, const capi_stream *stream, capi_bundle_piece *piece)
{
    struct stat status;
    memset(piece, 0, sizeof *piece);
    piece->name = stream->file;
    piece->fd = openat(console->folder->fd, stream->file, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (piece->fd >= 0 && fstat(piece->fd, &status) == 0) {
        piece->size = (unsigned long long)status.st_size;
    }
}

off_t capi_console_point(capi_console *console, const capi_session_test *test, const capi_kept_file *rows,
                         off_t from, off_t to)
{
    char point[CAPI_SESSION_POINT_MAX];
    const off_t summary_from = console->summary.length;
    if (test->rows > 0 && rows != NULL && rows->fd >= 0 && to > from) {
        subtest(console, test, rows, from, to);
    }
    capi_console_write(console, point, capi_session_format(test, point, sizeof point));
    return summary_from;
}

void capi_console_part(capi_console *console, const capi_session_test *test, off_t summary_from,
                       const capi_kept_file *rows, off_t from, off_t to)
{
    capi_bundle_piece pieces[4];
    size_t count = 1;
    size_t files;
    size_t i;
    if (!console->bundle) {
        return;
    }
    /* The test's part: its point, its files, its rows. */
    pieces[0] = summary_piece(console, summary_from);
    if (test->out.file[0] != '\0') {
        file_piece(console, &test->out, &pieces[count++]);
    }
    if (test->err.file[0] != '\0') {
        file_piece(console, &test->err, &pieces[count++]);
    }
    files = count;
    memset(&pieces[count], 0, sizeof pieces[count]);
    pieces[count].name = CAPI_SESSION_SHEET;
    pieces[count].append = 1;
    pieces[count].fd = rows != NULL ? rows->fd : -1;
    pieces[count].offset = from;
    pieces[count].size = to > from && rows != NULL ? (unsigned long long)(to - from) : 0;
    pieces[count].bytes = pieces[count].size == 0 ? "" : NULL;
    ++count;
    bundle_failed(console, capi_bundle_part(&console->writer, test->number, pieces, count));
    for (i = 1; i < files; ++i) {
        if (pieces[i].fd >= 0) {
            close(pieces[i].fd);
        }
    }
}

void capi_console_end(capi_console *console, unsigned points, unsigned not_ok, unsigned restarts)
{
    const off_t from = console->summary.length;
    if (restarts > 0) {
        capi_console_printf(console, "# the gateway restarted %u time%s\n", restarts, restarts == 1 ? "" : "s");
    }
    capi_console_printf(console, "# %u test point%s: %u ok, %u not ok\n", points, points == 1 ? "" : "s",
                        points - not_ok, not_ok);
    if (console->bundle) {
        const capi_bundle_piece last = summary_piece(console, from);
        bundle_failed(console, capi_bundle_part(&console->writer, points + 1UL, &last, 1) ||
                                   capi_bundle_end(&console->writer, points + 2UL));
    }
    if (capi_kept_close(&console->summary) != 0) {
        summary_failed(console);
    }
}
