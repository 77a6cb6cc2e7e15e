// Get_mode with any text, read no further than its terminator.
#include "modeflag.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    char *text = in.text();
    const int mode = Get_mode(text);
    if (mode < 0 || mode > 3) abort();
    free(text);
    return 0;
}
