// Steps of the checkers of the PON line, voice line, LAN host manager, LAN
// host and HTTP download test records, each in output order.
//
// Each list is a template over its front (see audit.h): the exported checker
// runs it to audit two records, the kit's tools run it to read the steps.
#ifndef FIELDAUDIT_CHECKS_PON_H
#define FIELDAUDIT_CHECKS_PON_H

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace fieldaudit {

template <class A>
void steps(A &a, const TolvaPONInfo_t *) {
    using T = TolvaPONInfo_t;
    a.show("LOID", &T::LOID);
    a.show("Password", &T::Password);
    a.format("PONStatus", &T::PONStatus, "PONStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.show("Temperature", &T::Temperature);
    a.show("Voltage", &T::Voltage);
    a.show("Current", &T::Current);
    a.show("TXPower", &T::TXPower);
    a.show("RXPower", &T::RXPower);
    a.domain("SupportPONStatusQuery", &T::SupportPONStatusQuery, 2);
}

template <class A>
void steps(A &a, const TolvaVoIPInfo_t *) {
    using T = TolvaVoIPInfo_t;
    a.show("Line1Status", &T::Line1Status);
    a.show("Line2Status", &T::Line2Status);
    a.show("VoIPName1", &T::VoIPName1);
    a.show("VoIPName2", &T::VoIPName2);
}

template <class A>
void steps(A &a, const TolvaLANHostMgr_t *) {
    using T = TolvaLANHostMgr_t;
    a.domain("EnableStats", &T::EnableStats, 2);
    a.show("LANHostMaxNumber", &T::LANHostMaxNumber);
    a.show("LANHostNumber", &T::LANHostNumber);
    a.show("ControlListMaxNumber", &T::ControlListMaxNumber);
    a.show("ControlListNumber", &T::ControlListNumber);
}

template <class A>
void steps(A &a, const TolvaLANHost_t *) {
    using T = TolvaLANHost_t;
    a.domain("ConnectionType", &T::ConnectionType, 2);
    a.domain("Port", &T::Port, 5);
    a.show("Brand", &T::Brand);
    a.show("Model", &T::Model);
    a.show("LatestActiveTime", &T::LatestActiveTime);
    a.show("LatestInactiveTime", &T::LatestInactiveTime);
    a.show("DevName", &T::DevName);
    a.show("DevType", &T::DevType);
    a.format("IP", &T::IP, "IP failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.show("MAC", &T::MAC);
    a.show("OS", &T::OS);
    a.domain("InternetAccess", &T::InternetAccess, 3);
    a.domain("StorageAccess", &T::StorageAccess, 2);
    a.domain("ControlStatus", &T::ControlStatus, 2);
    a.domain("Active", &T::Active, 2);
    a.show("MaxUSBandwidth", &T::MaxUSBandwidth);
    a.show("MaxDSBandwidth", &T::MaxDSBandwidth);
    a.show("OnlineTime", &T::OnlineTime);
    a.show("RxBytes", &T::RxBytes);
    a.show("TxBytes", &T::TxBytes);
}

template <class A>
void steps(A &a, const TolvaHttpDownloadTestResult_t *) {
    using T = TolvaHttpDownloadTestResult_t;
    a.show("Result", &T::Result);
    a.show("URL", &T::URL);
    a.domain("Status", &T::Status, 2);
}

}  // namespace fieldaudit

#endif
