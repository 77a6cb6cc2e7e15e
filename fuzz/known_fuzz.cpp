// capi-report's readers of what it compares with, on any bytes: the first
// byte even, the rest as a known-failures file; odd, as a --cases file taken
// as the baseline. What reads is then applied to fixed captured outputs (a
// baseline and a labelled input, or the input alone), and every output is
// rendered; the JUnit XML must stay well-formed.
#include <string.h>

#include "render.h"
#include "report_support.h"
#include "triage.h"

namespace {

capireport::Catalog *g_catalog;

const char kBase[] =
    "t: a\nCheck_int,ret=1,tar=1\nt: c\n"
    "CheckTolvaDNSServerConfig_t,result->Server1=1.1.1.1,target->Server1=1.1.1.1\n"
    "CheckTolvaDNSServerConfig_t,result->Server2=8.8.8.8,target->Server2=9.9.9.9\n";
const char kNow[] =
    "t: a\nCheck_int,ret=2,tar=1\nt: c\n"
    "CheckTolvaDNSServerConfig_t,result->Server1=1.0.0.1,target->Server1=1.1.1.1\n"
    "CheckTolvaDNSServerConfig_t,result->Server2=8.8.4.4,target->Server2=9.9.9.9\n"
    "t: \xff<&>\nCheck_bool,ret=0,tar=1\n";
const char kKnown[] = "gw.log/t: c: *\tboard=gw?\tGW-1\n";

capireport::Input *log_of(const char *bytes) {
    capireport::Reader reader(capireport::kLog, "gw.log", g_catalog);
    reader.feed(bytes, strlen(bytes));
    return reader.finish();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    g_catalog = capireport::catalog_new();
    capireport::catalog_keep_fields(g_catalog);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    GString *errors = g_string_new(nullptr);
    capireport::KnownList *known = nullptr;
    capireport::Baseline *baseline = nullptr;
    bool read = true;
    if ((data[0] & 1) == 0) {
        known = capireport::known_parse("known", bytes, size - 1, errors);
        baseline = capireport::baseline_of("base", log_of(kBase), errors);
        read = known != nullptr;
    } else {
        baseline = capireport::baseline_parse_cases("base", bytes, size - 1, errors);
        known = capireport::known_parse("known", kKnown, strlen(kKnown), errors);
        read = baseline != nullptr;
    }
    // A reader that refuses the bytes names why.
    if (!read && errors->len == 0) abort();
    capireport::Input *input = log_of(kNow);
    g_ptr_array_add(input->labels, g_strdup((data[0] & 2) ? "board=gw2" : "board=\x01<"));
    capireport::Triage *triage = capireport::triage_new(baseline, known);
    capireport::Summary *summary = capireport::summarize(&input, 1);
    capireport::triage_compare(*triage, *summary);
    summary->triage = triage;
    GString *text = g_string_new(nullptr);
    capireport::write_text(*summary, text);
    write_every_output(*summary);
    if (triage->status < 0 || triage->status > 1) abort();
    g_string_free(text, TRUE);
    g_string_free(errors, TRUE);
    capireport::summary_free(summary);
    capireport::triage_free(triage);
    capireport::input_free(input);
    return 0;
}
