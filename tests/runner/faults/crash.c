/* Crashes: ended by SIGSEGV after a line of output. */
#include <signal.h>
#include <stdio.h>

int main(void)
{
    puts("crash: before the crash");
    fflush(stdout);
    signal(SIGSEGV, SIG_DFL);
    raise(SIGSEGV);
    return 0;
}
