// Google Benchmark of fieldaudit: each format check beside its two floors,
// and every record checker per call with typical records and a print handler
// that discards the lines. Linked with fieldaudit_strict as
// fieldaudit_bench_strict. bench/ratios turns the CSV output into ratios.
#include <benchmark/benchmark.h>
#include <glib.h>

#include <string.h>

#include <string>

#include "fieldaudit.h"
#include "floors.h"
#include "samples.h"

namespace {

void discard(const gchar *) {}

// ---- Formats ----------------------------------------------------------------

void format_check(benchmark::State &state, const FormatSample *s) {
    Check_data_format(s->value, s->name);  // the first check compiles
    for (auto _ : state) benchmark::DoNotOptimize(Check_data_format(s->value, s->name));
}

void compile_match_free(benchmark::State &state, const FormatSample *s) {
    for (auto _ : state) {
        GRegex *compiled = floor_compile(*s->pattern, static_cast<GRegexCompileFlags>(0));
        benchmark::DoNotOptimize(floor_match(compiled, s->value));
        g_regex_unref(compiled);
    }
}

void match_alone(benchmark::State &state, const FormatSample *s) {
    GRegex *compiled = floor_compile(*s->pattern, static_cast<GRegexCompileFlags>(0));
    for (auto _ : state) benchmark::DoNotOptimize(floor_match(compiled, s->value));
    g_regex_unref(compiled);
}

// ---- Records ------------------------------------------------------------------

template <size_t N>
void put(char (&member)[N], const char *text) {
    g_strlcpy(member, text, N);
}

// A result value and the target's format name for one member.
#define FIELD(member, value, format) (put(r.member, value), put(t.member, format))

template <class T>
struct Records {
    T r;
    T t;
};

template <class T>
void checker(benchmark::State &state, int (*check)(const T *, const T *), const Records<T> *records) {
    for (auto _ : state) benchmark::DoNotOptimize(check(&records->r, &records->t));
}

template <class T>
Records<T> *zeroed() {
    Records<T> *records = g_new0(Records<T>, 1);
    return records;
}

TolvaStrArray_t *str_array(const char *text) {
    TolvaStrArray_t *a = g_new0(TolvaStrArray_t, 1);
    put(a->str, text);
    return a;
}

void register_checkers() {
#define REGISTER(name, records) \
    benchmark::RegisterBenchmark("checker/" #name, checker<name>, Check##name, records)

    auto *device = zeroed<TolvaDeviceInfo_t>();
    {
        auto &r = device->r;
        auto &t = device->t;
        FIELD(MAC, "001122AABBCC", "DATA_MAC");
        put(r.SWVersion, "V1.2.3");
    }
    REGISTER(TolvaDeviceInfo_t, device);

    auto *network = zeroed<TolvaNetworkInfo_t>();
    {
        auto &r = network->r;
        auto &t = network->t;
        FIELD(WANLinkStatus, "1", "STR");
        FIELD(WIFIModuleStatus, "1", "STR");
        FIELD(WANConnectionStatus, "Connected", "DATA_Status");
        FIELD(IPV6_WANConnectionStatus, "Connected", "DATA_Status");
        FIELD(LANIPAddr, "192.168.1.1", "DATA_IP");
        FIELD(WANIPAddr, "10.20.30.40", "DATA_IP");
        FIELD(WANIPV6Addr, "2001:db8::1", "DATA_IPV6");
    }
    REGISTER(TolvaNetworkInfo_t, network);

    auto *wan = zeroed<TolvaWANConnectionInfo_t>();
    {
        auto &r = wan->r;
        auto &t = wan->t;
        FIELD(ConnectionStatus, "Connected", "DATA_Status");
        FIELD(DNS1, "10.0.0.1", "DATA_IP");
        FIELD(DNS2, "10.0.0.2", "DATA_IP");
        FIELD(Gateway, "10.0.0.254", "DATA_IP");
        FIELD(IPAddress, "10.0.0.7", "DATA_IP");
        FIELD(SubnetMask, "255.255.255.0", "DATA_IP");
        FIELD(IPV6_ConnectionStatus, "Connected", "DATA_Status");
        FIELD(IPV6_IPAddress, "2001:db8::7", "DATA_IPV6");
        FIELD(IPV6_DNS1, "2001:db8::53", "DATA_IPV6");
        FIELD(IPV6_DNS2, "2001:db8::54", "DATA_IPV6");
        FIELD(IPV6_Gateway, "fe80::1", "DATA_IPV6");
    }
    REGISTER(TolvaWANConnectionInfo_t, wan);

    REGISTER(TolvaWiFiInfo_t, zeroed<TolvaWiFiInfo_t>());

    auto *wps_info = zeroed<TolvaWPSDevInfo_t>();
    {
        auto &r = wps_info->r;
        auto &t = wps_info->t;
        FIELD(Info, "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC", "DATA_DEVINFO");
    }
    REGISTER(TolvaWPSDevInfo_t, wps_info);
    auto *wps = zeroed<TolvaWPS_t>();
    wps->r.DevInfo = &wps_info->r;
    wps->t.DevInfo = &wps_info->t;
    REGISTER(TolvaWPS_t, wps);

    auto *wlan = zeroed<TolvaWLANDevice_t>();
    {
        auto &r = wlan->r;
        auto &t = wlan->t;
        FIELD(BasicAuthenticationMode, "OpenSystem", "DATA_BasicAuthMode");
        FIELD(BeaconType, "WPA2", "DATA_BeaTyp");
        FIELD(WEPEncryptionLevel, "104-bit", "DATA_WEPEnLevel");
        FIELD(WPAEncryptionModes, "AESEncryption", "DATA_WPAEnModes");
    }
    REGISTER(TolvaWLANDevice_t, wlan);

    auto *timer = zeroed<TolvaWiFiTimer_t>();
    {
        auto &r = timer->r;
        auto &t = timer->t;
        FIELD(EndTime, "22:00", "DATA_TIME");
        FIELD(StartTime, "08:30", "DATA_TIME");
    }
    REGISTER(TolvaWiFiTimer_t, timer);

    auto *timer1 = zeroed<TolvaWiFiTimer1_t>();
    {
        auto &r = timer1->r;
        auto &t = timer1->t;
        FIELD(Active, "ON", "DATA_ACTIVE");
        FIELD(Time, "07:15", "DATA_TIME");
        r.WeekDay = str_array("1,2,3,4,5");
        t.WeekDay = str_array("DATA_DAY");
    }
    REGISTER(TolvaWiFiTimer1_t, timer1);

    auto *led = zeroed<TolvaLED_t>();
    {
        auto &r = led->r;
        auto &t = led->t;
        FIELD(EndTime, "22:00", "DATA_TIME");
        FIELD(StartTime, "08:30", "DATA_TIME");
        FIELD(Status, "1", "STR");
    }
    REGISTER(TolvaLED_t, led);

    auto *sleep = zeroed<TolvaSleepTimer_t>();
    {
        auto &r = sleep->r;
        auto &t = sleep->t;
        FIELD(Active, "1", "STR");
        FIELD(Time, "23:00", "DATA_TIME");
        r.Day = str_array("6,7");
        t.Day = str_array("DATA_DAY");
    }
    REGISTER(TolvaSleepTimer_t, sleep);

    auto *pon = zeroed<TolvaPONInfo_t>();
    {
        auto &r = pon->r;
        auto &t = pon->t;
        FIELD(PONStatus, "PON_STATUS_REG_AUTH", "DATA_PONSTATUS");
    }
    REGISTER(TolvaPONInfo_t, pon);
    REGISTER(TolvaVoIPInfo_t, zeroed<TolvaVoIPInfo_t>());
    REGISTER(TolvaLANHostMgr_t, zeroed<TolvaLANHostMgr_t>());

    auto *host = zeroed<TolvaLANHost_t>();
    {
        auto &r = host->r;
        auto &t = host->t;
        FIELD(IP, "192.168.1.23", "DATA_IP");
    }
    REGISTER(TolvaLANHost_t, host);
    REGISTER(TolvaHttpDownloadTestResult_t, zeroed<TolvaHttpDownloadTestResult_t>());

    REGISTER(TolvaObjPath_t, zeroed<TolvaObjPath_t>());
    REGISTER(TolvaStrArray_t, zeroed<TolvaStrArray_t>());
    REGISTER(TolvaPPPoE_t, zeroed<TolvaPPPoE_t>());

    auto *dhcp = zeroed<TolvaDHCPServer_t>();
    {
        auto &r = dhcp->r;
        auto &t = dhcp->t;
        FIELD(MaxAddress, "192.168.1.254", "DATA_IP");
        FIELD(MinAddress, "192.168.1.2", "DATA_IP");
        FIELD(IPAddr, "192.168.1.1", "DATA_IP");
        FIELD(SubnetMask, "255.255.255.0", "DATA_IP");
    }
    REGISTER(TolvaDHCPServer_t, dhcp);

    auto *mapping = zeroed<TolvaPortMapping_t>();
    {
        auto &r = mapping->r;
        auto &t = mapping->t;
        FIELD(InternalClient, "192.168.1.20", "DATA_IP");
        FIELD(RemoteHost, "203.0.113.9", "DATA_IP");
    }
    REGISTER(TolvaPortMapping_t, mapping);

    REGISTER(Tolva_USBFSInfo_t, zeroed<Tolva_USBFSInfo_t>());
    REGISTER(Tolva_USBDevice_t, zeroed<Tolva_USBDevice_t>());
    REGISTER(TolvaUSBDeviceInfo_t, zeroed<TolvaUSBDeviceInfo_t>());

    auto *vpn = zeroed<TolvaVPNConnStats_t>();
    vpn->r.array = str_array("vpn0");
    vpn->t.array = str_array("vpn0");
    REGISTER(TolvaVPNConnStats_t, vpn);
    REGISTER(TolvaDNSServerConfig_t, zeroed<TolvaDNSServerConfig_t>());
    auto *tunnel = zeroed<TolvaDNSTunnel_t>();
    tunnel->r.Domain = str_array("example.org");
    tunnel->t.Domain = str_array("example.org");
    REGISTER(TolvaDNSTunnel_t, tunnel);

    static Tolva_FileEntry_t entries[4];
    benchmark::RegisterBenchmark("checker/Tolva_FileEntry_t", [](benchmark::State &state) {
        for (auto _ : state) benchmark::DoNotOptimize(CheckTolva_FileEntry_t(entries, 4));
    });

    REGISTER(Tolva_FTPServerConfig_t, zeroed<Tolva_FTPServerConfig_t>());
    REGISTER(Tolva_FTPAccount_t, zeroed<Tolva_FTPAccount_t>());
    REGISTER(Tolva_SambaServerConfig_t, zeroed<Tolva_SambaServerConfig_t>());
    REGISTER(Tolva_SambaAccount_t, zeroed<Tolva_SambaAccount_t>());
    REGISTER(TolvaDDNServer_t, zeroed<TolvaDDNServer_t>());
    REGISTER(Tolva_HttpServerConfig_t, zeroed<Tolva_HttpServerConfig_t>());
#undef REGISTER
}

void register_formats() {
    for (const FormatSample &s : kFormatSamples) {
        const std::string base = std::string("format/") + s.name + "/";
        benchmark::RegisterBenchmark((base + "check").c_str(), format_check, &s);
        benchmark::RegisterBenchmark((base + "compile_match_free").c_str(), compile_match_free, &s);
        benchmark::RegisterBenchmark((base + "match_alone").c_str(), match_alone, &s);
    }
}

}  // namespace

int main(int argc, char **argv) {
    g_set_print_handler(discard);
    register_formats();
    register_checkers();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
