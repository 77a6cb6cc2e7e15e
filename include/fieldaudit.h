/*
 * fieldaudit: checks of the records that the gateway middleware's interface
 * returns. Every check prints what it compares with GLib's g_print (one call
 * per line, so a print handler always receives whole lines) and returns a
 * verdict: 1 for pass, 0 for fail.
 *
 * Link: libfieldaudit.a and GLib (pkg-config glib-2.0). No C++ runtime needed.
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
/* Shows both texts; always returns 1. */
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
 */

/* Device, network and WAN */
int CheckTolvaDeviceInfo_t(const TolvaDeviceInfo_t *result, const TolvaDeviceInfo_t *target);
int CheckTolvaNetworkInfo_t(const TolvaNetworkInfo_t *result, const TolvaNetworkInfo_t *target);
int CheckTolvaWANConnectionInfo_t(const TolvaWANConnectionInfo_t *result, const TolvaWANConnectionInfo_t *target);

/* Wireless and schedules */
int CheckTolvaWiFiInfo_t(const TolvaWiFiInfo_t *result, const TolvaWiFiInfo_t *target);
int CheckTolvaWPSDevInfo_t(const TolvaWPSDevInfo_t *result, const TolvaWPSDevInfo_t *target);
int CheckTolvaWPS_t(const TolvaWPS_t *result, const TolvaWPS_t *target);
int CheckTolvaWLANDevice_t(const TolvaWLANDevice_t *result, const TolvaWLANDevice_t *target);
int CheckTolvaWiFiTimer_t(const TolvaWiFiTimer_t *result, const TolvaWiFiTimer_t *target);
int CheckTolvaWiFiTimer1_t(const TolvaWiFiTimer1_t *result, const TolvaWiFiTimer1_t *target);
int CheckTolvaLED_t(const TolvaLED_t *result, const TolvaLED_t *target);
int CheckTolvaSleepTimer_t(const TolvaSleepTimer_t *result, const TolvaSleepTimer_t *target);

/* PON, voice and LAN hosts */
int CheckTolvaPONInfo_t(const TolvaPONInfo_t *result, const TolvaPONInfo_t *target);
int CheckTolvaVoIPInfo_t(const TolvaVoIPInfo_t *result, const TolvaVoIPInfo_t *target);
int CheckTolvaLANHostMgr_t(const TolvaLANHostMgr_t *result, const TolvaLANHostMgr_t *target);
int CheckTolvaLANHost_t(const TolvaLANHost_t *result, const TolvaLANHost_t *target);
int CheckTolvaHttpDownloadTestResult_t(const TolvaHttpDownloadTestResult_t *result,
                                       const TolvaHttpDownloadTestResult_t *target);

/* Shared records and service configuration */
int CheckTolvaObjPath_t(const TolvaObjPath_t *result, const TolvaObjPath_t *target);
int CheckTolvaStrArray_t(const TolvaStrArray_t *result, const TolvaStrArray_t *target);
int CheckTolvaPPPoE_t(const TolvaPPPoE_t *result, const TolvaPPPoE_t *target);
int CheckTolvaDHCPServer_t(const TolvaDHCPServer_t *result, const TolvaDHCPServer_t *target);
int CheckTolvaPortMapping_t(const TolvaPortMapping_t *result, const TolvaPortMapping_t *target);
int CheckTolva_USBFSInfo_t(const Tolva_USBFSInfo_t *result, const Tolva_USBFSInfo_t *target);
int CheckTolva_USBDevice_t(const Tolva_USBDevice_t *result, const Tolva_USBDevice_t *target);
int CheckTolvaUSBDeviceInfo_t(const TolvaUSBDeviceInfo_t *result, const TolvaUSBDeviceInfo_t *target);
int CheckTolvaVPNConnStats_t(const TolvaVPNConnStats_t *result, const TolvaVPNConnStats_t *target);
int CheckTolvaDNSServerConfig_t(const TolvaDNSServerConfig_t *result, const TolvaDNSServerConfig_t *target);
int CheckTolvaDNSTunnel_t(const TolvaDNSTunnel_t *result, const TolvaDNSTunnel_t *target);
/*
 * Prints `count` entries lying back to back from `entries` (no target: the
 * other side of each line shows "(null)" for texts and 0 for numbers).
 * Prints nothing for a null `entries` or a count of 0 or less. Returns 1.
 */
int CheckTolva_FileEntry_t(const Tolva_FileEntry_t *entries, int count);
int CheckTolva_FTPServerConfig_t(const Tolva_FTPServerConfig_t *result, const Tolva_FTPServerConfig_t *target);
int CheckTolva_FTPAccount_t(const Tolva_FTPAccount_t *result, const Tolva_FTPAccount_t *target);
int CheckTolva_SambaServerConfig_t(const Tolva_SambaServerConfig_t *result,
                                   const Tolva_SambaServerConfig_t *target);
int CheckTolva_SambaAccount_t(const Tolva_SambaAccount_t *result, const Tolva_SambaAccount_t *target);
int CheckTolvaDDNServer_t(const TolvaDDNServer_t *result, const TolvaDDNServer_t *target);
int CheckTolva_HttpServerConfig_t(const Tolva_HttpServerConfig_t *result, const Tolva_HttpServerConfig_t *target);

#ifdef __cplusplus
}
#endif

#endif /* FIELDAUDIT_H */
