// capi-run over the fault programs: its TAP output byte for byte (the seconds
// aside), the results folder, the sheet's rows, and the summary read back.
#include "session.h"
#include "support.h"

#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One fault program of the session: its name in the folder and its program.
const std::vector<std::pair<std::string, std::string>> kSuite = {
    {"binary", "binary"}, {"close_stdout", "close_stdout"}, {"crash", "crash"},
    {"flood", "flood"},   {"grandchild", "grandchild"},     {"hang", "hang"},
    {"pass", "pass"},     {"rows", "rows"},
};

// A block with the values every test point has; `lines` go between outcome and seconds.
std::string block(const std::string &outcome, const std::string &lines, const std::string &stem,
                  const std::string &streams, const std::string &rows = "0\n  rows_first: 0\n  rows_passed: 0\n"
                                                                        "  rows_failed: 0") {
    std::string files;
    if (!stem.empty()) {
        files = "  stdout: \"" + stem + ".out\"\n";
    }
    std::string text = "  ---\n  outcome: " + outcome + "\n" + lines + "  seconds: S\n" + files;
    // streams: "OUT_BYTES OUT_DROPPED ERR_BYTES ERR_DROPPED"
    unsigned long long v[4] = {0, 0, 0, 0};
    sscanf(streams.c_str(), "%llu %llu %llu %llu", &v[0], &v[1], &v[2], &v[3]);
    text += "  stdout_bytes: " + std::to_string(v[0]) + "\n  stdout_dropped: " + std::to_string(v[1]) + "\n";
    if (!stem.empty()) {
        text += "  stderr: \"" + stem + ".err\"\n";
    }
    text += "  stderr_bytes: " + std::to_string(v[2]) + "\n  stderr_dropped: " + std::to_string(v[3]) + "\n";
    return text + "  rows: " + rows + "\n  rows_dropped: 0\n  ...\n";
}

const char kFloodBytes[] = "1000000";

// The session over the suite folder, as every test here expects it. Under
// an emulator the crash leaves the emulator's message on standard error.
std::string expected_session(const std::string &results, size_t crash_err = 0) {
    return "TAP version 14\n1..10\n# results in " + results + "\n" +
           "ok 1 - binary\n" + block("passed", "  exit: 0\n", "binary", "512 0 0 0") +
           "ok 2 - close_stdout\n" + block("passed", "  exit: 0\n", "close_stdout", "22 0 25 0") +
           "not ok 3 - crash # crashed: SIGSEGV\n" + block("crashed", "  signal: SIGSEGV\n", "crash", "24 0 " + std::to_string(crash_err) + " 0") +
           "not ok 4 - flood # passed, 934464 bytes dropped\n" +
           block("passed", "  exit: 0\n", "flood", "65536 934464 0 0") +
           "ok 5 - grandchild\n" + block("passed", "  exit: 0\n", "grandchild", "34 0 0 0") +
           "not ok 6 - hang # timed out\n" + block("timed out", "  signal: SIGTERM\n", "hang", "14 0 0 0") +
           "not ok 7 - noexec # not started: not executable\n" +
           block("not started", "  reason: \"not executable\"\n", "", "0 0 0 0") +
           "ok 8 - pass\n" + block("passed", "  exit: 0\n", "pass", "15 0 0 0") +
           "# Subtest: rows\n    1..3\n    ok 1 - fault_rows_first\n    not ok 2 - fault_rows_second\n"
           "    ok 3 - fault_rows_third\n"
           "not ok 9 - rows # failed: exit 3, failed rows: 1\n" +
           block("failed", "  exit: 3\n", "rows", "17 0 0 0", "3\n  rows_first: 1\n  rows_passed: 2\n  rows_failed: 1") +
           "# Subtest: busprobe\n    1..1\n    not ok 1 - signal_capi_function\n"
           "not ok 10 - busprobe # failed rows: 1\n" +
           block("passed", "  exit: 0\n", "busprobe", "200 0 0 0",
                 "1\n  rows_first: 4\n  rows_passed: 0\n  rows_failed: 1") +
           "# 10 test points: 4 ok, 6 not ok\n";
}

// The suite folder with every fault, a file that is not executable, and
// what busprobe (with paths relative to the folder) needs.
void make_suite(const RunDir &dir) {
    for (const auto &fault : kSuite) {
        add_fault(dir, "suite", fault.first, fault.second);
    }
    write_file(dir, "suite/noexec", "not a program\n", 0644);
    dir.write("tolva.log", "");
    mkdir(dir.file("tmp").c_str(), 0755);
    add_program(dir, "bin", "busprobe", CAPI_RUN_BUSPROBE);
}

CapiRunResult run_suite(const RunDir &dir, const std::vector<std::string> &extra = {}) {
    std::vector<std::string> args = {"--results", "res", "--timeout", "1", "--max-output", "65536",
                                      "--sheet", "capi.xls", "--busprobe", "bin/busprobe"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("suite");
    return run_capi(args, dir.path(), {{"CAPI_FAULT_SHEET", "capi.xls"}, {"CAPI_FAULT_FLOOD_BYTES", kFloodBytes}});
}

std::string flood_text(size_t length) {
    std::string text;
    char line[64];
    for (unsigned long long i = 0; text.size() < length; ++i) {
        snprintf(line, sizeof line, "flood line %020llu\n", i);
        text += line;
    }
    return text.substr(0, length);
}

TEST(Session, EveryFaultAsItHappened) {
    RunDir dir;
    make_suite(dir);
    dir.write("capi.xls", "earlier_row \t pass\n");
    const CapiRunResult run = run_suite(dir);
    const std::string crash_err = dir.read("res/crash.err");
    if (emulated()) {
        EXPECT_EQ(crash_err.rfind("qemu: uncaught target signal 11", 0), 0u) << crash_err;
    } else {
        EXPECT_EQ(crash_err, "");
    }
    EXPECT_EQ(without_seconds(run.out), expected_session("res", crash_err.size()));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");

    // The folder: the summary is what was printed; each stream as written.
    EXPECT_EQ(dir.read("res/capi-run.tap"), run.out);
    std::string binary;
    for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
    for (int i = 255; i >= 0; --i) binary += static_cast<char>(i);
    EXPECT_EQ(dir.read("res/binary.out"), binary);
    EXPECT_EQ(dir.read("res/close_stdout.out"), "close_stdout: closing\n");
    EXPECT_EQ(dir.read("res/close_stdout.err"), "close_stdout: still here\n");
    EXPECT_EQ(dir.read("res/crash.out"), "crash: before the crash\n");
    EXPECT_EQ(dir.read("res/flood.out"), flood_text(65536));
    EXPECT_EQ(dir.read("res/grandchild.out"), "grandchild: sleep holds the pipes\n");
    EXPECT_EQ(dir.read("res/pass.out"), "pass: all well\n");
    const std::vector<std::string> files = {
        "binary.err", "binary.out", "busprobe.err", "busprobe.out", "capi-run.plan", "capi-run.tap", "capi.xls",
        "close_stdout.err", "close_stdout.out", "crash.err", "crash.out", "flood.err", "flood.out",
        "grandchild.err", "grandchild.out", "hang.err", "hang.out", "pass.err", "pass.out",
        "rows.err", "rows.out"};
    EXPECT_EQ(dir.list("res"), files);

    // The sheet keeps every row; the folder's copy has the session's own.
    const std::string rows = "fault_rows_first \t pass\nfault_rows_second \t failed\nfault_rows_third \t pass\n"
                             "signal_capi_function \t failed\n";
    EXPECT_EQ(dir.read("capi.xls"), "earlier_row \t pass\n" + rows);
    EXPECT_EQ(dir.read("res/capi.xls"), rows);
}

// What the reader gives back, formatted again, is the summary as written.
TEST(Session, SummaryReadsBackAsWritten) {
    RunDir dir;
    make_suite(dir);
    const CapiRunResult run = run_suite(dir);
    struct Read {
        std::vector<capi_session_test> tests;
        std::vector<std::string> problems;
    } read;
    const int rc = capi_session_read(
        dir.file("res/capi-run.tap").c_str(),
        [](const capi_session_test *test, void *data) {
            static_cast<Read *>(data)->tests.push_back(*test);
            return 0;
        },
        [](const char *message, void *data) { static_cast<Read *>(data)->problems.push_back(message); }, &read);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(read.problems, std::vector<std::string>{});
    std::string again = "TAP version 14\n1..10\n# results in res\n";
    for (const auto &test : read.tests) {
        char point[CAPI_SESSION_POINT_MAX];
        ASSERT_GT(capi_session_format(&test, point, sizeof point), 0u);
        again += point;
    }
    again += "# 10 test points: 4 ok, 6 not ok\n";
    // The rows' subtests come from the sheet, not from the points.
    std::string points;
    for (size_t at = 0, end; at < run.out.size(); at = end + 1) {
        end = run.out.find('\n', at);
        const std::string line = run.out.substr(at, end - at + 1);
        if (line.compare(0, 11, "# Subtest: ") != 0 && line.compare(0, 4, "    ") != 0) points += line;
    }
    EXPECT_EQ(again, points);
    ASSERT_EQ(read.tests.size(), 10u);
    // The fields a report needs, as the record holds them.
    EXPECT_EQ(read.tests[2].outcome, CAPI_CRASHED);
    EXPECT_STREQ(read.tests[2].signal, "SIGSEGV");
    EXPECT_EQ(read.tests[2].exit_status, -1);
    EXPECT_EQ(read.tests[3].out.dropped, 934464u);
    EXPECT_EQ(read.tests[5].outcome, CAPI_TIMED_OUT);
    EXPECT_EQ(read.tests[6].outcome, CAPI_NOT_STARTED);
    EXPECT_STREQ(read.tests[6].out.file, "");
    EXPECT_EQ(read.tests[8].exit_status, 3);
    EXPECT_EQ(read.tests[8].rows_first, 1u);
    EXPECT_EQ(read.tests[8].rows, 3u);
    EXPECT_STREQ(read.tests[9].name, "busprobe");
    EXPECT_EQ(read.tests[9].rows_first, 4u);
    EXPECT_GE(read.tests[5].milliseconds, 1000u);
}

// A summary cut short (the gateway died, the folder's file system was full).
TEST(Session, CutSummaryIsNamed) {
    RunDir dir;
    const struct {
        const char *text;
        std::vector<std::string> problems;
    } cases[] = {
        {"TAP version 14\n1..2\nok 1 - a\n  ---\n  outcome: passed\n  ...\n", {":6: 1 test point of the 2 planned"}},
        {"TAP version 14\n1..1\nok 1 - a\n  ---\n  outcome: passed\n", {":5: the last test point breaks off",
                                                                       ":5: 0 test points of the 1 planned"}},
        {"TAP version 14\n1..1\nok 1 - a\n  ---\n  outc", {":5: last line without newline",
                                                          ":5: the last test point breaks off",
                                                          ":5: 0 test points of the 1 planned"}},
        {"TAP version 14\n1..1\nok 2 - a\n  ---\n  seconds: x\n  ...\n", {":3: test point 2 where 1 was due",
                                                                         ":5: bad value of seconds"}},
        {"capi.xls row \t pass\n", {":1: not a session summary (no \"TAP version 14\")", ":1: no plan"}},
    };
    for (const auto &c : cases) {
        dir.write("summary", c.text);
        std::vector<std::string> problems;
        const int rc = capi_session_read(
            dir.file("summary").c_str(), nullptr,
            [](const char *message, void *data) {
                static_cast<std::vector<std::string> *>(data)->push_back(message);
            },
            &problems);
        std::vector<std::string> expected;
        for (const auto &p : c.problems) expected.push_back(dir.file("summary") + p);
        EXPECT_EQ(problems, expected) << c.text;
        EXPECT_EQ(rc, static_cast<int>(expected.size())) << c.text;
    }
    errno = 0;
    EXPECT_EQ(capi_session_read(dir.file("missing").c_str(), nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(errno, ENOENT);
}

// Names that would break a TAP line are escaped, and read back whole.
TEST(Session, NamesStayOnTheirLine) {
    RunDir dir;
    const struct {
        std::string name;
        std::string shown;
    } cases[] = {
        {"a#b", "a\\#b"},
        {"back\\slash", "back\\\\slash"},
        {"new\nline", "new\\x0aline"},
        {"tab\t # x", "tab\\x09 \\# x"},
        {"caf\xc3\xa9", "caf\\xc3\\xa9"},
        {"ok 2 - fake", "ok 2 - fake"},
    };
    std::vector<std::string> args = {"--results", "res", "--no-busprobe", "--sheet", "capi.xls"};
    std::string expected = "TAP version 14\n1..6\n# results in res\n";
    int n = 0;
    for (const auto &c : cases) {
        add_fault(dir, "t", c.name, "pass");
        args.push_back("t/" + c.name);
        expected += "ok " + std::to_string(++n) + " - " + c.shown + "\n";
    }
    const CapiRunResult run = run_capi(args, dir.path());
    EXPECT_EQ(lines_starting(run.out, {"TAP", "1..", "#", "ok ", "not ok "}),
              expected + "# 6 test points: 6 ok, 0 not ok\n");
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> names;
    capi_session_read(
        dir.file("res/capi-run.tap").c_str(),
        [](const capi_session_test *test, void *data) {
            static_cast<std::vector<std::string> *>(data)->push_back(test->name);
            return 0;
        },
        nullptr, &names);
    std::vector<std::string> raw;
    for (const auto &c : cases) raw.push_back(c.name);
    EXPECT_EQ(names, raw);
}

// The same name twice: the second one's files get a number.
TEST(Session, SameNameTwiceKeepsBothOutputs) {
    RunDir dir;
    add_fault(dir, "t", "pass", "pass");
    const CapiRunResult run =
        run_capi({"--results", "res", "--no-busprobe", "--sheet", "capi.xls", "t/pass", "t/pass"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("  stdout: \"pass-2.out\"\n"), std::string::npos) << run.out;
    EXPECT_EQ(dir.read("res/pass-2.out"), "pass: all well\n");
    EXPECT_EQ(dir.read("res/pass.out"), "pass: all well\n");
}

// Set-up and usage errors: exit status 2, a message, no results folder.
TEST(Session, UsageAndSetupErrors) {
    RunDir dir;
    add_fault(dir, "t", "pass", "pass");
    // The usage is the one --help begins with (its text is the options' test's).
    const std::string help = run_capi({"--help"}, dir.path()).out;
    const std::string usage = help.substr(0, help.find("\n\n") + 1);
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{}, std::string("capi-run: no TEST given\n") + usage},
        {{"--bogus", "t/pass"}, std::string("capi-run: unknown option --bogus\n") + usage},
        {{"--timeout", "0", "t/pass"}, std::string("capi-run: --timeout takes a number of seconds above 0\n") + usage},
        {{"--timeout", "5s", "t/pass"}, std::string("capi-run: --timeout takes a number of seconds above 0\n") + usage},
        {{"--max-output", "-1", "t/pass"}, std::string("capi-run: --max-output takes a number of bytes\n") + usage},
        {{"--results"}, std::string("capi-run: --results needs a value\n") + usage},
        {{"--busprobe", "x", "--no-busprobe", "t/pass"},
         std::string("capi-run: --busprobe and --no-busprobe exclude each other\n") + usage},
        {{"--results", "no/such/res", "t/pass"},
         "capi-run: cannot make the results folder no/such/res: No such file or directory\n"},
    };
    for (const auto &c : cases) {
        const CapiRunResult run = run_capi(c.args, dir.path());
        EXPECT_EQ(run.status, 2) << c.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(dir.list(""), (std::vector<std::string>{"t", "tmp"}));
}

// An existing results folder is kept; the session takes the next free name.
TEST(Session, ExistingResultsAreKept) {
    RunDir dir;
    add_fault(dir, "t", "pass", "pass");
    mkdir(dir.file("res").c_str(), 0755);
    dir.write("res/old", "earlier session\n");
    const CapiRunResult run = run_capi({"--results", "res", "--no-busprobe", "--sheet", "capi.xls", "t/pass"}, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "capi-run: res exists and is kept; the results go to res.1\n");
    EXPECT_EQ(run.out.substr(0, 42), "TAP version 14\n1..1\n# results in res.1\nok ");
    EXPECT_EQ(dir.list("res"), std::vector<std::string>{"old"});
    EXPECT_EQ(dir.read("res.1/pass.out"), "pass: all well\n");
}

// busprobe is the one beside capi-run unless named; a missing one is a test
// point that did not start.
TEST(Session, BusprobeBesideTheRunner) {
    RunDir dir;
    add_fault(dir, "t", "pass", "pass");
    // A copy of the runner with a "busprobe" beside it.
    std::ifstream in(CAPI_RUN_PROGRAM, std::ios::binary);
    std::ostringstream program;
    program << in.rdbuf();
    mkdir(dir.file("bin").c_str(), 0755);
    write_file(dir, "bin/capi-run", program.str(), 0755);
    add_fault(dir, "bin", "busprobe", "pass");
    const CapiRunResult beside = run_capi({"--results", "res", "--sheet", "capi.xls", "t/pass"}, dir.path(), {}, {},
                                      dir.file("bin/capi-run"));
    EXPECT_EQ(beside.status, 0) << beside.out;
    EXPECT_NE(beside.out.find("ok 2 - busprobe\n"), std::string::npos) << beside.out;
    EXPECT_EQ(dir.read("res/busprobe.out"), "pass: all well\n");

    const CapiRunResult missing =
        run_capi({"--results", "res2", "--sheet", "capi.xls", "--busprobe", "no/busprobe", "t/pass"}, dir.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("not ok 2 - busprobe # not started: no/busprobe: No such file or directory\n"),
              std::string::npos)
        << missing.out;
}

// SIGINT ends the running test's group; the rest is reported, not run.
TEST(Session, InterruptEndsTheRunningTest) {
    RunDir dir;
    add_fault(dir, "t", "a", "pass");
    add_fault(dir, "t", "b", "hang");
    add_fault(dir, "t", "c", "pass");
    Background capi({"--results", "res", "--sheet", "capi.xls", "t"}, dir.path());
    capi.interrupt_when(dir.file("res/b.out"), "hang: waiting\n");
    const CapiRunResult run = capi.finish();
    EXPECT_EQ(run.status, 1);
    const std::string out = without_seconds(run.out);
    EXPECT_NE(out.find("ok 1 - a\n"), std::string::npos) << out;
    EXPECT_NE(out.find("not ok 2 - b # interrupted\n  ---\n  outcome: interrupted\n  signal: SIGTERM\n"),
              std::string::npos) << out;
    EXPECT_NE(out.find("not ok 3 - c # not started: capi-run got SIGINT\n"), std::string::npos) << out;
    EXPECT_NE(out.find("not ok 4 - busprobe # not started: capi-run got SIGINT\n"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 32), "# 4 test points: 1 ok, 3 not ok\n");
    EXPECT_EQ(dir.read("res/capi-run.tap"), run.out);
}

// A file-size limit (as a full file system) cuts the stream; the run goes on.
TEST(Session, WriteErrorIsReportedAndTheRunGoesOn) {
    RunDir dir;
    add_fault(dir, "t", "flood", "flood");
    add_fault(dir, "t", "pass", "pass");
    const CapiRunResult run = run_capi({"--results", "res", "--no-busprobe", "--sheet", "capi.xls", "t"}, dir.path(),
                                   {{"CAPI_FAULT_FLOOD_BYTES", "200000"}}, {"prlimit", "--fsize=100000", "--"});
    EXPECT_EQ(run.status, 1);
    const std::string out = without_seconds(run.out);
    EXPECT_NE(out.find("not ok 1 - flood # passed, 100000 bytes dropped\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  stdout_bytes: 100000\n  stdout_dropped: 100000\n  stdout_error: \"File too large\"\n"),
              std::string::npos) << out;
    EXPECT_NE(out.find("ok 2 - pass\n"), std::string::npos) << out;
    EXPECT_EQ(dir.read("res/flood.out"), flood_text(100000));
}

}  // namespace

namespace {

// A results folder on a file system that fills up: the streams that find no
// room say so, the session goes on, and its summary is still whole.
TEST(Session, FullFileSystem) {
    RunDir dir;
    // After the flood, more test points than the summary's last page holds.
    add_fault(dir, "t", "flood", "flood");
    for (int i = 10; i < 22; ++i) add_fault(dir, "t", "pass" + std::to_string(i), "pass");
    mkdir(dir.file("small").c_str(), 0755);
    // In a mount namespace of its own, where a small tmpfs can be mounted;
    // the folder is copied out before the namespace goes.
    const std::string script =
        "mount -t tmpfs -o size=256k tmpfs small || exit 77; \"$@\"; rc=$?; cp -R small/res copy; exit $rc";
    const CapiRunResult run =
        run_capi({"--results", "small/res", "--no-busprobe", "--sheet", "capi.xls", "t"}, dir.path(),
                 {{"CAPI_FAULT_FLOOD_BYTES", "1048576"}}, {"unshare", "-m", "sh", "-c", script, "sh"});
    if (run.status == 77 || run.err.find("unshare:") != std::string::npos) {
        GTEST_SKIP() << "no tmpfs to fill here: " << run.err;
    }
    EXPECT_EQ(run.status, 1) << run.err;
    std::vector<capi_session_test> tests;
    EXPECT_EQ(capi_session_read(
                  dir.file("copy/capi-run.tap").c_str(),
                  [](const capi_session_test *test, void *data) {
                      static_cast<std::vector<capi_session_test> *>(data)->push_back(*test);
                      return 0;
                  },
                  nullptr, &tests),
              0);
    EXPECT_EQ(dir.read("copy/capi-run.tap"), run.out);
    ASSERT_EQ(tests.size(), 13u);
    EXPECT_STREQ(tests[0].out.error, "No space left on device");
    EXPECT_EQ(tests[0].out.bytes + tests[0].out.dropped, 1048576u);
    EXPECT_GT(tests[0].out.bytes, 0u);
    EXPECT_EQ(dir.read("copy/flood.out"), flood_text(tests[0].out.bytes));
    for (size_t i = 1; i < tests.size(); ++i) {
        EXPECT_EQ(tests[i].outcome, CAPI_PASSED);
        EXPECT_STREQ(tests[i].out.error, "No space left on device");
        EXPECT_EQ(tests[i].out.dropped, 15u);
    }
}

}  // namespace

namespace {

// Summaries with a byte changed or cut anywhere: read without a crash or a
// read past a field, and one cut before its last test point's end never
// reads as whole.
TEST(Session, MangledSummariesAreReadSafely) {
    RunDir dir;
    add_fault(dir, "t", "pass", "pass");
    add_fault(dir, "t", "rows", "rows");
    const CapiRunResult run =
        run_capi({"--results", "res", "--no-busprobe", "--sheet", "capi.xls", "t"}, dir.path());
    const std::string summary = run.out;
    unsigned seed = 5;
    const auto next = [&seed](size_t range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<size_t>((seed >> 8) % range);
    };
    for (int round = 0; round < 200; ++round) {
        std::string text = summary;
        if (round % 2 == 0) {
            text[next(text.size())] = static_cast<char>(next(256));
        } else {
            text.resize(next(text.size()));
        }
        dir.write("summary", text);
        int points = 0;
        const int rc = capi_session_read(
            dir.file("summary").c_str(),
            [](const capi_session_test *test, void *data) {
                EXPECT_LT(strlen(test->name), sizeof test->name);
                ++*static_cast<int *>(data);
                return 0;
            },
            nullptr, &points);
        EXPECT_GE(rc, 0) << round;
        // Cut before the end of the last test point's block: something is missing.
        if (round % 2 == 1 && text.size() < summary.rfind("  ...\n") + 6) {
            EXPECT_GT(rc, 0) << round << ": a cut summary reads as whole";
        }
    }
}

}  // namespace

namespace {

// The rows a test appends are copied whole, however they fall on the
// runner's read blocks; what cannot be a row, and what is past the limit,
// is dropped and counted, never cut.
TEST(Session, SheetRowsCopiedWhole) {
    const struct {
        const char *what;
        std::string script;  // appends to capi.xls
        std::vector<std::string> options;
        std::string copy;    // the folder's capi.xls
        std::string counts;  // rows, rows_first, passed, failed, dropped as the block shows them
        std::string sheet;   // capi.xls before the test
    } cases[] = {
        {"a thousand rows, over several blocks",
         "i=0; while [ $i -lt 1000 ]; do printf 'row_%04d_padding_padding \\t %s\\n' $i pass; i=$((i+1)); done",
         {},
         "",
         "1000 1 1000 0 0", ""},
        {"an unfinished last line", "printf 'x \\t pass\\ny \\t fai'", {}, "x \t pass\ny \t fai\n", "2 1 1 0 0", ""},
        {"a line longer than any row",
         "printf 'a \\t failed\\n%0400d\\nb \\t pass\\n' 0", {}, "a \t failed\nb \t pass\n", "2 1 1 1 401", ""},
        {"past the limit", "printf 'r1 \\t pass\\nr2 \\t pass\\nr3 \\t pass\\nr4 \\t pass\\n'", {"--max-output", "25"},
         "r1 \t pass\nr2 \t pass\n", "2 1 2 0 20", ""},
        {"the sheet rewritten: all it then holds is the test's", "printf 'new \\t failed\\n' > capi.xls; true", {},
         "new \t failed\n", "1 1 0 1 0", "old_1 \t pass\nold_2 \t pass\nold_3 \t pass\n"},
    };
    for (const auto &c : cases) {
        RunDir dir;
        mkdir(dir.file("t").c_str(), 0755);
        if (!c.sheet.empty()) write_file(dir, "capi.xls", c.sheet, 0644);
        write_file(dir, "t/rows", "#!/bin/sh\n" + c.script + " >> capi.xls\n", 0755);
        std::vector<std::string> args = {"--results", "res", "--no-busprobe", "--sheet", "capi.xls"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("t/rows");
        const CapiRunResult run = run_capi(args, dir.path());
        std::string copy = c.copy;
        if (copy.empty()) copy = dir.read("capi.xls");
        EXPECT_EQ(dir.read("res/capi.xls"), copy) << c.what;
        unsigned long rows = 0, first = 0, passed = 0, failed = 0;
        unsigned long long dropped = 0;
        sscanf(c.counts.c_str(), "%lu %lu %lu %lu %llu", &rows, &first, &passed, &failed, &dropped);
        const std::string block = "  rows: " + std::to_string(rows) + "\n  rows_first: " + std::to_string(first) +
                                  "\n  rows_passed: " + std::to_string(passed) + "\n  rows_failed: " +
                                  std::to_string(failed) + "\n  rows_dropped: " + std::to_string(dropped) + "\n";
        EXPECT_NE(run.out.find(block), std::string::npos) << c.what << "\n" << run.out;
        EXPECT_EQ(run.status, dropped == 0 && failed == 0 ? 0 : 1) << c.what;
    }
}

}  // namespace
