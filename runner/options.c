/* capi-run's command line (see options.h). */
#define _GNU_SOURCE

#include "options.h"

#include "fieldaudit_version.h"
#include "session.h"
#include "text.h"

#include <errno.h>
#include <getopt.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

/* Lines of the usage stay within this width; the next ones are indented
 * under the first option. */
#define USAGE_WIDTH 88

enum {
    OPT_RESULTS = 1,
    OPT_TIMEOUT,
    OPT_MAX_OUTPUT,
    OPT_SHEET,
    OPT_BUSPROBE,
    OPT_NO_BUSPROBE,
    OPT_CONSOLE,
    OPT_LAVA,
    OPT_LABEL,
    OPT_JOURNAL,
    OPT_RESTARTS,
    OPT_RESTART_WAIT,
    OPT_HELP,
    OPT_VERSION
};

/* The usage line names the options in this order; an option that excludes
 * the one before it shares its brackets ("[--busprobe PATH | --no-busprobe]"). */
static const struct {
    const char *name;
    const char *argument; /* NULL: it takes no value */
    int id;
    int repeatable;
    int excludes_previous;
    const char *help;
} kOptions[] = {
    {"results", "DIR", OPT_RESULTS, 0, 0, "Make the results folder DIR (default /tmp/capi-run; DIR.1, ... when it exists)"},
    {"timeout", "SECONDS", OPT_TIMEOUT, 0, 0, "Time each test may run (default 600)"},
    {"max-output", "BYTES", OPT_MAX_OUTPUT, 0, 0, "Bytes kept of each test's output, error and rows (default 4194304)"},
    {"sheet", "FILE", OPT_SHEET, 0, 0, "The result sheet the tests append rows to (default: the kit's standard sheet)"},
    {"busprobe", "PATH", OPT_BUSPROBE, 0, 0, "The busprobe to run last (default: the one beside capi-run)"},
    {"no-busprobe", NULL, OPT_NO_BUSPROBE, 0, 1, "Run no busprobe"},
    {"console", NULL, OPT_CONSOLE, 0, 0, "Also print the results folder on standard output as a console bundle"},
    {"lava", NULL, OPT_LAVA, 0, 0, "Report each test to LAVA (default: when lava-test-case is on the PATH)"},
    {"label", "KEY=VALUE", OPT_LABEL, 1, 0, "Name the session in its summary, e.g. board=gw2 build=4.1.7 (repeatable)"},
    {"journal", "FILE", OPT_JOURNAL, 0, 0, "Keep a journal in FILE, on storage that survives a restart: run again, the session goes on"},
    {"restarts", "NAME", OPT_RESTARTS, 1, 0, "Test NAME restarts the gateway: it runs again after the restart (repeatable)"},
    {"restart-wait", "SECONDS", OPT_RESTART_WAIT, 0, 0, "Time such a test's restart may take after it ended (default 10)"},
    {"help", NULL, OPT_HELP, 0, 0, "Show this help and exit"},
    {"version", NULL, OPT_VERSION, 0, 0, "Show the version and exit"},
};
#define OPTION_COUNT (sizeof kOptions / sizeof kOptions[0])

void capi_run_options_defaults(capi_run_options *options, const char *sheet)
{
    memset(options, 0, sizeof *options);
    options->results = "/tmp/capi-run";
    options->timeout_ms = 600ULL * 1000ULL;
    options->max_output = 4ULL * 1024 * 1024;
    options->restart_wait_ms = 10ULL * 1000ULL;
    options->sheet = sheet;
}

/* Appends `word` to the usage line in `line` (its current width in *width),
 * starting a new indented line where it would pass USAGE_WIDTH. */
static void usage_word(FILE *out, size_t *width, const char *word)
{
    const size_t length = strlen(word);
    if (*width + 1 + length > USAGE_WIDTH) {
        fputs("\n               ", out);
        *width = 15;
    }
    fprintf(out, " %s", word);
    *width += 1 + length;
}

/* "--NAME" or "--NAME ARGUMENT" of option `i`; its length. */
static size_t option_text(size_t i, char *out, size_t size)
{
    const int n = snprintf(out, size, "--%s%s%s", kOptions[i].name, kOptions[i].argument != NULL ? " " : "",
                           kOptions[i].argument != NULL ? kOptions[i].argument : "");
    return n > 0 && (size_t)n < size ? (size_t)n : 0;
}

static void usage(FILE *out)
{
    char word[128];
    size_t width = strlen("usage: capi-run");
    size_t i;
    fputs("usage: capi-run", out);
    for (i = 0; i < OPTION_COUNT; ++i) {
        const int joined = i + 1 < OPTION_COUNT && kOptions[i + 1].excludes_previous;
        size_t n = 1;
        word[0] = '[';
        n += option_text(i, word + n, sizeof word - n);
        if (joined) {
            ++i;
            n += (size_t)snprintf(word + n, sizeof word - n, " | ");
            n += option_text(i, word + n, sizeof word - n);
        }
        snprintf(word + n, sizeof word - n, "]%s", kOptions[i].repeatable ? "..." : "");
        usage_word(out, &width, word);
    }
    usage_word(out, &width, "TEST...");
    fputc('\n', out);
}

static void help(FILE *out)
{
    size_t i;
    usage(out);
    fputs("\n"
          "Runs a test session on the gateway: each TEST (a program, or a folder whose\n"
          "programs run in the byte order of their names) in a process group of its own,\n"
          "its standard output and error kept in the results folder, the rows it appends\n"
          "to the result sheet copied there as its rows; busprobe last. Reports each test\n"
          "as a TAP version 14 test point on standard output and in the results folder.\n"
          "\n"
          "Options:\n",
          out);
    for (i = 0; i < OPTION_COUNT; ++i) {
        char left[64];
        option_text(i, left, sizeof left);
        fprintf(out, "  %-20s %s\n", left, kOptions[i].help);
    }
    fputs("\n"
          "Exit status: 0 every test point ok, 1 otherwise, 2 usage or set-up error.\n",
          out);
}

static int usage_error(FILE *err, const char *format, ...) __attribute__((format(printf, 2, 3)));
static int usage_error(FILE *err, const char *format, ...)
{
    va_list args;
    fputs("capi-run: ", err);
    va_start(args, format);
    vfprintf(err, format, args);
    va_end(args);
    fputc('\n', err);
    usage(err);
    return 2;
}

/* Seconds above 0, as milliseconds (at least 1). */
static int read_seconds(const char *text, unsigned long long *ms)
{
    char *end;
    double seconds;
    errno = 0;
    seconds = strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(seconds > 0) || seconds > 86400.0 * 365) {
        return 0;
    }
    *ms = (unsigned long long)(seconds * 1000 + 0.5);
    if (*ms == 0) {
        *ms = 1;
    }
    return 1;
}

/* KEY=VALUE, KEY made of letters, digits and "._-", short enough for the
 * summary's reader. */
static int label_ok(const char *label)
{
    const char *equals = strchr(label, '=');
    return equals != NULL && equals > label && strlen(label) <= CAPI_SESSION_TEXT_MAX &&
           strspn(label, CAPI_SESSION_LABEL_KEY_CHARS) == (size_t)(equals - label);
}

int capi_run_options_read(int argc, char **argv, capi_run_options *options, FILE *out, FILE *err)
{
    struct option longs[OPTION_COUNT + 1];
    size_t i;
    int c;

    for (i = 0; i < OPTION_COUNT; ++i) {
        longs[i].name = kOptions[i].name;
        longs[i].has_arg = kOptions[i].argument != NULL ? required_argument : no_argument;
        longs[i].flag = NULL;
        longs[i].val = kOptions[i].id;
    }
    memset(&longs[i], 0, sizeof longs[i]);

    /* "+": the options end at the first TEST; ":": a missing value is ':'. */
    opterr = 0;
    optind = 1;
    while ((c = getopt_long(argc, argv, "+:", longs, NULL)) != -1) {
        switch (c) {
        case OPT_RESULTS:
            options->results = optarg;
            break;
        case OPT_TIMEOUT:
            if (!read_seconds(optarg, &options->timeout_ms)) {
                return usage_error(err, "%s", "--timeout takes a number of seconds above 0");
            }
            break;
        case OPT_MAX_OUTPUT:
            if (!capi_read_decimal(optarg, &options->max_output)) {
                return usage_error(err, "%s", "--max-output takes a number of bytes");
            }
            break;
        case OPT_SHEET:
            options->sheet = optarg;
            break;
        case OPT_BUSPROBE:
            options->busprobe = optarg;
            break;
        case OPT_NO_BUSPROBE:
            options->no_busprobe = 1;
            break;
        case OPT_CONSOLE:
            options->console = 1;
            break;
        case OPT_LAVA:
            options->lava = 1;
            break;
        case OPT_LABEL:
            if (!label_ok(optarg)) {
                return usage_error(err, "--label %s: give KEY=VALUE (KEY of letters, digits and ._-; at most 255 bytes in all)", optarg);
            }
            if (options->label_count == CAPI_RUN_LABELS_MAX) {
                return usage_error(err, "too many labels (at most %d)", CAPI_RUN_LABELS_MAX);
            }
            options->labels[options->label_count++] = optarg;
            break;
        case OPT_JOURNAL:
            options->journal = optarg;
            break;
        case OPT_RESTARTS:
            if (options->restart_count == CAPI_RUN_RESTARTS_MAX) {
                return usage_error(err, "too many --restarts (at most %d)", CAPI_RUN_RESTARTS_MAX);
            }
            options->restarts[options->restart_count++] = optarg;
            break;
        case OPT_RESTART_WAIT:
            if (!read_seconds(optarg, &options->restart_wait_ms)) {
                return usage_error(err, "%s", "--restart-wait takes a number of seconds above 0");
            }
            break;
        case OPT_HELP:
            help(out);
            return 0;
        case OPT_VERSION:
            fputs("capi-run " FIELDAUDIT_VERSION "\n", out);
            return 0;
        case ':':
            return usage_error(err, "%s needs a value", argv[optind - 1]);
        default:
            return usage_error(err, "unknown option %s", argv[optind - 1]);
        }
    }
    if (options->busprobe != NULL && options->no_busprobe) {
        return usage_error(err, "%s", "--busprobe and --no-busprobe exclude each other");
    }
    if (optind >= argc) {
        return usage_error(err, "%s", "no TEST given");
    }
    if (options->restart_count > 0 && options->journal == NULL) {
        return usage_error(err, "%s", "--restarts needs --journal: the session must outlive the restart");
    }
    options->tests = argv + optind;
    options->test_count = (size_t)(argc - optind);
    return -1;
}
