// Shared by capi-report's fuzz targets: every file output of the program's
// table written from a summary; the JUnit XML must be well-formed whatever
// the input held.
#ifndef TOLVA_FUZZ_REPORT_SUPPORT_H
#define TOLVA_FUZZ_REPORT_SUPPORT_H

#include "render.h"
#include "support.h"

// Whether GLib's markup parser takes the XML whole (a JUnit file must be
// well-formed whatever the input held); says why not on stderr.
inline bool well_formed(const GString *xml) {
    static const GMarkupParser kParser = {nullptr, nullptr, nullptr, nullptr, nullptr};
    GMarkupParseContext *context = g_markup_parse_context_new(&kParser, G_MARKUP_TREAT_CDATA_AS_TEXT, nullptr, nullptr);
    GError *error = nullptr;
    const bool ok = g_markup_parse_context_parse(context, xml->str, static_cast<gssize>(xml->len), &error) &&
                    g_markup_parse_context_end_parse(context, &error);
    if (!ok) fprintf(stderr, "JUnit XML not well-formed: %s\n", error ? error->message : "?");
    g_clear_error(&error);
    g_markup_parse_context_free(context);
    return ok;
}

inline void write_every_output(const capireport::Summary &summary) {
    for (const capireport::Option &option : capireport::kOptions) {
        if (option.output == nullptr) continue;
        GString *file = g_string_new(nullptr);
        option.output(summary, file);
        if (option.output == capireport::write_junit && !well_formed(file)) abort();
        g_string_free(file, TRUE);
    }
}

#endif
