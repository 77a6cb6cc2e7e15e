/* Starting a program and waiting for it (see process.h). */
#define _POSIX_C_SOURCE 200809L

#include "process.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

/* Signals a program in a group of its own gets with their default action,
 * whatever capi-run was started with (a shell's "&" leaves SIGINT ignored,
 * for one) or has set for itself. */
static const int kDefaulted[] = {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGCHLD,
                                 SIGUSR1, SIGUSR2, SIGXFSZ, SIGTSTP, SIGTTIN, SIGTTOU};

static void stream(posix_spawn_file_actions_t *actions, int fd, int target, int flags)
{
    if (fd == CAPI_SPAWN_NULL) {
        posix_spawn_file_actions_addopen(actions, target, "/dev/null", flags, 0);
    } else if (fd != CAPI_SPAWN_INHERIT && fd != target) {
        posix_spawn_file_actions_adddup2(actions, fd, target);
    }
}

int capi_spawn(pid_t *pid, char *const argv[], const capi_spawn_how *how)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    sigset_t signals;
    size_t i;
    int rc;

    posix_spawn_file_actions_init(&actions);
    stream(&actions, how->in, STDIN_FILENO, O_RDONLY);
    stream(&actions, how->out, STDOUT_FILENO, O_WRONLY);
    stream(&actions, how->err, STDERR_FILENO, O_WRONLY);
    posix_spawnattr_init(&attributes);
    if (how->own_group) {
        posix_spawnattr_setflags(&attributes,
                                 POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawnattr_setpgroup(&attributes, 0);
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        for (i = 0; i < sizeof kDefaulted / sizeof kDefaulted[0]; ++i) {
            sigaddset(&signals, kDefaulted[i]);
        }
        posix_spawnattr_setsigdefault(&attributes, &signals);
    }
    rc = (how->search ? posix_spawnp : posix_spawn)(pid, argv[0], &actions, &attributes, argv,
                                                     how->env != NULL ? how->env : environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

int capi_wait(pid_t pid)
{
    int status;
    pid_t got;
    while ((got = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    return got == pid ? status : -1;
}

int capi_spawn_wait(char *const argv[], const capi_spawn_how *how)
{
    pid_t pid;
    const int rc = capi_spawn(&pid, argv, how);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    return capi_wait(pid);
}

char *capi_program_beside(const char *argv0, const char *name)
{
    char self[PATH_MAX];
    const char *slash;
    size_t length;
    char *path;
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
    } else {
        snprintf(self, sizeof self, "%s", argv0);
    }
    slash = strrchr(self, '/');
    length = slash != NULL ? (size_t)(slash - self) + 1 : 0;
    if (length == 0) {
        /* No folder known: look in the current one, never in PATH. */
        memcpy(self, "./", 2);
        length = 2;
    }
    path = malloc(length + strlen(name) + 1);
    if (path != NULL) {
        memcpy(path, self, length);
        strcpy(path + length, name);
    }
    return path;
}
