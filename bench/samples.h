// One typical value per named format, for the measuring programs: the format
// name, its pattern variable and a value that passes it in both libraries.
#ifndef TOLVA_BENCH_SAMPLES_H
#define TOLVA_BENCH_SAMPLES_H

#include "fieldaudit.h"

struct FormatSample {
    const char *name;
    const char *const *pattern;
    const char *value;
};

static const FormatSample kFormatSamples[25] = {
    {"DATA_MAC", &regMac, "001122AABBCC"},
    {"DATA_STRING", &regString, "REGISTER_OK"},
    {"DATA_IP", &regIp, "192.168.1.1"},
    {"DATA_TIME", &regTime, "08:30"},
    {"DATA_DEVINFO", &regDevInfo, "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC"},
    {"DATA_PERCENTAGE", &regPercentage, "30%"},
    {"DATA_PERCENTAGE2", &regPercentage2, "55%"},
    {"DATA_IPV6", &regIpv6, "2001:db8::1%eth0"},
    {"STR", &regStr, "1"},
    {"DATA_PONSTATUS", &regPONStatus, "PON_STATUS_REG_AUTH"},
    {"DATA_PINGSTATUS", &regPingStatus, "Complete"},
    {"DATA_DIALRESULT", &regDialResult, "IPTV_BUSSINESS_OK"},
    {"DATA_DAY", &regDay, "3"},
    {"DATA_ACTIVE", &regActive, "ON"},
    {"DATA_MACLIST", &regMACList, "MAC:00:11:22:AA:BB:CC"},
    {"DATA_RESULT", &regResult, "INFORM_OK"},
    {"DATA_BeaTyp", &regBeaconType, "WPA2"},
    {"DATA_WEPEnLevel", &regWEPEncryptionLevel, "104-bit"},
    {"DATA_BasicAuthMode", &regBasicAuthenticationMode, "OpenSystem"},
    {"DATA_WPAEnModes", &regWPAEncryptionModes, "AESEncryption"},
    {"DATA_Status", &regConnectionStatus, "Connected"},
    {"DATA_PLAN", &regPlan, "weight"},
    {"DATA_AppName", &regAppName, "TR069"},
    {"DATA_ProList", &regProtocolList, "TCP,UDP"},
    {"DATA_Type", &regType, "DSCP"},
};

#endif
