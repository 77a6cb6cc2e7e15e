/* Floods its standard output: CAPI_FAULT_FLOOD_BYTES bytes (default 16 MiB)
 * of numbered lines, then exits 0. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(void)
{
    const char *text = getenv("CAPI_FAULT_FLOOD_BYTES");
    unsigned long long left = text != NULL ? strtoull(text, NULL, 10) : 16ULL * 1024 * 1024;
    unsigned long long line = 0;
    char buffer[64];
    while (left > 0) {
        /* 32 bytes a line, the last one cut to what is left. */
        size_t length;
        snprintf(buffer, sizeof buffer, "flood line %020llu\n", line++);
        length = strlen(buffer) < left ? strlen(buffer) : (size_t)left;
        if (fwrite(buffer, 1, length, stdout) != length) {
            return 1;
        }
        left -= length;
    }
    return 0;
}
