// Wireless and schedule record checkers: whole outputs compared byte for byte,
// lines in step order, verdicts; null pointers and unterminated texts are never
// followed or read past.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "capture.h"
#include "fieldaudit.h"
#include "records.h"

namespace {

const char kPass[] = "pass!!!!!!!!!!!!!!!!\n";
const char kFailed[] = "failed!!!!!!!!!!!!!\n";
const char kInfoFailed[] = "Info failed!!!!!\n";
const char kBasicAuthFailed[] = "BasicAuthenticationMode failed!!!!!\n";
const char kBeaconTypeFailed[] = "BeaconType failed!!!!!\n";
const char kWEPLevelFailed[] = "WEPEncryptionLevel failed!!!!!\n";
const char kWPAModesFailed[] = "WPAEncryptionModes failed!!!!!\n";
const char kControlCycleFailed[] = "ControlCycle failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kEndTimeFailed[] = "EndTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kStartTimeFailed[] = "StartTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kTimerEnableFailed[] = "result->Enable&target->Enable failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kActiveFailed[] = "Active failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kTimer1EnableFailed[] = "result->Enable&target->Enable)!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kTimer1TimeFailed[] = "Time failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kWeekDayFailed[] = "WeekDay failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
// Enable failure line of the LED and the sleep timer alike.
const char kEnableFailed[] = "result->Enable&target->Enable!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kStatusFailed[] = "Status failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kDayFailed[] = "Day failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kSleepTimeFailed[] = "Time failed!!!!\n";

// Runs of bytes used to fill a text member completely.
std::string run(std::size_t n, char c) { return std::string(n, c); }

// `whole` with its one occurrence of `line` replaced by `with`.
std::string replaced(std::string whole, const std::string &line, const std::string &with) {
    const std::size_t at = whole.find(line);
    EXPECT_NE(std::string::npos, at) << line;
    if (at != std::string::npos) whole.replace(at, line.size(), with);
    return whole;
}

// A referenced record with bytes of its own right behind it, so that a read
// past the text would show in the printed line.
struct StrArrayWithTail {
    TolvaStrArray_t array;
    char tail[8];
};
struct DevInfoWithTail {
    TolvaWPSDevInfo_t dev;
    char tail[8];
};

// ---- Wi-Fi status and traffic counters ------------------------------------

// The eight counter lines, in step order, with `result` on the result's side
// and 0 on the target's.
std::string counter_lines(const std::string &result) {
    std::string lines;
    for (const char *name : {"RxBytes", "RxPkts", "RxErrorPkts", "RxDropPkts", "TxBytes", "TxPkts", "TxErrorPkts",
                             "TxDropPkts"}) {
        lines += std::string("CheckTolvaWiFiInfo_t,result->") + name + "=" + result + ",target->" + name + "=0\n";
    }
    return lines;
}

TEST(WiFiInfoCheck, PassingPairPrintsEveryCounterInFullOnBothSides) {
    TolvaWiFiInfo_t r = zeroed<TolvaWiFiInfo_t>(), t = zeroed<TolvaWiFiInfo_t>();
    r.SameSSIDStatus = 1;
    r.Enable = 0;
    put(r.WiFiMode, "11ax");
    put(t.WiFiMode, "anything at all");
    r.RxBytes = INT64_C(4294967296);
    t.RxBytes = INT64_C(8589934593);
    r.RxPkts = INT64_MAX;
    t.RxPkts = INT64_MIN;
    t.RxErrorPkts = -1;
    r.RxDropPkts = 7;
    t.RxDropPkts = INT64_C(4294967295);
    r.TxBytes = INT64_C(123456789012);
    r.TxPkts = 1;
    t.TxPkts = 2;
    r.TxErrorPkts = 3;
    t.TxErrorPkts = INT64_C(4294967297);
    r.TxDropPkts = INT64_C(-5000000000);
    t.TxDropPkts = INT64_C(5000000000);
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaWiFiInfo_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWiFiInfo_t,result->SameSSIDStatus=1,target->SameSSIDStatus=0\n") + kPass +
                  "CheckTolvaWiFiInfo_t,result->Enable=0,target->Enable=0\n" + kPass +
                  "CheckTolvaWiFiInfo_t,result->WiFiMode=11ax,target->WiFiMode=anything at all\n"
                  "CheckTolvaWiFiInfo_t,result->RxBytes=4294967296,target->RxBytes=8589934593\n"
                  "CheckTolvaWiFiInfo_t,result->RxPkts=9223372036854775807,target->RxPkts=-9223372036854775808\n"
                  "CheckTolvaWiFiInfo_t,result->RxErrorPkts=0,target->RxErrorPkts=-1\n"
                  "CheckTolvaWiFiInfo_t,result->RxDropPkts=7,target->RxDropPkts=4294967295\n"
                  "CheckTolvaWiFiInfo_t,result->TxBytes=123456789012,target->TxBytes=0\n"
                  "CheckTolvaWiFiInfo_t,result->TxPkts=1,target->TxPkts=2\n"
                  "CheckTolvaWiFiInfo_t,result->TxErrorPkts=3,target->TxErrorPkts=4294967297\n"
                  "CheckTolvaWiFiInfo_t,result->TxDropPkts=-5000000000,target->TxDropPkts=5000000000\n",
              out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST(WiFiInfoCheck, FailedDomainsPrintOnlyTheFailedLineAndEveryStepStillRuns) {
    TolvaWiFiInfo_t r = zeroed<TolvaWiFiInfo_t>(), t = zeroed<TolvaWiFiInfo_t>();
    r.SameSSIDStatus = 2;  // not in the selector 0 table
    r.Enable = 1;
    t.Enable = 9;  // selects no table
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWiFiInfo_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWiFiInfo_t,result->SameSSIDStatus=2,target->SameSSIDStatus=0\n") + kFailed +
                  "CheckTolvaWiFiInfo_t,result->Enable=1,target->Enable=9\n" + kFailed +
                  "CheckTolvaWiFiInfo_t,result->WiFiMode=,target->WiFiMode=\n" + counter_lines("0"),
              out.text());
    // Either domain check alone decides the verdict; a later pass restores nothing.
    t.Enable = 0;
    EXPECT_EQ(0, CheckTolvaWiFiInfo_t(&r, &t));
    r.SameSSIDStatus = 0;
    r.Enable = 2;
    EXPECT_EQ(0, CheckTolvaWiFiInfo_t(&r, &t));
    r.Enable = 1;
    EXPECT_EQ(1, CheckTolvaWiFiInfo_t(&r, &t));
}

TEST(WiFiInfoCheck, NullResultRecordShowsNullForNumbersAndFails) {
    TolvaWiFiInfo_t t = zeroed<TolvaWiFiInfo_t>();
    put(t.WiFiMode, "any");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWiFiInfo_t(nullptr, &t));
    EXPECT_EQ(std::string("CheckTolvaWiFiInfo_t,result->SameSSIDStatus=(null),target->SameSSIDStatus=0\n") +
                  kFailed + "CheckTolvaWiFiInfo_t,result->Enable=(null),target->Enable=0\n" + kFailed +
                  "CheckTolvaWiFiInfo_t,result->WiFiMode=(null),target->WiFiMode=any\n" + counter_lines("(null)"),
              out.text());
}

// ---- WPS state and its device information ---------------------------------

const char kDevInfo[] = "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC";

class WPSCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ri = zeroed<TolvaWPSDevInfo_t>();
        ti = zeroed<TolvaWPSDevInfo_t>();
        put(ri.Info, kDevInfo);
        put(ti.Info, "DATA_DEVINFO");
        r = zeroed<TolvaWPS_t>();
        t = zeroed<TolvaWPS_t>();
        // Bytes right after the 8-bit status, so that a wider read shows.
        std::memset(r.reserved, 0xff, sizeof r.reserved);
        std::memset(t.reserved, 0xff, sizeof t.reserved);
        r.WPSStatus = 3;
        t.WPSStatus = 2;
        r.Enable = 1;
        t.Enable = 0;
        r.DevInfo = &ri;
        t.DevInfo = &ti;
    }
    // Output of a run whose WPSStatus line reads `status` and whose device
    // information and Enable steps pass.
    static std::string expected(const char *status_line, const char *status_verdict) {
        return std::string(status_line) + status_verdict +
               "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC,target->Info=DATA_DEVINFO\n"
               "CheckTolvaWPS_t,result->Enable=1,target->Enable=0\n" +
               kPass;
    }
    TolvaWPSDevInfo_t ri, ti;
    TolvaWPS_t r, t;
};

TEST_F(WPSCheck, PassingPairAndStatusCountEdges) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaWPS_t(&r, &t));  // 3 is the last of the four admitted
    EXPECT_EQ(expected("CheckTolvaWPS_t,result->WPSStatus=3,target->WPSStatus=2\n", kPass), out.take());
    r.WPSStatus = 4;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(expected("CheckTolvaWPS_t,result->WPSStatus=4,target->WPSStatus=2\n", kFailed), out.take());
    r.WPSStatus = 200;  // widened without sign
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(expected("CheckTolvaWPS_t,result->WPSStatus=200,target->WPSStatus=2\n", kFailed), out.take());
    r.WPSStatus = 2;
    t.WPSStatus = 200;  // a selector of 200 picks no table
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(expected("CheckTolvaWPS_t,result->WPSStatus=2,target->WPSStatus=200\n", kFailed), out.take());
    EXPECT_TRUE(out.whole_lines());
}

TEST_F(WPSCheck, EmptyInfoFailsBetweenTheStatusAndEnableLines) {
    put(ri.Info, "");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWPS_t,result->WPSStatus=3,target->WPSStatus=2\n") + kPass +
                  "CheckTolvaWPSDevInfo_t,result->Info=,target->Info=DATA_DEVINFO\n" + kInfoFailed +
                  "CheckTolvaWPS_t,result->Enable=1,target->Enable=0\n" + kPass,
              out.text());
}

TEST_F(WPSCheck, SeveralFailuresEachWhereItFalls) {
    r.WPSStatus = 4;
    put(ri.Info, "IP:192.168.1.2;MAC:00:11:22:aa:bb:cc");  // lower-case MAC part
    r.Enable = 2;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWPS_t,result->WPSStatus=4,target->WPSStatus=2\n") + kFailed +
                  "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:aa:bb:cc,target->Info=DATA_DEVINFO\n" +
                  kInfoFailed + "CheckTolvaWPS_t,result->Enable=2,target->Enable=0\n" + kFailed,
              out.text());
}

TEST_F(WPSCheck, DevInfoCheckerCalledDirectly) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaWPSDevInfo_t(&ri, &ti));
    put(ti.Info, "data_devinfo");  // format name in the wrong case
    EXPECT_EQ(0, CheckTolvaWPSDevInfo_t(&ri, &ti));
    EXPECT_EQ(std::string("CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC,target->Info=DATA_DEVINFO\n") +
                  "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC,target->Info=data_devinfo\n" +
                  kInfoFailed,
              out.text());
}

TEST_F(WPSCheck, NullDevInfoOnEitherSideAndNullRecords) {
    const std::string status = std::string("CheckTolvaWPS_t,result->WPSStatus=3,target->WPSStatus=2\n") + kPass;
    const std::string enable = std::string("CheckTolvaWPS_t,result->Enable=1,target->Enable=0\n") + kPass;
    PrintCapture out;
    r.DevInfo = nullptr;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(status + "CheckTolvaWPSDevInfo_t,result->Info=(null),target->Info=DATA_DEVINFO\n" + kInfoFailed + enable,
              out.take());
    r.DevInfo = &ri;
    t.DevInfo = nullptr;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(status + "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC,target->Info=(null)\n" +
                  kInfoFailed + enable,
              out.take());
    r.DevInfo = nullptr;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, &t));
    EXPECT_EQ(status + "CheckTolvaWPSDevInfo_t,result->Info=(null),target->Info=(null)\n" + kInfoFailed + enable,
              out.take());
    r.DevInfo = &ri;
    EXPECT_EQ(0, CheckTolvaWPS_t(&r, nullptr));
    EXPECT_EQ(std::string("CheckTolvaWPS_t,result->WPSStatus=3,target->WPSStatus=(null)\n") + kFailed +
                  "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC,target->Info=(null)\n" +
                  kInfoFailed + "CheckTolvaWPS_t,result->Enable=1,target->Enable=(null)\n" + kFailed,
              out.take());
    EXPECT_EQ(0, CheckTolvaWPSDevInfo_t(nullptr, nullptr));
    EXPECT_EQ(std::string("CheckTolvaWPSDevInfo_t,result->Info=(null),target->Info=(null)\n") + kInfoFailed, out.take());
}

TEST_F(WPSCheck, UnterminatedInfoShowsOnlyItsOwnBytesAndFails) {
    DevInfoWithTail full;
    // A well-formed text that would pass if it were read on into the tail.
    fill_unterminated(full.dev.Info, 'I');
    std::memcpy(full.dev.Info, kDevInfo, std::strlen(kDevInfo));
    std::memcpy(full.tail, "TAILXYZ", sizeof full.tail);
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWPSDevInfo_t(&full.dev, &ti));
    EXPECT_EQ("CheckTolvaWPSDevInfo_t,result->Info=" + std::string(kDevInfo) +
                  run(sizeof full.dev.Info - std::strlen(kDevInfo), 'I') +
                  ",target->Info=DATA_DEVINFO\n" + kInfoFailed,
              out.text());
}

// ---- WLAN device ----------------------------------------------------------

class WLANDeviceCheck : public ::testing::Test {
protected:
    void SetUp() override {
        r = zeroed<TolvaWLANDevice_t>();
        t = zeroed<TolvaWLANDevice_t>();
        put(r.BasicAuthenticationMode, "OpenSystem");
        put(t.BasicAuthenticationMode, "DATA_BasicAuthMode");
        put(r.BeaconType, "WPA2");
        put(t.BeaconType, "DATA_BeaTyp");
        put(r.PWD, "secret");
        put(t.PWD, "x");
        put(r.SSID, "home");
        put(r.Standard, "11n");
        put(t.Standard, "any");
        put(r.WEPEncryptionLevel, "104-bit");
        put(t.WEPEncryptionLevel, "DATA_WEPEnLevel");
        put(r.WPAEncryptionModes, "AESEncryption");
        put(t.WPAEncryptionModes, "DATA_WPAEnModes");
        r.Enable = 1;
        r.Channel = 6;
        r.ChannelInUse = 11;
        t.ChannelInUse = -1;
        r.RFBand = 1;
        r.ChannelWidth = 5;  // count 6 of selector 5 admits 0 to 5
        t.ChannelWidth = 5;
        r.RetryTimeout = 30;
        r.Powerlevel = 3;
        r.PowerValue = -20;
    }
    TolvaWLANDevice_t r, t;
};

const std::string kWLANPassed =
    std::string("CheckTolvaWLANDevice_t,result->BasicAuthenticationMode=OpenSystem,target->BasicAuthenticationMode=DATA_BasicAuthMode\n"
                "CheckTolvaWLANDevice_t,result->BeaconType=WPA2,target->BeaconType=DATA_BeaTyp\n"
                "CheckTolvaWLANDevice_t,result->PWD=secret,target->PWD=x\n"
                "CheckTolvaWLANDevice_t,result->SSID=home,target->SSID=\n"
                "CheckTolvaWLANDevice_t,result->Standard=11n,target->Standard=any\n"
                "CheckTolvaWLANDevice_t,result->WEPEncryptionLevel=104-bit,target->WEPEncryptionLevel=DATA_WEPEnLevel\n"
                "CheckTolvaWLANDevice_t,result->WPAEncryptionModes=AESEncryption,target->WPAEncryptionModes=DATA_WPAEnModes\n"
                "CheckTolvaWLANDevice_t,result->Enable=1,target->Enable=0\n") +
    kPass +
    "CheckTolvaWLANDevice_t,result->Channel=6,target->Channel=0\n"
    "CheckTolvaWLANDevice_t,result->ChannelInUse=11,target->ChannelInUse=-1\n"
    "CheckTolvaWLANDevice_t,result->SSIDHide=0,target->SSIDHide=0\n" +
    kPass + "CheckTolvaWLANDevice_t,result->RFBand=1,target->RFBand=0\n" + kPass +
    "CheckTolvaWLANDevice_t,result->ChannelWidth=5,target->ChannelWidth=5\n" + kPass +
    "CheckTolvaWLANDevice_t,result->GuardInterval=0,target->GuardInterval=0\n" + kPass +
    "CheckTolvaWLANDevice_t,result->RetryTimeout=30,target->RetryTimeout=0\n"
    "CheckTolvaWLANDevice_t,result->Powerlevel=3,target->Powerlevel=0\n"
    "CheckTolvaWLANDevice_t,result->PowerValue=-20,target->PowerValue=0\n";

TEST_F(WLANDeviceCheck, PassingPairInStepOrderNotMemoryOrder) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaWLANDevice_t(&r, &t));
    EXPECT_EQ(kWLANPassed, out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST_F(WLANDeviceCheck, SeveralFailuresEachWhereItFalls) {
    put(r.BasicAuthenticationMode, "");
    put(t.BeaconType, "DATA_beatyp");  // wrong case
    put(r.WEPEncryptionLevel, "");
    put(t.WPAEncryptionModes, "");
    r.Enable = 2;
    r.RFBand = 3;
    r.ChannelWidth = 100;  // in the table, beyond the count
    r.GuardInterval = 2;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWLANDevice_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWLANDevice_t,result->BasicAuthenticationMode=,target->BasicAuthenticationMode=DATA_BasicAuthMode\n") +
                  kBasicAuthFailed + "CheckTolvaWLANDevice_t,result->BeaconType=WPA2,target->BeaconType=DATA_beatyp\n" +
                  kBeaconTypeFailed +
                  "CheckTolvaWLANDevice_t,result->PWD=secret,target->PWD=x\n"
                  "CheckTolvaWLANDevice_t,result->SSID=home,target->SSID=\n"
                  "CheckTolvaWLANDevice_t,result->Standard=11n,target->Standard=any\n"
                  "CheckTolvaWLANDevice_t,result->WEPEncryptionLevel=,target->WEPEncryptionLevel=DATA_WEPEnLevel\n" +
                  kWEPLevelFailed +
                  "CheckTolvaWLANDevice_t,result->WPAEncryptionModes=AESEncryption,target->WPAEncryptionModes=\n" +
                  kWPAModesFailed + "CheckTolvaWLANDevice_t,result->Enable=2,target->Enable=0\n" + kFailed +
                  "CheckTolvaWLANDevice_t,result->Channel=6,target->Channel=0\n"
                  "CheckTolvaWLANDevice_t,result->ChannelInUse=11,target->ChannelInUse=-1\n"
                  "CheckTolvaWLANDevice_t,result->SSIDHide=0,target->SSIDHide=0\n" +
                  kPass + "CheckTolvaWLANDevice_t,result->RFBand=3,target->RFBand=0\n" + kFailed +
                  "CheckTolvaWLANDevice_t,result->ChannelWidth=100,target->ChannelWidth=5\n" + kFailed +
                  "CheckTolvaWLANDevice_t,result->GuardInterval=2,target->GuardInterval=0\n" + kFailed +
                  "CheckTolvaWLANDevice_t,result->RetryTimeout=30,target->RetryTimeout=0\n"
                  "CheckTolvaWLANDevice_t,result->Powerlevel=3,target->Powerlevel=0\n"
                  "CheckTolvaWLANDevice_t,result->PowerValue=-20,target->PowerValue=0\n",
              out.text());
}

TEST_F(WLANDeviceCheck, UnterminatedTextsShowOnlyTheirOwnBytes) {
    fill_unterminated(r.Standard, 'S');  // printed only; "104-bit" follows
    fill_unterminated(t.PWD, 'P');       // printed only; the record ends here
    PrintCapture out;
    std::string expected = replaced(kWLANPassed, "result->Standard=11n,", "result->Standard=" + run(24, 'S') + ",");
    expected = replaced(expected, "target->PWD=x\n", "target->PWD=" + run(sizeof t.PWD, 'P') + "\n");
    EXPECT_EQ(1, CheckTolvaWLANDevice_t(&r, &t));  // nothing of them is validated
    EXPECT_EQ(expected, out.take());

    fill_unterminated(r.BeaconType, 'W');  // validated; the filled Standard follows
    EXPECT_EQ(0, CheckTolvaWLANDevice_t(&r, &t));
    EXPECT_EQ(replaced(expected, "CheckTolvaWLANDevice_t,result->BeaconType=WPA2,target->BeaconType=DATA_BeaTyp\n",
                       "CheckTolvaWLANDevice_t,result->BeaconType=" + run(16, 'W') + ",target->BeaconType=DATA_BeaTyp\n" +
                           kBeaconTypeFailed),
              out.take());
}

// ---- Wi-Fi time window ----------------------------------------------------

class WiFiTimerCheck : public ::testing::Test {
protected:
    void SetUp() override {
        r = zeroed<TolvaWiFiTimer_t>();
        t = zeroed<TolvaWiFiTimer_t>();
        put(r.ControlCycle, "Everyday");
        put(t.ControlCycle, "Everyday");
        put(r.EndTime, "22:00");
        put(t.EndTime, "DATA_TIME");
        put(r.StartTime, "08:30");
        put(t.StartTime, "DATA_TIME");
        r.Enable = 1;
    }
    TolvaWiFiTimer_t r, t;
};

const std::string kTimerPassed =
    std::string("CheckTolvaWiFiTimer_t,result->ControlCycle=Everyday,target->ControlCycle=Everyday\n"
                "CheckTolvaWiFiTimer_t,result->EndTime=22:00,target->EndTime=DATA_TIME\n"
                "CheckTolvaWiFiTimer_t,result->StartTime=08:30,target->StartTime=DATA_TIME\n"
                "CheckTolvaWiFiTimer_t,result->Enable=1,target->Enable=0\n") +
    kPass;

TEST_F(WiFiTimerCheck, PassingPairOnlyEnableFailingAndEmptyControlCycles) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaWiFiTimer_t(&r, &t));
    EXPECT_EQ(kTimerPassed, out.take());
    r.Enable = 2;  // the last step alone fails: member line, failed line, own line
    EXPECT_EQ(0, CheckTolvaWiFiTimer_t(&r, &t));
    EXPECT_EQ(replaced(kTimerPassed, std::string("result->Enable=1,target->Enable=0\n") + kPass,
                       std::string("result->Enable=2,target->Enable=0\n") + kFailed + kTimerEnableFailed),
              out.take());
    r.Enable = 1;
    put(r.ControlCycle, "");  // two empty texts are equal
    put(t.ControlCycle, "");
    EXPECT_EQ(1, CheckTolvaWiFiTimer_t(&r, &t));
    EXPECT_EQ(replaced(kTimerPassed, "result->ControlCycle=Everyday,target->ControlCycle=Everyday\n",
                       "result->ControlCycle=,target->ControlCycle=\n"),
              out.take());
    EXPECT_TRUE(out.whole_lines());
}

TEST_F(WiFiTimerCheck, SeveralFailuresEachWhereItFalls) {
    put(r.ControlCycle, "everyday");  // differs in case only
    put(r.StartTime, "8:");           // no digits after the colon
    r.Enable = 2;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWiFiTimer_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWiFiTimer_t,result->ControlCycle=everyday,target->ControlCycle=Everyday\n") +
                  kControlCycleFailed + "CheckTolvaWiFiTimer_t,result->EndTime=22:00,target->EndTime=DATA_TIME\n" +
                  "CheckTolvaWiFiTimer_t,result->StartTime=8:,target->StartTime=DATA_TIME\n" + kStartTimeFailed +
                  "CheckTolvaWiFiTimer_t,result->Enable=2,target->Enable=0\n" + kFailed + kTimerEnableFailed,
              out.text());
}

TEST_F(WiFiTimerCheck, NullResultRecordFailsEveryStep) {
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWiFiTimer_t(nullptr, &t));
    EXPECT_EQ(std::string("CheckTolvaWiFiTimer_t,result->ControlCycle=(null),target->ControlCycle=Everyday\n") +
                  kControlCycleFailed + "CheckTolvaWiFiTimer_t,result->EndTime=(null),target->EndTime=DATA_TIME\n" +
                  kEndTimeFailed + "CheckTolvaWiFiTimer_t,result->StartTime=(null),target->StartTime=DATA_TIME\n" +
                  kStartTimeFailed + "CheckTolvaWiFiTimer_t,result->Enable=(null),target->Enable=0\n" + kFailed +
                  kTimerEnableFailed,
              out.text());
}

// ---- Wi-Fi timer by week days ---------------------------------------------

class WiFiTimer1Check : public ::testing::Test {
protected:
    void SetUp() override {
        rd = zeroed<TolvaStrArray_t>();
        td = zeroed<TolvaStrArray_t>();
        put(rd.str, "1,2,3,4,5");
        put(td.str, "DATA_DAY");
        r = zeroed<TolvaWiFiTimer1_t>();
        t = zeroed<TolvaWiFiTimer1_t>();
        put(r.Active, "ON");
        put(t.Active, "DATA_ACTIVE");
        r.Enable = 1;
        put(r.Time, "07:15");
        put(t.Time, "DATA_TIME");
        r.WeekDay = &rd;
        t.WeekDay = &td;
    }
    TolvaStrArray_t rd, td;
    TolvaWiFiTimer1_t r, t;
};

const std::string kTimer1FirstThree =
    std::string("CheckTolvaWiFiTimer1_t,result->Active=ON,target->Active=DATA_ACTIVE\n"
                "CheckTolvaWiFiTimer1_t,result->Enable=1,target->Enable=0\n") +
    kPass + "CheckTolvaWiFiTimer1_t,result->Time=07:15,target->Time=DATA_TIME\n";

TEST_F(WiFiTimer1Check, PassingPair) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaWiFiTimer1_t(&r, &t));
    EXPECT_EQ(kTimer1FirstThree + "CheckTolvaWiFiTimer1_t,result->WeekDay->str=1,2,3,4,5,target->WeekDay->str=DATA_DAY\n",
              out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST_F(WiFiTimer1Check, SeveralFailuresWithItsOwnEnableAndTimeLines) {
    put(r.Active, "");
    r.Enable = 3;
    put(r.Time, "noon");
    put(rd.str, "");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWiFiTimer1_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaWiFiTimer1_t,result->Active=,target->Active=DATA_ACTIVE\n") + kActiveFailed +
                  "CheckTolvaWiFiTimer1_t,result->Enable=3,target->Enable=0\n" + kFailed + kTimer1EnableFailed +
                  "CheckTolvaWiFiTimer1_t,result->Time=noon,target->Time=DATA_TIME\n" + kTimer1TimeFailed +
                  "CheckTolvaWiFiTimer1_t,result->WeekDay->str=,target->WeekDay->str=DATA_DAY\n" + kWeekDayFailed,
              out.text());
}

TEST_F(WiFiTimer1Check, NullWeekDayOnEitherSideIsNotFollowed) {
    PrintCapture out;
    r.WeekDay = nullptr;
    EXPECT_EQ(0, CheckTolvaWiFiTimer1_t(&r, &t));
    EXPECT_EQ(kTimer1FirstThree + "CheckTolvaWiFiTimer1_t,result->WeekDay->str=(null),target->WeekDay->str=DATA_DAY\n" +
                  kWeekDayFailed,
              out.take());
    r.WeekDay = &rd;
    t.WeekDay = nullptr;
    EXPECT_EQ(0, CheckTolvaWiFiTimer1_t(&r, &t));
    EXPECT_EQ(kTimer1FirstThree + "CheckTolvaWiFiTimer1_t,result->WeekDay->str=1,2,3,4,5,target->WeekDay->str=(null)\n" +
                  kWeekDayFailed,
              out.take());
}

TEST_F(WiFiTimer1Check, UnterminatedWeekDayShowsOnlyItsOwnBytesAndFails) {
    StrArrayWithTail days;
    fill_unterminated(days.array.str, '5');  // would pass as a day if read as a text
    std::memcpy(days.tail, "XYZ", 4);
    r.WeekDay = &days.array;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWiFiTimer1_t(&r, &t));
    EXPECT_EQ(kTimer1FirstThree + "CheckTolvaWiFiTimer1_t,result->WeekDay->str=" + run(sizeof days.array.str, '5') +
                  ",target->WeekDay->str=DATA_DAY\n" + kWeekDayFailed,
              out.text());
}

// ---- LED ------------------------------------------------------------------

class LEDCheck : public ::testing::Test {
protected:
    void SetUp() override {
        r = zeroed<TolvaLED_t>();
        t = zeroed<TolvaLED_t>();
        put(r.ControlCycle, "Weekly");
        put(t.ControlCycle, "Weekly");
        put(r.EndTime, "23:59");
        put(t.EndTime, "DATA_TIME");
        put(r.StartTime, "18:00");
        put(t.StartTime, "DATA_TIME");
        put(r.Status, "1");
        put(t.Status, "STR");
    }
    TolvaLED_t r, t;
};

const std::string kLEDPassed =
    std::string("CheckTolvaLED_t,result->ControlCycle=Weekly,target->ControlCycle=Weekly\n"
                "CheckTolvaLED_t,result->Enable=0,target->Enable=0\n") +
    kPass +
    "CheckTolvaLED_t,result->EndTime=23:59,target->EndTime=DATA_TIME\n"
    "CheckTolvaLED_t,result->StartTime=18:00,target->StartTime=DATA_TIME\n"
    "CheckTolvaLED_t,result->Status=1,target->Status=STR\n";

TEST_F(LEDCheck, PassingPair) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaLED_t(&r, &t));
    EXPECT_EQ(kLEDPassed, out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST_F(LEDCheck, SeveralFailuresEachWhereItFalls) {
    put(r.ControlCycle, "");  // the empty text equals only the empty text
    r.Enable = -1;
    put(t.EndTime, "DATA_TIMES");  // no such format
    put(r.Status, "2");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaLED_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaLED_t,result->ControlCycle=,target->ControlCycle=Weekly\n") + kControlCycleFailed +
                  "CheckTolvaLED_t,result->Enable=-1,target->Enable=0\n" + kFailed + kEnableFailed +
                  "CheckTolvaLED_t,result->EndTime=23:59,target->EndTime=DATA_TIMES\n" + kEndTimeFailed +
                  "CheckTolvaLED_t,result->StartTime=18:00,target->StartTime=DATA_TIME\n"
                  "CheckTolvaLED_t,result->Status=2,target->Status=STR\n" +
                  kStatusFailed,
              out.text());
}

TEST_F(LEDCheck, UnterminatedTextsOnBothSidesFailTheirSteps) {
    fill_unterminated(r.ControlCycle, 'C');  // equal bytes, but no end on either side
    fill_unterminated(t.ControlCycle, 'C');
    r.Enable = 1;                            // nonzero bytes right after
    fill_unterminated(r.Status, '1');        // "18:00" follows
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaLED_t(&r, &t));
    std::string expected = replaced(kLEDPassed, "result->ControlCycle=Weekly,target->ControlCycle=Weekly\n",
                                    "result->ControlCycle=" + run(16, 'C') + ",target->ControlCycle=" + run(16, 'C') +
                                        "\n" + kControlCycleFailed);
    expected = replaced(expected, "result->Enable=0,", "result->Enable=1,");
    EXPECT_EQ(replaced(expected, "result->Status=1,target->Status=STR\n",
                       std::string("result->Status=11111111,target->Status=STR\n") + kStatusFailed),
              out.text());
}

TEST_F(LEDCheck, BothRecordsNull) {
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaLED_t(nullptr, nullptr));
    EXPECT_EQ(std::string("CheckTolvaLED_t,result->ControlCycle=(null),target->ControlCycle=(null)\n") +
                  kControlCycleFailed + "CheckTolvaLED_t,result->Enable=(null),target->Enable=(null)\n" + kFailed +
                  kEnableFailed + "CheckTolvaLED_t,result->EndTime=(null),target->EndTime=(null)\n" + kEndTimeFailed +
                  "CheckTolvaLED_t,result->StartTime=(null),target->StartTime=(null)\n" + kStartTimeFailed +
                  "CheckTolvaLED_t,result->Status=(null),target->Status=(null)\n" + kStatusFailed,
              out.text());
}

// ---- Sleep timer ----------------------------------------------------------

class SleepTimerCheck : public ::testing::Test {
protected:
    void SetUp() override {
        rd = zeroed<TolvaStrArray_t>();
        td = zeroed<TolvaStrArray_t>();
        put(rd.str, "6");
        put(td.str, "DATA_DAY");
        r = zeroed<TolvaSleepTimer_t>();
        t = zeroed<TolvaSleepTimer_t>();
        put(r.Active, "1");
        put(t.Active, "STR");
        put(r.Time, "23:00");
        put(t.Time, "DATA_TIME");
        r.Day = &rd;
        t.Day = &td;
    }
    TolvaStrArray_t rd, td;
    TolvaSleepTimer_t r, t;
};

const std::string kSleepPassed =
    std::string("CheckTolvaSleepTimer_t,result->Active=1,target->Active=STR\n"
                "CheckTolvaSleepTimer_t,result->Day->str=6,target->Day->str=DATA_DAY\n"
                "CheckTolvaSleepTimer_t,result->Enable=0,target->Enable=0\n") +
    kPass + "CheckTolvaSleepTimer_t,result->Time=23:00,target->Time=DATA_TIME\n";

TEST_F(SleepTimerCheck, PassingPair) {
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaSleepTimer_t(&r, &t));
    EXPECT_EQ(kSleepPassed, out.text());
    EXPECT_TRUE(out.whole_lines());
}

TEST_F(SleepTimerCheck, SeveralFailuresWithTheShortTimeLine) {
    put(r.Active, "x");
    put(rd.str, "");
    r.Enable = 5;
    put(r.Time, "2300");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaSleepTimer_t(&r, &t));
    EXPECT_EQ(std::string("CheckTolvaSleepTimer_t,result->Active=x,target->Active=STR\n") + kActiveFailed +
                  "CheckTolvaSleepTimer_t,result->Day->str=,target->Day->str=DATA_DAY\n" + kDayFailed +
                  "CheckTolvaSleepTimer_t,result->Enable=5,target->Enable=0\n" + kFailed + kEnableFailed +
                  "CheckTolvaSleepTimer_t,result->Time=2300,target->Time=DATA_TIME\n" + kSleepTimeFailed,
              out.text());
}

TEST_F(SleepTimerCheck, NullDayOnEitherSideIsNotFollowed) {
    const std::string day_line = "CheckTolvaSleepTimer_t,result->Day->str=6,target->Day->str=DATA_DAY\n";
    PrintCapture out;
    t.Day = nullptr;
    EXPECT_EQ(0, CheckTolvaSleepTimer_t(&r, &t));
    EXPECT_EQ(replaced(kSleepPassed, day_line,
                       std::string("CheckTolvaSleepTimer_t,result->Day->str=6,target->Day->str=(null)\n") + kDayFailed),
              out.take());
    t.Day = &td;
    r.Day = nullptr;
    EXPECT_EQ(0, CheckTolvaSleepTimer_t(&r, &t));
    EXPECT_EQ(replaced(kSleepPassed, day_line,
                       std::string("CheckTolvaSleepTimer_t,result->Day->str=(null),target->Day->str=DATA_DAY\n") +
                           kDayFailed),
              out.take());
}

}  // namespace
