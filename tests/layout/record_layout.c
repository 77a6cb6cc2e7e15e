/*
 * Record layout check: the offset and size of every member of every
 * interface record, and the size of every record, against the gateway's
 * layout (32-bit ARM, natural alignment: 16-bit members on 2, 32-bit members
 * and pointers on 4, 64-bit members and doubles on 8 bytes).
 *
 * The expected numbers are written out by hand, one member after the other,
 * so that a wrong width, a missing member or a wrong alignment in
 * tolva_types.h fails here instead of silently shifting every field a checker
 * reads.
 *
 * Texts whose width belongs to the middleware (TOLVA_*_LEN) are checked for
 * their offset, and their size is compared with the header's constant.
 *
 * The host build (64-bit) differs only in pointer members and the records
 * that hold them: there a pointer's offset is the end of the member before
 * it, rounded up to the host's pointer alignment, and the record grows
 * accordingly. Everything else must be identical on both builds.
 *
 * The program also checks the kind of every number member (signed, unsigned
 * or floating): an 8-bit member typed signed would print 200 as -56, and a
 * counter typed double would print with decimals.
 */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "tolva_types.h"

static int passed;
static int failed;

static void expect_equal(const char *record, const char *member, const char *what,
                         size_t expected, size_t actual)
{
    if (expected == actual) {
        ++passed;
        return;
    }
    ++failed;
    printf("MISMATCH %s%s%s %s: expected %lu, actual %lu\n", record, *member ? "." : "",
           member, what, (unsigned long)expected, (unsigned long)actual);
}

/* Pointer size and alignment of this build (C99 has no alignof). */
struct pointer_probe {
    char c;
    void *p;
};
#define PTR_ALIGN offsetof(struct pointer_probe, p)
#define PTR_SIZE sizeof(void *)
#define ALIGN_UP(n, a) (((n) + (a) - 1) / (a) * (a))
#define MAX(a, b) ((a) > (b) ? (a) : (b))
/* True on the gateway's 32-bit ARM, where the hand-written numbers apply as they stand. */
#define GATEWAY_POINTERS (PTR_SIZE == 4 && PTR_ALIGN == 4)

struct member_expectation {
    const char *record;
    const char *member;
    size_t offset;
    size_t size;
    size_t expected_offset;
    size_t expected_size;
};

#define MEMBER_SIZE(T, m) sizeof(((T *)0)->m)

/* A member whose offset and size are the same on every build. */
#define M(T, m, off, size) { #T, #m, offsetof(T, m), MEMBER_SIZE(T, m), (off), (size) }

/*
 * A pointer member: at arm_off on the gateway; elsewhere at prev_end (the end
 * of the member before it) rounded up to this build's pointer alignment.
 */
#define P(T, m, arm_off, prev_end)                                                  \
    { #T, #m, offsetof(T, m), MEMBER_SIZE(T, m),                                    \
      GATEWAY_POINTERS ? (size_t)(arm_off) : ALIGN_UP((size_t)(prev_end), PTR_ALIGN), \
      PTR_SIZE }

static const struct member_expectation members[] = {
    /* Shared records */
    M(TolvaObjPath_t, str, 0, 256),
    M(TolvaStrArray_t, str, 0, TOLVA_STRARRAY_STR_LEN),

    /* Device information */
    M(TolvaDeviceInfo_t, ObjPath, 0, 256),
    M(TolvaDeviceInfo_t, BusinessStatus, 256, 1),
    M(TolvaDeviceInfo_t, reserved, 257, 32),
    M(TolvaDeviceInfo_t, MAC, 289, 24),
    M(TolvaDeviceInfo_t, SWVersion, 313, 32),
    M(TolvaDeviceInfo_t, HDVersion, 345, 32),
    M(TolvaDeviceInfo_t, ITMSProtocolVersion, 377, 32),
    M(TolvaDeviceInfo_t, ProductClass, 409, 24),
    M(TolvaDeviceInfo_t, CPUClass, 433, 32),
    M(TolvaDeviceInfo_t, DevType, 465, 48),
    M(TolvaDeviceInfo_t, DevType1, 513, 32),
    M(TolvaDeviceInfo_t, Capability, 545, 51),
    M(TolvaDeviceInfo_t, FlashSize, 596, 4), /* directly after Capability */
    M(TolvaDeviceInfo_t, RamSize, 600, 4),
    M(TolvaDeviceInfo_t, DevName, 604, 32),
    M(TolvaDeviceInfo_t, CPUUsage, 636, 1),
    M(TolvaDeviceInfo_t, MEMUsage, 637, 1),
    M(TolvaDeviceInfo_t, FlashUsage, 638, 1),
    M(TolvaDeviceInfo_t, SysDuration, 640, 4), /* 639 rounded up to 4 */

    /* Network status */
    M(TolvaNetworkInfo_t, ObjPath, 0, 256),
    M(TolvaNetworkInfo_t, UPLink, 256, 4),
    M(TolvaNetworkInfo_t, IPV6, 260, 1),
    M(TolvaNetworkInfo_t, VLANbind, 261, 1),
    M(TolvaNetworkInfo_t, WiFiMode, 262, 66),
    M(TolvaNetworkInfo_t, PONDuration, 328, 4), /* directly after WiFiMode */
    M(TolvaNetworkInfo_t, PPPOEDuration, 332, 4),
    M(TolvaNetworkInfo_t, LAN1Status, 336, 1),
    M(TolvaNetworkInfo_t, LAN2Status, 337, 1),
    M(TolvaNetworkInfo_t, LAN3Status, 338, 1),
    M(TolvaNetworkInfo_t, LAN4Status, 339, 1),
    M(TolvaNetworkInfo_t, WANLinkStatus, 340, 8),
    M(TolvaNetworkInfo_t, WIFIModuleStatus, 348, 8),
    M(TolvaNetworkInfo_t, WANConnectionStatus, 356, 32),
    M(TolvaNetworkInfo_t, PPPoEDialReason, 388, 48),
    M(TolvaNetworkInfo_t, IPV6_WANConnectionStatus, 436, 32),
    M(TolvaNetworkInfo_t, IPV6_PPPoEDialReason, 468, 48),
    M(TolvaNetworkInfo_t, LANIPAddr, 516, 24),
    M(TolvaNetworkInfo_t, WANIPAddr, 540, 24),
    M(TolvaNetworkInfo_t, WANIPV6Addr, 564, 52),
    M(TolvaNetworkInfo_t, WiFiBytes, 616, 8), /* directly after WANIPV6Addr */
    M(TolvaNetworkInfo_t, WiFiTxBytes, 624, 8),
    M(TolvaNetworkInfo_t, WiFiRxBytes, 632, 8),
    M(TolvaNetworkInfo_t, WANBytes, 640, 8),
    M(TolvaNetworkInfo_t, WANTxBytes, 648, 8),
    M(TolvaNetworkInfo_t, WANRxBytes, 656, 8),

    /* WAN connection */
    M(TolvaWANConnectionInfo_t, ObjPath, 0, 256),
    M(TolvaWANConnectionInfo_t, Index, 256, 8),
    M(TolvaWANConnectionInfo_t, IfName, 264, 32),
    M(TolvaWANConnectionInfo_t, ServiceList, 296, 32),
    M(TolvaWANConnectionInfo_t, ConnectionType, 328, 16),
    M(TolvaWANConnectionInfo_t, VLANID, 344, 4),
    M(TolvaWANConnectionInfo_t, VLAN8021P, 348, 4),
    M(TolvaWANConnectionInfo_t, Protocol, 352, 16),
    M(TolvaWANConnectionInfo_t, ConnectionStatus, 368, 32),
    M(TolvaWANConnectionInfo_t, IPAddress, 400, 24),
    M(TolvaWANConnectionInfo_t, SubnetMask, 424, 24),
    M(TolvaWANConnectionInfo_t, Gateway, 448, 24),
    M(TolvaWANConnectionInfo_t, DNS1, 472, 24),
    M(TolvaWANConnectionInfo_t, DNS2, 496, 24),
    M(TolvaWANConnectionInfo_t, IPV6_ConnectionStatus, 520, 32),
    M(TolvaWANConnectionInfo_t, IPV6_IPAddress, 552, 48),
    M(TolvaWANConnectionInfo_t, IPV6_PrefixLength, 600, 32),
    M(TolvaWANConnectionInfo_t, IPV6_Gateway, 632, 48),
    M(TolvaWANConnectionInfo_t, IPV6_DNS1, 680, 48),
    M(TolvaWANConnectionInfo_t, IPV6_DNS2, 728, 48),
    M(TolvaWANConnectionInfo_t, IPV6_Prefix, 776, 48),
    M(TolvaWANConnectionInfo_t, RxBytes, 824, 8),
    M(TolvaWANConnectionInfo_t, TxBytes, 832, 8),
    M(TolvaWANConnectionInfo_t, RxPkts, 840, 8),
    M(TolvaWANConnectionInfo_t, TxPkts, 848, 8),

    /* Wi-Fi status */
    M(TolvaWiFiInfo_t, ObjPath, 0, 256),
    M(TolvaWiFiInfo_t, Enable, 256, 4),
    M(TolvaWiFiInfo_t, WiFiMode, 260, 64),
    M(TolvaWiFiInfo_t, SameSSIDStatus, 324, 4),
    M(TolvaWiFiInfo_t, RxBytes, 328, 8),
    M(TolvaWiFiInfo_t, RxPkts, 336, 8),
    M(TolvaWiFiInfo_t, RxErrorPkts, 344, 8),
    M(TolvaWiFiInfo_t, RxDropPkts, 352, 8),
    M(TolvaWiFiInfo_t, TxBytes, 360, 8),
    M(TolvaWiFiInfo_t, TxPkts, 368, 8),
    M(TolvaWiFiInfo_t, TxErrorPkts, 376, 8),
    M(TolvaWiFiInfo_t, TxDropPkts, 384, 8),

    /* WPS */
    M(TolvaWPSDevInfo_t, Info, 0, TOLVA_WPS_INFO_LEN),
    M(TolvaWPS_t, ObjPath, 0, 256),
    M(TolvaWPS_t, Enable, 256, 4),
    M(TolvaWPS_t, WPSStatus, 260, 1),
    M(TolvaWPS_t, reserved, 261, 7),
    P(TolvaWPS_t, DevInfo, 268, 268),

    /* WLAN device */
    M(TolvaWLANDevice_t, ObjPath, 0, 256),
    M(TolvaWLANDevice_t, SSID, 256, 32),
    M(TolvaWLANDevice_t, Enable, 288, 4),
    M(TolvaWLANDevice_t, Channel, 292, 4),
    M(TolvaWLANDevice_t, ChannelInUse, 296, 4),
    M(TolvaWLANDevice_t, BeaconType, 300, 16),
    M(TolvaWLANDevice_t, Standard, 316, 24),
    M(TolvaWLANDevice_t, WEPEncryptionLevel, 340, 24),
    M(TolvaWLANDevice_t, BasicAuthenticationMode, 364, 24),
    M(TolvaWLANDevice_t, WPAEncryptionModes, 388, 24),
    M(TolvaWLANDevice_t, SSIDHide, 412, 4),
    M(TolvaWLANDevice_t, RFBand, 416, 4),
    M(TolvaWLANDevice_t, ChannelWidth, 420, 4),
    M(TolvaWLANDevice_t, GuardInterval, 424, 4),
    M(TolvaWLANDevice_t, RetryTimeout, 428, 4),
    M(TolvaWLANDevice_t, Powerlevel, 432, 4),
    M(TolvaWLANDevice_t, PowerValue, 436, 4),
    M(TolvaWLANDevice_t, PWD, 440, TOLVA_WLAN_PWD_LEN),

    /* Schedules */
    M(TolvaWiFiTimer_t, ObjPath, 0, 256),
    M(TolvaWiFiTimer_t, StartTime, 256, 32),
    M(TolvaWiFiTimer_t, EndTime, 288, 32),
    M(TolvaWiFiTimer_t, ControlCycle, 320, 32),
    M(TolvaWiFiTimer_t, Enable, 352, 4),

    M(TolvaWiFiTimer1_t, ObjPath, 0, 256),
    M(TolvaWiFiTimer1_t, Time, 256, 32),
    M(TolvaWiFiTimer1_t, Active, 288, 16),
    M(TolvaWiFiTimer1_t, Enable, 304, 4),
    M(TolvaWiFiTimer1_t, reserved, 308, 4),
    P(TolvaWiFiTimer1_t, WeekDay, 312, 312),

    M(TolvaLED_t, ObjPath, 0, 256),
    M(TolvaLED_t, Status, 256, 8),
    M(TolvaLED_t, StartTime, 264, 16),
    M(TolvaLED_t, EndTime, 280, 16),
    M(TolvaLED_t, ControlCycle, 296, 16),
    M(TolvaLED_t, Enable, 312, 4),

    M(TolvaSleepTimer_t, ObjPath, 0, 256),
    M(TolvaSleepTimer_t, Time, 256, 16),
    M(TolvaSleepTimer_t, Active, 272, 8),
    M(TolvaSleepTimer_t, Enable, 280, 4),
    M(TolvaSleepTimer_t, reserved, 284, 4),
    P(TolvaSleepTimer_t, Day, 288, 288),

    /* PON line */
    M(TolvaPONInfo_t, ObjPath, 0, 256),
    M(TolvaPONInfo_t, LOID, 256, 32),
    M(TolvaPONInfo_t, Password, 288, 32),
    M(TolvaPONInfo_t, Temperature, 320, 8),
    M(TolvaPONInfo_t, Voltage, 328, 8),
    M(TolvaPONInfo_t, Current, 336, 8),
    M(TolvaPONInfo_t, TXPower, 344, 8),
    M(TolvaPONInfo_t, RXPower, 352, 8),
    M(TolvaPONInfo_t, SupportPONStatusQuery, 360, 4),
    M(TolvaPONInfo_t, PONStatus, 364, TOLVA_PON_STATUS_LEN),

    /* Voice lines */
    M(TolvaVoIPInfo_t, ObjPath, 0, 256),
    M(TolvaVoIPInfo_t, VoIPName1, 256, 64),
    M(TolvaVoIPInfo_t, VoIPName2, 320, 64),
    M(TolvaVoIPInfo_t, Line1Status, 384, 32),
    M(TolvaVoIPInfo_t, Line2Status, 416, TOLVA_VOIP_LINE2_STATUS_LEN),

    /* LAN hosts */
    M(TolvaLANHostMgr_t, ObjPath, 0, 256),
    M(TolvaLANHostMgr_t, EnableStats, 256, 4),
    M(TolvaLANHostMgr_t, LANHostMaxNumber, 260, 4),
    M(TolvaLANHostMgr_t, LANHostNumber, 264, 4),
    M(TolvaLANHostMgr_t, ControlListMaxNumber, 268, 4),
    M(TolvaLANHostMgr_t, ControlListNumber, 272, 4),

    M(TolvaLANHost_t, ObjPath, 0, 256),
    M(TolvaLANHost_t, MAC, 256, 24),
    M(TolvaLANHost_t, DevName, 280, 32),
    M(TolvaLANHost_t, ControlStatus, 312, 4),
    M(TolvaLANHost_t, InternetAccess, 316, 1),
    M(TolvaLANHost_t, StorageAccess, 320, 4), /* 317 rounded up to 4 */
    M(TolvaLANHost_t, MaxUSBandwidth, 324, 4),
    M(TolvaLANHost_t, MaxDSBandwidth, 328, 4),
    M(TolvaLANHost_t, DevType, 332, 24),
    M(TolvaLANHost_t, IP, 356, 24),
    M(TolvaLANHost_t, ConnectionType, 380, 1),
    M(TolvaLANHost_t, Port, 381, 1),
    M(TolvaLANHost_t, Brand, 382, 32),
    M(TolvaLANHost_t, Model, 414, 32),
    M(TolvaLANHost_t, OS, 446, 34),
    M(TolvaLANHost_t, Active, 480, 4), /* directly after OS */
    M(TolvaLANHost_t, LatestActiveTime, 484, 32),
    M(TolvaLANHost_t, LatestInactiveTime, 516, 32),
    M(TolvaLANHost_t, OnlineTime, 548, 4),
    M(TolvaLANHost_t, RxBytes, 552, 8), /* directly after OnlineTime */
    M(TolvaLANHost_t, TxBytes, 560, 8),

    /* HTTP download test */
    M(TolvaHttpDownloadTestResult_t, ObjPath, 0, 256),
    M(TolvaHttpDownloadTestResult_t, Status, 256, 4),
    M(TolvaHttpDownloadTestResult_t, Result, 260, 256),
    M(TolvaHttpDownloadTestResult_t, URL, 516, TOLVA_HTTP_URL_LEN),

    /* PPPoE */
    M(TolvaPPPoE_t, ObjPath, 0, 256),
    M(TolvaPPPoE_t, PPPoEUserName, 256, TOLVA_PPPOE_USERNAME_LEN),

    /* DHCP server */
    M(TolvaDHCPServer_t, ObjPath, 0, 256),
    M(TolvaDHCPServer_t, Enable, 256, 4),
    M(TolvaDHCPServer_t, MinAddress, 260, 24),
    M(TolvaDHCPServer_t, MaxAddress, 284, 24),
    M(TolvaDHCPServer_t, IPAddr, 308, 24),
    M(TolvaDHCPServer_t, SubnetMask, 332, 24),
    M(TolvaDHCPServer_t, LeaseTime, 356, 4),

    /* Port mapping */
    M(TolvaPortMapping_t, ObjPath, 0, 256),
    M(TolvaPortMapping_t, Enable, 256, 4),
    M(TolvaPortMapping_t, LeaseDuration, 260, 4),
    M(TolvaPortMapping_t, RemoteHost, 264, 64),
    M(TolvaPortMapping_t, ExternalPort, 328, 4),
    M(TolvaPortMapping_t, InternalPort, 332, 4),
    M(TolvaPortMapping_t, PortMappingProtocol, 336, 16),
    M(TolvaPortMapping_t, InternalClient, 352, 24),
    M(TolvaPortMapping_t, Description, 376, TOLVA_PORTMAP_DESCRIPTION_LEN),

    /* USB */
    M(Tolva_USBFSInfo_t, MountPoint, 0, 128),
    M(Tolva_USBFSInfo_t, TotalSize, 128, 8),
    M(Tolva_USBFSInfo_t, UsedSize, 136, 8),
    M(Tolva_USBFSInfo_t, FreeSize, 144, 8),
    M(Tolva_USBFSInfo_t, Label, 152, TOLVA_USBFS_LABEL_LEN),

    M(Tolva_USBDevice_t, DeviceType, 0, 2),
    M(Tolva_USBDevice_t, DeviceId, 4, 4),
    M(Tolva_USBDevice_t, DeviceName, 8, 152),

    M(TolvaUSBDeviceInfo_t, ObjPath, 0, 256),
    M(TolvaUSBDeviceInfo_t, USBDevice, 256, 160),
    M(TolvaUSBDeviceInfo_t, USBDevice.DeviceType, 256, 2),
    M(TolvaUSBDeviceInfo_t, USBDevice.DeviceId, 260, 4),
    M(TolvaUSBDeviceInfo_t, USBDevice.DeviceName, 264, 152),
    M(TolvaUSBDeviceInfo_t, USBFSInfo, 416, ALIGN_UP(152 + TOLVA_USBFS_LABEL_LEN, 8)),
    M(TolvaUSBDeviceInfo_t, USBFSInfo.MountPoint, 416, 128),
    M(TolvaUSBDeviceInfo_t, USBFSInfo.TotalSize, 544, 8),
    M(TolvaUSBDeviceInfo_t, USBFSInfo.UsedSize, 552, 8),
    M(TolvaUSBDeviceInfo_t, USBFSInfo.FreeSize, 560, 8),
    M(TolvaUSBDeviceInfo_t, USBFSInfo.Label, 568, TOLVA_USBFS_LABEL_LEN),

    /* VPN statistics */
    M(TolvaVPNConnStats_t, ObjPath, 0, 256),
    M(TolvaVPNConnStats_t, arrayLen, 256, 4),
    P(TolvaVPNConnStats_t, array, 260, 260),

    /* DNS */
    M(TolvaDNSServerConfig_t, ObjPath, 0, 256),
    M(TolvaDNSServerConfig_t, Server1, 256, 24),
    M(TolvaDNSServerConfig_t, Server2, 280, TOLVA_DNS_SERVER2_LEN),

    M(TolvaDNSTunnel_t, ObjPath, 0, 256),
    M(TolvaDNSTunnel_t, ServerIP, 256, 24),
    M(TolvaDNSTunnel_t, DomainNum, 280, 4),
    P(TolvaDNSTunnel_t, Domain, 284, 284),

    /* File entries */
    M(Tolva_FileEntry_t, FileName, 0, 256),
    M(Tolva_FileEntry_t, PhysicalFolderName, 256, 256),
    M(Tolva_FileEntry_t, IsFolder, 512, 4),
    M(Tolva_FileEntry_t, FileSize, 516, 4),
    M(Tolva_FileEntry_t, ModifiedTime, 520, 24),

    /* FTP and Samba */
    M(Tolva_FTPServerConfig_t, ObjPath, 0, 256),
    M(Tolva_FTPServerConfig_t, Enable, 256, 1),
    M(Tolva_FTPServerConfig_t, AllowAnonymous, 260, 4),
    M(Tolva_SambaServerConfig_t, ObjPath, 0, 256),
    M(Tolva_SambaServerConfig_t, Enable, 256, 1),
    M(Tolva_SambaServerConfig_t, AllowAnonymous, 260, 4),

    M(Tolva_FTPAccount_t, ObjPath, 0, 256),
    M(Tolva_FTPAccount_t, UserName, 256, 32),
    M(Tolva_FTPAccount_t, Password, 288, TOLVA_ACCOUNT_PASSWORD_LEN),
    M(Tolva_SambaAccount_t, ObjPath, 0, 256),
    M(Tolva_SambaAccount_t, UserName, 256, 32),
    M(Tolva_SambaAccount_t, Password, 288, TOLVA_ACCOUNT_PASSWORD_LEN),

    /* Dynamic DNS */
    M(TolvaDDNServer_t, ObjPath, 0, 256),
    M(TolvaDDNServer_t, DDNSCfgEnabled, 256, 4),
    M(TolvaDDNServer_t, DDNSProvider, 260, 64),
    M(TolvaDDNServer_t, DDNSUsername, 324, 32),
    M(TolvaDDNServer_t, DDNSPassword, 356, 32),
    M(TolvaDDNServer_t, ServicePort, 388, 4),
    M(TolvaDDNServer_t, DDNSDomainName, 392, 64),
    M(TolvaDDNServer_t, DDNSHostName, 456, TOLVA_DDNS_HOSTNAME_LEN),

    /* HTTP server */
    M(Tolva_HttpServerConfig_t, ObjPath, 0, 256),
    M(Tolva_HttpServerConfig_t, Enable, 256, 1),
    M(Tolva_HttpServerConfig_t, AdminPassword, 257, TOLVA_HTTP_ADMIN_PASSWORD_LEN),
};

struct record_expectation {
    const char *record;
    size_t size;
    size_t expected_size;
};

/*
 * Records end with their last member, padded to their alignment: 1 for texts
 * only, 4 with 32-bit members or pointers, 8 with 64-bit members or doubles.
 */
#define R(T, size) { #T, sizeof(T), (size) }
/*
 * A record whose last member is a pointer, placed as in P(); its only other
 * members are texts and 32-bit integers, so it is aligned to 4 or to the
 * pointer's alignment, whichever is larger.
 */
#define RP(T, arm_size, ptr_prev_end)                                                    \
    { #T, sizeof(T),                                                                     \
      GATEWAY_POINTERS ? (size_t)(arm_size)                                              \
                       : ALIGN_UP(ALIGN_UP((size_t)(ptr_prev_end), PTR_ALIGN) + PTR_SIZE, \
                                  MAX(PTR_ALIGN, (size_t)4)) }

static const struct record_expectation records[] = {
    R(TolvaObjPath_t, 256),
    R(TolvaStrArray_t, TOLVA_STRARRAY_STR_LEN),
    R(TolvaDeviceInfo_t, 644),
    R(TolvaNetworkInfo_t, 664),
    R(TolvaWANConnectionInfo_t, 856),
    R(TolvaWiFiInfo_t, 392),
    R(TolvaWPSDevInfo_t, TOLVA_WPS_INFO_LEN),
    RP(TolvaWPS_t, 272, 268),
    R(TolvaWLANDevice_t, ALIGN_UP(440 + TOLVA_WLAN_PWD_LEN, 4)),
    R(TolvaWiFiTimer_t, 356),
    RP(TolvaWiFiTimer1_t, 316, 312),
    R(TolvaLED_t, 316),
    RP(TolvaSleepTimer_t, 292, 288),
    R(TolvaPONInfo_t, ALIGN_UP(364 + TOLVA_PON_STATUS_LEN, 8)),
    R(TolvaVoIPInfo_t, 416 + TOLVA_VOIP_LINE2_STATUS_LEN),
    R(TolvaLANHostMgr_t, 276),
    R(TolvaLANHost_t, 568),
    R(TolvaHttpDownloadTestResult_t, ALIGN_UP(516 + TOLVA_HTTP_URL_LEN, 4)),
    R(TolvaPPPoE_t, 256 + TOLVA_PPPOE_USERNAME_LEN),
    R(TolvaDHCPServer_t, 360),
    R(TolvaPortMapping_t, ALIGN_UP(376 + TOLVA_PORTMAP_DESCRIPTION_LEN, 4)),
    R(Tolva_USBFSInfo_t, ALIGN_UP(152 + TOLVA_USBFS_LABEL_LEN, 8)),
    R(Tolva_USBDevice_t, 160),
    R(TolvaUSBDeviceInfo_t, 416 + ALIGN_UP(152 + TOLVA_USBFS_LABEL_LEN, 8)),
    RP(TolvaVPNConnStats_t, 264, 260),
    R(TolvaDNSServerConfig_t, 280 + TOLVA_DNS_SERVER2_LEN),
    RP(TolvaDNSTunnel_t, 288, 284),
    R(Tolva_FileEntry_t, 544), /* entries lie back to back: no tail padding */
    R(Tolva_FTPServerConfig_t, 264),
    R(Tolva_SambaServerConfig_t, 264),
    R(Tolva_FTPAccount_t, 288 + TOLVA_ACCOUNT_PASSWORD_LEN),
    R(Tolva_SambaAccount_t, 288 + TOLVA_ACCOUNT_PASSWORD_LEN),
    R(TolvaDDNServer_t, ALIGN_UP(456 + TOLVA_DDNS_HOSTNAME_LEN, 4)),
    R(Tolva_HttpServerConfig_t, 257 + TOLVA_HTTP_ADMIN_PASSWORD_LEN),
};

/* ---- Kind of number members ---------------------------------------------- */

enum number_kind { SIGNED_INT, UNSIGNED_INT, FLOATING };

static const char *const kind_names[] = { "signed integer", "unsigned integer", "floating" };

/* Volatile so that the compiler neither folds nor warns about the conversions. */
static volatile long long minus_one = -1;
static volatile double one_half = 0.5;

/*
 * after_minus_one: the member read back after storing -1;
 * after_half: the member read back after storing 0.5.
 */
static void expect_kind(const char *record, const char *member, enum number_kind expected,
                        long long after_minus_one, double after_half)
{
    enum number_kind actual;
    if (after_half == 0.5)
        actual = FLOATING;
    else if (after_minus_one < 0)
        actual = SIGNED_INT;
    else
        actual = UNSIGNED_INT;
    if (actual == expected) {
        ++passed;
        return;
    }
    ++failed;
    printf("MISMATCH %s.%s kind: expected %s, actual %s\n", record, member,
           kind_names[expected], kind_names[actual]);
}

#define K(T, m, kind)                                        \
    do {                                                     \
        T rec_;                                              \
        long long a_;                                        \
        double h_;                                           \
        memset(&rec_, 0, sizeof rec_);                       \
        rec_.m = minus_one;                                  \
        a_ = rec_.m;                                         \
        rec_.m = one_half;                                   \
        h_ = rec_.m;                                         \
        expect_kind(#T, #m, (kind), a_, h_);                 \
    } while (0)

#define KS(T, m) K(T, m, SIGNED_INT)
#define KU(T, m) K(T, m, UNSIGNED_INT)
#define KF(T, m) K(T, m, FLOATING)

static void check_number_kinds(void)
{
    KU(TolvaDeviceInfo_t, BusinessStatus);
    KS(TolvaDeviceInfo_t, FlashSize);
    KS(TolvaDeviceInfo_t, RamSize);
    KU(TolvaDeviceInfo_t, CPUUsage);
    KU(TolvaDeviceInfo_t, MEMUsage);
    KU(TolvaDeviceInfo_t, FlashUsage);
    KS(TolvaDeviceInfo_t, SysDuration);

    KS(TolvaNetworkInfo_t, UPLink);
    KU(TolvaNetworkInfo_t, IPV6);
    KU(TolvaNetworkInfo_t, VLANbind);
    KS(TolvaNetworkInfo_t, PONDuration);
    KS(TolvaNetworkInfo_t, PPPOEDuration);
    KU(TolvaNetworkInfo_t, LAN1Status);
    KU(TolvaNetworkInfo_t, LAN2Status);
    KU(TolvaNetworkInfo_t, LAN3Status);
    KU(TolvaNetworkInfo_t, LAN4Status);
    KS(TolvaNetworkInfo_t, WiFiBytes);
    KS(TolvaNetworkInfo_t, WiFiTxBytes);
    KS(TolvaNetworkInfo_t, WiFiRxBytes);
    KS(TolvaNetworkInfo_t, WANBytes);
    KS(TolvaNetworkInfo_t, WANTxBytes);
    KS(TolvaNetworkInfo_t, WANRxBytes);

    KS(TolvaWANConnectionInfo_t, VLANID);
    KS(TolvaWANConnectionInfo_t, VLAN8021P);
    KS(TolvaWANConnectionInfo_t, RxBytes);
    KS(TolvaWANConnectionInfo_t, TxBytes);
    KS(TolvaWANConnectionInfo_t, RxPkts);
    KS(TolvaWANConnectionInfo_t, TxPkts);

    KS(TolvaWiFiInfo_t, Enable);
    KS(TolvaWiFiInfo_t, SameSSIDStatus);
    KS(TolvaWiFiInfo_t, RxBytes);
    KS(TolvaWiFiInfo_t, RxPkts);
    KS(TolvaWiFiInfo_t, RxErrorPkts);
    KS(TolvaWiFiInfo_t, RxDropPkts);
    KS(TolvaWiFiInfo_t, TxBytes);
    KS(TolvaWiFiInfo_t, TxPkts);
    KS(TolvaWiFiInfo_t, TxErrorPkts);
    KS(TolvaWiFiInfo_t, TxDropPkts);

    KS(TolvaWPS_t, Enable);
    KU(TolvaWPS_t, WPSStatus);

    KS(TolvaWLANDevice_t, Enable);
    KS(TolvaWLANDevice_t, Channel);
    KS(TolvaWLANDevice_t, ChannelInUse);
    KS(TolvaWLANDevice_t, SSIDHide);
    KS(TolvaWLANDevice_t, RFBand);
    KS(TolvaWLANDevice_t, ChannelWidth);
    KS(TolvaWLANDevice_t, GuardInterval);
    KS(TolvaWLANDevice_t, RetryTimeout);
    KS(TolvaWLANDevice_t, Powerlevel);
    KS(TolvaWLANDevice_t, PowerValue);

    KS(TolvaWiFiTimer_t, Enable);
    KS(TolvaWiFiTimer1_t, Enable);
    KS(TolvaLED_t, Enable);
    KS(TolvaSleepTimer_t, Enable);

    KF(TolvaPONInfo_t, Temperature);
    KF(TolvaPONInfo_t, Voltage);
    KF(TolvaPONInfo_t, Current);
    KF(TolvaPONInfo_t, TXPower);
    KF(TolvaPONInfo_t, RXPower);
    KS(TolvaPONInfo_t, SupportPONStatusQuery);

    KS(TolvaLANHostMgr_t, EnableStats);
    KS(TolvaLANHostMgr_t, LANHostMaxNumber);
    KS(TolvaLANHostMgr_t, LANHostNumber);
    KS(TolvaLANHostMgr_t, ControlListMaxNumber);
    KS(TolvaLANHostMgr_t, ControlListNumber);

    KS(TolvaLANHost_t, ControlStatus);
    KU(TolvaLANHost_t, InternetAccess);
    KS(TolvaLANHost_t, StorageAccess);
    KS(TolvaLANHost_t, MaxUSBandwidth);
    KS(TolvaLANHost_t, MaxDSBandwidth);
    KU(TolvaLANHost_t, ConnectionType);
    KU(TolvaLANHost_t, Port);
    KS(TolvaLANHost_t, Active);
    KS(TolvaLANHost_t, OnlineTime);
    KS(TolvaLANHost_t, RxBytes);
    KS(TolvaLANHost_t, TxBytes);

    KS(TolvaHttpDownloadTestResult_t, Status);

    KS(TolvaDHCPServer_t, Enable);
    KS(TolvaDHCPServer_t, LeaseTime);

    KS(TolvaPortMapping_t, Enable);
    KS(TolvaPortMapping_t, LeaseDuration);
    KS(TolvaPortMapping_t, ExternalPort);
    KS(TolvaPortMapping_t, InternalPort);

    KS(Tolva_USBFSInfo_t, TotalSize);
    KS(Tolva_USBFSInfo_t, UsedSize);
    KS(Tolva_USBFSInfo_t, FreeSize);
    KU(Tolva_USBDevice_t, DeviceType);
    KS(Tolva_USBDevice_t, DeviceId);

    KS(TolvaVPNConnStats_t, arrayLen);
    KS(TolvaDNSTunnel_t, DomainNum);

    KS(Tolva_FileEntry_t, IsFolder);
    KS(Tolva_FileEntry_t, FileSize);

    KU(Tolva_FTPServerConfig_t, Enable);
    KS(Tolva_FTPServerConfig_t, AllowAnonymous);
    KU(Tolva_SambaServerConfig_t, Enable);
    KS(Tolva_SambaServerConfig_t, AllowAnonymous);

    KS(TolvaDDNServer_t, DDNSCfgEnabled);
    KS(TolvaDDNServer_t, ServicePort);

    KU(Tolva_HttpServerConfig_t, Enable);
}

/*
 * Pointer members must lead to the record the checkers expect; a wrong
 * pointee type is an incompatible-pointer diagnostic, an error in this build.
 */
static void check_pointer_types(void)
{
    TolvaWPS_t wps;
    TolvaWiFiTimer1_t timer1;
    TolvaSleepTimer_t sleep_timer;
    TolvaVPNConnStats_t vpn;
    TolvaDNSTunnel_t tunnel;
    TolvaWPSDevInfo_t **dev_info = &wps.DevInfo;
    TolvaStrArray_t **week_day = &timer1.WeekDay;
    TolvaStrArray_t **day = &sleep_timer.Day;
    TolvaStrArray_t **array = &vpn.array;
    TolvaStrArray_t **domain = &tunnel.Domain;
    (void)dev_info;
    (void)week_day;
    (void)day;
    (void)array;
    (void)domain;
}

int main(void)
{
    size_t i;

    printf("pointers: %lu bytes, aligned to %lu\n", (unsigned long)PTR_SIZE,
           (unsigned long)PTR_ALIGN);

    for (i = 0; i < sizeof members / sizeof members[0]; ++i) {
        const struct member_expectation *e = &members[i];
        expect_equal(e->record, e->member, "offset", e->expected_offset, e->offset);
        expect_equal(e->record, e->member, "size", e->expected_size, e->size);
    }
    for (i = 0; i < sizeof records / sizeof records[0]; ++i) {
        const struct record_expectation *e = &records[i];
        expect_equal(e->record, "", "sizeof", e->expected_size, e->size);
    }
    check_number_kinds();
    check_pointer_types();

    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
