/*
 * fieldaudit: checks of the records that the gateway middleware's interface
 * returns. Every check prints what it compares with GLib's g_print (one call
 * per line, so a print handler always receives whole lines) and returns a
 * verdict: 1 for pass, 0 for fail.
 *
 * Link: libfieldaudit.a and GLib (pkg-config glib-2.0). No C++ runtime needed.
 *
 * Reference: docs/checkers.md (each checker's fields, treatments, failure
 * lines and gates), docs/formats.md (format names, examples, value-domain
 * tables), docs/output.md (the grammar of every printed line).
 */
#ifndef FIELDAUDIT_H
#define FIELDAUDIT_H

#include "tolva_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Scalar primitives --------------------------------------------------- */

int Check_bool(int ret, int tar);
int Check_int(int ret, int tar);
int Check_return_result(int ret, int tar);
/* Shows both texts (a null pointer as "(null)", control bytes escaped as in
 * the checkers' lines); always returns 1. */
int Check_char(const char *ret, const char *tar);

/* ---- Value domains ------------------------------------------------------- */

/*
 * Passes when value is one of the first `count` entries of the table that
 * `selector` picks (0 picks data_int_one ... 8 picks data_int_nine; any other
 * selector picks none). Entries beyond the table's length are never read.
 * Prints "pass!!!!!!!!!!!!!!!!\n" or "failed!!!!!!!!!!!!!\n".
 */
int Check_data_int(int value, unsigned int selector, int count);

extern int data_int_one[2];
extern int data_int_two[3];
extern int data_int_three[4];
extern int data_int_four[5];
extern int data_int_five[6];
extern int data_int_six[7];
extern int data_int_seven[8];
extern int data_int_eight[5];
extern int data_int_nine[3];

/* ---- Data formats -------------------------------------------------------- */

typedef struct {
    const char *name;
    unsigned int index;
} DataFormatMap_t;

/* 25 named formats, then 5 empty slots (null name) that never match. */
extern const DataFormatMap_t DATA_FORMAT_MAP[30];

/*
 * Searches `value` with the pattern of the format named `format_name`
 * (unanchored unless the pattern anchors itself; in libfieldaudit_strict the
 * pattern must match the whole value and the match must not be empty).
 * Returns 0 for a null or empty value, a null or unknown name, a value or
 * pattern that is not valid UTF-8, a pattern that does not compile, or no
 * match. Prints nothing. Each format's pattern is compiled at its first check
 * and kept for the process; a changed pattern text is followed.
 */
int Check_data_format(const char *value, const char *format_name);

/* Index of the named format (names compared exactly), or -1. */
int find_data_format_index(const char *name);

/* Pattern texts, read at every check: a test program may point one elsewhere. */
extern const char *regMac;
extern const char *regString;
extern const char *regIp;
extern const char *regTime;
extern const char *regDevInfo;
extern const char *regPercentage;
extern const char *regPercentage2;
extern const char *regIpv6;
extern const char *regStr;
extern const char *regPONStatus;
extern const char *regPingStatus;
extern const char *regDialResult;
extern const char *regDay;
extern const char *regActive;
extern const char *regMACList;
extern const char *regResult;
extern const char *regBeaconType;
extern const char *regWEPEncryptionLevel;
extern const char *regBasicAuthenticationMode;
extern const char *regWPAEncryptionModes;
extern const char *regConnectionStatus;
extern const char *regPlan;
extern const char *regAppName;
extern const char *regProtocolList;
extern const char *regType;

/* ---- Record checkers ------------------------------------------------------
 *
 * Each takes the result record first and the target record second; the target
 * holds expectations: a domain selector in each enumerated number, a format
 * name in each validated text, the expected text where texts are compared.
 * Each prints one line per field in a fixed order, the failure lines of
 * failed checks, and returns the verdict. Null pointers are never followed:
 * the value shows as "(null)" and its validations fail.
 *
 * Pointer members (DevInfo, WeekDay, Day, array, Domain): each must be null or
 * lead to one whole record of its type, on both sides, whatever a count
 * member says. The checkers read exactly one record through each pointer;
 * arrayLen and DomainNum are printed (and compared) but never make a checker
 * skip the pointer or look beyond the one record.
 *
 * Shown texts: a byte below 0x20 or the byte 0x7f prints as "\x" and two
 * lower-case hexadecimal digits (a newline as \x0a), so every line printed
 * stays one line; validations see the raw bytes.
 *
 * The comment line directly above each declaration summarises the checker;
 * docs/checkers.md carries the same summary with the checker's table.
 */

/* Device, network and WAN */
/* Device information: BusinessStatus by domain, MAC by format; versions, names, sizes printed. */
int CheckTolvaDeviceInfo_t(const TolvaDeviceInfo_t *result, const TolvaDeviceInfo_t *target);
/* Network status: port and IPv6 states by domain; statuses, addresses by format (WAN ones while Connected). */
int CheckTolvaNetworkInfo_t(const TolvaNetworkInfo_t *result, const TolvaNetworkInfo_t *target);
/* One WAN connection: both statuses by format; each address group by format while its status is Connected. */
int CheckTolvaWANConnectionInfo_t(const TolvaWANConnectionInfo_t *result, const TolvaWANConnectionInfo_t *target);

/* Wireless and schedules */
/* Wi-Fi status: SameSSIDStatus and Enable by domain; mode and traffic counters printed. */
int CheckTolvaWiFiInfo_t(const TolvaWiFiInfo_t *result, const TolvaWiFiInfo_t *target);
/* WPS device information (what TolvaWPS_t.DevInfo points to): Info by format. */
int CheckTolvaWPSDevInfo_t(const TolvaWPSDevInfo_t *result, const TolvaWPSDevInfo_t *target);
/* WPS state: WPSStatus and Enable by domain; DevInfo through CheckTolvaWPSDevInfo_t. */
int CheckTolvaWPS_t(const TolvaWPS_t *result, const TolvaWPS_t *target);
/* One WLAN device: security modes by format; enable, SSID hiding, band, width, guard interval by domain. */
int CheckTolvaWLANDevice_t(const TolvaWLANDevice_t *result, const TolvaWLANDevice_t *target);
/* Wi-Fi timer: ControlCycle as exact text, start and end times by format, Enable by domain. */
int CheckTolvaWiFiTimer_t(const TolvaWiFiTimer_t *result, const TolvaWiFiTimer_t *target);
/* Weekly Wi-Fi timer: Active, Time and the WeekDay text by format, Enable by domain. */
int CheckTolvaWiFiTimer1_t(const TolvaWiFiTimer1_t *result, const TolvaWiFiTimer1_t *target);
/* LED schedule: ControlCycle as exact text, times and Status by format, Enable by domain. */
int CheckTolvaLED_t(const TolvaLED_t *result, const TolvaLED_t *target);
/* Sleep timer: Active, the Day text and Time by format, Enable by domain. */
int CheckTolvaSleepTimer_t(const TolvaSleepTimer_t *result, const TolvaSleepTimer_t *target);

/* PON, voice and LAN hosts */
/* PON line: PONStatus by format, SupportPONStatusQuery by domain; optical readings printed. */
int CheckTolvaPONInfo_t(const TolvaPONInfo_t *result, const TolvaPONInfo_t *target);
/* Voice lines: statuses and names printed only; always passes. */
int CheckTolvaVoIPInfo_t(const TolvaVoIPInfo_t *result, const TolvaVoIPInfo_t *target);
/* LAN host manager: EnableStats by domain; host and control-list numbers printed. */
int CheckTolvaLANHostMgr_t(const TolvaLANHostMgr_t *result, const TolvaLANHostMgr_t *target);
/* One LAN host: connection type, port, access and state flags by domain; IP by format; the rest printed. */
int CheckTolvaLANHost_t(const TolvaLANHost_t *result, const TolvaLANHost_t *target);
/* HTTP download test: Status by domain; result and URL printed. */
int CheckTolvaHttpDownloadTestResult_t(const TolvaHttpDownloadTestResult_t *result,
                                       const TolvaHttpDownloadTestResult_t *target);

/* Shared records and service configuration */
/* Object path: str compared as exact text with the target's. */
int CheckTolvaObjPath_t(const TolvaObjPath_t *result, const TolvaObjPath_t *target);
/* String record: str compared as exact text with the target's. */
int CheckTolvaStrArray_t(const TolvaStrArray_t *result, const TolvaStrArray_t *target);
/* PPPoE settings: user name printed only; always passes. */
int CheckTolvaPPPoE_t(const TolvaPPPoE_t *result, const TolvaPPPoE_t *target);
/* DHCP server: Enable by domain; address range, address and mask by format; lease time printed. */
int CheckTolvaDHCPServer_t(const TolvaDHCPServer_t *result, const TolvaDHCPServer_t *target);
/* Port mapping: internal client and remote host by format, Enable by domain; the rest printed. */
int CheckTolvaPortMapping_t(const TolvaPortMapping_t *result, const TolvaPortMapping_t *target);
/* USB file system (nested in TolvaUSBDeviceInfo_t): label, mount point, sizes printed; always passes. */
int CheckTolva_USBFSInfo_t(const Tolva_USBFSInfo_t *result, const Tolva_USBFSInfo_t *target);
/* USB device (nested in TolvaUSBDeviceInfo_t): name, type, id printed only; always passes. */
int CheckTolva_USBDevice_t(const Tolva_USBDevice_t *result, const Tolva_USBDevice_t *target);
/* USB device information: its two nested records through their own checkers; always passes. */
int CheckTolvaUSBDeviceInfo_t(const TolvaUSBDeviceInfo_t *result, const TolvaUSBDeviceInfo_t *target);
/* VPN statistics: arrayLen as exact number, the string record that array points to as exact text. */
int CheckTolvaVPNConnStats_t(const TolvaVPNConnStats_t *result, const TolvaVPNConnStats_t *target);
/* DNS servers: Server1 and Server2 as exact text. */
int CheckTolvaDNSServerConfig_t(const TolvaDNSServerConfig_t *result, const TolvaDNSServerConfig_t *target);
/* DNS tunnel: the string record that Domain points to and ServerIP as exact text; DomainNum printed. */
int CheckTolvaDNSTunnel_t(const TolvaDNSTunnel_t *result, const TolvaDNSTunnel_t *target);
/* File listing: prints each of `count` entries lying back to back; no target; always passes.
 * The other side of each line shows "(null)" for texts and 0 for numbers.
 * Prints nothing for a null `entries` or a count of 0 or less. Returns 1. */
int CheckTolva_FileEntry_t(const Tolva_FileEntry_t *entries, int count);
/* FTP server: Enable (count 4) and AllowAnonymous by domain. */
int CheckTolva_FTPServerConfig_t(const Tolva_FTPServerConfig_t *result, const Tolva_FTPServerConfig_t *target);
/* FTP account: password and user name printed only; always passes. */
int CheckTolva_FTPAccount_t(const Tolva_FTPAccount_t *result, const Tolva_FTPAccount_t *target);
/* Samba server: Enable (count 4) and AllowAnonymous by domain. */
int CheckTolva_SambaServerConfig_t(const Tolva_SambaServerConfig_t *result,
                                   const Tolva_SambaServerConfig_t *target);
/* Samba account: password and user name printed only; always passes. */
int CheckTolva_SambaAccount_t(const Tolva_SambaAccount_t *result, const Tolva_SambaAccount_t *target);
/* Dynamic DNS: DDNSCfgEnabled by domain; provider, account, port and names printed. */
int CheckTolvaDDNServer_t(const TolvaDDNServer_t *result, const TolvaDDNServer_t *target);
/* HTTP server: Enable by domain; AdminPassword printed. */
int CheckTolva_HttpServerConfig_t(const Tolva_HttpServerConfig_t *result, const Tolva_HttpServerConfig_t *target);

#ifdef __cplusplus
}
#endif

#endif /* FIELDAUDIT_H */
