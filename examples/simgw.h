/*
 * simgw: a simulated home gateway for the demo test program. It stands in for
 * the middleware's interface library: one function per interface call, each
 * filling the caller's record and returning a return code (SIMGW_OK, or
 * SIMGW_ERROR for a bad argument).
 *
 * The gateway is online over IPv4 and IPv6 (PPPoE internet connection and a
 * management connection), has two Wi-Fi radios with WPS, a GPON line, two
 * voice lines, three LAN hosts and a USB stick, and serves DHCP, port
 * mappings, DNS, a VPN, FTP, Samba, dynamic DNS and its web interface.
 * Addresses are from the documentation ranges (192.0.2.0/24, 198.51.100.0/24,
 * 203.0.113.0/24, 2001:db8::/32, MAC 00:00:5E:00:53:xx), names under
 * example.com.
 *
 * Like a real middleware it has faults. Four are built in on purpose, each
 * one a failure that the matching checker must report:
 * - simgw_get_pon_info: PONStatus is copied into its 32-byte member with no
 *   room for the terminating NUL (an unterminated text);
 * - simgw_get_vpn_stats: arrayLen says 1 but array is a null pointer;
 * - simgw_get_wps: WPSStatus is 4, a state outside the admitted 0 to 3;
 * - simgw_get_lan_host(2): the host has only an IPv6 address, and the
 *   gateway puts it into IP, where an IPv4 address belongs.
 *
 * Records that pointer members lead to (DevInfo, WeekDay, Day, Domain) are
 * kept by the simulated gateway and stay valid until the same function is
 * called again. Not for use from several threads.
 */
#ifndef SIMGW_H
#define SIMGW_H

#include "tolva_types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SIMGW_OK 0
#define SIMGW_ERROR (-1)

/* Every record's object path begins with this; a LAN host's is
 * SIMGW_OBJECT_ROOT "LANHosts/<number from 1>". */
#define SIMGW_OBJECT_ROOT "/com/example/Gateway/"

/* Numbers of the records that come in several. */
#define SIMGW_WAN_CONNECTIONS 2 /* 0: internet (PPPoE, dual stack), 1: management (IPv4) */
#define SIMGW_RADIOS 2          /* 0: 2.4 GHz, 1: 5 GHz */
#define SIMGW_LAN_HOSTS 3
#define SIMGW_PORT_MAPPINGS 2

/* Device, network and WAN */
int simgw_get_device_info(TolvaDeviceInfo_t *info);
int simgw_get_network_info(TolvaNetworkInfo_t *info);
int simgw_get_wan_connection(int index, TolvaWANConnectionInfo_t *info);

/* PON, voice, download test */
int simgw_get_pon_info(TolvaPONInfo_t *info);
int simgw_get_voip_info(TolvaVoIPInfo_t *info);
int simgw_get_download_test_result(TolvaHttpDownloadTestResult_t *result);

/* Wireless, schedules and LAN hosts */
int simgw_get_wifi_info(TolvaWiFiInfo_t *info);
int simgw_get_wps(TolvaWPS_t *wps);
int simgw_get_wlan_device(int radio, TolvaWLANDevice_t *device);
int simgw_get_wifi_timer(TolvaWiFiTimer_t *timer);
int simgw_get_wifi_week_timer(TolvaWiFiTimer1_t *timer);
int simgw_get_led(TolvaLED_t *led);
int simgw_get_sleep_timer(TolvaSleepTimer_t *timer);
int simgw_get_lan_host_mgr(TolvaLANHostMgr_t *mgr);
int simgw_get_lan_host(int index, TolvaLANHost_t *host);

/* Services */
int simgw_get_pppoe(TolvaPPPoE_t *pppoe);
int simgw_get_dhcp_server(TolvaDHCPServer_t *server);
int simgw_get_port_mapping(int index, TolvaPortMapping_t *mapping);
int simgw_get_dns_servers(TolvaDNSServerConfig_t *config);
int simgw_get_dns_tunnel(TolvaDNSTunnel_t *tunnel);
int simgw_get_ddns(TolvaDDNServer_t *server);
int simgw_get_vpn_stats(TolvaVPNConnStats_t *stats);
int simgw_get_usb_device(TolvaUSBDeviceInfo_t *device);
/* Lists the USB stick's top folder: up to `room` entries into `entries`,
 * their number into *count. */
int simgw_list_usb_files(Tolva_FileEntry_t *entries, int room, int *count);
int simgw_get_ftp_server(Tolva_FTPServerConfig_t *config);
int simgw_get_ftp_account(Tolva_FTPAccount_t *account);
int simgw_get_samba_server(Tolva_SambaServerConfig_t *config);
int simgw_get_samba_account(Tolva_SambaAccount_t *account);
int simgw_get_http_server(Tolva_HttpServerConfig_t *config);

#ifdef __cplusplus
}
#endif

#endif /* SIMGW_H */
