/* Closes its standard output early, then goes on for a moment and writes to
 * standard error before it exits 0. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <time.h>
#include <unistd.h>

int main(void)
{
    const struct timespec pause_time = {0, 200 * 1000 * 1000};
    puts("close_stdout: closing");
    fflush(stdout);
    close(STDOUT_FILENO);
    nanosleep(&pause_time, NULL);
    fputs("close_stdout: still here\n", stderr);
    return 0;
}
