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
#include "simgw.h"

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
//
// Result records as the simulated gateway of the demo (examples/simgw.c)
// hands them, every member filled, with its deliberate faults put right:
// typical records, which pass every check of fieldaudit (the strict library
// fails its whole-value checks of the day lists and of two texts of the
// 2.4 GHz radio). Targets name the formats of the validated texts and the
// exact texts; domain selectors are 0 (values 0 and 1) unless set here.

template <size_t N>
void put(char (&member)[N], const char *text) {
    g_strlcpy(member, text, N);
}

template <class T>
struct Records {
    T r;
    T t;
};

template <class T>
void checker(benchmark::State &state, int (*check)(const T *, const T *), const Records<T> *records) {
    for (auto _ : state) benchmark::DoNotOptimize(check(&records->r, &records->t));
}

// Zeroed records, the result as the gateway gives it (the given one, if any).
template <class T>
Records<T> *records(int (*get)(T *) = nullptr) {
    Records<T> *records = g_new0(Records<T>, 1);
    if (get != nullptr) get(&records->r);
    return records;
}

template <class T>
Records<T> *records(int (*get)(int, T *), int index) {
    Records<T> *records = g_new0(Records<T>, 1);
    get(index, &records->r);
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

    auto *device = records(simgw_get_device_info);
    put(device->t.MAC, "DATA_MAC");
    REGISTER(TolvaDeviceInfo_t, device);

    auto *network = records(simgw_get_network_info);
    {
        auto &t = network->t;
        t.IPV6 = 1;  // 0 to 2: dual stack
        put(t.WANLinkStatus, "STR");
        put(t.WIFIModuleStatus, "STR");
        put(t.WANConnectionStatus, "DATA_Status");
        put(t.IPV6_WANConnectionStatus, "DATA_Status");
        put(t.LANIPAddr, "DATA_IP");
        put(t.WANIPAddr, "DATA_IP");
        put(t.WANIPV6Addr, "DATA_IPV6");
    }
    REGISTER(TolvaNetworkInfo_t, network);

    auto *wan = records(simgw_get_wan_connection, 0);  // PPPoE, dual stack
    {
        auto &t = wan->t;
        put(t.ConnectionStatus, "DATA_Status");
        put(t.DNS1, "DATA_IP");
        put(t.DNS2, "DATA_IP");
        put(t.Gateway, "DATA_IP");
        put(t.IPAddress, "DATA_IP");
        put(t.SubnetMask, "DATA_IP");
        put(t.IPV6_ConnectionStatus, "DATA_Status");
        put(t.IPV6_IPAddress, "DATA_IPV6");
        put(t.IPV6_DNS1, "DATA_IPV6");
        put(t.IPV6_DNS2, "DATA_IPV6");
        put(t.IPV6_Gateway, "DATA_IPV6");
    }
    REGISTER(TolvaWANConnectionInfo_t, wan);

    REGISTER(TolvaWiFiInfo_t, records(simgw_get_wifi_info));

    auto *wps = records(simgw_get_wps);
    wps->r.WPSStatus = 2;  // success, in place of the gateway's fault
    wps->t.WPSStatus = 2;  // 0 to 3
    auto *wps_info = records<TolvaWPSDevInfo_t>();
    wps_info->r = *wps->r.DevInfo;
    put(wps_info->t.Info, "DATA_DEVINFO");
    wps->t.DevInfo = &wps_info->t;
    REGISTER(TolvaWPSDevInfo_t, wps_info);
    REGISTER(TolvaWPS_t, wps);

    auto *wlan = records(simgw_get_wlan_device, 0);  // 2.4 GHz
    put(wlan->t.BasicAuthenticationMode, "DATA_BasicAuthMode");
    put(wlan->t.BeaconType, "DATA_BeaTyp");
    put(wlan->t.WEPEncryptionLevel, "DATA_WEPEnLevel");
    put(wlan->t.WPAEncryptionModes, "DATA_WPAEnModes");
    REGISTER(TolvaWLANDevice_t, wlan);

    auto *timer = records(simgw_get_wifi_timer);
    put(timer->t.EndTime, "DATA_TIME");
    put(timer->t.StartTime, "DATA_TIME");
    put(timer->t.ControlCycle, "EveryDay");
    REGISTER(TolvaWiFiTimer_t, timer);

    auto *timer1 = records(simgw_get_wifi_week_timer);
    put(timer1->t.Active, "DATA_ACTIVE");
    put(timer1->t.Time, "DATA_TIME");
    timer1->t.WeekDay = str_array("DATA_DAY");
    REGISTER(TolvaWiFiTimer1_t, timer1);

    auto *led = records(simgw_get_led);
    put(led->t.EndTime, "DATA_TIME");
    put(led->t.StartTime, "DATA_TIME");
    put(led->t.ControlCycle, "EveryDay");
    put(led->t.Status, "STR");
    REGISTER(TolvaLED_t, led);

    auto *sleep = records(simgw_get_sleep_timer);
    put(sleep->t.Active, "STR");
    put(sleep->t.Time, "DATA_TIME");
    sleep->t.Day = str_array("DATA_DAY");
    REGISTER(TolvaSleepTimer_t, sleep);

    auto *pon = records(simgw_get_pon_info);
    put(pon->r.PONStatus, "PON_STATUS_REG_AUTH");  // terminated, in place of the fault
    put(pon->t.PONStatus, "DATA_PONSTATUS");
    REGISTER(TolvaPONInfo_t, pon);
    REGISTER(TolvaVoIPInfo_t, records(simgw_get_voip_info));
    REGISTER(TolvaLANHostMgr_t, records(simgw_get_lan_host_mgr));

    auto *host = records(simgw_get_lan_host, 0);
    put(host->t.IP, "DATA_IP");
    REGISTER(TolvaLANHost_t, host);
    REGISTER(TolvaHttpDownloadTestResult_t, records(simgw_get_download_test_result));

    auto *path = records<TolvaObjPath_t>();
    path->r = path->t = device->r.ObjPath;
    REGISTER(TolvaObjPath_t, path);
    auto *days = records<TolvaStrArray_t>();
    days->r = days->t = *timer1->r.WeekDay;
    REGISTER(TolvaStrArray_t, days);
    REGISTER(TolvaPPPoE_t, records(simgw_get_pppoe));

    auto *dhcp = records(simgw_get_dhcp_server);
    put(dhcp->t.MaxAddress, "DATA_IP");
    put(dhcp->t.MinAddress, "DATA_IP");
    put(dhcp->t.IPAddr, "DATA_IP");
    put(dhcp->t.SubnetMask, "DATA_IP");
    REGISTER(TolvaDHCPServer_t, dhcp);

    auto *mapping = records(simgw_get_port_mapping, 1);
    put(mapping->t.InternalClient, "DATA_IP");
    put(mapping->t.RemoteHost, "DATA_IP");
    REGISTER(TolvaPortMapping_t, mapping);

    auto *usb = records(simgw_get_usb_device);
    auto *fs = records<Tolva_USBFSInfo_t>();
    fs->r = usb->r.USBFSInfo;
    auto *stick = records<Tolva_USBDevice_t>();
    stick->r = usb->r.USBDevice;
    REGISTER(Tolva_USBFSInfo_t, fs);
    REGISTER(Tolva_USBDevice_t, stick);
    REGISTER(TolvaUSBDeviceInfo_t, usb);

    auto *vpn = records(simgw_get_vpn_stats);
    vpn->r.array = str_array("office.example.com");  // the list the gateway's fault leaves out
    vpn->t.array = str_array("office.example.com");
    REGISTER(TolvaVPNConnStats_t, vpn);
    REGISTER(TolvaDNSServerConfig_t, records(simgw_get_dns_servers));
    auto *tunnel = records(simgw_get_dns_tunnel);
    tunnel->t.Domain = str_array("intranet.example.com");
    REGISTER(TolvaDNSTunnel_t, tunnel);

    static Tolva_FileEntry_t entries[4];
    static int count;
    simgw_list_usb_files(entries, 4, &count);
    benchmark::RegisterBenchmark("checker/Tolva_FileEntry_t", [](benchmark::State &state) {
        for (auto _ : state) benchmark::DoNotOptimize(CheckTolva_FileEntry_t(entries, count));
    });

    REGISTER(Tolva_FTPServerConfig_t, records(simgw_get_ftp_server));
    REGISTER(Tolva_FTPAccount_t, records(simgw_get_ftp_account));
    REGISTER(Tolva_SambaServerConfig_t, records(simgw_get_samba_server));
    REGISTER(Tolva_SambaAccount_t, records(simgw_get_samba_account));
    REGISTER(TolvaDDNServer_t, records(simgw_get_ddns));
    REGISTER(Tolva_HttpServerConfig_t, records(simgw_get_http_server));
#undef REGISTER
}

void register_formats() {
    load_format_samples();
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
