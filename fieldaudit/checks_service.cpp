// Checkers of the shared object path and string records and of the service
// configuration records: PPPoE, DHCP server, port mapping, USB, VPN, DNS,
// file listings, FTP and Samba, dynamic DNS and the HTTP server.
#include "audit.h"
#include "fieldaudit.h"

using fieldaudit::Audit;
using fieldaudit::RecordAudit;
using fieldaudit::Value;
using fieldaudit::value_at;

extern "C" {

int CheckTolvaObjPath_t(const TolvaObjPath_t *result, const TolvaObjPath_t *target) {
    using T = TolvaObjPath_t;
    RecordAudit<T> a(__func__, result, target);
    a.equal_text("str", &T::str);
    return a.verdict();
}

int CheckTolvaStrArray_t(const TolvaStrArray_t *result, const TolvaStrArray_t *target) {
    using T = TolvaStrArray_t;
    RecordAudit<T> a(__func__, result, target);
    a.equal_text("str", &T::str);
    return a.verdict();
}

int CheckTolvaPPPoE_t(const TolvaPPPoE_t *result, const TolvaPPPoE_t *target) {
    using T = TolvaPPPoE_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("PPPoEUserName", &T::PPPoEUserName);
    return a.verdict();
}

int CheckTolvaDHCPServer_t(const TolvaDHCPServer_t *result, const TolvaDHCPServer_t *target) {
    using T = TolvaDHCPServer_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("Enable", &T::Enable, 2);
    a.format("MaxAddress", &T::MaxAddress, "MaxAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("MinAddress", &T::MinAddress, "MinAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("IPAddr", &T::IPAddr, "IPAddr failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("SubnetMask", &T::SubnetMask, "SubnetMask failed!!!!!!!!!!!!\n");
    a.show("LeaseTime", &T::LeaseTime);
    return a.verdict();
}

int CheckTolvaPortMapping_t(const TolvaPortMapping_t *result, const TolvaPortMapping_t *target) {
    using T = TolvaPortMapping_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("Description", &T::Description);
    a.format("InternalClient", &T::InternalClient, "InternalClient failed!!!!!!!!\n");
    a.show("PortMappingProtocol", &T::PortMappingProtocol);
    a.format("RemoteHost", &T::RemoteHost, "RemoteHost failed!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2);
    a.show("LeaseDuration", &T::LeaseDuration);
    a.show("ExternalPort", &T::ExternalPort);
    a.show("InternalPort", &T::InternalPort);
    return a.verdict();
}

int CheckTolva_USBFSInfo_t(const Tolva_USBFSInfo_t *result, const Tolva_USBFSInfo_t *target) {
    using T = Tolva_USBFSInfo_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("Label", &T::Label);
    a.show("MountPoint", &T::MountPoint);
    a.show("TotalSize", &T::TotalSize);
    a.show("UsedSize", &T::UsedSize);
    a.show("FreeSize", &T::FreeSize);
    return a.verdict();
}

int CheckTolva_USBDevice_t(const Tolva_USBDevice_t *result, const Tolva_USBDevice_t *target) {
    using T = Tolva_USBDevice_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("DeviceName", &T::DeviceName);
    a.show("DeviceType", &T::DeviceType);
    a.show("DeviceId", &T::DeviceId);
    return a.verdict();
}

int CheckTolvaUSBDeviceInfo_t(const TolvaUSBDeviceInfo_t *result, const TolvaUSBDeviceInfo_t *target) {
    using T = TolvaUSBDeviceInfo_t;
    RecordAudit<T> a(__func__, result, target);
    a.sub(CheckTolva_USBDevice_t, &T::USBDevice);
    a.sub(CheckTolva_USBFSInfo_t, &T::USBFSInfo);
    return a.verdict();
}

int CheckTolvaVPNConnStats_t(const TolvaVPNConnStats_t *result, const TolvaVPNConnStats_t *target) {
    using T = TolvaVPNConnStats_t;
    RecordAudit<T> a(__func__, result, target);
    a.equal_number("arrayLen", &T::arrayLen);
    a.sub(CheckTolvaStrArray_t, &T::array);
    return a.verdict();
}

int CheckTolvaDNSServerConfig_t(const TolvaDNSServerConfig_t *result, const TolvaDNSServerConfig_t *target) {
    using T = TolvaDNSServerConfig_t;
    RecordAudit<T> a(__func__, result, target);
    a.equal_text("Server1", &T::Server1);
    a.equal_text("Server2", &T::Server2);
    return a.verdict();
}

int CheckTolvaDNSTunnel_t(const TolvaDNSTunnel_t *result, const TolvaDNSTunnel_t *target) {
    using T = TolvaDNSTunnel_t;
    RecordAudit<T> a(__func__, result, target);
    a.sub(CheckTolvaStrArray_t, &T::Domain);
    a.equal_text("ServerIP", &T::ServerIP);
    a.show("DomainNum", &T::DomainNum);
    return a.verdict();
}

// Prints a run of `count` entries lying back to back; there is no target, so
// its side of each line shows the null marker for texts and 0 for numbers.
int CheckTolva_FileEntry_t(const Tolva_FileEntry_t *entries, int count) {
    const Tolva_FileEntry_t *entry = entries;
    for (int i = 0; entry != nullptr && i < count; ++i, ++entry) {
        Audit a(__func__, "pEntry->", "NULL", false);
        a.show("FileName", value_at(&entry->FileName), Value::missing());
        a.show("ModifiedTime", value_at(&entry->ModifiedTime), Value::missing());
        a.show("PhysicalFolderName", value_at(&entry->PhysicalFolderName), Value::missing());
        a.show("IsFolder", value_at(&entry->IsFolder), Value::of_int(0));
        a.show("FileSize", value_at(&entry->FileSize), Value::of_int(0));
    }
    return 1;
}

int CheckTolva_FTPServerConfig_t(const Tolva_FTPServerConfig_t *result, const Tolva_FTPServerConfig_t *target) {
    using T = Tolva_FTPServerConfig_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("Enable", &T::Enable, 4);
    a.domain("AllowAnonymous", &T::AllowAnonymous, 2);
    return a.verdict();
}

int CheckTolva_SambaServerConfig_t(const Tolva_SambaServerConfig_t *result, const Tolva_SambaServerConfig_t *target) {
    using T = Tolva_SambaServerConfig_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("Enable", &T::Enable, 4);
    a.domain("AllowAnonymous", &T::AllowAnonymous, 2);
    return a.verdict();
}

int CheckTolva_FTPAccount_t(const Tolva_FTPAccount_t *result, const Tolva_FTPAccount_t *target) {
    using T = Tolva_FTPAccount_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("Password", &T::Password);
    a.show("UserName", &T::UserName);
    return a.verdict();
}

int CheckTolva_SambaAccount_t(const Tolva_SambaAccount_t *result, const Tolva_SambaAccount_t *target) {
    using T = Tolva_SambaAccount_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("Password", &T::Password);
    a.show("UserName", &T::UserName);
    return a.verdict();
}

int CheckTolvaDDNServer_t(const TolvaDDNServer_t *result, const TolvaDDNServer_t *target) {
    using T = TolvaDDNServer_t;
    RecordAudit<T> a(__func__, result, target);
    a.domain("DDNSCfgEnabled", &T::DDNSCfgEnabled, 2);
    a.show("DDNSProvider", &T::DDNSProvider);
    a.show("DDNSUsername", &T::DDNSUsername);
    a.show("DDNSPassword", &T::DDNSPassword);
    a.show("ServicePort", &T::ServicePort);
    a.show("DDNSDomainName", &T::DDNSDomainName);
    a.show("DDNSHostName", &T::DDNSHostName);
    return a.verdict();
}

int CheckTolva_HttpServerConfig_t(const Tolva_HttpServerConfig_t *result, const Tolva_HttpServerConfig_t *target) {
    using T = Tolva_HttpServerConfig_t;
    RecordAudit<T> a(__func__, result, target);
    a.show("AdminPassword", &T::AdminPassword);
    a.domain("Enable", &T::Enable, 2);
    return a.verdict();
}

}  // extern "C"
