/* Hangs: waits for a signal that never comes. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <unistd.h>

int main(void)
{
    puts("hang: waiting");
    fflush(stdout);
    for (;;) {
        pause();
    }
}
