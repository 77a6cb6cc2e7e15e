// capi-run's report to LAVA: names made of LAVA's characters and unique, and
// the exact helper calls made for a test point, with stand-ins for LAVA's
// helpers and for capi-report that write down how they were called.
#include <gtest/gtest.h>

#include <glib.h>
#include <glib/gstdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "lava.h"

namespace {

struct NameCase {
    const char *name;
    size_t length;  // 0: strlen
    size_t max;
    const char *lava;
};

TEST(LavaName, KeepsLavaCharactersAndMapsRunsOfOthers) {
    const NameCase cases[] = {
        {"capi_demo", 0, 100, "capi_demo"},
        {"CheckTolvaDeviceInfo_t", 0, 100, "CheckTolvaDeviceInfo_t"},
        {"a-b.c_d09", 0, 100, "a-b.c_d09"},
        {"wifi timer", 0, 100, "wifi_timer"},
        {"Wi-Fi (5 GHz)", 0, 100, "Wi-Fi_5_GHz_"},
        {"a_ b", 0, 100, "a__b"},
        {"a/b:c=d>e", 0, 100, "a_b_c_d_e"},
        {"\xc3\xa9t\xc3\xa9", 0, 100, "_t_"},
        {"tab\there", 0, 100, "tab_here"},
        {"nul\0byte", 8, 100, "nul_byte"},
        {"", 0, 100, "_"},
        {"   ", 0, 100, "_"},
        {"abcdefgh", 0, 5, "abcde"},
        {"ab   cdefgh", 0, 4, "ab_c"},
    };
    for (const NameCase &c : cases) {
        char out[128];
        const size_t length = c.length != 0 ? c.length : strlen(c.name);
        const size_t n = capi_lava_name(c.name, length, c.max, out, sizeof out);
        EXPECT_STREQ(c.lava, out) << c.name;
        EXPECT_EQ(strlen(c.lava), n) << c.name;
    }
}

TEST(LavaName, NeverWritesPastItsRoom) {
    char out[6];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(5u, capi_lava_name("abcdefghij", 10, 100, out, sizeof out));
    EXPECT_STREQ("abcde", out);
}

struct UniqueCase {
    int set;
    const char *name;
    size_t max;
    const char *given;
};

TEST(LavaUnique, NumbersRepeatsWithinTheirKindAndLength) {
    const UniqueCase cases[] = {
        {0, "a", 100, "a"},
        {0, "a", 100, "a.2"},
        {0, "a", 100, "a.3"},
        {0, "a.2", 100, "a.2.2"},
        {1, "a", 100, "a"},  // a set may share a case's name
        {1, "a", 100, "a.2"},
        {0, "abcdef", 6, "abcdef"},
        {0, "abcdef", 6, "abcd.2"},
        {0, "abcd.2", 6, "abcd.3"},
    };
    std::unique_ptr<capi_lava> lava(new capi_lava);
    capi_lava_start(lava.get(), 1, "results", nullptr);
    for (const UniqueCase &c : cases) {
        char name[128];
        strcpy(name, c.name);
        const size_t n = capi_lava_unique(lava.get(), c.set, name, c.max, sizeof name);
        EXPECT_STREQ(c.given, name) << c.name;
        EXPECT_EQ(strlen(c.given), n);
    }
}

TEST(LavaUnique, NumbersEveryNameOnceItCanRememberNoMore) {
    std::unique_ptr<capi_lava> lava(new capi_lava);
    capi_lava_start(lava.get(), 1, "results", nullptr);
    char name[128];
    for (int i = 0; i < CAPI_LAVA_NAMES; ++i) {
        g_snprintf(name, sizeof name, "case%d", i);
        capi_lava_unique(lava.get(), 0, name, 100, sizeof name);
        ASSERT_EQ("case" + std::to_string(i), std::string(name));
    }
    const char *const after[] = {"case0", "x", "x"};
    const char *const given[] = {"case0.n1", "x.n2", "x.n3"};
    for (int i = 0; i < 3; ++i) {
        strcpy(name, after[i]);
        capi_lava_unique(lava.get(), 0, name, 100, sizeof name);
        EXPECT_STREQ(given[i], name);
    }
}

// A folder with stand-ins for lava-test-case, lava-test-set and capi-report,
// each writing its arguments as one line of a transcript.
class LavaPoint : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/capi-lava-test-XXXXXX";
        ASSERT_NE(nullptr, g_mkdtemp(templ));
        dir_ = templ;
        transcript_ = dir_ + "/transcript";
        bin_ = dir_ + "/bin";
        results_ = dir_ + "/results";
        g_mkdir(bin_.c_str(), 0755);
        g_mkdir(results_.c_str(), 0755);
        for (const char *helper : {"lava-test-case", "lava-test-set"}) {
            stand_in(helper, std::string("printf '%s\\n' \"") + helper + " $*\" >>" + transcript_);
        }
        old_path_ = g_getenv("PATH") != nullptr ? g_getenv("PATH") : "";
        g_setenv("PATH", (bin_ + ":" + old_path_).c_str(), TRUE);
    }
    void TearDown() override {
        g_setenv("PATH", old_path_.c_str(), TRUE);
        const std::string command = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(0, system(command.c_str()));
    }

    void stand_in(const char *name, const std::string &body) {
        const std::string path = bin_ + "/" + name;
        const std::string text = "#!/bin/sh\n" + body + "\n";
        ASSERT_TRUE(g_file_set_contents(path.c_str(), text.c_str(), -1, nullptr));
        g_chmod(path.c_str(), 0755);
    }
    void write(const char *name, const std::string &text) {
        ASSERT_TRUE(g_file_set_contents((results_ + "/" + name).c_str(), text.c_str(), -1, nullptr));
    }
    std::string transcript() {
        gchar *text = nullptr;
        if (!g_file_get_contents(transcript_.c_str(), &text, nullptr, nullptr)) return "";
        std::string s(text);
        g_free(text);
        return s;
    }
    static capi_session_test point(const char *name, capi_outcome outcome, const char *out) {
        capi_session_test t;
        memset(&t, 0, sizeof t);
        t.number = 1;
        g_strlcpy(t.name, name, sizeof t.name);
        t.outcome = outcome;
        t.exit_status = outcome == CAPI_PASSED ? 0 : -1;
        t.milliseconds = 1234;
        g_strlcpy(t.out.file, out, sizeof t.out.file);
        return t;
    }

    std::string dir_, transcript_, bin_, results_, old_path_;
};

// What capi-report --cases prints for a log: a call (two of one checker,
// under headings, the second numbered), a failed call with its field, a
// call with entries, the output's problems.
const char kCases[] =
    "capi demo.out\tCheckTolvaDeviceInfo_t #1\tpass\t\n"
    "capi demo.out\tcapi_demo: network: CheckTolvaNetworkInfo_t\tfail\tLANIPAddr: does not match format DATA_IP\n"
    "capi demo.out\tCheckTolva_FileEntry_t\tpass\t\n"
    "capi demo.out\tCheckTolvaDeviceInfo_t #2\tpass\t\n"
    "capi demo.out\t(log)\terror\t2 problems\n";

TEST_F(LavaPoint, ReportsCallsRowsAndOutcomeAsOneSet) {
    const std::string report = bin_ + "/capi-report";
    stand_in("capi-report", "printf '%s\\n' \"capi-report $*\" >>" + transcript_ + "\ncat <<'EOF'\n" +
                                std::string(kCases) + "EOF");
    // Rows 3-7 are the test's: a pass, a failed, one with a CR, a malformed
    // line, a line longer than any row.
    write("capi.xls",
          "other \t pass\nother \t failed\ndevice_info_function \t pass\nwifi timer \t failed\n"
          "device_info_function \t pass\r\nnot a row\n" + std::string(5000, 'x') + " \t pass\nlater \t pass\n");
    capi_session_test t = point("capi demo", CAPI_FAILED, "capi demo.out");
    t.exit_status = 1;
    t.rows_first = 3;
    t.rows = 5;
    std::unique_ptr<capi_lava> lava(new capi_lava);
    capi_lava_start(lava.get(), 0, results_.c_str(), report.c_str());
    ASSERT_TRUE(lava->on);
    capi_lava_point(lava.get(), &t);
    EXPECT_EQ("lava-test-set start capi_demo\n"
              "capi-report --cases - --log " + results_ + "/capi demo.out\n"
              "lava-test-case capi_demo.CheckTolvaDeviceInfo_t --result pass\n"
              "lava-test-case capi_demo.CheckTolvaNetworkInfo_t --result fail\n"
              "lava-test-case capi_demo.CheckTolva_FileEntry_t --result pass\n"
              "lava-test-case capi_demo.CheckTolvaDeviceInfo_t.2 --result pass\n"
              "lava-test-case capi_demo._log_ --result fail\n"
              "lava-test-case capi_demo.device_info_function --result pass\n"
              "lava-test-case capi_demo.wifi_timer --result fail\n"
              "lava-test-case capi_demo.device_info_function.2 --result pass\n"
              "lava-test-case capi_demo._sheet_ --result fail\n"
              "lava-test-case capi_demo._sheet_.2 --result fail\n"
              "lava-test-case capi_demo --result fail --measurement 1.234 --units seconds\n"
              "lava-test-set stop\n",
              transcript());
}

// "(log)" of an output without any call: only lines of the kit outside a
// call, or an output that could not be read, make it a failed case.
TEST_F(LavaPoint, AnOutputWithoutCallsFailsOnlyForItsStrayLines) {
    const struct {
        const char *log_case;
        const char *lava;
    } cases[] = {
        {"x.out\t(log)\terror\t1 problem\n", ""},
        {"x.out\t(log)\terror\t2 problems\n", "lava-test-case t._log_ --result fail\n"},
        {"x.out\t(log)\terror\tcannot read x.out: Permission denied\n", "lava-test-case t._log_ --result fail\n"},
        {"", ""},
    };
    std::unique_ptr<capi_lava> lava(new capi_lava);
    const std::string report = bin_ + "/capi-report";
    std::string expected;
    for (const auto &c : cases) {
        capi_lava_start(lava.get(), 0, results_.c_str(), report.c_str());
        stand_in("capi-report", std::string("printf '") + c.log_case + "'");
        const capi_session_test t = point("t", CAPI_PASSED, "x.out");
        capi_lava_point(lava.get(), &t);
        expected += std::string("lava-test-set start t\n") + c.lava + "lava-test-case t --result pass --measurement 1.234 "
                    "--units seconds\nlava-test-set stop\n";
    }
    EXPECT_EQ(expected, transcript());
}

TEST_F(LavaPoint, EveryOutcomeButPassedFailsAndNamesStayUnique) {
    struct {
        const char *name;
        capi_outcome outcome;
        unsigned long long dropped;
        const char *lines;
    } cases[] = {
        {"crasher", CAPI_CRASHED, 0, "crasher --result fail"},
        {"hang", CAPI_TIMED_OUT, 0, "hang --result fail"},
        {"not-exec", CAPI_NOT_STARTED, 0, "not-exec --result fail"},
        {"stopped", CAPI_INTERRUPTED, 0, "stopped --result fail"},
        {"flood", CAPI_PASSED, 10, "flood --result fail"},  // output lost
        {"ok", CAPI_PASSED, 0, "ok --result pass"},
        {"ok", CAPI_PASSED, 0, "ok.2 --result pass"},
    };
    std::unique_ptr<capi_lava> lava(new capi_lava);
    // No capi-report: no calls, and nothing spawned for them.
    capi_lava_start(lava.get(), 0, results_.c_str(), nullptr);
    std::string expected;
    for (const auto &c : cases) {
        capi_session_test t = point(c.name, c.outcome, "x.out");
        t.out.dropped = c.dropped;
        capi_lava_point(lava.get(), &t);
        const std::string set = std::string(c.lines).substr(0, std::string(c.lines).find(' '));
        expected += "lava-test-set start " + set + "\nlava-test-case " + c.lines +
                    " --measurement 1.234 --units seconds\nlava-test-set stop\n";
    }
    EXPECT_EQ(expected, transcript());
}

TEST_F(LavaPoint, OffOutsideALavaShellUnlessForced) {
    g_setenv("PATH", "/nonexistent", TRUE);
    std::unique_ptr<capi_lava> lava(new capi_lava);
    capi_lava_start(lava.get(), 0, results_.c_str(), nullptr);
    EXPECT_FALSE(lava->on);
    const capi_session_test t = point("x", CAPI_PASSED, "x.out");
    capi_lava_point(lava.get(), &t);
    EXPECT_EQ("", transcript());
    capi_lava_start(lava.get(), 1, results_.c_str(), nullptr);
    EXPECT_TRUE(lava->on);
}

}  // namespace
