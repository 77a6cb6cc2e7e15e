// busprobe's two options: "--help" and "--version" print and exit 0 without
// searching the log or touching the sheet; every other argument is ignored.
#include "support.h"

#include "fieldaudit_version.h"

#include <gtest/gtest.h>

namespace {

const char kEarlierRow[] = "wifi_capi_function \t pass\n";

// The copy under test names its relative paths.
const std::string kHelp =
    "Usage: busprobe [--help | --version]\n"
    "Searches the middleware's log tolva.log for the ten D-Bus marker\n"
    "texts in call order and appends one row, signal_capi_function with pass or\n"
    "failed, to the result sheet capi.xls. Other arguments are ignored;\n"
    "the exit status is 0 (the outcome is in the output and in the sheet).\n";
const std::string kVersion = std::string("busprobe ") + FIELDAUDIT_VERSION + "\n";

struct Case {
    Arguments args;
    const std::string *printed;  // null: the arguments are ignored and the probe runs
};

const Case kCases[] = {
    {{"--help"}, &kHelp},
    {{"--version"}, &kVersion},
    {{"-v", "--version", "--help"}, &kVersion},
    {{"extra", "--help"}, &kHelp},
    {{"--", "--help"}, nullptr},
    {{"-h", "--helpx", "version"}, nullptr},
};

TEST(BusprobeOptions, HelpAndVersionNeitherSearchNorWrite) {
    for (const Case &c : kCases) {
        std::string shown;
        for (const std::string &arg : c.args) shown += " " + arg;
        SCOPED_TRACE("busprobe" + shown);
        RunDir dir;
        dir.write_log({"TolvaDBusSetProperty only"});
        dir.write("capi.xls", kEarlierRow);

        const RunResult run = run_program(BUSPROBE_WORKDIR_PROGRAM, dir.path(), {}, c.args);
        EXPECT_EQ(0, run.exit_status);
        if (c.printed != nullptr) {
            EXPECT_EQ(*c.printed, run.output);
            EXPECT_EQ(kEarlierRow, dir.read("capi.xls"));
        } else {
            // The second marker is absent: a searched run ends with its failed row.
            EXPECT_NE(std::string::npos, run.output.find("\nfailed!!!!!\n")) << run.output;
            EXPECT_EQ(std::string(kEarlierRow) + "signal_capi_function \t failed\n",
                      dir.read("capi.xls"));
        }
        EXPECT_EQ((std::vector<std::string>{"capi.xls", "tmp", "tolva.log"}), dir.list());
        EXPECT_EQ(std::vector<std::string>{}, dir.list("tmp"));
    }
}

}  // namespace
