/*
 * Interface records of the gateway middleware, as the checkers of fieldaudit
 * read them.
 *
 * The layouts are the gateway's: plain structures under the natural alignment
 * of 32-bit ARM (16-bit members on 2-byte, 32-bit members and pointers on
 * 4-byte, 64-bit members and doubles on 8-byte boundaries), members in memory
 * order, no packing. Texts are fixed-width character arrays holding
 * NUL-terminated strings. Gaps that no checker examines are named reserved
 * members so that the members after them land where the middleware puts them.
 *
 * A few widths are not fixed by what the checkers examine (the last text of
 * several records, the text of TolvaStrArray_t and of TolvaWPSDevInfo_t).
 * They are marked "middleware width" below: each must match the middleware's
 * own definition of the record, and a gateway team whose middleware differs
 * changes the TOLVA_*_LEN constant here.
 */
#ifndef TOLVA_TYPES_H
#define TOLVA_TYPES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Middleware widths (see above). */
#define TOLVA_STRARRAY_STR_LEN 256
#define TOLVA_WPS_INFO_LEN 128
#define TOLVA_WLAN_PWD_LEN 64
#define TOLVA_PON_STATUS_LEN 32
#define TOLVA_VOIP_LINE2_STATUS_LEN 32
#define TOLVA_HTTP_URL_LEN 256
#define TOLVA_PPPOE_USERNAME_LEN 64
#define TOLVA_PORTMAP_DESCRIPTION_LEN 64
#define TOLVA_USBFS_LABEL_LEN 64
#define TOLVA_DNS_SERVER2_LEN 24
#define TOLVA_ACCOUNT_PASSWORD_LEN 32
#define TOLVA_DDNS_HOSTNAME_LEN 64
#define TOLVA_HTTP_ADMIN_PASSWORD_LEN 32

/* ---- Shared records ---------------------------------------------------- */

/* D-Bus object path of an interface object; heads every top-level record. */
typedef struct TolvaObjPath_t {
    char str[256];
} TolvaObjPath_t;

/* One text, reached through pointer members of some records. */
typedef struct TolvaStrArray_t {
    char str[TOLVA_STRARRAY_STR_LEN]; /* middleware width */
} TolvaStrArray_t;

/* ---- Device, network and WAN ------------------------------------------- */

typedef struct TolvaDeviceInfo_t {
    TolvaObjPath_t ObjPath;
    uint8_t BusinessStatus;
    uint8_t reserved[32];
    char MAC[24];
    char SWVersion[32];
    char HDVersion[32];
    char ITMSProtocolVersion[32];
    char ProductClass[24];
    char CPUClass[32];
    char DevType[48];
    char DevType1[32];
    char Capability[51];
    int32_t FlashSize;
    int32_t RamSize;
    char DevName[32];
    uint8_t CPUUsage;
    uint8_t MEMUsage;
    uint8_t FlashUsage;
    int32_t SysDuration;
} TolvaDeviceInfo_t;

typedef struct TolvaNetworkInfo_t {
    TolvaObjPath_t ObjPath;
    int32_t UPLink;
    uint8_t IPV6;
    uint8_t VLANbind;
    char WiFiMode[66];
    int32_t PONDuration;
    int32_t PPPOEDuration;
    uint8_t LAN1Status;
    uint8_t LAN2Status;
    uint8_t LAN3Status;
    uint8_t LAN4Status;
    char WANLinkStatus[8];
    char WIFIModuleStatus[8];
    char WANConnectionStatus[32];
    char PPPoEDialReason[48];
    char IPV6_WANConnectionStatus[32];
    char IPV6_PPPoEDialReason[48];
    char LANIPAddr[24];
    char WANIPAddr[24];
    char WANIPV6Addr[52];
    int64_t WiFiBytes;
    int64_t WiFiTxBytes;
    int64_t WiFiRxBytes;
    int64_t WANBytes;
    int64_t WANTxBytes;
    int64_t WANRxBytes;
} TolvaNetworkInfo_t;

typedef struct TolvaWANConnectionInfo_t {
    TolvaObjPath_t ObjPath;
    char Index[8];
    char IfName[32];
    char ServiceList[32];
    char ConnectionType[16];
    int32_t VLANID;
    int32_t VLAN8021P;
    char Protocol[16];
    char ConnectionStatus[32];
    char IPAddress[24];
    char SubnetMask[24];
    char Gateway[24];
    char DNS1[24];
    char DNS2[24];
    char IPV6_ConnectionStatus[32];
    char IPV6_IPAddress[48];
    char IPV6_PrefixLength[32];
    char IPV6_Gateway[48];
    char IPV6_DNS1[48];
    char IPV6_DNS2[48];
    char IPV6_Prefix[48];
    int64_t RxBytes;
    int64_t TxBytes;
    int64_t RxPkts;
    int64_t TxPkts;
} TolvaWANConnectionInfo_t;

/* ---- Wireless and schedules --------------------------------------------- */

typedef struct TolvaWiFiInfo_t {
    TolvaObjPath_t ObjPath;
    int32_t Enable;
    char WiFiMode[64];
    int32_t SameSSIDStatus;
    int64_t RxBytes;
    int64_t RxPkts;
    int64_t RxErrorPkts;
    int64_t RxDropPkts;
    int64_t TxBytes;
    int64_t TxPkts;
    int64_t TxErrorPkts;
    int64_t TxDropPkts;
} TolvaWiFiInfo_t;

/* Sub-record of TolvaWPS_t; no object path. */
typedef struct TolvaWPSDevInfo_t {
    char Info[TOLVA_WPS_INFO_LEN]; /* middleware width */
} TolvaWPSDevInfo_t;

typedef struct TolvaWPS_t {
    TolvaObjPath_t ObjPath;
    int32_t Enable;
    uint8_t WPSStatus;
    uint8_t reserved[7];
    TolvaWPSDevInfo_t *DevInfo;
} TolvaWPS_t;

typedef struct TolvaWLANDevice_t {
    TolvaObjPath_t ObjPath;
    char SSID[32];
    int32_t Enable;
    int32_t Channel;
    int32_t ChannelInUse;
    char BeaconType[16];
    char Standard[24];
    char WEPEncryptionLevel[24];
    char BasicAuthenticationMode[24];
    char WPAEncryptionModes[24];
    int32_t SSIDHide;
    int32_t RFBand;
    int32_t ChannelWidth;
    int32_t GuardInterval;
    int32_t RetryTimeout;
    int32_t Powerlevel;
    int32_t PowerValue;
    char PWD[TOLVA_WLAN_PWD_LEN]; /* middleware width */
} TolvaWLANDevice_t;

typedef struct TolvaWiFiTimer_t {
    TolvaObjPath_t ObjPath;
    char StartTime[32];
    char EndTime[32];
    char ControlCycle[32];
    int32_t Enable;
} TolvaWiFiTimer_t;

typedef struct TolvaWiFiTimer1_t {
    TolvaObjPath_t ObjPath;
    char Time[32];
    char Active[16];
    int32_t Enable;
    uint8_t reserved[4];
    TolvaStrArray_t *WeekDay;
} TolvaWiFiTimer1_t;

typedef struct TolvaLED_t {
    TolvaObjPath_t ObjPath;
    char Status[8];
    char StartTime[16];
    char EndTime[16];
    char ControlCycle[16];
    int32_t Enable;
} TolvaLED_t;

typedef struct TolvaSleepTimer_t {
    TolvaObjPath_t ObjPath;
    char Time[16];
    char Active[8];
    int32_t Enable;
    uint8_t reserved[4];
    TolvaStrArray_t *Day;
} TolvaSleepTimer_t;

/* ---- PON, voice and LAN hosts ------------------------------------------- */

typedef struct TolvaPONInfo_t {
    TolvaObjPath_t ObjPath;
    char LOID[32];
    char Password[32];
    double Temperature;
    double Voltage;
    double Current;
    double TXPower;
    double RXPower;
    int32_t SupportPONStatusQuery;
    char PONStatus[TOLVA_PON_STATUS_LEN]; /* middleware width */
} TolvaPONInfo_t;

typedef struct TolvaVoIPInfo_t {
    TolvaObjPath_t ObjPath;
    char VoIPName1[64];
    char VoIPName2[64];
    char Line1Status[32];
    char Line2Status[TOLVA_VOIP_LINE2_STATUS_LEN]; /* middleware width */
} TolvaVoIPInfo_t;

typedef struct TolvaLANHostMgr_t {
    TolvaObjPath_t ObjPath;
    int32_t EnableStats;
    int32_t LANHostMaxNumber;
    int32_t LANHostNumber;
    int32_t ControlListMaxNumber;
    int32_t ControlListNumber;
} TolvaLANHostMgr_t;

typedef struct TolvaLANHost_t {
    TolvaObjPath_t ObjPath;
    char MAC[24];
    char DevName[32];
    int32_t ControlStatus;
    uint8_t InternetAccess;
    int32_t StorageAccess;
    int32_t MaxUSBandwidth;
    int32_t MaxDSBandwidth;
    char DevType[24];
    char IP[24];
    uint8_t ConnectionType;
    uint8_t Port;
    char Brand[32];
    char Model[32];
    char OS[34];
    int32_t Active;
    char LatestActiveTime[32];
    char LatestInactiveTime[32];
    int32_t OnlineTime;
    int64_t RxBytes;
    int64_t TxBytes;
} TolvaLANHost_t;

typedef struct TolvaHttpDownloadTestResult_t {
    TolvaObjPath_t ObjPath;
    int32_t Status;
    char Result[256];
    char URL[TOLVA_HTTP_URL_LEN]; /* middleware width */
} TolvaHttpDownloadTestResult_t;

/* ---- Service configuration ---------------------------------------------- */

typedef struct TolvaPPPoE_t {
    TolvaObjPath_t ObjPath;
    char PPPoEUserName[TOLVA_PPPOE_USERNAME_LEN]; /* middleware width */
} TolvaPPPoE_t;

typedef struct TolvaDHCPServer_t {
    TolvaObjPath_t ObjPath;
    int32_t Enable;
    char MinAddress[24];
    char MaxAddress[24];
    char IPAddr[24];
    char SubnetMask[24];
    int32_t LeaseTime;
} TolvaDHCPServer_t;

typedef struct TolvaPortMapping_t {
    TolvaObjPath_t ObjPath;
    int32_t Enable;
    int32_t LeaseDuration;
    char RemoteHost[64];
    int32_t ExternalPort;
    int32_t InternalPort;
    char PortMappingProtocol[16];
    char InternalClient[24];
    char Description[TOLVA_PORTMAP_DESCRIPTION_LEN]; /* middleware width */
} TolvaPortMapping_t;

/* File system of a USB device; nested in TolvaUSBDeviceInfo_t. */
typedef struct Tolva_USBFSInfo_t {
    char MountPoint[128];
    int64_t TotalSize;
    int64_t UsedSize;
    int64_t FreeSize;
    char Label[TOLVA_USBFS_LABEL_LEN]; /* middleware width */
} Tolva_USBFSInfo_t;

/* Identity of a USB device; nested in TolvaUSBDeviceInfo_t. */
typedef struct Tolva_USBDevice_t {
    uint16_t DeviceType;
    int32_t DeviceId;
    char DeviceName[152];
} Tolva_USBDevice_t;

typedef struct TolvaUSBDeviceInfo_t {
    TolvaObjPath_t ObjPath;
    Tolva_USBDevice_t USBDevice;
    Tolva_USBFSInfo_t USBFSInfo;
} TolvaUSBDeviceInfo_t;

typedef struct TolvaVPNConnStats_t {
    TolvaObjPath_t ObjPath;
    int32_t arrayLen;
    TolvaStrArray_t *array;
} TolvaVPNConnStats_t;

typedef struct TolvaDNSServerConfig_t {
    TolvaObjPath_t ObjPath;
    char Server1[24];
    char Server2[TOLVA_DNS_SERVER2_LEN]; /* middleware width */
} TolvaDNSServerConfig_t;

typedef struct TolvaDNSTunnel_t {
    TolvaObjPath_t ObjPath;
    char ServerIP[24];
    int32_t DomainNum;
    TolvaStrArray_t *Domain;
} TolvaDNSTunnel_t;

/* One entry of a file listing; entries of a run lie back to back. */
typedef struct Tolva_FileEntry_t {
    char FileName[256];
    char PhysicalFolderName[256];
    int32_t IsFolder;
    int32_t FileSize;
    char ModifiedTime[24];
} Tolva_FileEntry_t;

typedef struct Tolva_FTPServerConfig_t {
    TolvaObjPath_t ObjPath;
    uint8_t Enable;
    int32_t AllowAnonymous;
} Tolva_FTPServerConfig_t;

typedef struct Tolva_SambaServerConfig_t {
    TolvaObjPath_t ObjPath;
    uint8_t Enable;
    int32_t AllowAnonymous;
} Tolva_SambaServerConfig_t;

typedef struct Tolva_FTPAccount_t {
    TolvaObjPath_t ObjPath;
    char UserName[32];
    char Password[TOLVA_ACCOUNT_PASSWORD_LEN]; /* middleware width */
} Tolva_FTPAccount_t;

typedef struct Tolva_SambaAccount_t {
    TolvaObjPath_t ObjPath;
    char UserName[32];
    char Password[TOLVA_ACCOUNT_PASSWORD_LEN]; /* middleware width */
} Tolva_SambaAccount_t;

typedef struct TolvaDDNServer_t {
    TolvaObjPath_t ObjPath;
    int32_t DDNSCfgEnabled;
    char DDNSProvider[64];
    char DDNSUsername[32];
    char DDNSPassword[32];
    int32_t ServicePort;
    char DDNSDomainName[64];
    char DDNSHostName[TOLVA_DDNS_HOSTNAME_LEN]; /* middleware width */
} TolvaDDNServer_t;

typedef struct Tolva_HttpServerConfig_t {
    TolvaObjPath_t ObjPath;
    uint8_t Enable;
    char AdminPassword[TOLVA_HTTP_ADMIN_PASSWORD_LEN]; /* middleware width */
} Tolva_HttpServerConfig_t;

#ifdef __cplusplus
}
#endif

#endif /* TOLVA_TYPES_H */
