// The JUnit XML read back with GLib's markup parser: suites, cases and counts
// as CI servers read them, and a well-formed file whatever bytes the inputs
// hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

using capireport::kLog;
using capireport::kSheet;

int count(const Suite &s, bool TestCase::*flag) {
    int n = 0;
    for (const TestCase &c : s.cases) n += c.*flag ? 1 : 0;
    return n;
}

TEST(JUnit, SuitesCasesAndCountsAsCIServersReadThem) {
    const Outcome o = report_of({
        {kSheet, "fleet/gw1.xls", "wifi \t pass\nsignal \t failed\nwifi \t failed\n"},
        {kSheet, "gw2.xls", "wifi \t pass\njunk\n"},
        {kLog, "run.log", "Check_int,ret=1,tar=1\nhello\nCheck_bool,ret=0,tar=1\nfailed!!!!!!!!!!!!!\n"},
    });
    const JUnit j = parse_junit(o.junit);
    ASSERT_TRUE(j.parsed) << j.error << "\n" << o.junit;
    EXPECT_EQ("8", j.tests);
    EXPECT_EQ("4", j.failures);
    EXPECT_EQ("1", j.errors);
    const struct {
        const char *name, *tests, *failures, *errors;
        std::vector<std::string> cases;  // name, "!" when failed, "?" for an error
    } expected[] = {
        {"gw1.xls", "3", "2", "0", {"wifi", "signal!", "wifi!"}},
        {"gw2.xls", "2", "0", "1", {"wifi", "(sheet)?"}},
        {"run.log", "3", "2", "0", {"Check_int", "Check_bool!", "Check_data_int!"}},
    };
    ASSERT_EQ(3u, j.suites.size());
    for (size_t i = 0; i < 3; ++i) {
        const Suite &s = j.suites[i];
        SCOPED_TRACE(s.name);
        EXPECT_EQ(expected[i].name, s.name);
        EXPECT_EQ(expected[i].tests, s.tests);
        EXPECT_EQ(expected[i].failures, s.failures);
        EXPECT_EQ(expected[i].errors, s.errors);
        EXPECT_EQ(std::to_string(s.cases.size()), s.tests);
        EXPECT_EQ(std::to_string(count(s, &TestCase::failure)), s.failures);
        EXPECT_EQ(std::to_string(count(s, &TestCase::error)), s.errors);
        std::vector<std::string> names;
        for (const TestCase &c : s.cases) {
            names.push_back(c.name + (c.failure ? "!" : "") + (c.error ? "?" : ""));
            EXPECT_EQ(s.name, c.classname);
        }
        EXPECT_EQ(expected[i].cases, names);
    }
    EXPECT_EQ("failed at line 2", j.suites[0].cases[1].message);
    EXPECT_EQ("1 problem", j.suites[1].cases[1].message);
    EXPECT_EQ("line 2: no \" \\t \" between name and outcome\n", j.suites[1].cases[1].body);
    EXPECT_EQ("ret: differs from tar", j.suites[2].cases[1].message);
    EXPECT_EQ("line 3\nret: result=\"0\" target=\"1\": differs from tar\n", j.suites[2].cases[1].body);
    EXPECT_EQ("value: not in its domain (a direct domain check's line shows no value or table)",
              j.suites[2].cases[2].message);
}

TEST(JUnit, InputsOfTheSameBaseNameKeepApartByTheirPaths) {
    const Outcome o = report_of({
        {kSheet, "gw1/capi.xls", "wifi \t pass\n"},
        {kSheet, "gw2/capi.xls", "wifi \t failed\n"},
        {kLog, "gw1/run.log", "Check_int,ret=1,tar=1\n"},
    });
    const JUnit j = parse_junit(o.junit);
    ASSERT_TRUE(j.parsed) << j.error;
    std::vector<std::string> names;
    for (const Suite &s : j.suites) names.push_back(s.name);
    EXPECT_EQ((std::vector<std::string>{"gw1/capi.xls", "gw2/capi.xls", "run.log"}), names);
}

TEST(JUnit, WellFormedWhateverTheBytesOfTheInputs) {
    const std::string names =
        "<&>\"' \t pass\n"       // markup characters
        "\xff\xfe \t failed\n"    // not UTF-8
        "\xc2\x85x \t pass\n"     // a C1 control character
        "\xef\xbf\xbey \t pass\n" // U+FFFE, which XML refuses
        "\xed\xa0\x80z \t pass\n" // an encoded surrogate
        "a]]>b \t pass\n";
    const std::string log =
        "CheckTolvaStrArray_t,result->str=<\xff&\xc2\x9f,target->str=\xef\xbf\xbf]]>\n"
        "CheckTolvaDNSServerConfig_t,result->Server1=\\x01\"',target->Server1=\\x7f\n"
        "CheckTolvaDNSServerConfig_t,result->Server2=,target->Server2=\n";
    std::vector<Source> sources = {{kSheet, "dir/\x01odd\x7f.xls", names}, {kLog, "\xff.log", log}};
    GRand *rand = g_rand_new_with_seed(99);
    for (int i = 0; i < 20; ++i) {
        std::string bytes;
        for (int k = g_rand_int_range(rand, 0, 3000); k > 0; --k) {
            bytes += static_cast<char>(g_rand_int_range(rand, 0, 256));
            if (g_rand_int_range(rand, 0, 50) == 0) bytes += " \t failed\n";
        }
        sources.push_back({i % 2 ? kLog : kSheet, "random" + std::to_string(i), bytes});
    }
    g_rand_free(rand);
    const Outcome o = report_of(sources);
    const JUnit j = parse_junit(o.junit);
    ASSERT_TRUE(j.parsed) << j.error;
    ASSERT_EQ(sources.size(), j.suites.size());
    const Suite &sheet = j.suites[0];
    EXPECT_EQ("\\x01odd\\x7f.xls", sheet.name);
    std::vector<std::string> shown;
    for (const TestCase &c : sheet.cases) shown.push_back(c.name);
    EXPECT_EQ((std::vector<std::string>{"<&>\"'", "\xef\xbf\xbd\xef\xbf\xbd", "\\u0085x", "\\ufffey",
                                        "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbdz", "a]]>b"}),
              shown);
    const Suite &calls = j.suites[1];
    EXPECT_EQ("\xef\xbf\xbd.log", calls.name);
    ASSERT_EQ(2u, calls.cases.size());
    EXPECT_EQ("str: differs from the expected text", calls.cases[0].message);
    EXPECT_EQ("line 1\nstr: result=\"<\xef\xbf\xbd&\\u009f\" target=\"\\uffff]]>\": differs from the expected text\n",
              calls.cases[0].body);
    EXPECT_EQ("lines 2-3\nServer1: result=\"\\x01\"'\" target=\"\\x7f\": differs from the expected text\n",
              calls.cases[1].body);
}

}  // namespace
