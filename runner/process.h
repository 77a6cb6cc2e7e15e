/*
 * Starting a program and waiting for it: the one way capi-run starts
 * anything (a test, busprobe, LAVA's helpers, capi-report). posix_spawn,
 * not fork, so that it works under an emulator's user mode too. Internal to
 * capi-run.
 */
#ifndef CAPI_RUN_PROCESS_H
#define CAPI_RUN_PROCESS_H

#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A standard stream of the program: inherited from capi-run, or /dev/null,
 * or any other value: that descriptor. */
#define CAPI_SPAWN_INHERIT (-1)
#define CAPI_SPAWN_NULL (-2)

typedef struct {
    int in, out, err;      /* its standard input, output and error */
    int own_group;         /* in a process group of its own, with no blocked
                              signal and the default action for the signals a
                              test must be able to get (see process.c) */
    int search;            /* argv[0] looked up in the PATH */
    char *const *env;      /* its environment; NULL: capi-run's own */
} capi_spawn_how;

/* Starts argv[0] with the arguments `argv`. Returns 0 with *pid set, or the
 * error number. */
int capi_spawn(pid_t *pid, char *const argv[], const capi_spawn_how *how);

/* Waits for the process, again after EINTR. Returns its wait status, or -1
 * with errno. */
int capi_wait(pid_t pid);

/* Starts the program and waits for it. Returns its wait status, or -1 with
 * errno when it could not be started or waited for. */
int capi_spawn_wait(char *const argv[], const capi_spawn_how *how);

/* The path of the kit's program `name` beside capi-run: in the folder of
 * /proc/self/exe, else of argv[0], else the current one (never the PATH).
 * malloc'ed; NULL when memory ran out. */
char *capi_program_beside(const char *argv0, const char *name);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_PROCESS_H */
