/*
 * A test program in the style of the gateway teams': it fills result records
 * as the middleware would return them, target records with the expectations,
 * hands each pair to its checker and prints one summary line at the end.
 * Links libfieldaudit.a and GLib; built with the C compiler.
 */
#include <stdio.h>
#include <string.h>

#include "fieldaudit.h"

/* Bounded copy into a text member, always NUL-terminated. */
#define PUT(member, text) snprintf((member), sizeof(member), "%s", (text))

static int passed;
static int failed;

static void tally(const char *what, int verdict, int expected)
{
    if (verdict == expected) {
        ++passed;
    } else {
        ++failed;
        printf("unexpected verdict %d of %s\n", verdict, what);
    }
}

static void scalars_and_formats(void)
{
    tally("return code", Check_return_result(0, 0), 1);
    tally("on/off value", Check_data_int(1, 0, 2), 1);
    tally("MAC with separators", Check_data_format("00:11:22:AA:BB:CC", "DATA_MAC"), 0);
    tally("IPv6 address", Check_data_format("2001:db8::1%eth0", "DATA_IPV6"), 1);
}

static void device_info(void)
{
    TolvaDeviceInfo_t result, target;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);
    result.BusinessStatus = 1;
    PUT(result.MAC, "001122AABBCC");
    PUT(result.SWVersion, "V1.2.3");
    result.FlashSize = 128;
    result.CPUUsage = 12;
    target.BusinessStatus = 0; /* table {0, 1} */
    PUT(target.MAC, "DATA_MAC");
    tally("device info", CheckTolvaDeviceInfo_t(&result, &target), 1);
}

static void network_info(void)
{
    TolvaNetworkInfo_t result, target;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);
    result.IPV6 = 1;
    PUT(result.WANLinkStatus, "1");
    PUT(result.WIFIModuleStatus, "0");
    PUT(result.WANConnectionStatus, "Connected");
    PUT(result.IPV6_WANConnectionStatus, "Disconnected");
    PUT(result.LANIPAddr, "192.168.1.1");
    PUT(result.WANIPAddr, "10.20.30.40");
    result.WANBytes = 5000000000LL;
    target.IPV6 = 1;
    PUT(target.WANLinkStatus, "STR");
    PUT(target.WIFIModuleStatus, "STR");
    PUT(target.WANConnectionStatus, "DATA_Status");
    PUT(target.IPV6_WANConnectionStatus, "DATA_Status");
    PUT(target.LANIPAddr, "DATA_IP");
    PUT(target.WANIPAddr, "DATA_IP");
    PUT(target.WANIPV6Addr, "DATA_IPV6"); /* IPv6 is down: printed only */
    tally("network info", CheckTolvaNetworkInfo_t(&result, &target), 1);
}

static void wps(void)
{
    TolvaWPS_t result, target;
    TolvaWPSDevInfo_t result_info, target_info;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);
    memset(&result_info, 0, sizeof result_info);
    memset(&target_info, 0, sizeof target_info);
    result.Enable = 1;
    result.WPSStatus = 4; /* not admitted by table {0 .. 3} */
    PUT(result_info.Info, "IP:192.168.1.20;MAC:00:11:22:AA:BB:CC");
    result.DevInfo = &result_info;
    target.WPSStatus = 2;
    PUT(target_info.Info, "DATA_DEVINFO");
    target.DevInfo = &target_info;
    tally("WPS", CheckTolvaWPS_t(&result, &target), 0);
}

static void dhcp_server(void)
{
    TolvaDHCPServer_t result, target;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);
    result.Enable = 1;
    PUT(result.MinAddress, "192.168.1.2");
    PUT(result.MaxAddress, "192.168.1.254");
    PUT(result.IPAddr, "192.168.1.1");
    PUT(result.SubnetMask, "255.255.255.0");
    result.LeaseTime = 86400;
    PUT(target.MinAddress, "DATA_IP");
    PUT(target.MaxAddress, "DATA_IP");
    PUT(target.IPAddr, "DATA_IP");
    PUT(target.SubnetMask, "DATA_IP");
    tally("DHCP server", CheckTolvaDHCPServer_t(&result, &target), 1);
}

int main(void)
{
    scalars_and_formats();
    device_info();
    network_info();
    wps();
    dhcp_server();
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
