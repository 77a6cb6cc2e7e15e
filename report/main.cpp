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
#include <glib.h>
#include <stdio.h>

#include "report.h"

namespace {

const char kUsage[] = "Usage: capi-report [--junit FILE] [--log CAPTURED_OUTPUT]... [SHEET]...\n";

int usage_error(const char *message) {
    fprintf(stderr, "capi-report: %s\n%s", message, kUsage);
    return 2;
}

bool put(FILE *stream, const GString *text) {
    return fwrite(text->str, 1, text->len, stream) == text->len && fflush(stream) == 0;
}

}  // namespace

int main(int argc, char **argv) {
    g_set_prgname("capi-report");
    char *junit = nullptr;
    char **logs = nullptr;
    char **sheets = nullptr;
    GOptionEntry entries[] = {
        {"junit", 0, 0, G_OPTION_ARG_FILENAME, &junit, "Also write the report as JUnit XML to FILE", "FILE"},
        {"log", 0, 0, G_OPTION_ARG_FILENAME_ARRAY, &logs,
         "Captured standard output of a test program (repeatable)", "CAPTURED_OUTPUT"},
        {G_OPTION_REMAINING, 0, 0, G_OPTION_ARG_FILENAME_ARRAY, &sheets, nullptr, nullptr},
        {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr},
    };
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
    int status = 0;
    if (!parsed) {
        status = usage_error(error->message);
        g_error_free(error);
    } else if ((logs == nullptr || logs[0] == nullptr) && (sheets == nullptr || sheets[0] == nullptr)) {
        status = usage_error("no sheet and no --log given");
    } else {
        capireport::Catalog *catalog = capireport::catalog_new();
        GPtrArray *inputs = g_ptr_array_new();
        for (char **p = sheets; p && *p; ++p) g_ptr_array_add(inputs, capireport::read_input(capireport::kSheet, *p, catalog));
        for (char **p = logs; p && *p; ++p) g_ptr_array_add(inputs, capireport::read_input(capireport::kLog, *p, catalog));
        capireport::Input *const *all = reinterpret_cast<capireport::Input *const *>(inputs->pdata);

        GString *err = g_string_new(nullptr);
        capireport::write_problems(all, inputs->len, err);
        put(stderr, err);
        GString *out = g_string_new(nullptr);
        capireport::write_text(all, inputs->len, out);
        status = capireport::exit_status(all, inputs->len);
        if (!put(stdout, out)) {
            fprintf(stderr, "capi-report: cannot write the report to standard output\n");
            status = 2;
        }
        if (junit != nullptr) {
            GString *xml = g_string_new(nullptr);
            capireport::write_junit(all, inputs->len, xml);
            // Written to a new file that then takes the name: a reader never
            // sees half a report.
            if (!g_file_set_contents(junit, xml->str, static_cast<gssize>(xml->len), &error)) {
                fprintf(stderr, "capi-report: cannot write %s: %s\n", junit, error->message);
                g_error_free(error);
                status = 2;
            }
            g_string_free(xml, TRUE);
        }
        g_string_free(out, TRUE);
        g_string_free(err, TRUE);
        for (guint i = 0; i < inputs->len; ++i) capireport::input_free(all[i]);
        g_ptr_array_free(inputs, TRUE);
        capireport::catalog_free(catalog);
    }
    g_strfreev(sheets);
    g_strfreev(logs);
    g_free(junit);
    return status;
}
