// Helpers for the busprobe tests: a fresh folder per test, busprobe run there
// as a process, the lines it prints, and temporary names matched by pattern.
#ifndef BUSPROBE_TEST_SUPPORT_H
#define BUSPROBE_TEST_SUPPORT_H

#include <stdio.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The ten markers in the order busprobe searches them.
extern const std::vector<std::string> kMarkers;

// A fresh folder under the build tree holding an empty tmp/; removed with
// everything in it at the end.
class RunDir {
public:
    RunDir();
    ~RunDir();
    RunDir(const RunDir &) = delete;
    RunDir &operator=(const RunDir &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    void write(const std::string &name, const std::string &bytes) const;
    // Writes the lines, each with its newline.
    void write_log(const std::vector<std::string> &lines) const;
    // The whole file; fails the test when it cannot be read.
    std::string read(const std::string &name) const;
    bool exists(const std::string &name) const;
    // Names in the folder (or in a folder below it), sorted.
    std::vector<std::string> list(const std::string &sub = "") const;

private:
    std::string path_;
};

// Standard output and exit status of a finished run.
struct RunResult {
    std::string output;
    int exit_status;  // -1 when the program did not exit normally
};

// Variables set in a started program's environment, over the inherited ones.
using Environment = std::vector<std::pair<std::string, std::string>>;

// Arguments of a started program, after its name.
using Arguments = std::vector<std::string>;

// A program started in a folder, with this build's run prefix (qemu for ARM).
class Process {
public:
    Process(const std::string &program, const std::string &dir, const Environment &env = {},
            const Arguments &args = {});
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;
    RunResult finish();

private:
    FILE *pipe_;
};

RunResult run_program(const std::string &program, const std::string &dir,
                      const Environment &env = {}, const Arguments &args = {});

// Replaces every name made from the template (ending in XXXXXX) by the
// template itself, and collects the names in order of appearance.
std::string mask_temp_names(const std::string &text, const std::string &name_template,
                            std::vector<std::string> *names);

// True when the names come in equal pairs (command line, tmpfile line).
bool names_in_pairs(const std::vector<std::string> &names);

// Bytes that grep writes for the marker: every line holding it, with its newline.
long matching_bytes(const std::vector<std::string> &lines, const std::string &marker);

// The lines printed for one marker that is searched.
std::string searched_block(const std::string &marker, const std::string &log_path,
                           const std::string &name_template, long size);

// Everything the function prints to standard output while it runs.
std::string capture_stdout(const std::function<void()> &body);

#endif
