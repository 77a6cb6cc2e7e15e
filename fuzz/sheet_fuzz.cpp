// result_sheet_append with any name and verdict: either exactly the row is
// appended, or nothing is.
#include <sys/stat.h>
#include <unistd.h>

#include "result_sheet.h"
#include "support.h"

namespace {

char g_dir[4096];    // a folder of this run's own, removed at exit
char g_sheet[4096];  // the sheet in it

void remove_folder() {
    unlink(g_sheet);
    rmdir(g_dir);
}

long sheet_size() {
    struct stat st;
    return stat(g_sheet, &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    gchar *dir = g_dir_make_tmp("sheet-fuzz-XXXXXX", nullptr);
    if (dir == nullptr) abort();
    snprintf(g_dir, sizeof g_dir, "%s", dir);
    snprintf(g_sheet, sizeof g_sheet, "%s/capi.xls", dir);
    g_free(dir);
    atexit(remove_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    const int verdict = in.number<int>();
    char *name = in.text();
    unlink(g_sheet);
    const int rc = result_sheet_append(g_sheet, name, verdict);
    const long after = sheet_size();
    if (rc == 0) {
        // The whole row and nothing else.
        const char *outcome = verdict == 1 ? "pass" : "failed";
        const long expected = static_cast<long>(strlen(name) + 3 + strlen(outcome) + 1);
        FILE *f = fopen(g_sheet, "rb");
        char row[512] = {0};
        const size_t got = f ? fread(row, 1, sizeof row, f) : 0;
        if (f) fclose(f);
        char want[512];
        snprintf(want, sizeof want, "%s \t %s\n", name, outcome);
        if (after != expected || got != static_cast<size_t>(expected) || memcmp(row, want, got) != 0) abort();
    } else if (rc != -1 || after > 0) {
        abort();
    }
    free(name);
    return 0;
}
