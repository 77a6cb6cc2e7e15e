// Checkers of the PON line, voice line, LAN host manager, LAN host and HTTP
// download test records.
#include "audit.h"
#include "fieldaudit.h"

using fieldaudit::RecordAudit;

extern "C" {

int CheckTolvaPONInfo_t(const TolvaPONInfo_t *result, const TolvaPONInfo_t *target) {
    using T = TolvaPONInfo_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("LOID", &T::LOID);
    a.show("Password", &T::Password);
    a.format("PONStatus", &T::PONStatus, "PONStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.show("Temperature", &T::Temperature);
    a.show("Voltage", &T::Voltage);
    a.show("Current", &T::Current);
    a.show("TXPower", &T::TXPower);
    a.show("RXPower", &T::RXPower);
    a.domain("SupportPONStatusQuery", &T::SupportPONStatusQuery, 2);
    return a.verdict();
}

int CheckTolvaVoIPInfo_t(const TolvaVoIPInfo_t *result, const TolvaVoIPInfo_t *target) {
    using T = TolvaVoIPInfo_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("Line1Status", &T::Line1Status);
    a.show("Line2Status", &T::Line2Status);
    a.show("VoIPName1", &T::VoIPName1);
    a.show("VoIPName2", &T::VoIPName2);
    return a.verdict();
}

int CheckTolvaLANHostMgr_t(const TolvaLANHostMgr_t *result, const TolvaLANHostMgr_t *target) {
    using T = TolvaLANHostMgr_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("EnableStats", &T::EnableStats, 2);
    a.show("LANHostMaxNumber", &T::LANHostMaxNumber);
    a.show("LANHostNumber", &T::LANHostNumber);
    a.show("ControlListMaxNumber", &T::ControlListMaxNumber);
    a.show("ControlListNumber", &T::ControlListNumber);
    return a.verdict();
}

int CheckTolvaLANHost_t(const TolvaLANHost_t *result, const TolvaLANHost_t *target) {
    using T = TolvaLANHost_t;
    RecordAudit<T> a(__func__, result, target);
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
    return a.verdict();
}

int CheckTolvaHttpDownloadTestResult_t(const TolvaHttpDownloadTestResult_t *result, const TolvaHttpDownloadTestResult_t *target) {
    using T = TolvaHttpDownloadTestResult_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("Result", &T::Result);
    a.show("URL", &T::URL);
    a.domain("Status", &T::Status, 2);
    return a.verdict();
}

}  // extern "C"
