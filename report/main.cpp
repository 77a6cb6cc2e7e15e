// capi-report: turns what test runs leave behind (result sheets, the captured
// output of test programs) into one report on standard output, the problems
// of the inputs on standard error and, with --junit, a JUnit XML file.
//
//   capi-report [--junit FILE] [--log CAPTURED_OUTPUT]... [SHEET]...
//
// Exit status: 0 when every row name's latest outcome is pass and every
// logged call passed; 1 when something failed, a line was malformed or stray,
// or an input holds nothing; 2 on a usage error, an input that cannot be read
// or a JUnit file that cannot be written.
//
// The options come from the table in render.h.
#include <glib.h>
#include <stdio.h>

#include "render.h"

namespace {

using capireport::kOptionCount;
using capireport::kOptions;

// "Usage: capi-report [--junit FILE] [--log CAPTURED_OUTPUT]... [SHEET]...\n"
void usage(GString *out) {
    g_string_append(out, "Usage: capi-report");
    for (const capireport::Option &o : kOptions) {
        g_string_append_printf(out, " [--%s %s]%s", o.name, o.argument, o.output ? "" : "...");
    }
    g_string_append(out, " [SHEET]...\n");
}

int usage_error(const char *message) {
    GString *text = g_string_new(nullptr);
    g_string_append_printf(text, "capi-report: %s\n", message);
    usage(text);
    fputs(text->str, stderr);
    g_string_free(text, TRUE);
    return 2;
}

bool put(FILE *stream, const GString *text) {
    return fwrite(text->str, 1, text->len, stream) == text->len && fflush(stream) == 0;
}

bool empty(char **paths) { return paths == nullptr || paths[0] == nullptr; }

// Renders the output into a new file that then takes the name: a reader
// never sees half a report.
bool write_file(const char *path, capireport::Renderer render, const capireport::Summary &summary) {
    GString *text = g_string_new(nullptr);
    render(summary, text);
    GError *error = nullptr;
    const bool written = g_file_set_contents(path, text->str, static_cast<gssize>(text->len), &error);
    if (!written) {
        fprintf(stderr, "capi-report: cannot write %s: %s\n", path, error->message);
        g_error_free(error);
    }
    g_string_free(text, TRUE);
    return written;
}

// Reads the inputs, renders the summary and writes the outputs; the exit
// status.
int report(char **sheets, char **const lists[], char *const files[]) {
    capireport::Catalog *catalog = capireport::catalog_new();
    GPtrArray *inputs = g_ptr_array_new();
    for (char **p = sheets; p && *p; ++p) g_ptr_array_add(inputs, capireport::read_input(capireport::kSheet, *p, catalog));
    for (size_t i = 0; i < kOptionCount; ++i) {
        for (char **p = lists[i]; p && *p; ++p) g_ptr_array_add(inputs, capireport::read_input(kOptions[i].input, *p, catalog));
    }
    capireport::Summary *summary =
        capireport::summarize(reinterpret_cast<capireport::Input *const *>(inputs->pdata), inputs->len);

    GString *err = g_string_new(nullptr);
    capireport::write_problems(*summary, err);
    put(stderr, err);
    GString *out = g_string_new(nullptr);
    capireport::write_text(*summary, out);
    int status = summary->status;
    if (!put(stdout, out)) {
        fprintf(stderr, "capi-report: cannot write the report to standard output\n");
        status = 2;
    }
    for (size_t i = 0; i < kOptionCount; ++i) {
        if (files[i] != nullptr && !write_file(files[i], kOptions[i].output, *summary)) status = 2;
    }
    g_string_free(out, TRUE);
    g_string_free(err, TRUE);
    capireport::summary_free(summary);
    for (guint i = 0; i < inputs->len; ++i) capireport::input_free(static_cast<capireport::Input *>(inputs->pdata[i]));
    g_ptr_array_free(inputs, TRUE);
    capireport::catalog_free(catalog);
    return status;
}

}  // namespace

int main(int argc, char **argv) {
    g_set_prgname("capi-report");
    char *files[kOptionCount] = {};   // file outputs: the path given
    char **lists[kOptionCount] = {};  // inputs: the paths given
    char **sheets = nullptr;
    GOptionEntry entries[kOptionCount + 2] = {};
    for (size_t i = 0; i < kOptionCount; ++i) {
        const capireport::Option &o = kOptions[i];
        entries[i] = {o.name, 0, 0, o.output ? G_OPTION_ARG_FILENAME : G_OPTION_ARG_FILENAME_ARRAY,
                      o.output ? static_cast<void *>(&files[i]) : static_cast<void *>(&lists[i]), o.help, o.argument};
    }
    entries[kOptionCount] = {G_OPTION_REMAINING, 0, 0, G_OPTION_ARG_FILENAME_ARRAY, &sheets, nullptr, nullptr};
    GOptionContext *context = g_option_context_new("[SHEET]...");
    g_option_context_set_summary(context,
                                 "Reports the rows of result sheets and the checker calls of captured test "
                                 "output:\nper row name its runs, passes, failures and latest outcome; per call "
                                 "its verdict\nand the fields that failed. One JUnit test suite per input file.");
    g_option_context_set_description(context,
                                     "Exit status: 0 all passed, 1 something failed, 2 usage error or an input "
                                     "that cannot be read.");
    g_option_context_add_main_entries(context, entries, nullptr);
    GError *error = nullptr;
    const gboolean parsed = g_option_context_parse(context, &argc, &argv, &error);
    g_option_context_free(context);
    bool no_input = empty(sheets);
    for (size_t i = 0; i < kOptionCount; ++i) no_input = no_input && empty(lists[i]);
    int status = 0;
    if (!parsed) {
        status = usage_error(error->message);
        g_error_free(error);
    } else if (no_input) {
        status = usage_error("no sheet and no --log given");
    } else {
        status = report(sheets, lists, files);
    }
    g_strfreev(sheets);
    for (size_t i = 0; i < kOptionCount; ++i) {
        g_strfreev(lists[i]);
        g_free(files[i]);
    }
    return status;
}
