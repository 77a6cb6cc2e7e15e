#include "support.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace {
std::vector<std::string> command(const std::vector<std::string> &args,
                                 const std::vector<std::string> &wrapper = {},
                                 const std::string &program = CAPI_RUN_PROGRAM) {
    std::vector<std::string> argv = wrapper;
    std::istringstream prefix(CAPI_RUN_PREFIX);
    for (std::string word; prefix >> word;) {
        argv.push_back(word);
    }
    argv.push_back(program);
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

std::vector<char *> pointers(std::vector<std::string> &strings) {
    std::vector<char *> p;
    for (auto &s : strings) {
        p.push_back(&s[0]);
    }
    p.push_back(nullptr);
    return p;
}

int status_of(int wait_status) {
    if (WIFEXITED(wait_status)) {
        return WEXITSTATUS(wait_status);
    }
    return 128 + WTERMSIG(wait_status);
}
}  // namespace

void write_file(const RunDir &dir, const std::string &name, const std::string &bytes, int mode) {
    dir.write(name, bytes);
    chmod(dir.file(name).c_str(), static_cast<mode_t>(mode));
}

bool emulated() {
    return CAPI_RUN_PREFIX[0] != '\0';
}

void add_fault(const RunDir &dir, const std::string &sub, const std::string &name, const std::string &fault) {
    add_program(dir, sub, name, std::string(CAPI_FAULT_DIR) + "/capi_fault_" + fault);
}

void add_program(const RunDir &dir, const std::string &sub, const std::string &name, const std::string &program) {
    mkdir(dir.file(sub).c_str(), 0755);
    const std::string path = sub + "/" + name;
    if (!emulated()) {
        ASSERT_EQ(symlink(program.c_str(), dir.file(path).c_str()), 0) << strerror(errno);
        return;
    }
    // The emulated capi-run starts programs of the build machine only: the
    // kernel runs the emulator named in the script's first line.
    std::istringstream prefix(CAPI_RUN_PREFIX);
    std::string emulator;
    prefix >> emulator;
    write_file(dir, path, "#!" + emulator + " " + program + "\n", 0755);
}

CapiRunResult run_capi(const std::vector<std::string> &args, const std::string &dir, const Environment &env,
                   const std::vector<std::string> &wrapper, const std::string &program) {
    std::vector<std::string> argv = command(args, wrapper, program);
    std::vector<char *> argp = pointers(argv);
    gchar **envp = g_get_environ();
    for (const auto &var : env) {
        envp = g_environ_setenv(envp, var.first.c_str(), var.second.c_str(), TRUE);
    }
    CapiRunResult result{"", "", -1};
    GError *error = nullptr;
    GPid pid;
    gint out = -1;
    gint err = -1;
    const gboolean started = g_spawn_async_with_pipes(dir.c_str(), argp.data(), envp,
                                                      static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_SEARCH_PATH),
                                                      nullptr, nullptr, &pid, nullptr, &out, &err, &error);
    g_strfreev(envp);
    if (!started) {
        ADD_FAILURE() << "cannot start capi-run: " << error->message;
        g_error_free(error);
        return result;
    }
    // Both streams read as they come, byte for byte.
    struct pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    std::string *texts[2] = {&result.out, &result.err};
    int open_count = 2;
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0) {
                char block[65536];
                const ssize_t n = ::read(fds[i].fd, block, sizeof block);
                if (n > 0) {
                    texts[i]->append(block, static_cast<size_t>(n));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open_count;
                }
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = status_of(status);
    return result;
}

Background::Background(const std::vector<std::string> &args, const std::string &dir) {
    std::vector<std::string> argv = command(args);
    std::vector<char *> argp = pointers(argv);
    GError *error = nullptr;
    GPid pid;
    gint out = -1;
    if (!g_spawn_async_with_pipes(dir.c_str(), argp.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                                  &pid, nullptr, &out, nullptr, &error)) {
        ADD_FAILURE() << "cannot start capi-run: " << error->message;
        g_error_free(error);
        return;
    }
    pid_ = pid;
    out_ = out;
}

Background::~Background() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        finish();
    }
}

void Background::interrupt_when(const std::string &file, const std::string &text) {
    // Polled: the test program writes it through capi-run into the folder.
    for (int i = 0; i < 3000; ++i) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        if (content.str() == text) {
            kill(pid_, SIGINT);
            return;
        }
        usleep(10 * 1000);
    }
    ADD_FAILURE() << file << " never held " << text;
}

CapiRunResult Background::finish() {
    CapiRunResult result{"", "", -1};
    if (pid_ <= 0) {
        return result;
    }
    char block[4096];
    ssize_t n;
    while ((n = ::read(out_, block, sizeof block)) > 0) {
        text_.append(block, static_cast<size_t>(n));
    }
    close(out_);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    result.out = text_;
    result.status = status_of(status);
    return result;
}

std::string without_seconds(const std::string &text) {
    static const std::regex seconds("seconds: [0-9]+\\.[0-9]{3}");
    return std::regex_replace(text, seconds, "seconds: S");
}

std::string lines_starting(const std::string &text, const std::vector<std::string> &starts) {
    std::string found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        for (const auto &start : starts) {
            if (line.compare(0, start.size(), start) == 0) {
                found += line + "\n";
                break;
            }
        }
    }
    return found;
}
