// One typical value per named format, for the measuring programs: a value
// that passes the format in both libraries, with the format's name and
// pattern variable taken from the library's own tables.
#ifndef TOLVA_BENCH_SAMPLES_H
#define TOLVA_BENCH_SAMPLES_H

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

struct FormatSample {
    const char *name;
    const char *const *pattern;
    const char *value;
};

// By format index.
static const char *const kFormatValues[] = {
    "001122AABBCC",  // DATA_MAC
    "REGISTER_OK",  // DATA_STRING
    "192.168.1.1",  // DATA_IP
    "08:30",  // DATA_TIME
    "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC",  // DATA_DEVINFO
    "30%",  // DATA_PERCENTAGE
    "55%",  // DATA_PERCENTAGE2
    "2001:db8::1%eth0",  // DATA_IPV6
    "1",  // STR
    "PON_STATUS_REG_AUTH",  // DATA_PONSTATUS
    "Complete",  // DATA_PINGSTATUS
    "IPTV_BUSSINESS_OK",  // DATA_DIALRESULT
    "3",  // DATA_DAY
    "ON",  // DATA_ACTIVE
    "MAC:00:11:22:AA:BB:CC",  // DATA_MACLIST
    "INFORM_OK",  // DATA_RESULT
    "WPA2",  // DATA_BeaTyp
    "104-bit",  // DATA_WEPEnLevel
    "OpenSystem",  // DATA_BasicAuthMode
    "AESEncryption",  // DATA_WPAEnModes
    "Connected",  // DATA_Status
    "weight",  // DATA_PLAN
    "TR069",  // DATA_AppName
    "TCP,UDP",  // DATA_ProList
    "DSCP",  // DATA_Type
};

static_assert(sizeof kFormatValues / sizeof kFormatValues[0] == fieldaudit::kFormatCount, "a value per format");

#define TOLVA_BENCH_PATTERN_ADDRESS(name, variable, pattern) &variable,
static const char *const *const kPatternVariables[] = {FIELDAUDIT_FORMATS(TOLVA_BENCH_PATTERN_ADDRESS)};
#undef TOLVA_BENCH_PATTERN_ADDRESS

// Filled by load_format_samples(), in format index order.
static FormatSample kFormatSamples[fieldaudit::kFormatCount];

static inline void load_format_samples() {
    for (unsigned i = 0; i < fieldaudit::kFormatCount; ++i) {
        kFormatSamples[i] = FormatSample{DATA_FORMAT_MAP[i].name, kPatternVariables[i], kFormatValues[i]};
    }
}

#endif
