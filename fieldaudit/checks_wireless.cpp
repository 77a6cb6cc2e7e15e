// Checkers of the wireless records (Wi-Fi status, WPS, WLAN device) and of the
// schedule records (Wi-Fi timers, LED, sleep timer).
#include "audit.h"
#include "fieldaudit.h"

using fieldaudit::RecordAudit;

extern "C" {

int CheckTolvaWiFiInfo_t(const TolvaWiFiInfo_t *result, const TolvaWiFiInfo_t *target) {
    using T = TolvaWiFiInfo_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("SameSSIDStatus", &T::SameSSIDStatus, 2);
    a.domain("Enable", &T::Enable, 2);
    a.show("WiFiMode", &T::WiFiMode);
    a.show("RxBytes", &T::RxBytes);
    a.show("RxPkts", &T::RxPkts);
    a.show("RxErrorPkts", &T::RxErrorPkts);
    a.show("RxDropPkts", &T::RxDropPkts);
    a.show("TxBytes", &T::TxBytes);
    a.show("TxPkts", &T::TxPkts);
    a.show("TxErrorPkts", &T::TxErrorPkts);
    a.show("TxDropPkts", &T::TxDropPkts);
    return a.verdict();
}

int CheckTolvaWPSDevInfo_t(const TolvaWPSDevInfo_t *result, const TolvaWPSDevInfo_t *target) {
    using T = TolvaWPSDevInfo_t;
    RecordAudit<T> a(__func__, result, target);
    a.format("Info", &T::Info, "Info failed!!!!!\n");
    return a.verdict();
}

int CheckTolvaWPS_t(const TolvaWPS_t *result, const TolvaWPS_t *target) {
    using T = TolvaWPS_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("WPSStatus", &T::WPSStatus, 4);
    a.sub(CheckTolvaWPSDevInfo_t, &T::DevInfo);
    a.domain("Enable", &T::Enable, 2);
    return a.verdict();
}

int CheckTolvaWLANDevice_t(const TolvaWLANDevice_t *result, const TolvaWLANDevice_t *target) {
    using T = TolvaWLANDevice_t;
    RecordAudit<T> a(__func__, result, target);
    a.format("BasicAuthenticationMode", &T::BasicAuthenticationMode, "BasicAuthenticationMode failed!!!!!\n");
    a.format("BeaconType", &T::BeaconType, "BeaconType failed!!!!!\n");
    a.show("PWD", &T::PWD);
    a.show("SSID", &T::SSID);
    a.show("Standard", &T::Standard);
    a.format("WEPEncryptionLevel", &T::WEPEncryptionLevel, "WEPEncryptionLevel failed!!!!!\n");
    a.format("WPAEncryptionModes", &T::WPAEncryptionModes, "WPAEncryptionModes failed!!!!!\n");
    a.domain("Enable", &T::Enable, 2);
    a.show("Channel", &T::Channel);
    a.show("ChannelInUse", &T::ChannelInUse);
    a.domain("SSIDHide", &T::SSIDHide, 2);
    a.domain("RFBand", &T::RFBand, 2);
    a.domain("ChannelWidth", &T::ChannelWidth, 6);
    a.domain("GuardInterval", &T::GuardInterval, 2);
    a.show("RetryTimeout", &T::RetryTimeout);
    a.show("Powerlevel", &T::Powerlevel);
    a.show("PowerValue", &T::PowerValue);
    return a.verdict();
}

int CheckTolvaWiFiTimer_t(const TolvaWiFiTimer_t *result, const TolvaWiFiTimer_t *target) {
    using T = TolvaWiFiTimer_t;
    RecordAudit<T> a(__func__, result, target);
    a.equal_text("ControlCycle", &T::ControlCycle, "ControlCycle failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("EndTime", &T::EndTime, "EndTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("StartTime", &T::StartTime, "StartTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    return a.verdict();
}

int CheckTolvaWiFiTimer1_t(const TolvaWiFiTimer1_t *result, const TolvaWiFiTimer1_t *target) {
    using T = TolvaWiFiTimer1_t;
    RecordAudit<T> a(__func__, result, target);
    a.format("Active", &T::Active, "Active failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable)!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Time", &T::Time, "Time failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("WeekDay->str", &T::WeekDay, "WeekDay failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    return a.verdict();
}

int CheckTolvaLED_t(const TolvaLED_t *result, const TolvaLED_t *target) {
    using T = TolvaLED_t;
    RecordAudit<T> a(__func__, result, target);
    a.equal_text("ControlCycle", &T::ControlCycle, "ControlCycle failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("EndTime", &T::EndTime, "EndTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("StartTime", &T::StartTime, "StartTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Status", &T::Status, "Status failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    return a.verdict();
}

int CheckTolvaSleepTimer_t(const TolvaSleepTimer_t *result, const TolvaSleepTimer_t *target) {
    using T = TolvaSleepTimer_t;
    RecordAudit<T> a(__func__, result, target);
    a.format("Active", &T::Active, "Active failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Day->str", &T::Day, "Day failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Time", &T::Time, "Time failed!!!!\n");
    return a.verdict();
}

}  // extern "C"
