/* What a session prints (see console.h). */
#define _POSIX_C_SOURCE 200809L

#include "console.h"

#include "bundle.h"
#include "text.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

/* Room kept for the summary: a flood that fills the file system still
 * leaves a whole summary. */
#define SUMMARY_ROOM (64 * 1024)

int capi_console_open(capi_console *console, capi_folder *folder, int out)
{
    console->out = out;
    console->folder = folder;
    console->failed = 0;
    return capi_kept_open(folder, CAPI_SESSION_SUMMARY, SUMMARY_ROOM, &console->summary);
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

void capi_console_begin(capi_console *console, size_t tests, const char *const *labels, size_t label_count)
{
    size_t i;
    capi_console_printf(console, "TAP version 14\n1..%zu\n", tests);
    capi_console_printf(console, "# results in %s\n", console->folder->path);
    for (i = 0; i < label_count; ++i) {
        char line[CAPI_SESSION_TEXT_MAX * 4 + 64];
        const size_t length = capi_session_format_label(labels[i], line, sizeof line);
        capi_console_write(console, line, length);
    }
}

void capi_console_point(capi_console *console, const capi_session_test *test)
{
    char point[CAPI_SESSION_POINT_MAX];
    capi_console_write(console, point, capi_session_format(test, point, sizeof point));
}

void capi_console_end(capi_console *console, unsigned points, unsigned not_ok, int bundle)
{
    capi_console_printf(console, "# %u test point%s: %u ok, %u not ok\n", points, points == 1 ? "" : "s",
                        points - not_ok, not_ok);
    if (capi_kept_close(&console->summary) != 0) {
        summary_failed(console);
    }
    if (bundle && capi_bundle_write(console->out, console->folder->path,
                                    (const char *const *)console->folder->names, console->folder->count) != 0) {
        fprintf(stderr, "capi-run: console bundle: %s\n", strerror(errno));
        console->failed = 1;
    }
}
