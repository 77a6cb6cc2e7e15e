// Helpers for capi-run's tests: a fresh folder per test, a folder of fault
// programs as a gateway would hold them, capi-run run as a process.
#ifndef CAPI_RUN_TEST_SUPPORT_H
#define CAPI_RUN_TEST_SUPPORT_H

#include <string>
#include <utility>
#include <vector>

// A fresh folder under runs/, removed with everything in it at the end.
class RunDir {
public:
    RunDir();
    ~RunDir();
    RunDir(const RunDir &) = delete;
    RunDir &operator=(const RunDir &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    void write(const std::string &name, const std::string &bytes, int mode = 0644) const;
    std::string read(const std::string &name) const;
    bool exists(const std::string &name) const;
    // Names in a folder below this one, sorted.
    std::vector<std::string> list(const std::string &sub) const;
    // Puts the fault program capi_fault_<fault> into the folder `sub` as `name`:
    // a link to it, or under an emulator a script that runs it there.
    void add_fault(const std::string &sub, const std::string &name, const std::string &fault) const;
    // The same for any program of this build, given by its path.
    void add_program(const std::string &sub, const std::string &name, const std::string &program) const;

private:
    std::string path_;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

struct RunResult {
    std::string out;
    std::string err;
    int status;  // exit status, or 128 + signal
};

// capi-run (or `program`, a copy of it) with the arguments, in the folder,
// with this build's run prefix, itself started through `wrapper` when given.
RunResult run_capi(const std::vector<std::string> &args, const std::string &dir,
                   const Environment &env = {}, const std::vector<std::string> &wrapper = {},
                   const std::string &program = CAPI_RUN_PROGRAM);

// capi-run started in the background; interrupt_when() sends it SIGINT once
// the file holds `text`, finish() waits for it.
class Background {
public:
    Background(const std::vector<std::string> &args, const std::string &dir);
    ~Background();
    void interrupt_when(const std::string &file, const std::string &text);
    RunResult finish();

private:
    int pid_ = -1;
    int out_ = -1;
    std::string text_;
};

// The text with every "seconds: N.NNN" made "seconds: S".
std::string without_seconds(const std::string &text);

// Whether this build's programs run under an emulator.
bool emulated();

// Lines of the text that start with `start`, each with its newline.
std::string lines_starting(const std::string &text, const std::vector<std::string> &starts);

#endif  // CAPI_RUN_TEST_SUPPORT_H
