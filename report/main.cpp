// capi-report: turns what test runs leave behind (result sheets, the captured
// output of test programs, capi-run results folders) into one report on
// standard output, the problems of the inputs on standard error and, with
// --junit, --tap, --cases or --html, files; with --baseline or --known, the
// report is what changed and what is known (triage.h).
//
//   capi-report [--junit FILE] ... [--log CAPTURED_OUTPUT]... [--unpack DIR CAPTURE]...
//               [--baseline BASE] [--baseline-log LOG] [--known FILE]
//               [--help] [--version] [SHEET | DIR | -]...
//
// Exit status: 0 when every row name's latest outcome is pass, every logged
// call passed and every test of a session passed; 1 when something failed,
// a line was malformed, stray or damaged, or an input holds nothing; 2 on a
// usage error, an input that cannot be read or a file that cannot be written.
// With a comparison, 1 only when a failure is new and not known; 2 also for
// a baseline or a known-failures file that cannot be read.
//
// The input and output options come from the table in render.h; the usage
// line and --help are made from it here, in plain ASCII whatever the locale.
#include <errno.h>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "fieldaudit_version.h"
#include "render.h"
#include "text.h"
#include "triage.h"

namespace {

using capireport::kOptionCount;
using capireport::kOptions;

const char kProgram[] = "capi-report";

// An input option may be given many times; an output or a setting once.
bool repeatable(const capireport::Option &o) { return o.output == nullptr && o.setting == capireport::kNoSetting; }

// "Usage: capi-report [--junit FILE] [--log CAPTURED_OUTPUT]... ... [SHEET | DIR | -]...\n"
void usage(GString *out) {
    g_string_append_printf(out, "Usage: %s", kProgram);
    for (const capireport::Option &o : kOptions) {
        g_string_append_printf(out, " [--%s %s]%s", o.name, o.argument, repeatable(o) ? "..." : "");
    }
    g_string_append(out, " [--help] [--version] [SHEET | DIR | -]...\n");
}

void help(GString *out) {
    usage(out);
    g_string_append(out,
                    "\n"
                    "Reports the rows of result sheets, the checker calls of captured test output and\n"
                    "the tests of capi-run results folders: per row name its runs, passes, failures\n"
                    "and latest outcome; per call its verdict and the fields that failed; per test\n"
                    "what happened to it, its calls and its rows. One JUnit test suite per input file\n"
                    "and per test of a session.\n"
                    "\n"
                    "Options:\n");
    for (const capireport::Option &o : kOptions) {
        char *left = g_strdup_printf("--%s %s", o.name, o.argument);
        g_string_append_printf(out, "  %-24s %s\n", left, o.help);
        g_free(left);
    }
    g_string_append_printf(out, "  %-24s %s\n  %-24s %s\n", "--help", "Show this help and exit", "--version",
                           "Show the version and exit");
    g_string_append(out,
                    "\n"
                    "Arguments: a result sheet, a capi-run results folder, or - for standard input\n"
                    "(a sheet; --log - reads a captured output from it). An output FILE given as -\n"
                    "goes to standard output in place of the text report.\n"
                    "\n"
                    "Exit status: 0 all passed, 1 something failed, 2 usage error, an input that\n"
                    "cannot be read or a file that cannot be written. With --baseline or --known the\n"
                    "report lists what changed and what is known, and 1 means a failure that is new\n"
                    "and not known.\n");
}

bool put(FILE *stream, const GString *text) {
    return fwrite(text->str, 1, text->len, stream) == text->len && fflush(stream) == 0;
}

int usage_error(const char *message) {
    GString *text = g_string_new(nullptr);
    g_string_append_printf(text, "%s: %s\n", kProgram, message);
    usage(text);
    put(stderr, text);
    g_string_free(text, TRUE);
    return 2;
}

// Writes the bytes into a new file beside `path` that then takes its name: a
// reader never sees half a report. errno tells why it failed.
bool write_whole(const char *path, const GString *text) {
    char *temporary = g_strconcat(path, ".XXXXXX", nullptr);
    const int fd = g_mkstemp_full(temporary, O_WRONLY | O_CLOEXEC, 0666);
    bool written = fd >= 0;
    if (written) {
        written = capi_write_all(fd, text->str, text->len, nullptr) == 0;
        const int failure = errno;
        written = close(fd) == 0 && written;
        if (written && rename(temporary, path) != 0) written = false;
        if (!written) {
            const int cause = errno ? errno : failure;
            g_unlink(temporary);
            errno = cause;
        }
    }
    g_free(temporary);
    return written;
}

bool write_file(const char *path, const capireport::Option &option, const capireport::Summary &summary) {
    GString *text = g_string_new(nullptr);
    option.output(summary, text);
    errno = 0;
    const bool written = write_whole(path, text);
    if (!written) {
        GString *message = g_string_new(nullptr);
        g_string_append_printf(message, "%s: cannot write the %s report to ", kProgram, option.what);
        capireport::render::append_shown(message, path);
        char *why = capireport::read_error_text(errno);
        g_string_append_printf(message, ": %s\n", why);
        g_free(why);
        put(stderr, message);
        g_string_free(message, TRUE);
    }
    g_string_free(text, TRUE);
    return written;
}

// The output given as "-", which standard output carries; null when none is.
capireport::Renderer standard_output(char *const files[]) {
    for (size_t i = 0; i < kOptionCount; ++i) {
        if (files[i] != nullptr && strcmp(files[i], "-") == 0) return kOptions[i].output;
    }
    return nullptr;
}

// The inputs given, in the order they are read.
struct Given {
    capireport::Kind kind;
    const char *path;
    const char *capture;  // --unpack: the console capture
};

// The comparison the settings ask for (--baseline, --known), read before
// the inputs; null where none is asked for. Sets `status` to 2 where one
// cannot be read.
capireport::Triage *comparison(char **const lists[], capireport::Catalog *catalog, int *status) {
    const char *baseline = nullptr, *known = nullptr;
    capireport::Setting kind = capireport::kNoSetting;
    for (size_t i = 0; i < kOptionCount; ++i) {
        if (kOptions[i].setting == capireport::kNoSetting || lists[i] == nullptr) continue;
        if (kOptions[i].setting == capireport::kKnownSetting) {
            known = lists[i][0];
        } else {
            baseline = lists[i][0];
            kind = kOptions[i].setting;
        }
    }
    if (baseline == nullptr && known == nullptr) return nullptr;
    GString *errors = g_string_new(nullptr);
    capireport::Triage *triage = capireport::triage_read(baseline, kind, known, catalog, errors);
    put(stderr, errors);
    g_string_free(errors, TRUE);
    if (triage == nullptr) *status = 2;
    return triage;
}

// Reads the inputs, renders the summary and writes the outputs; the exit
// status.
int report(const GArray *given, char *const files[], char **const lists[]) {
    capireport::Catalog *catalog = capireport::catalog_new();
    int status = 0;
    capireport::Triage *triage = comparison(lists, catalog, &status);
    if (status != 0) {
        capireport::catalog_free(catalog);
        return status;
    }
    GPtrArray *inputs = g_ptr_array_new();
    for (guint i = 0; i < given->len; ++i) {
        const Given &g = g_array_index(given, Given, i);
        g_ptr_array_add(inputs, g.kind == capireport::kSession ? capireport::read_session(g.path, g.capture, catalog)
                                                                : capireport::read_input(g.kind, g.path, catalog));
    }
    capireport::Summary *summary =
        capireport::summarize(reinterpret_cast<capireport::Input *const *>(inputs->pdata), inputs->len);
    if (triage != nullptr) {
        capireport::triage_compare(*triage, *summary);
        summary->triage = triage;
        summary->status = triage->status;
    }

    GString *err = g_string_new(nullptr);
    capireport::write_problems(*summary, err);
    put(stderr, err);
    // An output given as "-" goes to standard output in place of the text report.
    GString *out = g_string_new(nullptr);
    const capireport::Renderer standard = standard_output(files);
    (standard != nullptr ? standard : capireport::write_text)(*summary, out);
    status = summary->status;
    if (!put(stdout, out)) {
        fprintf(stderr, "%s: cannot write the report to standard output\n", kProgram);
        status = 2;
    }
    for (size_t i = 0; i < kOptionCount; ++i) {
        if (files[i] != nullptr && strcmp(files[i], "-") != 0 && !write_file(files[i], kOptions[i], *summary)) {
            status = 2;
        }
    }
    g_string_free(out, TRUE);
    g_string_free(err, TRUE);
    capireport::summary_free(summary);
    capireport::triage_free(triage);
    for (guint i = 0; i < inputs->len; ++i) capireport::input_free(static_cast<capireport::Input *>(inputs->pdata[i]));
    g_ptr_array_free(inputs, TRUE);
    capireport::catalog_free(catalog);
    return status;
}

// Takes the options of two words (--unpack DIR CAPTURE, or --unpack=DIR
// CAPTURE) out of the arguments before GLib reads the rest; up to "--".
// Null, or the usage error.
char *take_pairs(int *argc, char **argv, char **pairs[]) {
    int kept = 1;
    bool options = true;
    for (int i = 1; i < *argc; ++i) {
        const char *arg = argv[i];
        if (strcmp(arg, "--") == 0) options = false;
        const capireport::Option *pair = nullptr;
        const char *inline_value = nullptr;
        size_t index = 0;
        for (size_t k = 0; options && pair == nullptr && k < kOptionCount; ++k) {
            const size_t n = strlen(kOptions[k].name);
            if (kOptions[k].arguments != 2 || strncmp(arg, "--", 2) != 0 || strncmp(arg + 2, kOptions[k].name, n) != 0) {
                continue;
            }
            if (arg[2 + n] == '\0' || arg[2 + n] == '=') {
                pair = &kOptions[k];
                index = k;
                if (arg[2 + n] == '=') inline_value = arg + 3 + n;
            }
        }
        if (pair == nullptr) {
            argv[kept++] = argv[i];
            continue;
        }
        const int needed = inline_value ? 1 : 2;
        if (i + needed >= *argc) return g_strdup_printf("Missing argument for --%s (%s)", pair->name, pair->argument);
        GStrvBuilder *builder = g_strv_builder_new();
        if (pairs[index]) g_strv_builder_addv(builder, const_cast<const char **>(pairs[index]));
        g_strv_builder_add(builder, inline_value ? inline_value : argv[i + 1]);
        g_strv_builder_add(builder, argv[i + needed]);
        g_strfreev(pairs[index]);
        pairs[index] = g_strv_builder_end(builder);
        g_strv_builder_unref(builder);
        i += needed;
    }
    *argc = kept;
    argv[kept] = nullptr;
    return nullptr;
}

// The inputs in reading order, from the arguments left over and the input
// options; null with `problem` set on a usage error.
GArray *inputs_given(char **rest, char **const lists[], char **const pairs[], const char **problem) {
    GArray *given = g_array_new(FALSE, FALSE, sizeof(Given));
    for (char **p = rest; p && *p; ++p) {
        const capireport::Kind kind = g_file_test(*p, G_FILE_TEST_IS_DIR) ? capireport::kSession : capireport::kSheet;
        const Given g = {kind, *p, nullptr};
        g_array_append_val(given, g);
    }
    for (size_t i = 0; i < kOptionCount; ++i) {
        if (kOptions[i].setting != capireport::kNoSetting) continue;
        for (char **p = lists[i]; p && *p; ++p) {
            const Given g = {kOptions[i].input, *p, nullptr};
            g_array_append_val(given, g);
        }
        for (char **p = pairs[i]; p && p[0] && p[1]; p += 2) {
            const Given g = {kOptions[i].input, p[0], p[1]};
            g_array_append_val(given, g);
        }
    }
    int standard_input = 0;
    for (guint i = 0; i < given->len; ++i) {
        const Given &g = g_array_index(given, Given, i);
        if (g.kind != capireport::kSession && strcmp(g.path, "-") == 0) ++standard_input;
    }
    *problem = given->len == 0        ? "no sheet, results folder, --log or --unpack given"
               : standard_input > 1 ? "standard input (-) given more than once"
                                    : nullptr;
    if (*problem != nullptr) {
        g_array_free(given, TRUE);
        return nullptr;
    }
    return given;
}

// A setting given more than once, or both baselines: the usage error, or null.
const char *setting_problem(char **const lists[]) {
    size_t baselines = 0;
    for (size_t i = 0; i < kOptionCount; ++i) {
        if (kOptions[i].setting == capireport::kNoSetting || lists[i] == nullptr) continue;
        if (g_strv_length(lists[i]) > 1) return kOptions[i].setting == capireport::kKnownSetting
                                                     ? "--known given more than once"
                                                     : "--baseline given more than once";
        baselines += kOptions[i].setting != capireport::kKnownSetting;
    }
    return baselines > 1 ? "give one baseline: --baseline or --baseline-log" : nullptr;
}

}  // namespace

int main(int argc, char **argv) {
    g_set_prgname(kProgram);
    char *files[kOptionCount] = {};   // file outputs: the path given
    char **lists[kOptionCount] = {};  // inputs: the paths given
    char **pairs[kOptionCount] = {};  // inputs of two words: both, one after the other
    char **rest = nullptr;
    gboolean want_help = FALSE, want_version = FALSE;
    GOptionEntry entries[kOptionCount + 4] = {};
    size_t count = 0;
    for (size_t i = 0; i < kOptionCount; ++i) {
        const capireport::Option &o = kOptions[i];
        if (o.arguments != 1) continue;
        entries[count++] = {o.name, 0, 0, o.output ? G_OPTION_ARG_FILENAME : G_OPTION_ARG_FILENAME_ARRAY,
                            o.output ? static_cast<void *>(&files[i]) : static_cast<void *>(&lists[i]), o.help,
                            o.argument};
    }
    entries[count++] = {"help", 'h', 0, G_OPTION_ARG_NONE, &want_help, nullptr, nullptr};
    entries[count++] = {"version", 0, 0, G_OPTION_ARG_NONE, &want_version, nullptr, nullptr};
    entries[count++] = {G_OPTION_REMAINING, 0, 0, G_OPTION_ARG_FILENAME_ARRAY, &rest, nullptr, nullptr};
    // GLib's own help would put an ellipsis that a console without UTF-8
    // shows as "?": the help is made here.
    GOptionContext *context = g_option_context_new(nullptr);
    g_option_context_set_help_enabled(context, FALSE);
    g_option_context_add_main_entries(context, entries, nullptr);
    GError *error = nullptr;
    char *pair_problem = take_pairs(&argc, argv, pairs);
    const gboolean parsed = pair_problem == nullptr && g_option_context_parse(context, &argc, &argv, &error);
    g_option_context_free(context);
    int status = 0;
    if (!parsed) {
        status = usage_error(pair_problem ? pair_problem : error->message);
        g_clear_error(&error);
    } else if (want_help || want_version) {
        GString *text = g_string_new(nullptr);
        if (want_help) {
            help(text);
        } else {
            g_string_append_printf(text, "%s %s\n", kProgram, FIELDAUDIT_VERSION);
        }
        status = put(stdout, text) ? 0 : 2;
        g_string_free(text, TRUE);
    } else {
        const char *problem = setting_problem(lists);
        size_t to_standard_output = 0;
        for (size_t i = 0; i < kOptionCount; ++i) to_standard_output += files[i] && strcmp(files[i], "-") == 0;
        if (to_standard_output > 1) problem = "standard output (-) given for more than one output";
        GArray *given = problem ? nullptr : inputs_given(rest, lists, pairs, &problem);
        status = given ? report(given, files, lists) : usage_error(problem);
        if (given) g_array_free(given, TRUE);
    }
    g_free(pair_problem);
    g_strfreev(rest);
    for (size_t i = 0; i < kOptionCount; ++i) {
        g_strfreev(lists[i]);
        g_strfreev(pairs[i]);
        g_free(files[i]);
    }
    return status;
}
