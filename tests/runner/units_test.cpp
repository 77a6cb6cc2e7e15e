// capi-run's units called directly: the command line, the test list, the
// results folder, the rows' copy, the console output, starting a program,
// and the decimal numbers every reader in runner/ takes.
#include "console.h"
#include "folder.h"
#include "journal.h"
#include "options.h"
#include "process.h"
#include "rows.h"
#include "support.h"
#include "testlist.h"
#include "text.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string text_of(FILE *file) {
    std::string text;
    rewind(file);
    for (int c; (c = fgetc(file)) != EOF;) text += static_cast<char>(c);
    fclose(file);
    return text;
}

const char kUsage[] =
    "usage: capi-run [--results DIR] [--timeout SECONDS] [--max-output BYTES] [--sheet FILE]\n"
    "                [--busprobe PATH | --no-busprobe] [--console] [--lava]\n"
    "                [--label KEY=VALUE]... [--journal FILE] [--restarts NAME]...\n"
    "                [--restart-wait SECONDS] [--help] [--version] TEST...\n";

TEST(Options, ReadIntoTheirFieldsOrRefusedWithTheUsage) {
    const struct {
        std::vector<const char *> args;
        int status;
        const char *err;  // the line before the usage
        const char *fields;  // what was read, for a session
    } cases[] = {
        {{"t"}, -1, "", "/tmp/capi-run 600000 4194304 SHEET - 0 0 0 [] t"},
        {{"--results=r", "--timeout", "0.0004", "--max-output", "0", "--sheet", "s", "--busprobe", "b", "--console",
          "--lava", "a", "b"},
         -1, "", "r 1 0 s b 0 1 1 [] a b"},
        {{"--no-busprobe", "--label", "board=gw2", "--label=build=4.1 rc", "--", "--x"}, -1, "",
         "/tmp/capi-run 600000 4194304 SHEET - 1 0 0 [board=gw2 build=4.1 rc] --x"},
        {{"t", "--console"}, -1, "", "/tmp/capi-run 600000 4194304 SHEET - 0 0 0 [] t --console"},
        {{"--max-output", "007", "t"}, 2, "capi-run: --max-output takes a number of bytes\n", ""},
        {{"--label", "=x", "t"}, 2,
         "capi-run: --label =x: give KEY=VALUE (KEY of letters, digits and ._-; at most 255 bytes in all)\n", ""},
        {{"--label", "a b=x", "t"}, 2,
         "capi-run: --label a b=x: give KEY=VALUE (KEY of letters, digits and ._-; at most 255 bytes in all)\n", ""},
        {{"--console=1", "t"}, 2, "capi-run: unknown option --console=1\n", ""},
        {{"--busprobe", "b", "--no-busprobe", "t"}, 2, "capi-run: --busprobe and --no-busprobe exclude each other\n", ""},
        {{"--version"}, 0, "", ""},
    };
    for (const auto &c : cases) {
        std::vector<char *> argv = {const_cast<char *>("capi-run")};
        for (const char *a : c.args) argv.push_back(const_cast<char *>(a));
        argv.push_back(nullptr);
        capi_run_options o;
        capi_run_options_defaults(&o, "SHEET");
        FILE *out = tmpfile();
        FILE *err = tmpfile();
        const int status = capi_run_options_read(static_cast<int>(argv.size() - 1), argv.data(), &o, out, err);
        const std::string printed = text_of(out);
        const std::string complaint = text_of(err);
        SCOPED_TRACE(c.err);
        EXPECT_EQ(c.status, status);
        EXPECT_EQ(status == 2 ? std::string(c.err) + kUsage : "", complaint);
        if (status == 0) {
            EXPECT_EQ("capi-run 0.1.0\n", printed);
        }
        if (status != -1) continue;
        std::string fields = std::string(o.results) + " " + std::to_string(o.timeout_ms) + " " +
                             std::to_string(o.max_output) + " " + o.sheet + " " + (o.busprobe ? o.busprobe : "-") + " " +
                             std::to_string(o.no_busprobe) + " " + std::to_string(o.console) + " " +
                             std::to_string(o.lava) + " [";
        for (size_t i = 0; i < o.label_count; ++i) fields += (i ? " " : "") + std::string(o.labels[i]);
        fields += "]";
        for (size_t i = 0; i < o.test_count; ++i) fields += std::string(" ") + o.tests[i];
        EXPECT_EQ(c.fields, fields);
    }
}

TEST(Decimal, OnlyTheKitsOwnWriting) {
    const struct {
        const char *text;
        int ok;
        unsigned long long value;
    } cases[] = {
        {"0", 1, 0}, {"7", 1, 7}, {"4294967296", 1, 4294967296ULL}, {"18446744073709551615", 1, ~0ULL},
        {"18446744073709551616", 0, 0}, {"", 0, 0}, {"01", 0, 0}, {"00", 0, 0}, {"+1", 0, 0}, {"-1", 0, 0},
        {" 1", 0, 0}, {"1 ", 0, 0}, {"1x", 0, 0}, {"0x10", 0, 0},
    };
    for (const auto &c : cases) {
        unsigned long long value = 12345;
        EXPECT_EQ(c.ok, capi_read_decimal(c.text, &value)) << c.text;
        EXPECT_EQ(c.ok ? c.value : 12345, value) << c.text;
    }
}

TEST(TestList, FoldersInNameOrderAndEveryFileThatCannotRun) {
    RunDir dir;
    mkdir(dir.file("t").c_str(), 0755);
    write_file(dir, "t/b", "#!/bin/sh\n", 0755);
    write_file(dir, "t/a", "#!/bin/sh\n", 0755);
    write_file(dir, "t/B", "#!/bin/sh\n", 0755);
    write_file(dir, "t/noexec", "x\n", 0644);
    write_file(dir, "t/.hidden", "#!/bin/sh\n", 0755);
    mkdir(dir.file("t/sub").c_str(), 0755);
    write_file(dir, "one", "#!/bin/sh\n", 0755);
    capi_test_list list = {nullptr, 0, 0};
    for (const std::string operand : {"t", "one", "missing", "t/sub"}) {
        ASSERT_EQ(0, capi_test_list_add(&list, dir.file(operand).c_str()));
    }
    ASSERT_EQ(0, capi_test_list_add(&list, "/dev/null"));
    std::string got;
    for (size_t i = 0; i < list.count; ++i) {
        const std::string path = list.items[i].path;
        got += (path.compare(0, dir.path().size(), dir.path()) == 0 ? path.substr(dir.path().size() + 1) : path) +
               ": " + (list.items[i].reason ? list.items[i].reason : "runs") + "\n";
    }
    capi_test_list_free(&list);
    EXPECT_EQ("t/B: runs\nt/a: runs\nt/b: runs\nt/noexec: not executable\none: runs\n"
              "missing: No such file or directory\n/dev/null: not a regular file\n",
              got);
}

TEST(Folder, KeptAndNumberedNamesStemsAndTheRoomCutOff) {
    RunDir dir;
    char error[512] = "";
    capi_folder folders[3];
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0, capi_folder_make(&folders[i], dir.file("res").c_str(), error, sizeof error));
    EXPECT_EQ(dir.file("res.2"), folders[2].path);
    capi_folder &f = folders[0];
    char stem[CAPI_FOLDER_STEM_MAX + 16];
    const struct {
        const char *name;
        const char *reserved;
        const char *stem;
    } stems[] = {{"t", nullptr, "t"}, {"t", nullptr, "t-2"}, {"busprobe", "busprobe", "busprobe-2"},
                 {"busprobe", nullptr, "busprobe"}};
    for (const auto &c : stems) {
        capi_folder_stem(&f, c.name, c.reserved, stem);
        EXPECT_STREQ(c.stem, stem);
        close(capi_folder_file(&f, (std::string(stem) + ".out").c_str(), nullptr, 0));
    }
    capi_folder_stem(&f, std::string(300, 'n').c_str(), nullptr, stem);
    EXPECT_EQ(std::string(CAPI_FOLDER_STEM_MAX, 'n'), stem);
    capi_kept_file kept;
    ASSERT_EQ(0, capi_kept_open(&f, "kept", 4096, &kept));
    ASSERT_EQ(0, capi_kept_write(&kept, "abc", 3));
    ASSERT_EQ(0, capi_kept_close(&kept));
    EXPECT_EQ("abc", dir.read("res/kept"));
    EXPECT_EQ(-1, capi_folder_file(&f, "kept", error, sizeof error));
    EXPECT_STREQ("File exists", error);
    EXPECT_EQ((std::vector<std::string>{"busprobe-2.out", "busprobe.out", "kept", "t-2.out", "t.out"}),
              dir.list("res"));
    for (auto &folder : folders) capi_folder_close(&folder);
}

TEST(Folder, AllNamesTakenIsSaid) {
    RunDir dir;
    mkdir(dir.file("r").c_str(), 0755);
    for (int i = 1; i <= CAPI_FOLDER_TRIES; ++i) mkdir(dir.file("r." + std::to_string(i)).c_str(), 0755);
    char error[4096];
    capi_folder f;
    EXPECT_EQ(-1, capi_folder_make(&f, dir.file("r").c_str(), error, sizeof error));
    const std::string r = dir.file("r");
    EXPECT_EQ(r + " and " + r + ".1 to " + r + ".99 all exist: remove some", error);
}

// What the sheet grew by, copied row by row: the counts, the copy, the reason.
TEST(Rows, CopiedCountedAndCut) {
    const struct {
        const char *before;  // the sheet before the test
        const char *after;   // and after it
        unsigned long long max;
        const char *copy;
        const char *counts;  // rows first passed failed dropped / reason
    } cases[] = {
        {"old \t pass\n", "old \t pass\na \t pass\nb \t failed\n", 1000, "a \t pass\nb \t failed\n", "2 1 1 1 0 /"},
        {"", "a \t pass\r\nnot a row\nc \t pass", 1000, "a \t pass\r\nnot a row\nc \t pass\n", "3 1 2 0 0 /"},
        {"old \t pass\nolder \t pass\n", "new \t failed\n", 1000, "new \t failed\n",
         "1 1 0 1 0 /the sheet shrank from 24 to 13 bytes"},
    };
    for (const auto &c : cases) {
        RunDir dir;
        char error[256];
        capi_folder f;
        ASSERT_EQ(0, capi_folder_make(&f, dir.file("res").c_str(), error, sizeof error));
        capi_kept_file copy;
        ASSERT_EQ(0, capi_kept_open(&f, "capi.xls", 1024, &copy));
        dir.write("sheet", c.after);
        capi_rows rows = {&copy, 0, c.max};
        capi_session_test test = {};
        capi_rows_copy(&rows, dir.file("sheet").c_str(), static_cast<long long>(strlen(c.before)),
                       capi_sheet_size(dir.file("sheet").c_str()), &test);
        capi_kept_close(&copy);
        capi_folder_close(&f);
        EXPECT_EQ(c.copy, dir.read("res/capi.xls")) << c.after;
        EXPECT_EQ(c.counts, std::to_string(test.rows) + " " + std::to_string(test.rows_first) + " " +
                                std::to_string(test.rows_passed) + " " + std::to_string(test.rows_failed) + " " +
                                std::to_string(test.rows_dropped) + " /" + test.reason)
            << c.after;
    }
}

// The summary: the same bytes on standard output and in the folder.
TEST(Console, SummaryOnTheOutputAndInTheFolder) {
    RunDir dir;
    char error[256];
    capi_folder f;
    ASSERT_EQ(0, capi_folder_make(&f, dir.file("res").c_str(), error, sizeof error));
    const int out = open(dir.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    capi_console console;
    ASSERT_EQ(0, capi_console_open(&console, &f, out, 0));
    const char *labels[] = {"board=gw2", "build=4.1 \xc3\xa9\t#x"};
    const char *names[] = {"t#1"};
    capi_console_begin(&console, names, 1, labels, 2);
    // Its rows, as the rows' copy holds them after an earlier test's row.
    capi_kept_file rows;
    ASSERT_EQ(0, capi_kept_open(&f, "capi.xls", 1024, &rows));
    const std::string copied = "old \t pass\nwifi #2 \t pass\nled \t failed\nnot a row\nlast \t pass";
    ASSERT_EQ(0, capi_kept_write(&rows, copied.data(), copied.size()));
    capi_session_test test = {};
    test.number = 1;
    strcpy(test.name, "t#1");
    test.outcome = CAPI_PASSED;
    test.rows = 4;
    test.rows_first = 2;
    test.rows_passed = 2;
    test.rows_failed = 1;
    capi_console_point(&console, &test, &rows, 11, static_cast<off_t>(copied.size()));
    capi_console_end(&console, 1, 1, 0);
    close(out);
    capi_kept_close(&rows);
    EXPECT_FALSE(console.failed);
    const std::string expected = "TAP version 14\n1..1\n# results in " + std::string(f.path) +
                                 "\n# label board=gw2\n# label build=4.1 \\xc3\\xa9\\x09#x\n"
                                 "# Subtest: t\\#1\n    1..4\n    ok 1 - wifi \\#2\n    not ok 2 - led\n"
                                 "    not ok 3 - (not a row)\n    ok 4 - last\n"
                                 "not ok 1 - t\\#1 # failed rows: 1\n  ---\n  outcome: passed\n  exit: 0\n  seconds: 0.000\n"
                                 "  stdout_bytes: 0\n  stdout_dropped: 0\n  stderr_bytes: 0\n  stderr_dropped: 0\n  rows: 4\n"
                                 "  rows_first: 2\n  rows_passed: 2\n  rows_failed: 1\n  rows_dropped: 0\n  ...\n"
                                 "# 1 test point: 0 ok, 1 not ok\n";
    EXPECT_EQ(expected, dir.read("out"));
    EXPECT_EQ(expected, dir.read("res/capi-run.tap"));
    capi_folder_close(&f);
}

TEST(Process, StartedWaitedAndItsStreamsPlaced) {
    RunDir dir;
    const int out = open(dir.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char *argv[] = {const_cast<char *>("sh"), const_cast<char *>("-c"),
                    const_cast<char *>("read x || echo \"no input\"; echo err >&2; exit 3"), nullptr};
    capi_spawn_how how = {CAPI_SPAWN_NULL, out, CAPI_SPAWN_NULL, 1, 1, nullptr};
    const int status = capi_spawn_wait(argv, &how);
    close(out);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(3, WEXITSTATUS(status));
    EXPECT_EQ("no input\n", dir.read("out"));
    char *missing[] = {const_cast<char *>("/nonexistent/program"), nullptr};
    how.search = 0;
    how.out = CAPI_SPAWN_NULL;
    // Under an emulator's user mode glibc's child, not posix_spawn, finds
    // the program missing: it ends with status 127, as a shell's child
    // would (musl's posix_spawn still reports it).
    const int missing_status = capi_spawn_wait(missing, &how);
    const bool reported = missing_status == -1 && errno == ENOENT;
    const bool child_said = WIFEXITED(missing_status) && WEXITSTATUS(missing_status) == 127;
    EXPECT_TRUE(reported || (emulated() && child_said)) << missing_status;
}

// The journal read back: its state up to the last whole record, a cut
// record taken out, other tests or other files refused, a finished session
// kept under new names.
TEST(Journal, ReadUpToItsLastWholeRecord) {
    const char *names[] = {"a", "b c", "busprobe"};
    const struct {
        const char *what;
        std::vector<std::string> records;  // after the head; "CUT:text" is written without its end
        capi_journal_state state;
        const char *read;  // ended not_ok running running_restarts restarts summary sheet rows / error
    } cases[] = {
        {"a test running", {"head 40", "start 1 1000 0 a", "end 1 1 300 10 1", "start 2 2000 10 b c"},
         CAPI_JOURNAL_RESUMED, "1 0 2 0 0 300 10 1"},
        {"a record cut", {"head 40", "start 1 1000 0 a", "CUT:end 1 1 30"}, CAPI_JOURNAL_RESUMED, "0 0 1 0 0 40 0 0"},
        {"restarts during a test and between",
         {"head 40", "restart 1 5", "start 1 1000 0 a", "restart 2 6", "start 1 7000 0 a", "restart 3 8"},
         CAPI_JOURNAL_RESUMED, "0 0 1 2 3 40 0 0"},
        {"a failed test", {"head 40", "start 1 1000 0 a", "end 1 0 300 10 1"}, CAPI_JOURNAL_RESUMED,
         "1 1 0 0 0 300 10 1"},
        {"finished", {"head 40", "done"}, CAPI_JOURNAL_FINISHED, "kept"},
    };
    for (const auto &c : cases) {
        RunDir dir;
        capi_journal j;
        char kept[512] = "", error[512] = "";
        mkdir(dir.file("res").c_str(), 0755);
        ASSERT_EQ(CAPI_JOURNAL_NEW, capi_journal_open(&j, dir.file("j").c_str(), names, 3, kept, sizeof kept, error,
                                                      sizeof error));
        ASSERT_EQ(0, capi_journal_begin(&j, "0123456789abcdef", dir.file("res").c_str(), names, 3));
        for (const auto &r : c.records) {
            if (r.compare(0, 4, "CUT:") == 0) {
                ASSERT_EQ(static_cast<ssize_t>(r.size() - 4), write(j.fd, r.data() + 4, r.size() - 4));
            } else {
                ASSERT_EQ(0, capi_journal_record(&j, "%s", r.c_str()));
            }
        }
        capi_journal_close(&j);
        const capi_journal_state state =
            capi_journal_open(&j, dir.file("j").c_str(), names, 3, kept, sizeof kept, error, sizeof error);
        EXPECT_EQ(c.state, state) << c.what << ": " << error;
        if (state == CAPI_JOURNAL_FINISHED) {
            EXPECT_EQ(dir.file("j.1") + " and " + dir.file("res.1"), kept);
            EXPECT_EQ((std::vector<std::string>{"j.1", "res.1", "tmp"}), dir.list(""));
        } else {
            EXPECT_EQ(c.read, std::to_string(j.ended) + " " + std::to_string(j.not_ok) + " " +
                                  std::to_string(j.running) + " " + std::to_string(j.running_restarts) + " " +
                                  std::to_string(j.restarts) + " " + std::to_string(j.summary_bytes) + " " +
                                  std::to_string(j.sheet_bytes) + " " + std::to_string(j.rows))
                << c.what;
            // What follows a cut record begins a line of its own.
            EXPECT_EQ(0, capi_journal_record(&j, "done"));
            const std::string text = dir.read("j");
            EXPECT_EQ(std::string::npos, text.find("end 1 1 30d")) << c.what;
        }
        capi_journal_close(&j);
    }
}

TEST(Journal, OtherTestsOrFilesAreSetUpErrors) {
    const char *names[] = {"a", "b"};
    const char *other[] = {"a", "c"};
    const struct {
        const char *bytes;  // the file; null: a journal of `names`, then `raw` and `record` appended
        const char *const *names;
        size_t count;
        const char *error;  // after "the journal PATH cannot be taken on: "
        const char *raw;
        const char *record;
    } cases[] = {
        {nullptr, other, 2, "test 2 is b there, c here", "", nullptr},
        {nullptr, names, 1, "test 2 is b there, none here", "", nullptr},
        {"hello\n", names, 2, "not a capi-run journal (its first line is not \"capi-run journal 1\")", "", nullptr},
        {"capi-run journal 1 00000000\n", names, 2,
         "not a capi-run journal (its first line is not \"capi-run journal 1\")", "", nullptr},
        // Damage before the end is not a power loss: nothing after it is dropped.
        {nullptr, names, 2, "its line 5 is damaged and more follows it", "head 4\n", "head 40"},
        {nullptr, names, 2, "its line 5 is damaged and more follows it", "head 40 00000000\n", "head 40"},
        // Records out of order: a test that ends without its start, a start
        // past the tests, a second session.
        {nullptr, names, 2, "its line 5 is not a record of this session", "", "end 1 1 0 0 0"},
        {nullptr, names, 2, "its line 5 is not a record of this session", "", "start 3 0 0 x"},
        {nullptr, names, 2, "its line 5 is not a record of this session", "", "session 0123456789abcdef 0 res"},
    };
    for (const auto &c : cases) {
        RunDir dir;
        capi_journal j;
        char kept[512], error[1024] = "";
        if (c.bytes == nullptr) {
            capi_journal_open(&j, dir.file("j").c_str(), names, 2, kept, sizeof kept, error, sizeof error);
            ASSERT_EQ(0, capi_journal_begin(&j, "0123456789abcdef", "res", names, 2));
            ASSERT_EQ(static_cast<ssize_t>(strlen(c.raw)), write(j.fd, c.raw, strlen(c.raw)));
            if (c.record != nullptr) {
                ASSERT_EQ(0, capi_journal_record(&j, "%s", c.record));
            }
            capi_journal_close(&j);
        } else {
            dir.write("j", c.bytes);
        }
        EXPECT_EQ(CAPI_JOURNAL_ERROR,
                  capi_journal_open(&j, dir.file("j").c_str(), c.names, c.count, kept, sizeof kept, error, sizeof error));
        EXPECT_EQ("the journal " + dir.file("j") + " cannot be taken on: " + c.error + " (it is kept as it is)",
                  std::string(error));
        capi_journal_close(&j);
    }
}

}  // namespace
