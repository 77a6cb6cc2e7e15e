// Steps of the checkers of the wireless records (Wi-Fi status, WPS, WLAN
// device) and of the schedule records (Wi-Fi timers, LED, sleep timer), each
// in output order.
//
// Each list is a template over its front (see audit.h): the exported checker
// runs it to audit two records, the kit's tools run it to read the steps.
#ifndef FIELDAUDIT_CHECKS_WIRELESS_H
#define FIELDAUDIT_CHECKS_WIRELESS_H

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace fieldaudit {

template <class A>
void steps(A &a, const TolvaWiFiInfo_t *) {
    using T = TolvaWiFiInfo_t;
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
}

template <class A>
void steps(A &a, const TolvaWPSDevInfo_t *) {
    using T = TolvaWPSDevInfo_t;
    a.format("Info", &T::Info, "Info failed!!!!!\n");
}

template <class A>
void steps(A &a, const TolvaWPS_t *) {
    using T = TolvaWPS_t;
    a.domain("WPSStatus", &T::WPSStatus, 4);
    a.sub(CheckTolvaWPSDevInfo_t, &T::DevInfo);
    a.domain("Enable", &T::Enable, 2);
}

template <class A>
void steps(A &a, const TolvaWLANDevice_t *) {
    using T = TolvaWLANDevice_t;
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
}

template <class A>
void steps(A &a, const TolvaWiFiTimer_t *) {
    using T = TolvaWiFiTimer_t;
    a.equal_text("ControlCycle", &T::ControlCycle, "ControlCycle failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("EndTime", &T::EndTime, "EndTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("StartTime", &T::StartTime, "StartTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
}

template <class A>
void steps(A &a, const TolvaWiFiTimer1_t *) {
    using T = TolvaWiFiTimer1_t;
    a.format("Active", &T::Active, "Active failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable)!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Time", &T::Time, "Time failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("WeekDay->str", &T::WeekDay, "WeekDay failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
}

template <class A>
void steps(A &a, const TolvaLED_t *) {
    using T = TolvaLED_t;
    a.equal_text("ControlCycle", &T::ControlCycle, "ControlCycle failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("EndTime", &T::EndTime, "EndTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("StartTime", &T::StartTime, "StartTime failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Status", &T::Status, "Status failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
}

template <class A>
void steps(A &a, const TolvaSleepTimer_t *) {
    using T = TolvaSleepTimer_t;
    a.format("Active", &T::Active, "Active failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Day->str", &T::Day, "Day failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2, "result->Enable&target->Enable!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("Time", &T::Time, "Time failed!!!!\n");
}

}  // namespace fieldaudit

#endif
