// Google Benchmark of busprobe on a generated 100 MB middleware log, beside
// ten `grep -F` runs over the same log (busprobe's own work is ten such
// runs). Two logs: the ten markers only at the end, and markers recurring
// every few hundred lines all through it. The logs are written into a fresh
// temporary folder at start and removed at the end; busprobe runs there with
// relative paths (a build of it made for this), under this build's run prefix
// (qemu for ARM).
#include <benchmark/benchmark.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "markers.h"

#ifndef BUSPROBE_BENCH_PROGRAM
#error "the build defines BUSPROBE_BENCH_PROGRAM and BUSPROBE_BENCH_RUN_PREFIX"
#endif

namespace {

const long long kLogBytes = 100LL * 1024 * 1024;
// In the recurring log: one marker line after this many filler lines.
const int kMarkerEvery = 500;

std::string top_dir;

// Writes a log of about kLogBytes into dir/tolva.log and makes dir/tmp.
void write_log(const std::string &dir, bool recurring) {
    g_mkdir_with_parents((dir + "/tmp").c_str(), 0700);
    FILE *log = fopen((dir + "/tolva.log").c_str(), "w");
    if (log == nullptr) {
        perror("busprobe_bench: log");
        exit(1);
    }
    long long written = 0;
    for (long long line = 0; written < kLogBytes; ++line) {
        int n = fprintf(log, "2024-05-17 12:%02lld:%02lld.%06lld tolva[%lld]: dbus: object /com/tolva/obj%lld "
                             "property Status changed, value %lld\n",
                        line / 60 % 60, line % 60, line % 1000000, 1000 + line % 97, line % 4096, line * 7919 % 100003);
        if (recurring && line % kMarkerEvery == kMarkerEvery - 1) {
            n += fprintf(log, "2024-05-17 12:00:00.000000 testapp: %s\n", kMarkers[line / kMarkerEvery % 10]);
        }
        written += n;
    }
    for (const char *marker : kMarkers) fprintf(log, "2024-05-17 13:00:00.000000 testapp: %s\n", marker);
    if (fclose(log) != 0) {
        perror("busprobe_bench: log");
        exit(1);
    }
}

// Runs a shell command in dir; the benchmark fails when the shell cannot be
// started. posix_spawn, not fork: under qemu-arm a forked child dies at once.
void run_in(benchmark::State &state, const std::string &dir, const std::string &command) {
    gchar *quoted = g_shell_quote(dir.c_str());
    const std::string line = std::string("cd ") + quoted + " && " + command;
    g_free(quoted);
    char sh[] = "/bin/sh";
    char c[] = "-c";
    char *argv[] = {sh, c, const_cast<char *>(line.c_str()), nullptr};
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, sh, nullptr, nullptr, argv, environ) != 0 || waitpid(child, &status, 0) != child ||
        !WIFEXITED(status)) {
        state.SkipWithError("the shell did not run");
    }
}

std::string busprobe_command() {
    gchar *quoted = g_shell_quote(BUSPROBE_BENCH_PROGRAM);
    std::string command = std::string(BUSPROBE_BENCH_RUN_PREFIX) + " " + quoted + " > /dev/null";
    g_free(quoted);
    return command;
}

void busprobe(benchmark::State &state, const char *log) {
    const std::string dir = top_dir + "/" + log;
    for (auto _ : state) run_in(state, dir, busprobe_command());
}

// The shell command busprobe runs for each marker, matches written to a file.
void grep_ten(benchmark::State &state, const char *log) {
    const std::string dir = top_dir + "/" + log;
    for (auto _ : state) {
        for (const char *marker : kMarkers) {
            run_in(state, dir, std::string("grep -a -F -e \"") + marker + "\" -- tolva.log > tmp/found");
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    GError *error = nullptr;
    gchar *made = g_dir_make_tmp("busprobe_bench_XXXXXX", &error);
    if (made == nullptr) {
        fprintf(stderr, "busprobe_bench: %s\n", error->message);
        return 1;
    }
    top_dir = made;
    g_free(made);
    write_log(top_dir + "/markers_at_end", false);
    write_log(top_dir + "/markers_recurring", true);
    for (const char *log : {"markers_at_end", "markers_recurring"}) {
        benchmark::RegisterBenchmark((std::string("busprobe/") + log).c_str(), busprobe, log)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
        benchmark::RegisterBenchmark((std::string("grep_F_ten/") + log).c_str(), grep_ten, log)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Everything the runs leave: the logs, the sheets, grep's output file.
    for (const char *log : {"markers_at_end", "markers_recurring"}) {
        const std::string dir = top_dir + "/" + log;
        for (const char *name : {"/tolva.log", "/capi.xls", "/tmp/found"}) g_remove((dir + name).c_str());
        g_rmdir((dir + "/tmp").c_str());
        g_rmdir(dir.c_str());
    }
    return g_rmdir(top_dir.c_str()) == 0 ? 0 : 1;
}
