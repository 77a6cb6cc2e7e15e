/* Leaves a process behind that holds its output pipes: "sleep 30", started
 * with posix_spawnp (it inherits standard output and error), then exits 0. */
#define _POSIX_C_SOURCE 200809L
#include <spawn.h>
#include <stdio.h>
#include <sys/types.h>

extern char **environ;

int main(void)
{
    char *argv[] = {"sleep", "30", NULL};
    pid_t pid;
    if (posix_spawnp(&pid, "sleep", NULL, NULL, argv, environ) != 0) {
        puts("grandchild: sleep did not start");
        return 1;
    }
    puts("grandchild: sleep holds the pipes");
    return 0;
}
