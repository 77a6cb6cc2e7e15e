/* Writes every byte value twice (0 to 255, then 255 to 0) and no newline at
 * its end, then exits 0. */
#include <stdio.h>

int main(void)
{
    int i;
    for (i = 0; i < 256; ++i) {
        putchar(i);
    }
    for (i = 255; i >= 0; --i) {
        putchar(i);
    }
    return 0;
}
