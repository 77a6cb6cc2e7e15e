// capi-report's readers on any bytes, as a sheet and as a captured log, fed
// in pieces of any size, or, where the bytes begin with a console bundle's
// line, as a console capture recovered into a results folder and read as a
// session; then its outputs, every file output of its table. The JUnit XML
// must be well-formed whatever the input held.
#include <ftw.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "bundle.h"
#include "render.h"
#include "report_support.h"

namespace {

capireport::Catalog *g_catalog;  // made once: the checkers' steps

int remove_entry(const char *path, const struct stat *, int, struct FTW *) { return remove(path); }

// The bytes as a console capture: recovered into a fresh folder, read as a
// session, the folder removed again.
capireport::Input *session_of(const char *bytes, size_t length) {
    char dir[] = "/tmp/report_fuzz.XXXXXX";
    if (mkdtemp(dir) == nullptr) abort();
    char *capture = g_strconcat(dir, "/capture", nullptr);
    char *results = g_strconcat(dir, "/results", nullptr);
    if (!g_file_set_contents(capture, bytes, static_cast<gssize>(length), nullptr)) abort();
    capireport::Input *input = capireport::read_session(results, capture, g_catalog);
    nftw(dir, remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    g_free(results);
    g_free(capture);
    return input;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    g_catalog = capireport::catalog_new();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const capireport::Kind kind = (data[0] & 1) ? capireport::kLog : capireport::kSheet;
    const size_t piece = 1 + (data[0] >> 1);
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const size_t length = size - 1;

    capireport::Input *input = nullptr;
    if (length >= strlen(CAPI_BUNDLE_PREFIX) && memcmp(bytes, CAPI_BUNDLE_PREFIX, strlen(CAPI_BUNDLE_PREFIX)) == 0) {
        input = session_of(bytes, length);
    } else {
        capireport::Reader reader(kind, "fuzz input", g_catalog);
        for (size_t at = 0; at < length; at += piece) reader.feed(bytes + at, length - at < piece ? length - at : piece);
        input = reader.finish();
    }

    GString *text = g_string_new(nullptr);
    GString *problems = g_string_new(nullptr);
    capireport::Summary *summary = capireport::summarize(&input, 1);
    capireport::write_text(*summary, text);
    capireport::write_problems(*summary, problems);
    write_every_output(*summary);
    const int status = summary->status;
    capireport::summary_free(summary);
    if (status < 0 || status > 2) abort();
    g_string_free(text, TRUE);
    g_string_free(problems, TRUE);
    capireport::input_free(input);
    return 0;
}
