// Helpers for capi-run's tests: a folder of fault programs as a gateway
// would hold them, capi-run run as a process.
#ifndef CAPI_RUN_TEST_SUPPORT_H
#define CAPI_RUN_TEST_SUPPORT_H

// RunDir (a fresh folder with tmp/ in it) and Environment, as the busprobe
// tests have them.
#include "../busprobe/support.h"

#include <string>
#include <vector>

// Puts the fault program capi_fault_<fault> into the folder `sub` of the
// run folder as `name`: a link to it, or under an emulator a script that runs
// it there.
void add_fault(const RunDir &dir, const std::string &sub, const std::string &name, const std::string &fault);
// The same for any program of this build, given by its path.
void add_program(const RunDir &dir, const std::string &sub, const std::string &name, const std::string &program);
// Writes the file and gives it the mode.
void write_file(const RunDir &dir, const std::string &name, const std::string &bytes, int mode);

struct CapiRunResult {
    std::string out;
    std::string err;
    int status;  // exit status, or 128 + signal
};

// capi-run (or `program`, a copy of it) with the arguments, in the folder,
// with this build's run prefix, itself started through `wrapper` when given.
CapiRunResult run_capi(const std::vector<std::string> &args, const std::string &dir,
                   const Environment &env = {}, const std::vector<std::string> &wrapper = {},
                   const std::string &program = CAPI_RUN_PROGRAM);

// capi-run started in the background; interrupt_when() sends it SIGINT once
// the file holds `text`, finish() waits for it.
class Background {
public:
    Background(const std::vector<std::string> &args, const std::string &dir);
    ~Background();
    void interrupt_when(const std::string &file, const std::string &text);
    CapiRunResult finish();

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
