// Rules every checker shares: bounded texts, null pointers, connection gates
// and whole lines, exercised through representative checkers.
#include <gtest/gtest.h>

#include <glib.h>

#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture.h"
#include "fieldaudit.h"
#include "records.h"

namespace {

// A string record followed directly by other bytes, as in a larger block.
struct StrArrayThenBytes {
    TolvaStrArray_t record;
    char after[16];
};

TEST(AuditRules, UnterminatedTextShowsOnlyItsMemberAndFailsValidation) {
    StrArrayThenBytes r;
    StrArrayThenBytes t;
    std::memset(&r, 'x', sizeof r.record);
    std::memset(r.after, 'Y', sizeof r.after);
    std::memset(&t, 'x', sizeof t.record);
    std::memset(t.after, 'Y', sizeof t.after);
    PrintCapture out;
    // Same bytes on both sides, yet neither is a text: the comparison fails.
    EXPECT_EQ(0, CheckTolvaStrArray_t(&r.record, &t.record));
    const std::string xs(sizeof r.record.str, 'x');
    EXPECT_EQ("CheckTolvaStrArray_t,result->str=" + xs + ",target->str=" + xs + "\n", out.text());
}

TEST(AuditRules, UnterminatedStatusNeverOpensTheGate) {
    auto r = zeroed<TolvaWANConnectionInfo_t>();
    auto t = zeroed<TolvaWANConnectionInfo_t>();
    // "Connected" followed by other bytes up to the end of the member.
    std::memset(r.ConnectionStatus, '!', sizeof r.ConnectionStatus);
    std::memcpy(r.ConnectionStatus, "Connected", 9);
    put(t.ConnectionStatus, "DATA_Status");
    put(t.IPAddress, "DATA_IP");  // the empty result address would fail if validated
    PrintCapture out;
    CheckTolvaWANConnectionInfo_t(&r, &t);
    const std::string text = out.text();
    EXPECT_NE(std::string::npos, text.find("ConnectionStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"));
    EXPECT_EQ(std::string::npos, text.find("IPAddress failed"));
}

TEST(AuditRules, NullRecordsShowNullMarkersForEveryValue) {
    auto t = zeroed<TolvaLANHostMgr_t>();
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaLANHostMgr_t(nullptr, &t));
    EXPECT_EQ(0, CheckTolvaLANHostMgr_t(nullptr, nullptr));
    const std::string head =
        "CheckTolvaLANHostMgr_t,result->EnableStats=(null),target->EnableStats=0\n"
        "failed!!!!!!!!!!!!!\n";
    const std::string both_null =
        "CheckTolvaLANHostMgr_t,result->EnableStats=(null),target->EnableStats=(null)\n"
        "failed!!!!!!!!!!!!!\n"
        "CheckTolvaLANHostMgr_t,result->LANHostMaxNumber=(null),target->LANHostMaxNumber=(null)\n"
        "CheckTolvaLANHostMgr_t,result->LANHostNumber=(null),target->LANHostNumber=(null)\n"
        "CheckTolvaLANHostMgr_t,result->ControlListMaxNumber=(null),target->ControlListMaxNumber=(null)\n"
        "CheckTolvaLANHostMgr_t,result->ControlListNumber=(null),target->ControlListNumber=(null)\n";
    const std::string text = out.text();
    EXPECT_EQ(0u, text.find(head));
    EXPECT_EQ(both_null, text.substr(text.size() - both_null.size()));
    // A checker that validates nothing still passes.
    out.take();
    EXPECT_EQ(1, CheckTolvaPPPoE_t(nullptr, nullptr));
    EXPECT_EQ("CheckTolvaPPPoE_t,result->PPPoEUserName=(null),target->PPPoEUserName=(null)\n", out.text());
}

TEST(AuditRules, TextsAreShownByteForByte) {
    // Printf directives and non-ASCII bytes in a value are data, not format.
    auto r = zeroed<TolvaPPPoE_t>();
    auto t = zeroed<TolvaPPPoE_t>();
    put(r.PPPoEUserName, "%s%n%d \xc3\xa9");
    put(t.PPPoEUserName, "100%");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaPPPoE_t(&r, &t));
    EXPECT_EQ("CheckTolvaPPPoE_t,result->PPPoEUserName=%s%n%d \xc3\xa9,target->PPPoEUserName=100%\n", out.text());
}

TEST(AuditRules, ControlBytesOfShownTextsAreEscapedAndValidatedRaw) {
    // Every byte below 0x20 and 0x7f shows as \xhh; other bytes as they are.
    auto r = zeroed<TolvaPPPoE_t>();
    auto t = zeroed<TolvaPPPoE_t>();
    put(r.PPPoEUserName, "u\nCheckTolvaPPPoE_t,result->PPPoEUserName=forged\r\x1b[0m\x7f\\x41");
    put(t.PPPoEUserName, "\t");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaPPPoE_t(&r, &t));
    EXPECT_EQ(
        "CheckTolvaPPPoE_t,result->PPPoEUserName=u\\x0aCheckTolvaPPPoE_t,result->PPPoEUserName=forged\\x0d\\x1b[0m"
        "\\x7f\\x41,target->PPPoEUserName=\\x09\n",
        out.text());

    // An unterminated text of control bytes: the whole member, escaped.
    auto s = zeroed<TolvaStrArray_t>();
    fill_unterminated(s.str, '\n');
    auto u = zeroed<TolvaStrArray_t>();
    out.take();
    EXPECT_EQ(0, CheckTolvaStrArray_t(&s, &u));
    std::string shown;
    for (size_t i = 0; i < sizeof s.str; ++i) shown += "\\x0a";
    EXPECT_EQ("CheckTolvaStrArray_t,result->str=" + shown + ",target->str=\n", out.text());

    // Validation sees the raw bytes: the trailing newline is no part of the
    // shown line's end, and the unanchored status format still passes.
    auto w = zeroed<TolvaWANConnectionInfo_t>();
    auto wt = zeroed<TolvaWANConnectionInfo_t>();
    put(w.ConnectionStatus, "Connected\n");
    put(wt.ConnectionStatus, "DATA_Status");
    out.take();
    CheckTolvaWANConnectionInfo_t(&w, &wt);
    const std::string text = out.take();
    EXPECT_EQ(0u, text.find("CheckTolvaWANConnectionInfo_t,result->ConnectionStatus=Connected\\x0a,"
                            "target->ConnectionStatus=DATA_Status\nCheckTolvaWANConnectionInfo_t,"
                            "result->ConnectionType="));
    EXPECT_TRUE(out.whole_lines());

    // The file-entry walk escapes too.
    auto e = zeroed<Tolva_FileEntry_t>();
    put(e.FileName, "a\nb");
    CheckTolva_FileEntry_t(&e, 1);
    EXPECT_EQ(0u, out.text().find("CheckTolva_FileEntry_t,pEntry->FileName=a\\x0ab,NULL=(null)\n"));
}

// Collects g_print calls from several threads.
std::mutex g_lines_lock;
std::vector<std::string> *g_lines = nullptr;

void collect_line(const gchar *s) {
    std::lock_guard<std::mutex> hold(g_lines_lock);
    g_lines->push_back(s);
}

TEST(AuditRules, ConcurrentChecksPrintWholeLinesAndKeepTheirVerdicts) {
    std::vector<std::string> lines;
    g_lines = &lines;
    GPrintFunc previous = g_set_print_handler(collect_line);

    auto pass_r = zeroed<TolvaDHCPServer_t>();
    auto pass_t = zeroed<TolvaDHCPServer_t>();
    pass_r.Enable = 1;
    put(pass_r.MinAddress, "192.168.1.2");
    put(pass_r.MaxAddress, "192.168.1.254");
    put(pass_r.IPAddr, "192.168.1.1");
    put(pass_r.SubnetMask, "255.255.255.0");
    for (char *f : {pass_t.MinAddress, pass_t.MaxAddress, pass_t.IPAddr, pass_t.SubnetMask}) {
        std::memcpy(f, "DATA_IP", 8);
    }
    auto fail_r = pass_r;
    fail_r.SubnetMask[0] = '\0';

    const int kRounds = 50;
    int verdicts[4] = {0, 0, 0, 0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            const TolvaDHCPServer_t *r = (i % 2 == 0) ? &pass_r : &fail_r;
            for (int n = 0; n < kRounds; ++n) verdicts[i] += CheckTolvaDHCPServer_t(r, &pass_t);
        });
    }
    for (std::thread &th : threads) th.join();
    g_set_print_handler(previous);
    g_lines = nullptr;

    EXPECT_EQ(kRounds, verdicts[0]);
    EXPECT_EQ(0, verdicts[1]);
    EXPECT_EQ(kRounds, verdicts[2]);
    EXPECT_EQ(0, verdicts[3]);
    // Seven lines a passing check, eight a failing one (the SubnetMask failure line).
    EXPECT_EQ(static_cast<size_t>(2 * kRounds * 7 + 2 * kRounds * 8), lines.size());
    for (const std::string &l : lines) {
        ASSERT_EQ(l.size() - 1, l.find('\n')) << l;
    }
}

}  // namespace
