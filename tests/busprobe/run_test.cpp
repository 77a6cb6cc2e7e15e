// busprobe run as a process in a folder of its own, with the paths "tolva.log",
// "capi.xls" and "tmp/tmp_file.XXXXXX" relative to that folder.
#include "support.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kLog[] = "tolva.log";
const char kTemplate[] = "tmp/tmp_file.XXXXXX";
const char kPassRow[] = "signal_capi_function \t pass\n";
const char kFailedRow[] = "signal_capi_function \t failed\n";

// A log as the middleware writes it after a full test application run; one
// marker occurs on two lines, and other lines hold none.
const std::vector<std::string> kFullLog = {
    "[10:00:00] capi: init ok",
    "[10:00:01] capi: TolvaDBusSetProperty path=/com/tolva/testapp1 ret=0",
    "[10:00:01] testTolvaDBusPropSetFunction testapp1Title value=on",
    "[10:00:02] capi: TolvaDBusGetProperty path=/com/tolva/testapp1 ret=0",
    "[10:00:02] testTolvaDBusPropGetFunction testapp1Title",
    "[10:00:03] capi: TolvaDBusSetMultiProperty count=2 ret=0",
    "[10:00:03] testTolvaDBusPropSetMultiFunction count=2",
    "[10:00:04] capi: TolvaDBusGetAllProperty ret=0",
    "[10:00:04] testTolvaDBusPropGetAllFunction",
    "[10:00:05] capi: TolvaDBusSubscribeSignal name=Changed ret=0",
    "[10:00:06] callback My_TolvaDBusSignalFunction name=Changed",
    "[10:00:07] capi: TolvaDBusSetProperty path=/com/tolva/testapp2 ret=0",
};

std::vector<std::string> without(const std::vector<std::string> &lines, const std::string &marker) {
    std::vector<std::string> kept;
    for (const std::string &line : lines) {
        if (line.find(marker) == std::string::npos) kept.push_back(line);
    }
    return kept;
}

// The output of a run over the log: each marker's block up to the first
// absent one, then the verdict line.
std::string expected_output(const std::vector<std::string> &log) {
    std::string text;
    for (const std::string &marker : kMarkers) {
        const long size = matching_bytes(log, marker);
        text += searched_block(marker, kLog, kTemplate, size);
        if (size == 0) return text + "failed!!!!!\n";
    }
    return text + "pass!!!\n";
}

// Runs the copy in the folder: exit status 0, temporary names paired and
// masked, no temporary file left behind.
std::string run_masked(const RunDir &dir, const Environment &env = {}) {
    const RunResult run = run_program(BUSPROBE_WORKDIR_PROGRAM, dir.path(), env);
    EXPECT_EQ(0, run.exit_status);
    std::vector<std::string> names;
    const std::string masked = mask_temp_names(run.output, kTemplate, &names);
    EXPECT_TRUE(names_in_pairs(names)) << run.output;
    EXPECT_EQ(std::vector<std::string>{}, dir.list("tmp"));
    return masked;
}

TEST(BusprobeRun, AllTenMarkersPresentPasses) {
    RunDir dir;
    dir.write_log(kFullLog);

    EXPECT_EQ(expected_output(kFullLog), run_masked(dir));
    EXPECT_EQ(kPassRow, dir.read("capi.xls"));
    EXPECT_EQ((std::vector<std::string>{"capi.xls", "tmp", "tolva.log"}), dir.list());
}

TEST(BusprobeRun, FirstAbsentMarkerEndsTheSearch) {
    RunDir dir;
    const std::vector<std::string> log = without(kFullLog, kMarkers[5]);
    dir.write_log(log);

    const std::string output = run_masked(dir);
    EXPECT_EQ(expected_output(log), output);
    // Markers 7 to 10 are in the log but never searched.
    for (size_t i = 6; i < kMarkers.size(); ++i) {
        EXPECT_EQ(std::string::npos, output.find(kMarkers[i])) << kMarkers[i];
    }
    EXPECT_EQ(kFailedRow, dir.read("capi.xls"));
}

TEST(BusprobeRun, MarkerInsideLongerTextIsPresent) {
    RunDir dir;
    // Every marker only as part of a longer word, a single line holding two.
    const std::vector<std::string> log = {
        "x" + kMarkers[0] + "Done;" + kMarkers[2] + "Result",
        "<" + kMarkers[1] + "Extra>",
        "2" + kMarkers[3] + "2",
        "pre" + kMarkers[4] + "post",
        "_" + kMarkers[5] + "_",
        kMarkers[6] + "s",
        "a" + kMarkers[7],
        kMarkers[8] + "Ex",
        "[" + kMarkers[9] + "2]",
    };
    dir.write_log(log);

    EXPECT_EQ(expected_output(log), run_masked(dir));
    EXPECT_EQ(kPassRow, dir.read("capi.xls"));
}

TEST(BusprobeRun, MissingLogFailsAtFirstMarker) {
    RunDir dir;

    EXPECT_EQ(searched_block(kMarkers[0], kLog, kTemplate, 0) + "failed!!!!!\n", run_masked(dir));
    EXPECT_EQ(kFailedRow, dir.read("capi.xls"));
    EXPECT_EQ((std::vector<std::string>{"capi.xls", "tmp"}), dir.list());
}

TEST(BusprobeRun, EachRunAppendsOneRowAndKeepsEarlierRows) {
    RunDir dir;
    const std::string earlier = "wifi_capi_function \t pass\n";
    dir.write("capi.xls", earlier);
    const std::vector<std::string> partial = without(kFullLog, kMarkers[9]);
    dir.write_log(partial);

    EXPECT_EQ(expected_output(partial), run_masked(dir));
    EXPECT_EQ(earlier + kFailedRow, dir.read("capi.xls"));

    dir.write_log(kFullLog);
    EXPECT_EQ(expected_output(kFullLog), run_masked(dir));
    EXPECT_EQ(earlier + kFailedRow + kPassRow, dir.read("capi.xls"));
}

TEST(BusprobeRun, SheetThatCannotBeOpenedIsReported) {
    RunDir dir;
    dir.write_log(kFullLog);
    ASSERT_EQ(0, mkdir(dir.file("capi.xls").c_str(), 0755));

    EXPECT_EQ(expected_output(kFullLog) + "fopen error!\n", run_masked(dir));

    dir.write_log(without(kFullLog, kMarkers[0]));
    EXPECT_EQ(searched_block(kMarkers[0], kLog, kTemplate, 0) + "failed!!!!!\nfopen error!\n",
              run_masked(dir));
    EXPECT_EQ(std::vector<std::string>{}, dir.list("capi.xls"));
}

// The row writer refuses a link in the sheet's place; its own tests cover a
// link to an existing file.
TEST(BusprobeRun, SheetLinkIsNeverFollowed) {
    RunDir dir;
    dir.write_log(kFullLog);
    ASSERT_EQ(0, symlink("target", dir.file("capi.xls").c_str()));

    EXPECT_EQ(expected_output(kFullLog) + "fopen error!\n", run_masked(dir));
    EXPECT_FALSE(dir.exists("target")) << "link followed to create its target";
    struct stat status;
    EXPECT_TRUE(lstat(dir.file("capi.xls").c_str(), &status) == 0 && S_ISLNK(status.st_mode));
}

// A middleware log is text with occasional garbage: a NUL byte early in the
// file, or bytes that are not valid UTF-8 on the one line with a marker. Searched
// under a UTF-8 locale with GNU grep and with BusyBox's grep, which most
// gateways' shell has, every marker is still found.
TEST(BusprobeRun, LogWithGarbageIsSearchedAsText) {
    std::vector<std::string> nul_log = kFullLog, invalid_utf8_log = kFullLog;
    nul_log.insert(nul_log.begin() + 1, std::string("[10:00:00] \0\x01 reset\x7f", 20));
    invalid_utf8_log[2] += " name=\xff\xfe\xc3(";
    const char *inherited = getenv("PATH");
    const std::string path = inherited != nullptr ? inherited : "/usr/bin:/bin";
    for (const bool busybox : {false, true}) {
        for (const std::vector<std::string> *log : {&nul_log, &invalid_utf8_log}) {
            SCOPED_TRACE(std::string(busybox ? "BusyBox grep, " : "GNU grep, ") +
                         (log == &nul_log ? "NUL byte" : "invalid UTF-8"));
            RunDir dir;
            dir.write_log(*log);
            Environment env = {{"LC_ALL", "C.UTF-8"}, {"PATH", path}};
            if (busybox) {
                // BusyBox runs as grep when it is called by that name.
                ASSERT_NE(std::string(), BUSPROBE_BUSYBOX) << "busybox is not installed (scripts/setup)";
                ASSERT_EQ(0, mkdir(dir.file("bin").c_str(), 0755));
                ASSERT_EQ(0, symlink(BUSPROBE_BUSYBOX, dir.file("bin/grep").c_str()));
                env[1].second = dir.file("bin") + ":" + path;
            }

            EXPECT_EQ(expected_output(*log), run_masked(dir, env));
            EXPECT_EQ(kPassRow, dir.read("capi.xls"));
        }
    }
}

TEST(BusprobeRun, NoTemporaryFileMeansMarkerAbsent) {
    RunDir dir;
    dir.write_log(kFullLog);
    ASSERT_EQ(0, rmdir(dir.file("tmp").c_str()));

    const RunResult run = run_program(BUSPROBE_WORKDIR_PROGRAM, dir.path());
    EXPECT_EQ(0, run.exit_status);
    EXPECT_EQ("log \"" + kMarkers[0] + "\" not exist\nfailed!!!!!\n", run.output);
    EXPECT_EQ(kFailedRow, dir.read("capi.xls"));
}

TEST(BusprobeRun, RunsAtTheSameTimeEachAppendOneWholeRow) {
    RunDir dir;
    // A longer log keeps the searches busy while the other run works.
    std::vector<std::string> log;
    for (int i = 0; i < 2000; ++i) log.push_back("[09:59:59] capi: poll " + std::to_string(i));
    log.insert(log.end(), kFullLog.begin(), kFullLog.end());
    dir.write_log(log);

    Process first(BUSPROBE_WORKDIR_PROGRAM, dir.path());
    Process second(BUSPROBE_WORKDIR_PROGRAM, dir.path());
    for (Process *process : {&first, &second}) {
        const RunResult run = process->finish();
        EXPECT_EQ(0, run.exit_status);
        std::vector<std::string> names;
        EXPECT_EQ(expected_output(log), mask_temp_names(run.output, kTemplate, &names));
    }
    EXPECT_EQ(std::string(kPassRow) + kPassRow, dir.read("capi.xls"));
    EXPECT_EQ(std::vector<std::string>{}, dir.list("tmp"));
}

}  // namespace
