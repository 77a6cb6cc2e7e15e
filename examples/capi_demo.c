/*
 * capi_demo: a gateway test program as gateway teams write them, run against
 * the simulated gateway of simgw.h. For each interface call it fills a target
 * record with the expectations (domain selectors, format names, exact
 * texts), checks the return code and the record with the kit's checkers, and
 * appends one row to the result sheet "capi.xls" in the current folder.
 *
 * Usage: capi_demo [-M | -S | -E]
 *
 * All arguments together are the command text; Get_mode picks the group of
 * interface calls that runs:
 *   (no flag)  every call below
 *   -M         main status: device, network, both WAN connections, PON
 *              line, voice lines, download test
 *   -S         services: PPPoE, DHCP server, port mappings, DNS servers and
 *              tunnel, dynamic DNS, VPN, USB stick and its files, FTP, Samba,
 *              web server
 *   -E         the home side: Wi-Fi status, WPS, both radios, Wi-Fi timers,
 *              LED, sleep timer, LAN host manager and LAN hosts
 * With several flags the highest wins (-E over -S over -M): one group runs.
 *
 * Standard output carries the kit's lines (and a heading line of this
 * program before each call), ready to be captured for capi-report; the
 * program's verdict per call and its summary go to standard error.
 *
 * The simulated gateway has four deliberate faults (simgw.h). The program
 * knows which calls they hit: those must fail, all others must pass. Exit
 * status 0 when every verdict is the one the simulated gateway implies and
 * every row was written, 1 otherwise.
 *
 * Plain C99, linked with the C compiler against libfieldaudit.a,
 * libmodeflag.a, libresultsheet.a and GLib.
 */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <glib.h>

#include "fieldaudit.h"
#include "modeflag.h"
#include "result_sheet.h"
#include "simgw.h"

/* The demo's sheet, in the folder it runs in (not the standard one in /tmp). */
#define SHEET "capi.xls"

/* Bounded copy into a text member, always NUL-terminated. */
#define PUT(member, text) snprintf((member), sizeof(member), "%s", (text))

/* Domain selectors: the value tables of the kit, by what they admit (the
 * checker's count for the field may admit fewer). */
#define DOMAIN_0_TO_1 0
#define DOMAIN_0_TO_2 1
#define DOMAIN_0_TO_3 2
#define DOMAIN_0_TO_4 3
#define DOMAIN_0_TO_5 4

/* Groups, numbered as Get_mode numbers the flags. */
enum { MAIN_STATUS = 1, SERVICES = 2, HOME_SIDE = 3 };

/* The return code first: the record of a failed call is not checked. */
static int returned_ok(int ret)
{
    return Check_return_result(ret, SIMGW_OK);
}

/* ---- Main status ---------------------------------------------------------- */

static int device_info(int unused)
{
    TolvaDeviceInfo_t result = {0}, target = {0};
    const int ret = simgw_get_device_info(&result);

    (void)unused;
    target.BusinessStatus = DOMAIN_0_TO_1;
    PUT(target.MAC, "DATA_MAC");
    return returned_ok(ret) && CheckTolvaDeviceInfo_t(&result, &target);
}

static int network_info(int unused)
{
    TolvaNetworkInfo_t result = {0}, target = {0};
    const int ret = simgw_get_network_info(&result);

    (void)unused;
    target.IPV6 = DOMAIN_0_TO_2; /* IPv4, IPv6, dual stack */
    target.VLANbind = DOMAIN_0_TO_1;
    target.LAN1Status = DOMAIN_0_TO_1;
    target.LAN2Status = DOMAIN_0_TO_1;
    target.LAN3Status = DOMAIN_0_TO_1;
    target.LAN4Status = DOMAIN_0_TO_1;
    PUT(target.WANLinkStatus, "STR");
    PUT(target.WIFIModuleStatus, "STR");
    PUT(target.WANConnectionStatus, "DATA_Status");
    PUT(target.IPV6_WANConnectionStatus, "DATA_Status");
    PUT(target.LANIPAddr, "DATA_IP");
    PUT(target.WANIPAddr, "DATA_IP");
    PUT(target.WANIPV6Addr, "DATA_IPV6");
    return returned_ok(ret) && CheckTolvaNetworkInfo_t(&result, &target);
}

static int wan_connection(int index)
{
    TolvaWANConnectionInfo_t result = {0}, target = {0};
    const int ret = simgw_get_wan_connection(index, &result);

    PUT(target.ConnectionStatus, "DATA_Status");
    PUT(target.IPAddress, "DATA_IP");
    PUT(target.SubnetMask, "DATA_IP");
    PUT(target.Gateway, "DATA_IP");
    PUT(target.DNS1, "DATA_IP");
    PUT(target.DNS2, "DATA_IP");
    PUT(target.IPV6_ConnectionStatus, "DATA_Status");
    PUT(target.IPV6_IPAddress, "DATA_IPV6");
    PUT(target.IPV6_Gateway, "DATA_IPV6");
    PUT(target.IPV6_DNS1, "DATA_IPV6");
    PUT(target.IPV6_DNS2, "DATA_IPV6");
    return returned_ok(ret) && CheckTolvaWANConnectionInfo_t(&result, &target);
}

static int pon_info(int unused)
{
    TolvaPONInfo_t result = {0}, target = {0};
    const int ret = simgw_get_pon_info(&result);

    (void)unused;
    PUT(target.PONStatus, "DATA_PONSTATUS");
    target.SupportPONStatusQuery = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaPONInfo_t(&result, &target);
}

static int voip_info(int unused)
{
    TolvaVoIPInfo_t result = {0}, target = {0}; /* target empty: names and states are shown only */
    const int ret = simgw_get_voip_info(&result);

    (void)unused;
    return returned_ok(ret) && CheckTolvaVoIPInfo_t(&result, &target);
}

static int download_test(int unused)
{
    TolvaHttpDownloadTestResult_t result = {0}, target = {0};
    const int ret = simgw_get_download_test_result(&result);

    (void)unused;
    target.Status = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaHttpDownloadTestResult_t(&result, &target);
}

/* ---- Services ------------------------------------------------------------- */

static int pppoe(int unused)
{
    TolvaPPPoE_t result = {0}, target = {0};
    const int ret = simgw_get_pppoe(&result);

    (void)unused;
    return returned_ok(ret) && CheckTolvaPPPoE_t(&result, &target);
}

static int dhcp_server(int unused)
{
    TolvaDHCPServer_t result = {0}, target = {0};
    const int ret = simgw_get_dhcp_server(&result);

    (void)unused;
    target.Enable = DOMAIN_0_TO_1;
    PUT(target.MinAddress, "DATA_IP");
    PUT(target.MaxAddress, "DATA_IP");
    PUT(target.IPAddr, "DATA_IP");
    PUT(target.SubnetMask, "DATA_IP");
    return returned_ok(ret) && CheckTolvaDHCPServer_t(&result, &target);
}

static int port_mapping(int index)
{
    TolvaPortMapping_t result = {0}, target = {0};
    const int ret = simgw_get_port_mapping(index, &result);

    target.Enable = DOMAIN_0_TO_1;
    PUT(target.RemoteHost, "DATA_IP");
    PUT(target.InternalClient, "DATA_IP");
    return returned_ok(ret) && CheckTolvaPortMapping_t(&result, &target);
}

/* The servers that the test set-up configured. */
static int dns_servers(int unused)
{
    TolvaDNSServerConfig_t result = {0}, target = {0};
    const int ret = simgw_get_dns_servers(&result);

    (void)unused;
    PUT(target.Server1, "198.51.100.53");
    PUT(target.Server2, "198.51.100.54");
    return returned_ok(ret) && CheckTolvaDNSServerConfig_t(&result, &target);
}

static int dns_tunnel(int unused)
{
    TolvaDNSTunnel_t result = {0}, target = {0};
    TolvaStrArray_t domain = {0};
    const int ret = simgw_get_dns_tunnel(&result);

    (void)unused;
    PUT(target.ServerIP, "198.51.100.153");
    PUT(domain.str, "intranet.example.com");
    target.Domain = &domain;
    return returned_ok(ret) && CheckTolvaDNSTunnel_t(&result, &target);
}

static int ddns(int unused)
{
    TolvaDDNServer_t result = {0}, target = {0};
    const int ret = simgw_get_ddns(&result);

    (void)unused;
    target.DDNSCfgEnabled = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaDDNServer_t(&result, &target);
}

/* One VPN connection is up in the test set-up. */
static int vpn_stats(int unused)
{
    TolvaVPNConnStats_t result = {0}, target = {0};
    TolvaStrArray_t connection = {0};
    const int ret = simgw_get_vpn_stats(&result);

    (void)unused;
    target.arrayLen = 1;
    PUT(connection.str, "office.example.com");
    target.array = &connection;
    return returned_ok(ret) && CheckTolvaVPNConnStats_t(&result, &target);
}

static int usb_device(int unused)
{
    TolvaUSBDeviceInfo_t result = {0}, target = {0};
    const int ret = simgw_get_usb_device(&result);

    (void)unused;
    return returned_ok(ret) && CheckTolvaUSBDeviceInfo_t(&result, &target);
}

static int usb_files(int unused)
{
    Tolva_FileEntry_t entries[16] = {0};
    int count = 0;
    const int ret = simgw_list_usb_files(entries, (int)(sizeof entries / sizeof entries[0]), &count);

    (void)unused;
    /* The stick of the test set-up is not empty. */
    return returned_ok(ret) && Check_bool(count > 0, 1) && CheckTolva_FileEntry_t(entries, count);
}

static int ftp_server(int unused)
{
    Tolva_FTPServerConfig_t result = {0}, target = {0};
    const int ret = simgw_get_ftp_server(&result);

    (void)unused;
    target.Enable = DOMAIN_0_TO_3;
    target.AllowAnonymous = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolva_FTPServerConfig_t(&result, &target);
}

static int ftp_account(int unused)
{
    Tolva_FTPAccount_t result = {0}, target = {0};
    const int ret = simgw_get_ftp_account(&result);

    (void)unused;
    return returned_ok(ret) && CheckTolva_FTPAccount_t(&result, &target);
}

static int samba_server(int unused)
{
    Tolva_SambaServerConfig_t result = {0}, target = {0};
    const int ret = simgw_get_samba_server(&result);

    (void)unused;
    target.Enable = DOMAIN_0_TO_3;
    target.AllowAnonymous = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolva_SambaServerConfig_t(&result, &target);
}

static int samba_account(int unused)
{
    Tolva_SambaAccount_t result = {0}, target = {0};
    const int ret = simgw_get_samba_account(&result);

    (void)unused;
    return returned_ok(ret) && CheckTolva_SambaAccount_t(&result, &target);
}

static int http_server(int unused)
{
    Tolva_HttpServerConfig_t result = {0}, target = {0};
    const int ret = simgw_get_http_server(&result);

    (void)unused;
    target.Enable = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolva_HttpServerConfig_t(&result, &target);
}

/* ---- Home side ------------------------------------------------------------ */

static int wifi_info(int unused)
{
    TolvaWiFiInfo_t result = {0}, target = {0};
    const int ret = simgw_get_wifi_info(&result);

    (void)unused;
    target.SameSSIDStatus = DOMAIN_0_TO_1;
    target.Enable = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaWiFiInfo_t(&result, &target);
}

static int wps(int unused)
{
    TolvaWPS_t result = {0}, target = {0};
    TolvaWPSDevInfo_t device = {0};
    const int ret = simgw_get_wps(&result);

    (void)unused;
    target.Enable = DOMAIN_0_TO_1;
    target.WPSStatus = DOMAIN_0_TO_3; /* idle, in progress, success, error */
    PUT(device.Info, "DATA_DEVINFO");
    target.DevInfo = &device;
    return returned_ok(ret) && CheckTolvaWPS_t(&result, &target);
}

static int wlan_device(int radio)
{
    TolvaWLANDevice_t result = {0}, target = {0};
    const int ret = simgw_get_wlan_device(radio, &result);

    PUT(target.BeaconType, "DATA_BeaTyp");
    PUT(target.WEPEncryptionLevel, "DATA_WEPEnLevel");
    PUT(target.BasicAuthenticationMode, "DATA_BasicAuthMode");
    PUT(target.WPAEncryptionModes, "DATA_WPAEnModes");
    target.Enable = DOMAIN_0_TO_1;
    target.SSIDHide = DOMAIN_0_TO_1;
    target.RFBand = DOMAIN_0_TO_1;          /* 2.4 GHz, 5 GHz */
    target.ChannelWidth = DOMAIN_0_TO_5;    /* 20, 40, 20/40, 80, 160, 80+80 MHz */
    target.GuardInterval = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaWLANDevice_t(&result, &target);
}

static int wifi_timer(int unused)
{
    TolvaWiFiTimer_t result = {0}, target = {0};
    const int ret = simgw_get_wifi_timer(&result);

    (void)unused;
    PUT(target.StartTime, "DATA_TIME");
    PUT(target.EndTime, "DATA_TIME");
    PUT(target.ControlCycle, "EveryDay");
    target.Enable = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaWiFiTimer_t(&result, &target);
}

static int wifi_week_timer(int unused)
{
    TolvaWiFiTimer1_t result = {0}, target = {0};
    TolvaStrArray_t days = {0};
    const int ret = simgw_get_wifi_week_timer(&result);

    (void)unused;
    PUT(target.Time, "DATA_TIME");
    PUT(target.Active, "DATA_ACTIVE");
    target.Enable = DOMAIN_0_TO_1;
    PUT(days.str, "DATA_DAY");
    target.WeekDay = &days;
    return returned_ok(ret) && CheckTolvaWiFiTimer1_t(&result, &target);
}

/* Status and Active are 8 bytes wide: only short format names fit. */
static int led(int unused)
{
    TolvaLED_t result = {0}, target = {0};
    const int ret = simgw_get_led(&result);

    (void)unused;
    PUT(target.Status, "STR");
    PUT(target.StartTime, "DATA_TIME");
    PUT(target.EndTime, "DATA_TIME");
    PUT(target.ControlCycle, "EveryDay");
    target.Enable = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaLED_t(&result, &target);
}

static int sleep_timer(int unused)
{
    TolvaSleepTimer_t result = {0}, target = {0};
    TolvaStrArray_t days = {0};
    const int ret = simgw_get_sleep_timer(&result);

    (void)unused;
    PUT(target.Time, "DATA_TIME");
    PUT(target.Active, "STR");
    target.Enable = DOMAIN_0_TO_1;
    PUT(days.str, "DATA_DAY");
    target.Day = &days;
    return returned_ok(ret) && CheckTolvaSleepTimer_t(&result, &target);
}

static int lan_host_mgr(int unused)
{
    TolvaLANHostMgr_t result = {0}, target = {0};
    const int ret = simgw_get_lan_host_mgr(&result);

    (void)unused;
    target.EnableStats = DOMAIN_0_TO_1;
    return returned_ok(ret) && CheckTolvaLANHostMgr_t(&result, &target);
}

/* The host's own object path, then its record. */
static int lan_host(int index)
{
    TolvaLANHost_t result = {0}, target = {0};
    TolvaObjPath_t path = {0};
    int verdict;
    const int ret = simgw_get_lan_host(index, &result);

    if (!returned_ok(ret))
        return 0;
    snprintf(path.str, sizeof path.str, SIMGW_OBJECT_ROOT "LANHosts/%d", index + 1);
    target.ConnectionType = DOMAIN_0_TO_1; /* wired, wireless */
    target.Port = DOMAIN_0_TO_4;           /* Wi-Fi, LAN1 to LAN4 */
    PUT(target.IP, "DATA_IP");
    target.InternetAccess = DOMAIN_0_TO_2;
    target.StorageAccess = DOMAIN_0_TO_1;
    target.ControlStatus = DOMAIN_0_TO_1;
    target.Active = DOMAIN_0_TO_1;
    verdict = CheckTolvaObjPath_t(&result.ObjPath, &path);
    return CheckTolvaLANHost_t(&result, &target) && verdict;
}

/* ---- The run -------------------------------------------------------------- */

struct call {
    const char *row;   /* row name in the sheet */
    int group;
    int (*run)(int);   /* makes the call and checks it: the verdict */
    int index;         /* handed to run: connection, radio, host, mapping */
    const char *fault; /* the simulated gateway's fault that fails it, or NULL */
};

static const struct call calls[] = {
    {"device_info_function", MAIN_STATUS, device_info, 0, NULL},
    {"network_info_function", MAIN_STATUS, network_info, 0, NULL},
    {"wan_internet_function", MAIN_STATUS, wan_connection, 0, NULL},
    {"wan_management_function", MAIN_STATUS, wan_connection, 1, NULL},
    {"pon_info_function", MAIN_STATUS, pon_info, 0, "PONStatus fills its member with no terminating NUL"},
    {"voip_info_function", MAIN_STATUS, voip_info, 0, NULL},
    {"download_test_function", MAIN_STATUS, download_test, 0, NULL},

    {"pppoe_function", SERVICES, pppoe, 0, NULL},
    {"dhcp_server_function", SERVICES, dhcp_server, 0, NULL},
    {"port_mapping_1_function", SERVICES, port_mapping, 0, NULL},
    {"port_mapping_2_function", SERVICES, port_mapping, 1, NULL},
    {"dns_servers_function", SERVICES, dns_servers, 0, NULL},
    {"dns_tunnel_function", SERVICES, dns_tunnel, 0, NULL},
    {"ddns_function", SERVICES, ddns, 0, NULL},
    {"vpn_stats_function", SERVICES, vpn_stats, 0, "arrayLen is 1 but array is a null pointer"},
    {"usb_device_function", SERVICES, usb_device, 0, NULL},
    {"usb_files_function", SERVICES, usb_files, 0, NULL},
    {"ftp_server_function", SERVICES, ftp_server, 0, NULL},
    {"ftp_account_function", SERVICES, ftp_account, 0, NULL},
    {"samba_server_function", SERVICES, samba_server, 0, NULL},
    {"samba_account_function", SERVICES, samba_account, 0, NULL},
    {"http_server_function", SERVICES, http_server, 0, NULL},

    {"wifi_info_function", HOME_SIDE, wifi_info, 0, NULL},
    {"wps_function", HOME_SIDE, wps, 0, "WPSStatus 4 is outside the states 0 to 3"},
    {"wlan_2g_function", HOME_SIDE, wlan_device, 0, NULL},
    {"wlan_5g_function", HOME_SIDE, wlan_device, 1, NULL},
    {"wifi_timer_function", HOME_SIDE, wifi_timer, 0, NULL},
    {"wifi_week_timer_function", HOME_SIDE, wifi_week_timer, 0, NULL},
    {"led_function", HOME_SIDE, led, 0, NULL},
    {"sleep_timer_function", HOME_SIDE, sleep_timer, 0, NULL},
    {"lan_host_mgr_function", HOME_SIDE, lan_host_mgr, 0, NULL},
    {"lan_host_1_function", HOME_SIDE, lan_host, 0, NULL},
    {"lan_host_2_function", HOME_SIDE, lan_host, 1, NULL},
    {"lan_host_3_function", HOME_SIDE, lan_host, 2, "an IPv6 address in IP, where an IPv4 address belongs"},
};

static const char *const group_names[] = {
    "every interface call",
    "-M, main status",
    "-S, services",
    "-E, the home side",
};

/*
 * The kit prints with g_print. GLib's own handler converts each line to the
 * console's character set, which on a gateway without locales is ASCII: a
 * device text in UTF-8 would show as "?" and the captured output would lose
 * bytes. This handler writes every line as it is.
 */
static void print_as_is(const gchar *line)
{
    fputs(line, stdout);
}

int main(int argc, char **argv)
{
    gchar *text = argc > 1 ? g_strjoinv(" ", argv + 1) : NULL;
    const int mode = Get_mode(text);
    int made = 0, passed = 0, unexpected = 0, unwritten = 0;
    size_t i;

    g_free(text);
    g_set_print_handler(print_as_is);
    fprintf(stderr, "capi_demo: %s\n", group_names[mode]);
    for (i = 0; i < sizeof calls / sizeof calls[0]; ++i) {
        const struct call *call = &calls[i];
        const int expected = call->fault == NULL;
        int verdict;

        if (mode != 0 && call->group != mode)
            continue;
        printf("capi_demo: %s\n", call->row);
        fflush(stdout);
        verdict = call->run(call->index);
        ++made;
        passed += verdict == 1;
        if (result_sheet_append(SHEET, call->row, verdict) != 0) {
            fprintf(stderr, "capi_demo: no row for %s in %s: %s\n", call->row, SHEET, strerror(errno));
            ++unwritten;
        }
        fprintf(stderr, "  %-7s %s", verdict == 1 ? "pass" : "failed", call->row);
        if (verdict != expected) {
            ++unexpected;
            fprintf(stderr, "  UNEXPECTED: the simulated gateway implies %s\n", expected ? "pass" : "failed");
        } else if (call->fault != NULL) {
            fprintf(stderr, "  (simulated fault: %s)\n", call->fault);
        } else {
            fputc('\n', stderr);
        }
    }
    fprintf(stderr, "capi_demo: %d interface calls: %d pass, %d failed; ", made, passed, made - passed);
    if (unexpected == 0)
        fprintf(stderr, "every verdict as the simulated gateway implies\n");
    else
        fprintf(stderr, "%d verdicts differ from what the simulated gateway implies\n", unexpected);
    return unexpected == 0 && unwritten == 0 ? 0 : 1;
}
