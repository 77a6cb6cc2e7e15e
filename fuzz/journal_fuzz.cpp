// capi-run's journal reader on any bytes, as a journal of the tests "a",
// "b c" and "busprobe": it reads or refuses, and what it reads is a session
// capi-run can go on with (a test running is the one after the last that
// ended, none past the list, no more failures or parts sent than ended).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "journal.h"
#include "support.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const char *const kNames[] = {"a", "b c", "busprobe"};
    static const size_t kCount = sizeof kNames / sizeof kNames[0];
    if (size == 0) return 0;
    FILE *file = fmemopen(const_cast<uint8_t *>(data), size, "r");
    if (file == nullptr) abort();
    capi_journal journal;
    memset(&journal, 0, sizeof journal);
    journal.fd = -1;
    long whole = -1;
    char error[512] = "";
    const int rc = capi_journal_read(&journal, file, kNames, kCount, &whole, error, sizeof error);
    fclose(file);
    if (rc != 0) {
        if (error[0] == '\0') abort();  // a refusal says why
        return 0;
    }
    if (whole < 0 || static_cast<size_t>(whole) > size) abort();
    if (journal.tests != kCount || journal.ended > kCount || journal.running > kCount) abort();
    if (journal.running != 0 && journal.running != journal.ended + 1) abort();
    if (journal.not_ok > journal.ended || journal.sent > journal.ended) abort();
    if (strlen(journal.session) != 16 || memchr(journal.results, '\0', sizeof journal.results) == nullptr) abort();
    if (memchr(journal.running_stem, '\0', sizeof journal.running_stem) == nullptr ||
        strchr(journal.running_stem, '/') != nullptr)
        abort();
    return 0;
}
