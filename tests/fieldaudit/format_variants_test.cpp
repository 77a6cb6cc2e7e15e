// The two libraries side by side: fieldaudit, where a format passes when its
// pattern matches anywhere in the value, and fieldaudit_strict, where it must
// match the whole value. This file builds into both test programs; built
// with FIELDAUDIT_WHOLE_VALUE it expects the strict verdicts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit.h"
#include "fieldaudit_tools.h"
#include "records.h"

namespace {

#ifdef FIELDAUDIT_WHOLE_VALUE
const bool kStrict = true;
#define FORMAT_VARIANT StrictFormat
#else
const bool kStrict = false;
#define FORMAT_VARIANT LooseFormat
#endif

struct VariantCase {
    const char *name;
    std::vector<const char *> differ;  // pass fieldaudit, fail fieldaudit_strict
    std::vector<const char *> both;    // pass both
};

// "both" holds values whose first match found stops short of the whole value
// too ("WPA2", "REGISTER_OK_NOW_REBOOT", "2001:db8::1%eth0"): the strict
// check must still find the whole-value match.
const std::vector<VariantCase> kVariants = {
    {"DATA_MAC", {"001122AABBCC\n"}, {"001122AABBCC"}},
    {"DATA_STRING", {"garbage", "REGISTER_OK "}, {"REGISTER_OK", "REGISTER_OK_NOW_REBOOT", "REGISTER_NOUSER_LIMITED,REGISTER_OLT"}},
    {"DATA_IP", {"x1234.5.6.7x", "1.2.3.4.5", "192.168.1.1\n"}, {"192.168.1.1", "1.2.3.4"}},
    {"DATA_TIME", {"t1:2", "08:30\n", "8:30 pm"}, {"08:30", "123:4567"}},
    {"DATA_DEVINFO", {"xIP:192.168.1.2;MAC:00:11:22:AA:BB:CC"}, {"IP:1.2.3.4;MAC:00:11:22:AA:BB:CC,"}},
    {"DATA_PERCENTAGE", {"x40%x", "140%"}, {"30%"}},
    {"DATA_PERCENTAGE2", {"150%", "55%%"}, {"55%"}},
    {"DATA_IPV6", {"2001:db8::1 x", "address fe80::1"},
     {"fe80::1", "2001:db8::1%eth0", " ::ffff:192.168.1.1 \n", "2001:0db8:0000:0000:0000:ff00:0042:8329", "::"}},
    {"STR", {"10", "x1x"}, {"0", "1"}},
    {"DATA_PONSTATUS", {"garbage", "PON_STATUS_REG_AUTH\n"}, {"PON_STATUS_REG_NO_AUTH"}},
    {"DATA_PINGSTATUS", {"garbage"}, {"Complete", "RequestUnreach"}},
    {"DATA_DIALRESULT", {"IPTV_BUSSINESS_OKAY"}, {"IPTV_BUSSINESS_OK"}},
    {"DATA_DAY", {"x3", "12"}, {"7"}},
    {"DATA_ACTIVE", {"garbage", "on"}, {"ON", "OFF"}},
    // One entry with an optional comma: a list of several is not matched whole.
    {"DATA_MACLIST", {"MAC:00:11:22:AA:BB:CC,MAC:00:11:22:AA:BB:CD"}, {"MAC:00:11:22:AA:BB:CC", "MAC:00:11:22:AA:BB:CC,"}},
    {"DATA_RESULT", {"INFORM_OK2"}, {"INFORM_NO_RESPONSE"}},
    {"DATA_BeaTyp", {"garbage"}, {"WPA2", "WPA/ WPA2", "11i"}},
    {"DATA_WEPEnLevel", {"64-bit"}, {"104-bit"}},
    {"DATA_BasicAuthMode", {"Open"}, {"SharedKey"}},
    {"DATA_WPAEnModes", {"TKIP"}, {"TKIPandAESEncryption"}},
    {"DATA_Status", {"garbage", "Connected\n", " Connected"}, {"Connected", "Disconnected", "PendingDisconnect"}},
    {"DATA_PLAN", {"weights"}, {"priority"}},
    {"DATA_AppName", {"SIP"}, {"VOIP", "VOIPTR069"}},
    {"DATA_ProList", {"TCP;UDP"}, {"TCP,UDP,ICMP,RTP", "UDP"}},
    {"DATA_Type", {"MAC"}, {"DSCP", "8021P"}},
};

TEST(FORMAT_VARIANT, EveryFormatHasValuesThatDifferAndValuesThatPassBoth) {
    ASSERT_EQ(static_cast<size_t>(fieldaudit::kFormatCount), kVariants.size());
    PrintCapture out;
    for (size_t i = 0; i < kVariants.size(); ++i) {
        const VariantCase &f = kVariants[i];
        EXPECT_STREQ(DATA_FORMAT_MAP[i].name, f.name);
        EXPECT_FALSE(f.differ.empty() || f.both.empty()) << f.name;
        for (const char *v : f.differ) EXPECT_EQ(kStrict ? 0 : 1, Check_data_format(v, f.name)) << f.name << " " << v;
        for (const char *v : f.both) EXPECT_EQ(1, Check_data_format(v, f.name)) << f.name << " " << v;
        EXPECT_EQ(0, Check_data_format("", f.name)) << f.name;
    }
    EXPECT_EQ("", out.text());
}

TEST(FORMAT_VARIANT, OwnPatternsBadPatternsAndBadValues) {
    struct Case {
        const char *pattern;
        const char *value;
        int loose, strict;
    };
    const Case cases[] = {
        {"^10\\.", "10.0.0.1", 1, 0},
        {"(ab|a)(c|bcd)?", "abcd", 1, 1},  // the first match found, "abc", falls short
        {"(a)\\1", "aa", 1, 1},            // a back reference: the first match decides
        {"(a)\\1", "aab", 1, 0},
        {"x*", "y", 1, 0},                 // an empty match is no match of the value
        {"([0-1]", "1", 0, 0},             // does not compile, whatever the variant
        {"[0-1])(", "1", 0, 0},
        {"\xff[0-1]", "1", 0, 0},          // not UTF-8
        {nullptr, "1", 0, 0},
        {"[0-1]", "1\xff", 0, 0},
    };
    PrintCapture out;
    testing::internal::CaptureStderr();
    const char *const saved = regStr;
    for (const Case &c : cases) {
        regStr = c.pattern;
        EXPECT_EQ(kStrict ? c.strict : c.loose, Check_data_format(c.value, "STR"))
            << (c.pattern ? c.pattern : "(null)") << " " << c.value;
    }
    regStr = saved;
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ("", out.text());
}

TEST(FORMAT_VARIANT, CheckerLinesAreTheSameAndOnlyTheVerdictsDiffer) {
    auto ri = zeroed<TolvaWPSDevInfo_t>();
    auto ti = zeroed<TolvaWPSDevInfo_t>();
    put(ri.Info, "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC;MAC:00:11:22:AA:BB:CD");
    put(ti.Info, "DATA_DEVINFO");
    auto r = zeroed<TolvaWPS_t>();
    auto t = zeroed<TolvaWPS_t>();
    r.DevInfo = &ri;
    t.DevInfo = &ti;
    r.Enable = 1;
    PrintCapture out;
    EXPECT_EQ(kStrict ? 0 : 1, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWPS_t,result->WPSStatus=0,target->WPSStatus=0\n"
                          "pass!!!!!!!!!!!!!!!!\n"
                          "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC;MAC:00:11:22:AA:BB:CD,"
                          "target->Info=DATA_DEVINFO\n") +
                  (kStrict ? "Info failed!!!!!\n" : "") +
                  "CheckTolvaWPS_t,result->Enable=1,target->Enable=0\n"
                  "pass!!!!!!!!!!!!!!!!\n",
              out.text());
    EXPECT_TRUE(out.whole_lines());
}

}  // namespace
