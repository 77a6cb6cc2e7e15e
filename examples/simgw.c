/*
 * The simulated gateway behind simgw.h: fixed, realistic records, with the
 * four deliberate faults marked "FAULT".
 */
#include "simgw.h"

#include <stdio.h>
#include <string.h>

/* Bounded copy into a text member, always NUL-terminated. */
#define PUT(member, text) snprintf((member), sizeof(member), "%s", (text))

#define OBJ_ROOT SIMGW_OBJECT_ROOT

/* Records that pointer members lead to; see simgw.h. */
static TolvaWPSDevInfo_t wps_device;
static TolvaStrArray_t week_days;
static TolvaStrArray_t sleep_days;
static TolvaStrArray_t tunnel_domain;

int simgw_get_device_info(TolvaDeviceInfo_t *info)
{
    if (info == NULL)
        return SIMGW_ERROR;
    memset(info, 0, sizeof *info);
    PUT(info->ObjPath.str, OBJ_ROOT "DeviceInfo");
    info->BusinessStatus = 1;
    PUT(info->MAC, "00005E005301");
    PUT(info->SWVersion, "V3.2.1.0412");
    PUT(info->HDVersion, "HW-B2");
    PUT(info->ITMSProtocolVersion, "2.0");
    PUT(info->ProductClass, "HG4410");
    PUT(info->CPUClass, "ARM Cortex-A9");
    PUT(info->DevType, "home gateway");
    PUT(info->DevType1, "GPON ONT");
    PUT(info->Capability, "GPON;WIFI6;VOIP2;USB3");
    info->FlashSize = 256;
    info->RamSize = 512;
    PUT(info->DevName, "ExampleHome-5301");
    info->CPUUsage = 12;
    info->MEMUsage = 41;
    info->FlashUsage = 37;
    info->SysDuration = 864123;
    return SIMGW_OK;
}

int simgw_get_network_info(TolvaNetworkInfo_t *info)
{
    if (info == NULL)
        return SIMGW_ERROR;
    memset(info, 0, sizeof *info);
    PUT(info->ObjPath.str, OBJ_ROOT "Network");
    info->UPLink = 1;
    info->IPV6 = 2; /* dual stack */
    info->VLANbind = 0;
    PUT(info->WiFiMode, "11b/g/n/ax");
    info->PONDuration = 864000;
    info->PPPOEDuration = 863950;
    info->LAN1Status = 1;
    info->LAN2Status = 1;
    info->LAN3Status = 0;
    info->LAN4Status = 0;
    PUT(info->WANLinkStatus, "1");
    PUT(info->WIFIModuleStatus, "1");
    PUT(info->WANConnectionStatus, "Connected");
    PUT(info->PPPoEDialReason, "ERROR_NONE");
    PUT(info->IPV6_WANConnectionStatus, "Connected");
    PUT(info->IPV6_PPPoEDialReason, "ERROR_NONE");
    PUT(info->LANIPAddr, "192.0.2.1");
    PUT(info->WANIPAddr, "203.0.113.25");
    PUT(info->WANIPV6Addr, "2001:db8:100:ff::25");
    info->WiFiTxBytes = 31457280000LL;
    info->WiFiRxBytes = 4194304000LL;
    info->WiFiBytes = info->WiFiTxBytes + info->WiFiRxBytes;
    info->WANRxBytes = 52428800000LL;
    info->WANTxBytes = 6291456000LL;
    info->WANBytes = info->WANRxBytes + info->WANTxBytes;
    return SIMGW_OK;
}

int simgw_get_wan_connection(int index, TolvaWANConnectionInfo_t *info)
{
    if (info == NULL || index < 0 || index >= SIMGW_WAN_CONNECTIONS)
        return SIMGW_ERROR;
    memset(info, 0, sizeof *info);
    if (index == 0) {
        PUT(info->ObjPath.str, OBJ_ROOT "WAN/1");
        PUT(info->Index, "1");
        PUT(info->IfName, "ppp0");
        PUT(info->ServiceList, "INTERNET");
        PUT(info->ConnectionType, "IP_Routed");
        info->VLANID = 41;
        info->VLAN8021P = 0;
        PUT(info->Protocol, "PPPoE");
        PUT(info->ConnectionStatus, "Connected");
        PUT(info->IPAddress, "203.0.113.25");
        PUT(info->SubnetMask, "255.255.255.255");
        PUT(info->Gateway, "203.0.113.1");
        PUT(info->DNS1, "198.51.100.53");
        PUT(info->DNS2, "198.51.100.54");
        PUT(info->IPV6_ConnectionStatus, "Connected");
        PUT(info->IPV6_IPAddress, "2001:db8:100:ff::25");
        PUT(info->IPV6_PrefixLength, "56");
        PUT(info->IPV6_Gateway, "fe80::1");
        PUT(info->IPV6_DNS1, "2001:db8:53::1");
        PUT(info->IPV6_DNS2, "2001:db8:53::2");
        PUT(info->IPV6_Prefix, "2001:db8:200::/56");
        info->RxBytes = 52428800000LL;
        info->TxBytes = 6291456000LL;
        info->RxPkts = 41943040LL;
        info->TxPkts = 9437184LL;
    } else {
        /* Management over IPv4 only: its IPv6 side is not configured. */
        PUT(info->ObjPath.str, OBJ_ROOT "WAN/2");
        PUT(info->Index, "2");
        PUT(info->IfName, "nas0_1");
        PUT(info->ServiceList, "TR069");
        PUT(info->ConnectionType, "IP_Routed");
        info->VLANID = 46;
        info->VLAN8021P = 6;
        PUT(info->Protocol, "IPoE");
        PUT(info->ConnectionStatus, "Connected");
        PUT(info->IPAddress, "198.51.100.77");
        PUT(info->SubnetMask, "255.255.255.0");
        PUT(info->Gateway, "198.51.100.1");
        PUT(info->DNS1, "198.51.100.53");
        PUT(info->DNS2, "198.51.100.54");
        PUT(info->IPV6_ConnectionStatus, "Unconfigured");
        info->RxBytes = 18874368LL;
        info->TxBytes = 7340032LL;
        info->RxPkts = 20480LL;
        info->TxPkts = 15360LL;
    }
    return SIMGW_OK;
}

int simgw_get_pon_info(TolvaPONInfo_t *info)
{
    /* 33 bytes with its NUL, one more than the member holds. */
    static const char status[] = "PON_STATUS_REG_AUTH,O5_OPERATION";

    if (info == NULL)
        return SIMGW_ERROR;
    memset(info, 0, sizeof *info);
    PUT(info->ObjPath.str, OBJ_ROOT "PON");
    PUT(info->LOID, "example0042");
    PUT(info->Password, "loid-example-pw");
    info->Temperature = 45.5;
    info->Voltage = 3.28;
    info->Current = 12.75;
    info->TXPower = 2.1;
    info->RXPower = -18.4;
    info->SupportPONStatusQuery = 1;
    /* FAULT: the status is cut to the member's width, leaving no NUL. */
    memcpy(info->PONStatus, status, sizeof info->PONStatus);
    return SIMGW_OK;
}

int simgw_get_voip_info(TolvaVoIPInfo_t *info)
{
    if (info == NULL)
        return SIMGW_ERROR;
    memset(info, 0, sizeof *info);
    PUT(info->ObjPath.str, OBJ_ROOT "VoIP");
    PUT(info->VoIPName1, "+1-202-555-0142@sip.example.com");
    PUT(info->VoIPName2, "+1-202-555-0143@sip.example.com");
    PUT(info->Line1Status, "Up");
    PUT(info->Line2Status, "Disabled");
    return SIMGW_OK;
}

int simgw_get_download_test_result(TolvaHttpDownloadTestResult_t *result)
{
    if (result == NULL)
        return SIMGW_ERROR;
    memset(result, 0, sizeof *result);
    PUT(result->ObjPath.str, OBJ_ROOT "Diagnostics/Download");
    result->Status = 1; /* finished */
    PUT(result->Result, "Completed: 104857600 bytes in 8.4 s, 99.86 Mbit/s");
    PUT(result->URL, "http://speedtest.example.com/100MB.bin");
    return SIMGW_OK;
}

int simgw_get_wifi_info(TolvaWiFiInfo_t *info)
{
    if (info == NULL)
        return SIMGW_ERROR;
    memset(info, 0, sizeof *info);
    PUT(info->ObjPath.str, OBJ_ROOT "WiFi");
    info->Enable = 1;
    PUT(info->WiFiMode, "11b/g/n/ax");
    info->SameSSIDStatus = 0;
    info->RxBytes = 4194304000LL;
    info->RxPkts = 5242880LL;
    info->RxErrorPkts = 12;
    info->RxDropPkts = 305;
    info->TxBytes = 31457280000LL;
    info->TxPkts = 23068672LL;
    info->TxErrorPkts = 0;
    info->TxDropPkts = 41;
    return SIMGW_OK;
}

int simgw_get_wps(TolvaWPS_t *wps)
{
    if (wps == NULL)
        return SIMGW_ERROR;
    memset(wps, 0, sizeof *wps);
    memset(&wps_device, 0, sizeof wps_device);
    PUT(wps->ObjPath.str, OBJ_ROOT "WiFi/WPS");
    wps->Enable = 1;
    /* FAULT: the middleware's own "session overlap" state, which the
     * interface does not define (0 to 3). */
    wps->WPSStatus = 4;
    PUT(wps_device.Info, "IP:192.0.2.23;MAC:00:00:5E:00:53:23");
    wps->DevInfo = &wps_device;
    return SIMGW_OK;
}

int simgw_get_wlan_device(int radio, TolvaWLANDevice_t *device)
{
    if (device == NULL || radio < 0 || radio >= SIMGW_RADIOS)
        return SIMGW_ERROR;
    memset(device, 0, sizeof *device);
    device->Enable = 1;
    PUT(device->BeaconType, "11i");
    PUT(device->WEPEncryptionLevel, "Disabled");
    PUT(device->BasicAuthenticationMode, "None");
    PUT(device->WPAEncryptionModes, "AESEncryption");
    device->SSIDHide = 0;
    device->GuardInterval = 0;
    device->RetryTimeout = 7;
    device->Powerlevel = 100;
    PUT(device->PWD, "correct-horse-battery");
    if (radio == 0) {
        PUT(device->ObjPath.str, OBJ_ROOT "WiFi/Radio/1");
        PUT(device->SSID, "ExampleHome");
        device->Channel = 0; /* automatic */
        device->ChannelInUse = 6;
        PUT(device->Standard, "b,g,n,ax");
        device->RFBand = 0;
        device->ChannelWidth = 1; /* 40 MHz */
        device->PowerValue = 20;
    } else {
        PUT(device->ObjPath.str, OBJ_ROOT "WiFi/Radio/2");
        PUT(device->SSID, "ExampleHome-5G");
        device->Channel = 36;
        device->ChannelInUse = 36;
        PUT(device->Standard, "a,n,ac,ax");
        device->RFBand = 1;
        device->ChannelWidth = 3; /* 80 MHz */
        device->PowerValue = 23;
    }
    return SIMGW_OK;
}

int simgw_get_wifi_timer(TolvaWiFiTimer_t *timer)
{
    if (timer == NULL)
        return SIMGW_ERROR;
    memset(timer, 0, sizeof *timer);
    PUT(timer->ObjPath.str, OBJ_ROOT "WiFi/Timer");
    PUT(timer->StartTime, "07:00");
    PUT(timer->EndTime, "23:30");
    PUT(timer->ControlCycle, "EveryDay");
    timer->Enable = 1;
    return SIMGW_OK;
}

int simgw_get_wifi_week_timer(TolvaWiFiTimer1_t *timer)
{
    if (timer == NULL)
        return SIMGW_ERROR;
    memset(timer, 0, sizeof *timer);
    memset(&week_days, 0, sizeof week_days);
    PUT(timer->ObjPath.str, OBJ_ROOT "WiFi/WeekTimer/1");
    PUT(timer->Time, "22:00");
    PUT(timer->Active, "OFF");
    timer->Enable = 1;
    PUT(week_days.str, "1,2,3,4,5");
    timer->WeekDay = &week_days;
    return SIMGW_OK;
}

int simgw_get_led(TolvaLED_t *led)
{
    if (led == NULL)
        return SIMGW_ERROR;
    memset(led, 0, sizeof *led);
    PUT(led->ObjPath.str, OBJ_ROOT "LED");
    PUT(led->Status, "1");
    PUT(led->StartTime, "22:00");
    PUT(led->EndTime, "07:00");
    PUT(led->ControlCycle, "EveryDay");
    led->Enable = 1;
    return SIMGW_OK;
}

int simgw_get_sleep_timer(TolvaSleepTimer_t *timer)
{
    if (timer == NULL)
        return SIMGW_ERROR;
    memset(timer, 0, sizeof *timer);
    memset(&sleep_days, 0, sizeof sleep_days);
    PUT(timer->ObjPath.str, OBJ_ROOT "SleepTimer");
    PUT(timer->Time, "01:00");
    PUT(timer->Active, "1");
    timer->Enable = 1;
    PUT(sleep_days.str, "0,6");
    timer->Day = &sleep_days;
    return SIMGW_OK;
}

int simgw_get_lan_host_mgr(TolvaLANHostMgr_t *mgr)
{
    if (mgr == NULL)
        return SIMGW_ERROR;
    memset(mgr, 0, sizeof *mgr);
    PUT(mgr->ObjPath.str, OBJ_ROOT "LANHosts");
    mgr->EnableStats = 1;
    mgr->LANHostMaxNumber = 64;
    mgr->LANHostNumber = SIMGW_LAN_HOSTS;
    mgr->ControlListMaxNumber = 32;
    mgr->ControlListNumber = 1;
    return SIMGW_OK;
}

int simgw_get_lan_host(int index, TolvaLANHost_t *host)
{
    static const struct {
        const char *mac, *name, *type, *ip, *brand, *model, *os, *active_since;
        uint8_t wireless, port, internet;
        int32_t online;
        int64_t rx, tx;
    } hosts[SIMGW_LAN_HOSTS] = {
        {"00:00:5E:00:53:10", "alice-laptop", "PC", "192.0.2.10", "ExampleBook", "EB-14", "Linux",
         "2024-05-14 07:58:02", 1, 0, 1, 15120, 6442450944LL, 536870912LL},
        {"00:00:5E:00:53:11", "living-room-tv", "STB", "192.0.2.11", "ExampleVision", "EV-55",
         "Android TV", "2024-05-14 18:30:45", 0, 2, 1, 9240, 21474836480LL, 268435456LL},
        /* FAULT: an IPv6-only phone; its IPv6 address lands in IP. */
        {"00:00:5E:00:53:12", "bob-phone", "Phone", "2001:db8:200:1::35", "ExampleFone", "XF-3",
         "Android", "2024-05-14 06:45:10", 1, 0, 1, 43200, 1073741824LL, 134217728LL},
    };

    if (host == NULL || index < 0 || index >= SIMGW_LAN_HOSTS)
        return SIMGW_ERROR;
    memset(host, 0, sizeof *host);
    snprintf(host->ObjPath.str, sizeof host->ObjPath.str, OBJ_ROOT "LANHosts/%d", index + 1);
    PUT(host->MAC, hosts[index].mac);
    PUT(host->DevName, hosts[index].name);
    host->ControlStatus = 0;
    host->InternetAccess = hosts[index].internet;
    host->StorageAccess = 1;
    host->MaxUSBandwidth = 0;
    host->MaxDSBandwidth = 0;
    PUT(host->DevType, hosts[index].type);
    PUT(host->IP, hosts[index].ip);
    host->ConnectionType = hosts[index].wireless;
    host->Port = hosts[index].port;
    PUT(host->Brand, hosts[index].brand);
    PUT(host->Model, hosts[index].model);
    PUT(host->OS, hosts[index].os);
    host->Active = 1;
    PUT(host->LatestActiveTime, hosts[index].active_since);
    host->OnlineTime = hosts[index].online;
    host->RxBytes = hosts[index].rx;
    host->TxBytes = hosts[index].tx;
    return SIMGW_OK;
}

int simgw_get_pppoe(TolvaPPPoE_t *pppoe)
{
    if (pppoe == NULL)
        return SIMGW_ERROR;
    memset(pppoe, 0, sizeof *pppoe);
    PUT(pppoe->ObjPath.str, OBJ_ROOT "WAN/1/PPPoE");
    PUT(pppoe->PPPoEUserName, "subscriber0042@isp.example.com");
    return SIMGW_OK;
}

int simgw_get_dhcp_server(TolvaDHCPServer_t *server)
{
    if (server == NULL)
        return SIMGW_ERROR;
    memset(server, 0, sizeof *server);
    PUT(server->ObjPath.str, OBJ_ROOT "LAN/DHCPServer");
    server->Enable = 1;
    PUT(server->MinAddress, "192.0.2.100");
    PUT(server->MaxAddress, "192.0.2.199");
    PUT(server->IPAddr, "192.0.2.1");
    PUT(server->SubnetMask, "255.255.255.0");
    server->LeaseTime = 86400;
    return SIMGW_OK;
}

int simgw_get_port_mapping(int index, TolvaPortMapping_t *mapping)
{
    if (mapping == NULL || index < 0 || index >= SIMGW_PORT_MAPPINGS)
        return SIMGW_ERROR;
    memset(mapping, 0, sizeof *mapping);
    mapping->Enable = 1;
    if (index == 0) {
        PUT(mapping->ObjPath.str, OBJ_ROOT "WAN/1/PortMapping/1");
        PUT(mapping->RemoteHost, "0.0.0.0"); /* any */
        mapping->ExternalPort = 8443;
        mapping->InternalPort = 443;
        PUT(mapping->PortMappingProtocol, "TCP");
        PUT(mapping->InternalClient, "192.0.2.20");
        PUT(mapping->Description, "camera web interface");
    } else {
        PUT(mapping->ObjPath.str, OBJ_ROOT "WAN/1/PortMapping/2");
        mapping->LeaseDuration = 3600;
        PUT(mapping->RemoteHost, "198.51.100.20");
        mapping->ExternalPort = 51820;
        mapping->InternalPort = 51820;
        PUT(mapping->PortMappingProtocol, "UDP");
        PUT(mapping->InternalClient, "192.0.2.10");
        PUT(mapping->Description, "home VPN endpoint");
    }
    return SIMGW_OK;
}

int simgw_get_dns_servers(TolvaDNSServerConfig_t *config)
{
    if (config == NULL)
        return SIMGW_ERROR;
    memset(config, 0, sizeof *config);
    PUT(config->ObjPath.str, OBJ_ROOT "DNS");
    PUT(config->Server1, "198.51.100.53");
    PUT(config->Server2, "198.51.100.54");
    return SIMGW_OK;
}

int simgw_get_dns_tunnel(TolvaDNSTunnel_t *tunnel)
{
    if (tunnel == NULL)
        return SIMGW_ERROR;
    memset(tunnel, 0, sizeof *tunnel);
    memset(&tunnel_domain, 0, sizeof tunnel_domain);
    PUT(tunnel->ObjPath.str, OBJ_ROOT "DNS/Tunnel/1");
    PUT(tunnel->ServerIP, "198.51.100.153");
    tunnel->DomainNum = 1;
    PUT(tunnel_domain.str, "intranet.example.com");
    tunnel->Domain = &tunnel_domain;
    return SIMGW_OK;
}

int simgw_get_ddns(TolvaDDNServer_t *server)
{
    if (server == NULL)
        return SIMGW_ERROR;
    memset(server, 0, sizeof *server);
    PUT(server->ObjPath.str, OBJ_ROOT "DDNS");
    server->DDNSCfgEnabled = 1;
    PUT(server->DDNSProvider, "ddns.example.com");
    PUT(server->DDNSUsername, "alice");
    PUT(server->DDNSPassword, "ddns-example-pw");
    server->ServicePort = 443;
    PUT(server->DDNSDomainName, "example.com");
    PUT(server->DDNSHostName, "home.example.com");
    return SIMGW_OK;
}

int simgw_get_vpn_stats(TolvaVPNConnStats_t *stats)
{
    if (stats == NULL)
        return SIMGW_ERROR;
    memset(stats, 0, sizeof *stats);
    PUT(stats->ObjPath.str, OBJ_ROOT "VPN/Stats");
    /* FAULT: one connection counted, but no list handed over. */
    stats->arrayLen = 1;
    stats->array = NULL;
    return SIMGW_OK;
}

int simgw_get_usb_device(TolvaUSBDeviceInfo_t *device)
{
    if (device == NULL)
        return SIMGW_ERROR;
    memset(device, 0, sizeof *device);
    PUT(device->ObjPath.str, OBJ_ROOT "USB/1");
    device->USBDevice.DeviceType = 8; /* mass storage */
    device->USBDevice.DeviceId = 1;
    PUT(device->USBDevice.DeviceName, "Example USB 3.0 Flash Drive");
    PUT(device->USBFSInfo.MountPoint, "/mnt/usb1_1");
    device->USBFSInfo.TotalSize = 64023257088LL;
    device->USBFSInfo.UsedSize = 21474836480LL;
    device->USBFSInfo.FreeSize = device->USBFSInfo.TotalSize - device->USBFSInfo.UsedSize;
    PUT(device->USBFSInfo.Label, "EXAMPLE");
    return SIMGW_OK;
}

int simgw_list_usb_files(Tolva_FileEntry_t *entries, int room, int *count)
{
    static const struct {
        const char *name, *folder, *modified;
        int32_t is_folder, size;
    } files[] = {
        {"Photos", "/mnt/usb1_1/Photos", "2024-04-27 16:02:11", 1, 4096},
        {"Music", "/mnt/usb1_1/Music", "2024-03-02 10:45:37", 1, 4096},
        {"backup-2024-05.tar.gz", "/mnt/usb1_1", "2024-05-01 21:14:08", 0, 734003200},
    };
    int i;

    if (entries == NULL || count == NULL || room < 0)
        return SIMGW_ERROR;
    for (i = 0; i < room && i < (int)(sizeof files / sizeof files[0]); ++i) {
        memset(&entries[i], 0, sizeof entries[i]);
        PUT(entries[i].FileName, files[i].name);
        PUT(entries[i].PhysicalFolderName, files[i].folder);
        entries[i].IsFolder = files[i].is_folder;
        entries[i].FileSize = files[i].size;
        PUT(entries[i].ModifiedTime, files[i].modified);
    }
    *count = i;
    return SIMGW_OK;
}

int simgw_get_ftp_server(Tolva_FTPServerConfig_t *config)
{
    if (config == NULL)
        return SIMGW_ERROR;
    memset(config, 0, sizeof *config);
    PUT(config->ObjPath.str, OBJ_ROOT "USB/FTPServer");
    config->Enable = 1;
    config->AllowAnonymous = 0;
    return SIMGW_OK;
}

int simgw_get_ftp_account(Tolva_FTPAccount_t *account)
{
    if (account == NULL)
        return SIMGW_ERROR;
    memset(account, 0, sizeof *account);
    PUT(account->ObjPath.str, OBJ_ROOT "USB/FTPServer/Account/1");
    PUT(account->UserName, "ftpuser");
    PUT(account->Password, "ftp-example-pw");
    return SIMGW_OK;
}

int simgw_get_samba_server(Tolva_SambaServerConfig_t *config)
{
    if (config == NULL)
        return SIMGW_ERROR;
    memset(config, 0, sizeof *config);
    PUT(config->ObjPath.str, OBJ_ROOT "USB/SambaServer");
    config->Enable = 1;
    config->AllowAnonymous = 0;
    return SIMGW_OK;
}

int simgw_get_samba_account(Tolva_SambaAccount_t *account)
{
    if (account == NULL)
        return SIMGW_ERROR;
    memset(account, 0, sizeof *account);
    PUT(account->ObjPath.str, OBJ_ROOT "USB/SambaServer/Account/1");
    PUT(account->UserName, "family");
    PUT(account->Password, "smb-example-pw");
    return SIMGW_OK;
}

int simgw_get_http_server(Tolva_HttpServerConfig_t *config)
{
    if (config == NULL)
        return SIMGW_ERROR;
    memset(config, 0, sizeof *config);
    PUT(config->ObjPath.str, OBJ_ROOT "HTTPServer");
    config->Enable = 1;
    PUT(config->AdminPassword, "admin-example-pw");
    return SIMGW_OK;
}
