// The report on captured checker output: every checker's real output read
// back to the checker's real verdict, call delimiting, the reasons given for
// failing fields, and lines that only look like the kit's.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit_tools.h"
#include "fieldaudit.h"
#include "record_walk.h"
#include "records.h"
#include "support.h"

namespace {

using capireport::kLog;
using fieldaudit::Checker;
using fieldaudit::Step;

std::string printed(const std::function<void()> &body) {
    PrintCapture capture;
    body();
    return capture.text();
}

// ---- Random records for every checker, from its own steps ----------------

const char *const kFormatSamples[][2] = {
    {"DATA_MAC", "001122AABBCC"}, {"DATA_IP", "192.168.1.1"}, {"DATA_IPV6", "fe80::1"}, {"DATA_TIME", "12:30"},
    {"STR", "1"},                 {"DATA_Status", "Connected"}, {"DATA_ACTIVE", "ON"}, {"DATA_DAY", "3"},
    {"DATA_PERCENTAGE", "30%"},   {"DATA_DEVINFO", "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC"},
};

class Records : public tolva_test::RecordFill {
public:
    explicit Records(guint32 seed) : rand_(g_rand_new_with_seed(seed)) {}
    ~Records() { g_rand_free(rand_); }

    int pick(int n) { return g_rand_int_range(rand_, 0, n); }
    char *block(size_t size) {
        blocks_.emplace_back(new char[size]());
        return blocks_.back().get();
    }

    // Fills a result and a target record (either may be null) of the checker.
    void fill(const Checker &c, char *r, char *t) { tolva_test::fill_records(c, r, t, *this); }

    // A pointer member: to a record of its own, now and then to none.
    char *pointed(const Step &, size_t size, int) override { return pick(6) ? block(size) : nullptr; }

    void member(const Checker &c, size_t, const Step &s, char *r, char *t) override {
        if (s.member == Step::kText || s.member == Step::kStringRecord) {
            texts(s, r, t, gate(c, s));
        } else {
            numbers(s, r, t);
        }
    }

private:
    // Whether a step of the checker has the step's field as its gate.
    static bool gate(const Checker &c, const Step &s) {
        std::vector<Step> steps(fieldaudit::kMaxSteps);
        steps.resize(c.describe(steps.data(), steps.size()));
        for (const Step &other : steps) {
            if (other.gate && s.field && strcmp(other.gate, s.field) == 0) return true;
        }
        return false;
    }

    // A text: empty, unterminated, random bytes (control bytes too), a plain
    // text, one that nearly reads "(null)", or the preferred one.
    void text(char *m, size_t width, const char *preferred) {
        if (!m) return;
        std::memset(m, 0, width);
        const int kind = pick(6);
        const size_t random = kind == 1 ? width : kind == 2 ? static_cast<size_t>(pick(static_cast<int>(width))) : 0;
        for (size_t i = 0; i < random; ++i) m[i] = static_cast<char>(pick(255) + 1);
        const char *const fixed[] = {"", nullptr, nullptr, "some text", "(null", preferred};
        if (fixed[kind]) std::strncpy(m, fixed[kind], width - 1);
    }

    void texts(const Step &s, char *r, char *t, bool gate) {
        if (s.kind == Step::kFormat) {
            const int k = pick(12);
            text(t, s.width, k < 10 ? kFormatSamples[k][0] : "DATA_NOPE");
            text(r, s.width, gate && pick(2) ? "Connected" : k < 10 ? kFormatSamples[k][1] : "x");
        } else {
            text(r, s.width, "expected");
            if (s.kind == Step::kEqualText && r && t && pick(2)) {
                std::memcpy(t, r, s.width);
            } else {
                text(t, s.width, "expected");
            }
        }
    }

    void numbers(const Step &s, char *r, char *t) {
        long long rv = static_cast<long long>(g_rand_int(rand_)) - 2000000000LL;
        long long tv = pick(2) ? rv : static_cast<long long>(g_rand_int(rand_));
        if (s.kind == Step::kDomain) {
            rv = pick(5) ? pick(9) : 100;
            tv = pick(6) ? pick(11) : 255;
        }
        put(s, r, rv);
        put(s, t, tv);
    }

    static void put(const Step &s, char *m, long long v) {
        if (!m) return;
        const int64_t wide = v * 1000003;
        const double real = v % 3 == 0 ? 1e300 : static_cast<double>(v) / 7;
        switch (s.member) {
        case Step::kUnsigned8: *reinterpret_cast<uint8_t *>(m) = static_cast<uint8_t>(v); break;
        case Step::kUnsigned16: *reinterpret_cast<uint16_t *>(m) = static_cast<uint16_t>(v); break;
        case Step::kInt32: std::memcpy(m, &v, 4); break;
        case Step::kInt64: std::memcpy(m, &wide, 8); break;
        case Step::kDouble: std::memcpy(m, &real, 8); break;
        default: break;
        }
    }

    GRand *rand_;
    std::vector<std::unique_ptr<char[]>> blocks_;
};

TEST(Log, EveryCheckerReadBackToItsOwnVerdict) {
    Records records(2024);
    std::string all;
    std::vector<std::string> expected;
    int failed = 0, unjudged = 0;
    for (int round = 0; round < 12; ++round) {
        for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
            const Checker &c = fieldaudit::kCheckers[k];
            SCOPED_TRACE(std::string(c.name) + " round " + std::to_string(round));
            char *r = records.pick(12) || !c.has_target ? records.block(c.size) : nullptr;
            char *t = c.has_target && records.pick(12) ? records.block(c.size) : nullptr;
            records.fill(c, r, t);
            int verdict = 0;
            const std::string out = printed([&] { verdict = c.check(r, t); });
            const Outcome o = report_of({{kLog, "l", out}});
            // The one disagreement allowed: a step that the output cannot
            // judge (texts shown alike with "\xhh" in them) reads as failed.
            if (o.out.find("cannot be judged from the output") != std::string::npos) {
                unjudged += verdict;
                verdict = 0;
            }
            const std::string call = std::string(c.name) + (verdict ? " PASS" : " FAIL");
            ASSERT_EQ(std::vector<std::string>{call}, calls_of(out)) << out;
            EXPECT_NE(std::string::npos, o.out.find("foreign=0 l\n")) << o.out;
            EXPECT_EQ(verdict ? 0 : 1, o.status);
            EXPECT_EQ(!verdict, o.out.find("\n    - ") != std::string::npos) << o.out;
            failed += verdict ? 0 : 1;
            // The same calls run together, with the test program's own lines
            // among them.
            all += "== " + std::to_string(round) + " " + c.name + "\n" + out;
            expected.push_back(call);
        }
    }
    EXPECT_LT(50, failed);
    EXPECT_GT(10, unjudged);
    EXPECT_EQ(expected, calls_of(all));
    EXPECT_EQ(expected, calls_of(all, 5));
}

// ---- Real output of a few checkers -----------------------------------------

// What the checker prints for two zeroed records, once `set` has filled them;
// its verdict into `verdict`, if given.
template <class T, class Set>
std::string output_of(int (*checker)(const T *, const T *), Set set, int *verdict = nullptr) {
    T r = zeroed<T>(), t = zeroed<T>();
    set(r, t);
    int v = 0;
    const std::string out = printed([&] { v = checker(&r, &t); });
    if (verdict) *verdict = v;
    return out;
}

template <class T>
std::string blank(int (*checker)(const T *, const T *)) {
    return output_of(checker, [](T &, T &) {});
}

std::string device(bool ok) {
    return output_of(CheckTolvaDeviceInfo_t, [&](TolvaDeviceInfo_t &r, TolvaDeviceInfo_t &t) {
        put(r.MAC, ok ? "001122AABBCC" : "00:11");
        put(t.MAC, "DATA_MAC");
    });
}

std::string strings(const char *a, const char *b, int *verdict = nullptr) {
    return output_of(CheckTolvaStrArray_t, [&](TolvaStrArray_t &r, TolvaStrArray_t &t) {
        put(r.str, a);
        put(t.str, b);
    }, verdict);
}

std::string tunnel(bool ok) {
    auto domain = zeroed<TolvaStrArray_t>();
    put(domain.str, "d");
    return output_of(CheckTolvaDNSTunnel_t, [&](TolvaDNSTunnel_t &r, TolvaDNSTunnel_t &t) {
        r.Domain = t.Domain = &domain;
        put(r.ServerIP, ok ? "1.1.1.1" : "2.2.2.2");
        put(t.ServerIP, "1.1.1.1");
    });
}

std::string vpn(int len) {
    auto array = zeroed<TolvaStrArray_t>();
    return output_of(CheckTolvaVPNConnStats_t, [&](TolvaVPNConnStats_t &r, TolvaVPNConnStats_t &t) {
        r.array = t.array = &array;
        r.arrayLen = len;
        t.arrayLen = 1;
    });
}

std::string wps(bool ok) {
    auto ri = zeroed<TolvaWPSDevInfo_t>(), ti = zeroed<TolvaWPSDevInfo_t>();
    put(ri.Info, ok ? "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC" : "none");
    put(ti.Info, "DATA_DEVINFO");
    return output_of(CheckTolvaWPS_t, [&](TolvaWPS_t &r, TolvaWPS_t &t) {
        r.DevInfo = &ri;
        t.DevInfo = &ti;
    });
}

std::string walk(int entries) {
    std::vector<Tolva_FileEntry_t> e(static_cast<size_t>(entries), zeroed<Tolva_FileEntry_t>());
    return printed([&] { CheckTolva_FileEntry_t(e.data(), entries); });
}

std::string first_lines(const std::string &text, int lines) {
    size_t end = 0;
    for (int i = 0; i < lines; ++i) end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

// The test program's own lines before and after every line.
std::string noisy(const std::string &log) {
    std::string out = "test starts\n";
    for (size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
        out += log.substr(at, end - at + 1) + "step done: ok\n";
    }
    return out;
}

TEST(Log, DelimitsCallsExactly) {
    const std::string usb_device = blank(CheckTolva_USBDevice_t), usb_fs = blank(CheckTolva_USBFSInfo_t);
    const std::string direct = printed([] {
        Check_data_int(1, 0, 2);
        Check_data_int(7, 0, 2);
        Check_bool(1, 1);
        Check_int(3, 4);
        Check_return_result(-1, -1);
        Check_char("any", nullptr);
    });
    const struct {
        const char *what;
        std::string log;
        std::vector<std::string> calls;
    } cases[] = {
        {"the same checker twice", device(true) + device(false),
         {"CheckTolvaDeviceInfo_t PASS", "CheckTolvaDeviceInfo_t FAIL"}},
        {"a string record, then a DNS tunnel that begins with one", strings("a", "a") + tunnel(false),
         {"CheckTolvaStrArray_t PASS", "CheckTolvaDNSTunnel_t FAIL"}},
        {"a DNS tunnel, then a string record", tunnel(true) + strings("a", "b"),
         {"CheckTolvaDNSTunnel_t PASS", "CheckTolvaStrArray_t FAIL"}},
        {"a VPN record ends with a string record; one more follows", vpn(2) + strings("a", "a") + vpn(1),
         {"CheckTolvaVPNConnStats_t FAIL", "CheckTolvaStrArray_t PASS", "CheckTolvaVPNConnStats_t PASS"}},
        {"the WPS device info in the middle of WPS", wps(false) + wps(true), {"CheckTolvaWPS_t FAIL", "CheckTolvaWPS_t PASS"}},
        {"a USB device then its file system read as one USB device info call", usb_device + usb_fs,
         {"CheckTolvaUSBDeviceInfo_t PASS"}},
        {"USB device info, then a USB device alone, then a file system alone",
         blank(CheckTolvaUSBDeviceInfo_t) + usb_device + device(true) + usb_fs,
         {"CheckTolvaUSBDeviceInfo_t PASS", "CheckTolva_USBDevice_t PASS", "CheckTolvaDeviceInfo_t PASS",
          "CheckTolva_USBFSInfo_t PASS"}},
        {"entries in a row form one walk", walk(3) + walk(2) + device(true) + walk(1),
         {"CheckTolva_FileEntry_t PASS", "CheckTolvaDeviceInfo_t PASS", "CheckTolva_FileEntry_t PASS"}},
        {"scalar primitives and direct domain checks", direct + device(true),
         {"Check_data_int PASS", "Check_data_int FAIL", "Check_bool PASS", "Check_int FAIL", "Check_return_result PASS",
          "Check_char PASS", "CheckTolvaDeviceInfo_t PASS"}},
        {"a call cut short, then a whole one", first_lines(device(true), 5) + device(true),
         {"CheckTolvaDeviceInfo_t FAIL", "CheckTolvaDeviceInfo_t PASS"}},
        {"a call cut short at the end", wps(true) + first_lines(tunnel(true), 2),
         {"CheckTolvaWPS_t PASS", "CheckTolvaDNSTunnel_t FAIL"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.calls, calls_of(c.log));
        EXPECT_EQ(c.calls, calls_of(noisy(c.log), 3));
    }
    const Outcome o = report_of({{kLog, "l", noisy(walk(3))}});
    EXPECT_EQ("LOG l\n  PASS lines=2-30    entries=3 test starts: CheckTolva_FileEntry_t\n"
              "TOTAL PASS calls=1 pass=1 failed=0 incomplete=0 stray=0 foreign=16 l\n",
              o.out.substr(0, o.out.find("SUMMARY")));
}

TEST(Log, ReportsWhyEachFieldFailed) {
    auto dev = zeroed<TolvaDeviceInfo_t>(), dev_t = zeroed<TolvaDeviceInfo_t>();
    dev.BusinessStatus = 7;
    put(dev.MAC, "00:11");
    put(dev_t.MAC, "DATA_MAC");
    auto net = zeroed<TolvaNetworkInfo_t>(), net_t = zeroed<TolvaNetworkInfo_t>();
    net.IPV6 = 3;
    net_t.IPV6 = 2;
    net_t.VLANbind = 12;
    put(net.IPV6_WANConnectionStatus, "Up");
    put(net_t.IPV6_WANConnectionStatus, "DATA_Status");
    put(net.LANIPAddr, "1.2.3.4");
    put(net_t.LANIPAddr, "DATA_NOPE");
    put(net.WANConnectionStatus, "Disconnected");
    put(net_t.WANConnectionStatus, "DATA_Status");
    put(net_t.WANIPAddr, "DATA_IP");  // gate closed: not checked
    put(net_t.WANIPV6Addr, "DATA_IPV6");
    put(net.WANLinkStatus, "\xff");
    put(net_t.WANLinkStatus, "DATA_IP");
    put(net.WIFIModuleStatus, "1");
    put(net_t.WIFIModuleStatus, "STR");
    auto dns = zeroed<TolvaDNSServerConfig_t>(), dns_t = zeroed<TolvaDNSServerConfig_t>();
    put(dns.Server1, "a,target->Server1=b");
    put(dns_t.Server1, "b");
    fill_unterminated(dns.Server2, '\n');
    fill_unterminated(dns_t.Server2, '\n');
    auto ta = zeroed<TolvaStrArray_t>();
    auto stats = zeroed<TolvaVPNConnStats_t>(), stats_t = zeroed<TolvaVPNConnStats_t>();
    stats.arrayLen = 2;
    stats_t.arrayLen = 3;
    stats_t.array = &ta;
    auto timer_t = zeroed<TolvaWiFiTimer_t>();
    const std::string log = printed([&] {
        CheckTolvaDeviceInfo_t(&dev, &dev_t);
        CheckTolvaNetworkInfo_t(&net, &net_t);
        CheckTolvaDNSServerConfig_t(&dns, &dns_t);
        CheckTolvaVPNConnStats_t(&stats, &stats_t);
        CheckTolvaWiFiTimer_t(nullptr, &timer_t);
        Check_int(3, 0);
        Check_data_int(9, 0, 2);
    }) + first_lines(device(true), 3);
    std::string newlines;
    for (int i = 0; i < 24; ++i) newlines += "\\x0a";
    EXPECT_EQ(
        "LOG run.log\n"
        "  FAIL lines=1-19    CheckTolvaDeviceInfo_t\n"
        "    - BusinessStatus: result=\"7\" target=\"0\": not in domain: selector 0 with count 2 admits 0, 1\n"
        "    - MAC: result=\"00:11\" target=\"DATA_MAC\": does not match format DATA_MAC\n"
        "  FAIL lines=20-53   CheckTolvaNetworkInfo_t\n"
        "    - IPV6: result=\"3\" target=\"2\": not in domain: selector 2 with count 3 admits 0, 1, 2\n"
        "    - VLANbind: result=\"0\" target=\"12\": not in domain: selector 12 picks no table\n"
        "    - LANIPAddr: result=\"1.2.3.4\" target=\"DATA_NOPE\": \"DATA_NOPE\" is not a format name\n"
        "    - WANLinkStatus: result=\"\xff\" target=\"DATA_IP\": result is not valid UTF-8\n"
        "  FAIL lines=54-55   CheckTolvaDNSServerConfig_t\n"
        "    - Server1: result=\"a,target->Server1=b\" target=\"b\": differs from the expected text\n"
        "    - Server2: result=\"" + newlines + "\" target=\"" + newlines +
            "\": result is unterminated: it fills all 24 bytes of its member\n"
        "  FAIL lines=56-57   CheckTolvaVPNConnStats_t\n"
        "    - arrayLen: result=\"2\" target=\"3\": differs from the expected number\n"
        "    - str in CheckTolvaStrArray_t: result=\"(null)\" target=\"\": result is null\n"
        "  FAIL lines=58-66   CheckTolvaWiFiTimer_t\n"
        "    - ControlCycle: result=\"(null)\" target=\"\": result is null\n"
        "    - EndTime: result=\"(null)\" target=\"\": result is null\n"
        "    - StartTime: result=\"(null)\" target=\"\": result is null\n"
        "    - Enable: result=\"(null)\" target=\"0\": result is null\n"
        "  FAIL line=67       Check_int\n"
        "    - ret: result=\"3\" target=\"0\": differs from tar\n"
        "  FAIL line=68       Check_data_int\n"
        "    - value: not in its domain (a direct domain check's line shows no value or table)\n"
        "  FAIL lines=69-71   CheckTolvaDeviceInfo_t\n"
        "    - incomplete: the output ends where the CheckTolvaDeviceInfo_t line of ITMSProtocolVersion is due\n"
        "TOTAL FAIL calls=8 pass=0 failed=8 incomplete=1 stray=0 foreign=0 run.log\n"
        "SUMMARY FAIL inputs=1 unreadable=0 names=0 failing=0 calls=8 failed=8 malformed=0 stray=0\n",
        report_of({{kLog, "run.log", log}}).out);
}

// ---- Lines that only look like the kit's, and output that proves no pass ----

std::string replaced(std::string text, const std::string &from, const std::string &to) {
    const size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string crlf(const std::string &text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

TEST(Log, LinesThatAreNotTheKitsAreSkipped) {
    const std::string usb = blank(CheckTolva_USBDevice_t), entry = walk(1), huge(3 << 20, 'x');
    // A backslash is printed as it is, a newline escaped: the same line
    // from texts that differ.
    int verdict = 1;
    const std::string alike = strings("\\x0a", "\n", &verdict);
    EXPECT_EQ(0, verdict);
    const char kStrays[] = "CheckTolvaNetworkInfo_t,result->IPV6=1,target->IPV6=0\npass!!!!!!!!!!!!!!!!\n"
                           "failed!!!!!!!!!!!!!\nCheckTolvaNetworkInfo_t,result->LAN3Status=0,target->LAN3Status=0\n"
                           "failed!!!!!!!!!!!!!\n";
    const struct {
        const char *what;
        std::string log;
        std::vector<std::string> calls;
        std::string counts;  // of the TOTAL line
        int status;
    } cases[] = {
        {"CRLF line ends", crlf(usb), {"CheckTolva_USBDevice_t PASS"}, "stray=0 foreign=0", 0},
        {"a number out of its member's range breaks the call", replaced(usb, "DeviceType=0,", "DeviceType=65536,"),
         {"CheckTolva_USBDevice_t FAIL"}, "stray=1 foreign=1", 1},
        {"numbers as %d never prints them",
         "Check_int,ret=01,tar=1\nCheck_int,ret=-0,tar=0\nCheck_int,ret=2147483648,tar=0\nCheck_int,ret=1,tar=1 \n"
         "Check_int,ret=-2147483648,tar=-2147483648\nCheck_int,ret=,tar=\n",
         {"Check_int PASS"}, "stray=0 foreign=5", 0},
        {"unknown checker and unknown field, raw control bytes, NUL bytes, a huge line",
         "CheckTolvaNothing_t,result->str=a,target->str=a\nCheckTolvaStrArray_t,result->s=a,target->s=a\n"
         "CheckTolvaStrArray_t,result->str=a\tb,target->str=a\tb\n" +
             std::string("CheckTolvaStrArray_t,result->str=a\0,target->str=a\0\n", 52) + huge + "\n" + huge,
         {}, "stray=0 foreign=6", 1},
        {"a text longer than its member, and one that fills it",
         "CheckTolvaStrArray_t,result->str=" + std::string(257, 'a') + ",target->str=a\n" +
             "CheckTolvaStrArray_t,result->str=" + std::string(256, 'a') + ",target->str=a\n",
         {"CheckTolvaStrArray_t FAIL"}, "stray=0 foreign=1", 1},
        {"the walk has no target", replaced(entry, "FileSize=0,NULL=0", "FileSize=0,NULL=1") + entry,
         {"CheckTolva_FileEntry_t FAIL", "CheckTolva_FileEntry_t PASS"}, "stray=0 foreign=1", 1},
        {"a long Check_char line is still a call", "Check_char,ret=" + huge + ",tar=\n", {"Check_char PASS"},
         "stray=0 foreign=0", 0},
        {"lines of the kit outside any call", usb.substr(usb.find('\n') + 1) + "MAC failed!!!!!!!!!\n" + kStrays,
         {"CheckTolvaNetworkInfo_t FAIL", "Check_data_int FAIL"}, "stray=4 foreign=0", 1},
        // What the output cannot prove passed reads as failed: escapes and
        // "?" (GLib's own print handler on a console that is not UTF-8: the
        // mark, bytes from 0x80 up as \xhh, "?" for what it cannot show).
        {"texts shown alike from different bytes", alike, {"CheckTolvaStrArray_t FAIL"}, "stray=0 foreign=0", 1},
        {"a line marked as not UTF-8",
         "[Invalid UTF-8] CheckTolvaStrArray_t,result->str=dev\\xff,target->str=expected\n"
         "[Invalid UTF-8] CheckTolvaObjPath_t,result->str=caf\\xe9,target->str=caf\\xe9\n",
         {"CheckTolvaStrArray_t FAIL", "CheckTolvaObjPath_t FAIL"}, "stray=0 foreign=0", 1},
        {"a character the console cannot show", "CheckTolvaObjPath_t,result->str=caf?,target->str=caf?\n",
         {"CheckTolvaObjPath_t FAIL"}, "stray=0 foreign=0", 1},
        // Values holding the target's label: split where they can be equal,
        // else at the last label.
        {"a value holding the target's label", "CheckTolvaStrArray_t,result->str=x,target->str=x,target->str=x\n",
         {"CheckTolvaStrArray_t FAIL"}, "stray=0 foreign=0", 1},
        {"equal values holding the label",
         "CheckTolvaStrArray_t,result->str=x,target->str=x,target->str=x,target->str=x\n"
         "CheckTolvaStrArray_t,result->str=x,target->str=y,target->str=x\n",
         {"CheckTolvaStrArray_t PASS", "CheckTolvaStrArray_t FAIL"}, "stray=0 foreign=0", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.calls, calls_of(c.log, 4096));
        const Outcome o = report_of({{kLog, "l", c.log}}, 1000);
        EXPECT_NE(std::string::npos, o.out.find(c.counts + " l\n")) << o.out;
        EXPECT_EQ(c.status, o.status);
    }
    EXPECT_EQ("l:1: CheckTolva_USBDevice_t line of DeviceType outside a whole call\n"
              "l:2: CheckTolva_USBDevice_t line of DeviceId outside a whole call\n"
              "l:3: failure line \"MAC failed!!!!!!!!!\" outside a call\n"
              "l:7: CheckTolvaNetworkInfo_t line of LAN3Status outside a whole call\n",
              report_of({{kLog, "l", cases[7].log}}).err);
}

}  // namespace
