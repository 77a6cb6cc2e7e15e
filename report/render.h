// The outputs of capi-report, each a renderer of the summary, and the
// program's options: the inputs it reads and the files it may write.
//
// A new output is a renderer in a file of its own and a row in kOptions;
// main.cpp makes the option, the usage line and the --help text from the
// table and writes the file.
#ifndef CAPI_REPORT_RENDER_H
#define CAPI_REPORT_RENDER_H

#include <glib.h>
#include <stddef.h>

#include "report.h"

namespace capireport {

typedef void (*Renderer)(const Summary &summary, GString *out);

// The report for people and scripts, on standard output (text.cpp).
void write_text(const Summary &summary, GString *out);
// "PATH:LINE: reason" for every problem kept, "PATH: reason" for an input
// that cannot be read or holds nothing; on standard error (text.cpp).
void write_problems(const Summary &summary, GString *err);
// JUnit XML: a testsuite per input, a testcase per sheet row and per call
// (junit.cpp).
void write_junit(const Summary &summary, GString *xml);

// A long option: an input it names (repeatable) or a file it writes.
struct Option {
    const char *name;      // without the leading "--"
    const char *argument;  // its argument as the usage line and --help name it
    const char *help;
    Kind input;            // an input option: the kind of input each path names
    Renderer output;       // a file output: what goes into the file; null for an input option
};

// In the order of --help and of the usage line. Inputs are read sheets
// first (the arguments left over), then each input option's in this order.
const Option kOptions[] = {
    {"junit", "FILE", "Also write the report as JUnit XML to FILE", kSheet, write_junit},
    {"log", "CAPTURED_OUTPUT", "Captured standard output of a test program (repeatable)", kLog, nullptr},
};
const size_t kOptionCount = sizeof kOptions / sizeof kOptions[0];

// What the renderers share.
namespace render {

// A path or a row name, its control bytes shown as the kit shows them.
void append_shown(GString *out, const char *text);
// Where the call stands: "line<between><n>" or "lines<between><a>-<b>".
void where(const Call &call, char between, char *space, size_t size);
// A failing field: its label, with `values` its two values where it has
// them, and the reason.
void append_failure(GString *out, const FailedField &f, bool values);
const FailedField &failure_at(const Call &call, guint i);
const char *status(bool pass);

}  // namespace render

}  // namespace capireport

#endif
