// Scalar primitives and value domains: exact lines and verdicts.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit.h"

namespace {

const char kPass[] = "pass!!!!!!!!!!!!!!!!\n";
const char kFailed[] = "failed!!!!!!!!!!!!!\n";

TEST(Primitives, ScalarComparisonsPrintBothValuesAndCompare) {
    PrintCapture out;
    EXPECT_EQ(0, Check_bool(0, 1));
    EXPECT_EQ(1, Check_bool(1, 1));
    EXPECT_EQ(1, Check_int(-5, -5));
    EXPECT_EQ(0, Check_int(7, 8));
    EXPECT_EQ(1, Check_return_result(0, 0));
    EXPECT_EQ(0, Check_return_result(-1, 0));
    EXPECT_EQ("Check_bool,ret=0,tar=1\n"
              "Check_bool,ret=1,tar=1\n"
              "Check_int,ret=-5,tar=-5\n"
              "Check_int,ret=7,tar=8\n"
              "Check_return_result,ret=0,tar=0\n"
              "Check_return_result,ret=-1,tar=0\n",
              out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST(Primitives, CheckCharShowsBothTextsAndAlwaysPasses) {
    PrintCapture out;
    EXPECT_EQ(1, Check_char("abc", "xyz"));
    EXPECT_EQ(1, Check_char("", ""));
    EXPECT_EQ("Check_char,ret=abc,tar=xyz\nCheck_char,ret=,tar=\n", out.text());
}

TEST(Primitives, CheckCharShowsNullAndEscapesControlBytes) {
    // A text of any length with control bytes stays one line.
    const std::string long_text = std::string(5000, 'a') + "\n";
    const struct {
        const char *ret, *tar;
        std::string line;
    } cases[] = {
        {nullptr, nullptr, "Check_char,ret=(null),tar=(null)\n"},
        {"a\tb", nullptr, "Check_char,ret=a\\x09b,tar=(null)\n"},
        {"x\nCheck_char,ret=forged", "\x01\x1f\x7f ~\x80\\", "Check_char,ret=x\\x0aCheck_char,ret=forged,tar=\\x01\\x1f\\x7f ~\x80\\\n"},
        {long_text.c_str(), "", "Check_char,ret=" + std::string(5000, 'a') + "\\x0a,tar=\n"},
    };
    for (const auto &c : cases) {
        PrintCapture out;
        EXPECT_EQ(1, Check_char(c.ret, c.tar));
        EXPECT_EQ(c.line, out.text());
        EXPECT_EQ(1u, out.count());
    }
}

struct Table {
    unsigned int selector;
    std::vector<int> entries;
};

// Every table, in selector order, as test programs rely on it.
const std::vector<Table> kTables = {
    {0, {0, 1}},
    {1, {0, 1, 2}},
    {2, {0, 1, 2, 3}},
    {3, {0, 1, 2, 3, 4}},
    {4, {0, 1, 2, 3, 4, 5}},
    {5, {0, 1, 2, 3, 4, 5, 100}},
    {6, {1, 2, 3, 4, 5, 6, 7, 8}},
    {7, {1, 2, 3, 4, 5}},
    {8, {1, 2, 3}},
};

TEST(ValueDomain, EachEntryCountsOnlyWithinTheCount) {
    for (const Table &t : kTables) {
        const int length = static_cast<int>(t.entries.size());
        for (int i = 0; i < length; ++i) {
            PrintCapture out;
            // Admitted once the count reaches its position, not before.
            EXPECT_EQ(0, Check_data_int(t.entries[i], t.selector, i))
                << "selector " << t.selector << " entry " << i;
            EXPECT_EQ(1, Check_data_int(t.entries[i], t.selector, i + 1))
                << "selector " << t.selector << " entry " << i;
            EXPECT_EQ(1, Check_data_int(t.entries[i], t.selector, length));
            EXPECT_EQ(std::string(kFailed) + kPass + kPass, out.text());
        }
    }
}

TEST(ValueDomain, ValuesOutsideTheTableFail) {
    for (const Table &t : kTables) {
        for (int value : {-1, 6, 9, 99, 101, 200}) {
            bool in_table = false;
            for (int e : t.entries) in_table = in_table || e == value;
            if (in_table) continue;
            PrintCapture out;
            EXPECT_EQ(0, Check_data_int(value, t.selector, INT_MAX));
            EXPECT_EQ(kFailed, out.text());
        }
    }
}

TEST(ValueDomain, CasesTheCheckersMeet) {
    PrintCapture out;
    EXPECT_EQ(1, Check_data_int(1, 0, 2));
    EXPECT_EQ(0, Check_data_int(2, 0, 2));
    EXPECT_EQ(1, Check_data_int(100, 5, 7));
    EXPECT_EQ(0, Check_data_int(100, 5, 6));
    EXPECT_EQ(0, Check_data_int(0, 6, 8));  // that table starts at 1
    EXPECT_EQ(std::string(kPass) + kFailed + kPass + kFailed + kFailed, out.text());
}

TEST(ValueDomain, SelectorsBeyondTheTablesAndEmptyCountsAdmitNothing) {
    PrintCapture out;
    EXPECT_EQ(0, Check_data_int(0, 9, 2));
    EXPECT_EQ(0, Check_data_int(1, static_cast<unsigned int>(-1), 8));
    EXPECT_EQ(0, Check_data_int(0, 0, 0));
    EXPECT_EQ(0, Check_data_int(0, 0, -3));
    EXPECT_EQ(std::string(kFailed) + kFailed + kFailed + kFailed, out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST(ValueDomain, CountBeyondTheTableScansOnlyTheTable) {
    // The table after data_int_nine in memory may hold anything; a count far
    // beyond the table must not let it be read (AddressSanitizer watches too).
    PrintCapture out;
    EXPECT_EQ(0, Check_data_int(4, 8, 6));
    EXPECT_EQ(0, Check_data_int(2, 0, 5));
    EXPECT_EQ(1, Check_data_int(3, 8, INT_MAX));
    EXPECT_EQ(std::string(kFailed) + kFailed + kPass, out.text());
}

TEST(ValueDomain, TablesAreReadAtEveryCheck) {
    const int saved = data_int_one[1];
    data_int_one[1] = 7;
    EXPECT_EQ(1, Check_data_int(7, 0, 2));
    EXPECT_EQ(0, Check_data_int(1, 0, 2));
    data_int_one[1] = saved;
    EXPECT_EQ(1, Check_data_int(1, 0, 2));
}

}  // namespace
