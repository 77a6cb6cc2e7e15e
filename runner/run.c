/* One test program: spawned into a process group of its own, its two output
 * pipes drained with poll() until it has ended, its leftovers ended too. */
#define _POSIX_C_SOURCE 200809L

#include "run.h"

#include "process.h"
#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

/* After SIGTERM, the time a test has to end before SIGKILL follows. */
#define TERM_GRACE_MS 2000
/* After the test has ended, the time its output pipes are still read while
 * something else (a process it started) keeps them open. */
#define DRAIN_GRACE_MS 500
/* After the process group is killed, the longest wait for the pipes to close
 * (a process outside the group may still hold them). */
#define FINAL_DRAIN_MS 500
#define BLOCK (64 * 1024)

static const struct {
    int number;
    const char *name;
} kSignals[] = {
    {SIGHUP, "SIGHUP"},   {SIGINT, "SIGINT"},   {SIGQUIT, "SIGQUIT"}, {SIGILL, "SIGILL"},
    {SIGTRAP, "SIGTRAP"}, {SIGABRT, "SIGABRT"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},
    {SIGKILL, "SIGKILL"}, {SIGUSR1, "SIGUSR1"}, {SIGSEGV, "SIGSEGV"}, {SIGUSR2, "SIGUSR2"},
    {SIGPIPE, "SIGPIPE"}, {SIGALRM, "SIGALRM"}, {SIGTERM, "SIGTERM"}, {SIGCHLD, "SIGCHLD"},
    {SIGCONT, "SIGCONT"}, {SIGSTOP, "SIGSTOP"}, {SIGTSTP, "SIGTSTP"}, {SIGTTIN, "SIGTTIN"},
    {SIGTTOU, "SIGTTOU"}, {SIGURG, "SIGURG"},   {SIGXCPU, "SIGXCPU"}, {SIGXFSZ, "SIGXFSZ"},
    {SIGVTALRM, "SIGVTALRM"}, {SIGPROF, "SIGPROF"}, {SIGSYS, "SIGSYS"},
};

static volatile sig_atomic_t g_interrupted;
static int g_wake[2] = {-1, -1};

static void on_signal(int number)
{
    const int saved = errno;
    const char byte = 0;
    if (number != SIGCHLD) {
        g_interrupted = number;
    }
    (void)!write(g_wake[1], &byte, 1);
    errno = saved;
}

int run_watch_signals(run_limits *limits)
{
    struct sigaction action;
    int i;
    if (pipe(g_wake) != 0) {
        return -1;
    }
    for (i = 0; i < 2; ++i) {
        fcntl(g_wake[i], F_SETFD, FD_CLOEXEC);
        fcntl(g_wake[i], F_SETFL, O_NONBLOCK);
    }
    memset(&action, 0, sizeof action);
    sigemptyset(&action.sa_mask);
    action.sa_handler = on_signal;
    sigaction(SIGINT, &action, NULL);
    sigaction(SIGTERM, &action, NULL);
    action.sa_flags = SA_NOCLDSTOP;
    sigaction(SIGCHLD, &action, NULL);
    action.sa_handler = SIG_IGN;
    action.sa_flags = 0;
    sigaction(SIGPIPE, &action, NULL);
    sigaction(SIGXFSZ, &action, NULL);
    limits->wake_fd = g_wake[0];
    limits->interrupted = &g_interrupted;
    return 0;
}

unsigned long long run_now_ms(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (unsigned long long)now.tv_sec * 1000u + (unsigned long long)now.tv_nsec / 1000000u;
}

void run_signal_name(int signal_number, char *out, size_t size)
{
    size_t i;
    for (i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
        if (kSignals[i].number == signal_number) {
            snprintf(out, size, "%s", kSignals[i].name);
            return;
        }
    }
    snprintf(out, size, "SIG%d", signal_number);
}

/* One output stream: the pipe's read end and the file its bytes go to. */
typedef struct {
    int pipe;
    int file;
    capi_stream *stream;
} drain;

static void keep(drain *d, const char *bytes, size_t length, unsigned long long max)
{
    capi_stream *s = d->stream;
    const size_t room = s->bytes < max ? (max - s->bytes < length ? (size_t)(max - s->bytes) : length) : 0;
    s->dropped += length - room;
    if (room > 0 && d->file >= 0) {
        /* The file is written from its start on: its offset is the bytes kept. */
        const unsigned long long before = s->bytes;
        off_t at = (off_t)before;
        if (capi_write_all(d->file, bytes, room, &at) != 0) {
            /* A full file system (or any write error): this stream keeps
             * nothing more, and says why. */
            snprintf(s->error, sizeof s->error, "%s", strerror(errno));
            d->file = -1; /* the caller closes it */
        }
        s->bytes = (unsigned long long)at;
        s->dropped += room - (size_t)(s->bytes - before);
    } else {
        s->dropped += room;
    }
}

/* Reads what the pipe has; closes it at its end. */
static void read_pipe(drain *d, char *block, unsigned long long max)
{
    ssize_t n;
    do {
        n = read(d->pipe, block, BLOCK);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        keep(d, block, (size_t)n, max);
    } else if (n == 0 || errno != EAGAIN) {
        close(d->pipe);
        d->pipe = -1;
    }
}

static int make_pipe(int ends[2])
{
    if (pipe(ends) != 0) {
        return -1;
    }
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    return 0;
}

static int spawn(pid_t *pid, const char *path, int out, int err, char *const *env)
{
    char *argv[2];
    capi_spawn_how how;
    argv[0] = (char *)path;
    argv[1] = NULL;
    how.in = CAPI_SPAWN_NULL;
    how.out = out;
    how.err = err;
    how.own_group = 1;
    how.search = 0;
    how.env = env;
    return capi_spawn(pid, argv, &how);
}

static int earlier(int wait, unsigned long long at, unsigned long long now)
{
    const unsigned long long left = at > now ? at - now : 0;
    return left < (unsigned long long)wait ? (int)left : wait;
}

void run_test(const char *path, int out_fd, int err_fd, const run_limits *limits,
              capi_session_test *test)
{
    char block[BLOCK];
    int out_pipe[2];
    int err_pipe[2];
    drain drains[2];
    pid_t pid;
    siginfo_t info;
    const unsigned long long start = run_now_ms();
    unsigned long long end = start;
    unsigned long long kill_at = 0;
    unsigned long long drain_until = 0;
    int exited = 0;
    int terminating = 0;
    int killed = 0;
    int timed_out = 0;
    int interrupted = 0;
    int group_killed = 0;
    int rc;
    size_t i;

    if (make_pipe(out_pipe) != 0) {
        goto no_start;
    }
    if (make_pipe(err_pipe) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        goto no_start;
    }
    rc = spawn(&pid, path, out_pipe[1], err_pipe[1], limits->env);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (rc != 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        errno = rc;
        goto no_start;
    }
    drains[0].pipe = out_pipe[0];
    drains[0].file = out_fd;
    drains[0].stream = &test->out;
    drains[1].pipe = err_pipe[0];
    drains[1].file = err_fd;
    drains[1].stream = &test->err;
    for (i = 0; i < 2; ++i) {
        fcntl(drains[i].pipe, F_SETFL, fcntl(drains[i].pipe, F_GETFL) | O_NONBLOCK);
    }
    memset(&info, 0, sizeof info);

    for (;;) {
        struct pollfd fds[3];
        nfds_t count = 0;
        int wait = 1000;
        const unsigned long long now = run_now_ms();

        if (!exited) {
            /* Seen, not yet reaped: its process group id stays taken until
             * the group has been killed below. */
            info.si_pid = 0;
            rc = waitid(P_PID, (id_t)pid, &info, WEXITED | WNOHANG | WNOWAIT);
            if ((rc == 0 && info.si_pid == pid) || (rc != 0 && errno != EINTR)) {
                /* Ended, or (should waiting fail) taken as ended: the group
                 * is killed below either way, so nothing is left running. */
                if (rc != 0) {
                    snprintf(test->reason, sizeof test->reason, "waiting for it: %s", strerror(errno));
                    info.si_code = CLD_KILLED;
                    info.si_status = SIGKILL;
                }
                exited = 1;
                end = now;
                drain_until = now + DRAIN_GRACE_MS;
            }
        }
        if (exited) {
            if (drains[0].pipe < 0 && drains[1].pipe < 0) {
                break;
            }
            if (!group_killed && now >= drain_until) {
                kill(-pid, SIGKILL);
                group_killed = 1;
                drain_until = now + FINAL_DRAIN_MS;
            } else if (group_killed && now >= drain_until) {
                break;
            }
            wait = earlier(wait, drain_until, now);
        } else {
            if (*limits->interrupted && !interrupted) {
                interrupted = 1;
            }
            if (!terminating && (interrupted || now - start >= limits->timeout_ms)) {
                timed_out = !interrupted;
                terminating = 1;
                kill(-pid, SIGTERM);
                kill_at = now + TERM_GRACE_MS;
            }
            if (terminating && !killed && now >= kill_at) {
                kill(-pid, SIGKILL);
                killed = 1;
            }
            if (!terminating) {
                wait = earlier(wait, start + limits->timeout_ms, now);
            } else if (!killed) {
                wait = earlier(wait, kill_at, now);
            }
        }

        for (i = 0; i < 2; ++i) {
            if (drains[i].pipe >= 0) {
                fds[count].fd = drains[i].pipe;
                fds[count].events = POLLIN;
                ++count;
            }
        }
        fds[count].fd = limits->wake_fd;
        fds[count].events = POLLIN;
        ++count;
        if (poll(fds, count, wait) <= 0) {
            continue;
        }
        for (i = 0; i < count - 1; ++i) {
            if (fds[i].revents != 0) {
                drain *d = fds[i].fd == drains[0].pipe ? &drains[0] : &drains[1];
                read_pipe(d, block, limits->max_output);
            }
        }
        if (fds[count - 1].revents != 0) {
            char bytes[64];
            while (read(limits->wake_fd, bytes, sizeof bytes) > 0) {
            }
        }
    }

    /* Whatever the test left running goes with it; then it is reaped. */
    if (!group_killed) {
        kill(-pid, SIGKILL);
    }
    (void)capi_wait(pid);
    for (i = 0; i < 2; ++i) {
        if (drains[i].pipe >= 0) {
            close(drains[i].pipe);
        }
    }
    test->milliseconds = (unsigned long)(end - start);
    if (info.si_code == CLD_EXITED) {
        test->exit_status = info.si_status;
    } else {
        run_signal_name(info.si_status, test->signal, sizeof test->signal);
    }
    if (interrupted) {
        test->outcome = CAPI_INTERRUPTED;
    } else if (timed_out) {
        test->outcome = CAPI_TIMED_OUT;
    } else if (info.si_code == CLD_EXITED) {
        test->outcome = test->exit_status == 0 ? CAPI_PASSED : CAPI_FAILED;
    } else {
        test->outcome = CAPI_CRASHED;
    }
    return;

no_start:
    test->outcome = CAPI_NOT_STARTED;
    snprintf(test->reason, sizeof test->reason, "%s", strerror(errno));
}
