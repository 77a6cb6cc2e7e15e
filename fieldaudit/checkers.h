// Every checker of the kit, by the record type it checks, in the order of the
// public header. The exported checkers (checkers.cpp) and the descriptions
// of the kit's tools (describe.cpp) are made from this one list.
#ifndef FIELDAUDIT_CHECKERS_H
#define FIELDAUDIT_CHECKERS_H

#include "checks_device.h"
#include "checks_pon.h"
#include "checks_service.h"
#include "checks_wireless.h"

// X(record type) for each checker that takes a result and a target record;
// its name is "Check" followed by the type's name. The file-entry walk, which
// takes a run of entries and no target, is the one checker not listed.
#define FIELDAUDIT_RECORD_CHECKERS(X) \
    X(TolvaDeviceInfo_t)              \
    X(TolvaNetworkInfo_t)             \
    X(TolvaWANConnectionInfo_t)       \
    X(TolvaWiFiInfo_t)                \
    X(TolvaWPSDevInfo_t)              \
    X(TolvaWPS_t)                     \
    X(TolvaWLANDevice_t)              \
    X(TolvaWiFiTimer_t)               \
    X(TolvaWiFiTimer1_t)              \
    X(TolvaLED_t)                     \
    X(TolvaSleepTimer_t)              \
    X(TolvaPONInfo_t)                 \
    X(TolvaVoIPInfo_t)                \
    X(TolvaLANHostMgr_t)              \
    X(TolvaLANHost_t)                 \
    X(TolvaHttpDownloadTestResult_t)  \
    X(TolvaObjPath_t)                 \
    X(TolvaStrArray_t)                \
    X(TolvaPPPoE_t)                   \
    X(TolvaDHCPServer_t)              \
    X(TolvaPortMapping_t)             \
    X(Tolva_USBFSInfo_t)              \
    X(Tolva_USBDevice_t)              \
    X(TolvaUSBDeviceInfo_t)           \
    X(TolvaVPNConnStats_t)            \
    X(TolvaDNSServerConfig_t)         \
    X(TolvaDNSTunnel_t)               \
    X(Tolva_FTPServerConfig_t)        \
    X(Tolva_FTPAccount_t)             \
    X(Tolva_SambaServerConfig_t)      \
    X(Tolva_SambaAccount_t)           \
    X(TolvaDDNServer_t)               \
    X(Tolva_HttpServerConfig_t)

#endif
