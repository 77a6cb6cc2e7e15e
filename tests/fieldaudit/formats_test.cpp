// Named data formats: every format with values that pass and fail, the
// consequences of the unanchored search, the name lookup and bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace {

struct FormatCase {
    const char *name;
    std::vector<const char *> pass;
    std::vector<const char *> fail;
};

const std::vector<FormatCase> kFormats = {
    {"DATA_MAC", {"001122AABBCC", "a0b1c2d3e4f5"},
     {"00:11:22:AA:BB:CC", "001122AABBCCD", "001122AABBC", " 001122AABBCC", "00112233445G"}},
    {"DATA_STRING", {"REGISTER_OK", "garbage"}, {}},
    {"DATA_IP", {"192.168.1.1", "x1234.5.6.7x", "1.2.3.4.5"}, {"192.168.1", "a.b.c.d", "1.2.3.x4"}},
    {"DATA_TIME", {"08:30", "t1:2", "123:4567"}, {"08-30", ":30", "8:", "ab:cd"}},
    {"DATA_DEVINFO", {"IP:192.168.1.2;MAC:00:11:22:AA:BB:CC", "IP:1.2.3.4;MAC:00:11:22:AA:BB:CC,"},
     {"IP:192.168.1.2;MAC:00:11:22:aa:bb:cc", "IP:192.168.1.2,MAC:00:11:22:AA:BB:CC", "MAC:00:11:22:AA:BB:CC"}},
    {"DATA_PERCENTAGE", {"30%", "20%", "40%", "x40%x"}, {"55%", "50%", "30", "10%", "3 0%"}},
    {"DATA_PERCENTAGE2", {"55%", "99%", "150%"}, {"30%", "5%", "49%", "55"}},
    {"DATA_IPV6", {"fe80::1", "2001:db8::1%eth0", "::ffff:192.168.1.1", "2001:0db8:0000:0000:0000:ff00:0042:8329", "::"},
     {"hello", "12345", "1:2"}},
    {"STR", {"0", "1", "x1x", "10"}, {"2", "abc", "9"}},
    {"DATA_PONSTATUS", {"PON_STATUS_REG_AUTH", "garbage"}, {}},
    {"DATA_PINGSTATUS", {"Complete", "garbage"}, {}},
    {"DATA_DIALRESULT", {"IPTV_BUSSINESS_OK", "garbage"}, {}},
    {"DATA_DAY", {"0", "7", "x3"}, {"8", "9x", "day"}},
    {"DATA_ACTIVE", {"ON", "OFF", "garbage"}, {}},
    {"DATA_MACLIST", {"MAC:00:11:22:AA:BB:CC", "MAC:00:11:22:AA:BB:CC,MAC:00:11:22:AA:BB:CD"},
     {"MAC:00:11:22:aa:bb:cc", "00:11:22:AA:BB:CC", "MAC:00:11:22:AA:BB"}},
    {"DATA_RESULT", {"INFORM_OK", "garbage"}, {}},
    {"DATA_BeaTyp", {"WPA/ WPA2", "garbage"}, {}},
    {"DATA_WEPEnLevel", {"104-bit", "garbage"}, {}},
    {"DATA_BasicAuthMode", {"OpenSystem", "garbage"}, {}},
    {"DATA_WPAEnModes", {"AESEncryption", "garbage"}, {}},
    {"DATA_Status", {"Connected", "garbage"}, {}},
    {"DATA_PLAN", {"weight", "garbage"}, {}},
    {"DATA_AppName", {"TR069", "garbage"}, {}},
    {"DATA_ProList", {"TCP,UDP", "garbage"}, {}},
    {"DATA_Type", {"DSCP", "garbage"}, {}},
};

TEST(DataFormat, EveryFormatPassesAndFailsWhatItShould) {
    ASSERT_EQ(static_cast<size_t>(fieldaudit::kFormatCount), kFormats.size());
    PrintCapture out;
    for (const FormatCase &f : kFormats) {
        for (const char *v : f.pass) EXPECT_EQ(1, Check_data_format(v, f.name)) << f.name << " " << v;
        for (const char *v : f.fail) EXPECT_EQ(0, Check_data_format(v, f.name)) << f.name << " " << v;
        // The empty value fails every format, the all-optional ones included.
        EXPECT_EQ(0, Check_data_format("", f.name)) << f.name;
    }
    EXPECT_EQ("", out.text());  // the format check is silent
}

TEST(DataFormat, NameLookupIsExactAndCoversTheFilledSlots) {
    for (size_t i = 0; i < kFormats.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i), find_data_format_index(kFormats[i].name));
        EXPECT_STREQ(kFormats[i].name, DATA_FORMAT_MAP[i].name);
        EXPECT_EQ(i, DATA_FORMAT_MAP[i].index);
    }
    for (size_t i = fieldaudit::kFormatCount; i < sizeof DATA_FORMAT_MAP / sizeof DATA_FORMAT_MAP[0]; ++i) {
        EXPECT_EQ(nullptr, DATA_FORMAT_MAP[i].name);
        EXPECT_EQ(0u, DATA_FORMAT_MAP[i].index);
    }
    EXPECT_EQ(-1, find_data_format_index("data_mac"));
    EXPECT_EQ(-1, find_data_format_index("DATA_MAC "));
    EXPECT_EQ(-1, find_data_format_index(""));
    EXPECT_EQ(-1, find_data_format_index(nullptr));
}

TEST(DataFormat, UnknownNamesNullsAndEmptyValuesFailSilently) {
    PrintCapture out;
    EXPECT_EQ(0, Check_data_format("001122AABBCC", "data_mac"));
    EXPECT_EQ(0, Check_data_format("001122AABBCC", "DATA_NOSUCH"));
    EXPECT_EQ(0, Check_data_format("001122AABBCC", ""));
    EXPECT_EQ(0, Check_data_format("001122AABBCC", nullptr));
    EXPECT_EQ(0, Check_data_format(nullptr, "DATA_MAC"));
    EXPECT_EQ(0, Check_data_format("", "DATA_ACTIVE"));
    EXPECT_EQ("", out.text());
}

TEST(DataFormat, Ipv6PatternIsTheFullText) {
    EXPECT_EQ(1124u, std::strlen(regIpv6));
    EXPECT_EQ(0, std::strncmp(regIpv6, "\\s*((([0-9A-Fa-f]{1,4}:){7}", 27));
    const char *tail = "(%.+)?\\s*";
    EXPECT_STREQ(tail, regIpv6 + std::strlen(regIpv6) - std::strlen(tail));
}

// Points a pattern variable elsewhere for the life of the object.
class PatternSwap {
public:
    PatternSwap(const char **var, const char *pattern) : var_(var), saved_(*var) { *var = pattern; }
    ~PatternSwap() { *var_ = saved_; }

private:
    const char **var_;
    const char *saved_;
};

TEST(DataFormat, PatternVariablesAreReadAtEveryCheck) {
    EXPECT_EQ(1, Check_data_format("192.168.1.1", "DATA_IP"));
    {
        PatternSwap swap(&regIp, "^10\\.");
        EXPECT_EQ(0, Check_data_format("192.168.1.1", "DATA_IP"));
        EXPECT_EQ(1, Check_data_format("10.0.0.1", "DATA_IP"));
        EXPECT_EQ(1, Check_data_format("001122AABBCC", "DATA_MAC"));  // others unaffected
    }
    EXPECT_EQ(1, Check_data_format("192.168.1.1", "DATA_IP"));
}

TEST(DataFormat, PatternTextRewrittenInPlaceIsFollowed) {
    // Texts written in turn over the same bytes, twice over; the verdicts on
    // 10.0.0.1 and on 192.168.1.1 follow the text of the moment.
    const struct {
        const char *text;
        int ten, other;
    } texts[] = {{"^10\\.", 1, 0}, {"^192", 0, 1}, {"^10\\.", 1, 0}, {"^10(.", 0, 0}};
    char pattern[8] = "";
    PatternSwap swap(&regIp, pattern);
    for (int round = 0; round < 2; ++round) {
        for (const auto &t : texts) {
            std::strcpy(pattern, t.text);
            EXPECT_EQ(t.ten, Check_data_format("10.0.0.1", "DATA_IP")) << t.text;
            EXPECT_EQ(t.other, Check_data_format("192.168.1.1", "DATA_IP")) << t.text;
        }
    }
}

TEST(DataFormat, BrokenPatternsGiveZeroAndPrintNothing) {
    PrintCapture out;
    testing::internal::CaptureStderr();
    {
        PatternSwap swap(&regStr, "([0-1]");
        EXPECT_EQ(0, Check_data_format("1", "STR"));
    }
    {
        PatternSwap swap(&regStr, "\xff[0-1]");  // not UTF-8
        EXPECT_EQ(0, Check_data_format("1", "STR"));
    }
    {
        PatternSwap swap(&regStr, nullptr);
        EXPECT_EQ(0, Check_data_format("1", "STR"));
    }
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ("", out.text());
    EXPECT_EQ(1, Check_data_format("1", "STR"));
}

TEST(DataFormat, ValuesThatAreNotUtf8Fail) {
    PrintCapture out;
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, Check_data_format("\xc3", "DATA_ACTIVE"));
    EXPECT_EQ(0, Check_data_format("192.168.1.1\xff", "DATA_IP"));
    EXPECT_EQ(0, Check_data_format("\xed\xa0\x80", "DATA_STRING"));  // encoded surrogate
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ("", out.text());
    EXPECT_EQ(1, Check_data_format("caf\xc3\xa9", "DATA_ACTIVE"));  // valid UTF-8 is fine
}

}  // namespace
