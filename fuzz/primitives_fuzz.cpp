// The value-domain check with any value, selector and count, and the scalar
// primitives with any numbers and texts.
#include "fieldaudit.h"
#include "support.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    const int value = in.number<int>();
    const unsigned selector = in.number<unsigned>();
    const int count = in.number<int>();
    const int verdict = Check_data_int(value, selector, count);
    if (verdict != 0 && verdict != 1) abort();
    if (count <= 0 && verdict != 0) abort();
    const int a = in.number<int>();
    const int b = in.number<int>();
    if (Check_bool(a, b) != (a == b) || Check_int(a, b) != (a == b) || Check_return_result(a, b) != (a == b)) abort();
    char *ret = in.text();
    char *tar = in.text();
    if (Check_char(ret, (a & 1) ? nullptr : tar) != 1) abort();
    free(ret);
    free(tar);
    return 0;
}
