// Steps of the checkers of the shared object path and string records and of
// the service configuration records: PPPoE, DHCP server, port mapping, USB,
// VPN, DNS, file listings, FTP and Samba, dynamic DNS and the HTTP server.
//
// Each list is a template over its front (see audit.h): the exported checker
// runs it to audit two records, the kit's tools run it to read the steps.
#ifndef FIELDAUDIT_CHECKS_SERVICE_H
#define FIELDAUDIT_CHECKS_SERVICE_H

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace fieldaudit {

template <class A>
void steps(A &a, const TolvaObjPath_t *) {
    using T = TolvaObjPath_t;
    a.equal_text("str", &T::str);
}

template <class A>
void steps(A &a, const TolvaStrArray_t *) {
    using T = TolvaStrArray_t;
    a.equal_text("str", &T::str);
}

template <class A>
void steps(A &a, const TolvaPPPoE_t *) {
    using T = TolvaPPPoE_t;
    a.show("PPPoEUserName", &T::PPPoEUserName);
}

template <class A>
void steps(A &a, const TolvaDHCPServer_t *) {
    using T = TolvaDHCPServer_t;
    a.domain("Enable", &T::Enable, 2);
    a.format("MaxAddress", &T::MaxAddress, "MaxAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("MinAddress", &T::MinAddress, "MinAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("IPAddr", &T::IPAddr, "IPAddr failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("SubnetMask", &T::SubnetMask, "SubnetMask failed!!!!!!!!!!!!\n");
    a.show("LeaseTime", &T::LeaseTime);
}

template <class A>
void steps(A &a, const TolvaPortMapping_t *) {
    using T = TolvaPortMapping_t;
    a.show("Description", &T::Description);
    a.format("InternalClient", &T::InternalClient, "InternalClient failed!!!!!!!!\n");
    a.show("PortMappingProtocol", &T::PortMappingProtocol);
    a.format("RemoteHost", &T::RemoteHost, "RemoteHost failed!!!!!!!!\n");
    a.domain("Enable", &T::Enable, 2);
    a.show("LeaseDuration", &T::LeaseDuration);
    a.show("ExternalPort", &T::ExternalPort);
    a.show("InternalPort", &T::InternalPort);
}

template <class A>
void steps(A &a, const Tolva_USBFSInfo_t *) {
    using T = Tolva_USBFSInfo_t;
    a.show("Label", &T::Label);
    a.show("MountPoint", &T::MountPoint);
    a.show("TotalSize", &T::TotalSize);
    a.show("UsedSize", &T::UsedSize);
    a.show("FreeSize", &T::FreeSize);
}

template <class A>
void steps(A &a, const Tolva_USBDevice_t *) {
    using T = Tolva_USBDevice_t;
    a.show("DeviceName", &T::DeviceName);
    a.show("DeviceType", &T::DeviceType);
    a.show("DeviceId", &T::DeviceId);
}

template <class A>
void steps(A &a, const TolvaUSBDeviceInfo_t *) {
    using T = TolvaUSBDeviceInfo_t;
    a.sub(CheckTolva_USBDevice_t, &T::USBDevice);
    a.sub(CheckTolva_USBFSInfo_t, &T::USBFSInfo);
}

template <class A>
void steps(A &a, const TolvaVPNConnStats_t *) {
    using T = TolvaVPNConnStats_t;
    a.equal_number("arrayLen", &T::arrayLen);
    a.sub(CheckTolvaStrArray_t, &T::array);
}

template <class A>
void steps(A &a, const TolvaDNSServerConfig_t *) {
    using T = TolvaDNSServerConfig_t;
    a.equal_text("Server1", &T::Server1);
    a.equal_text("Server2", &T::Server2);
}

template <class A>
void steps(A &a, const TolvaDNSTunnel_t *) {
    using T = TolvaDNSTunnel_t;
    a.sub(CheckTolvaStrArray_t, &T::Domain);
    a.equal_text("ServerIP", &T::ServerIP);
    a.show("DomainNum", &T::DomainNum);
}

// One entry of a file listing; the walk runs it once per entry, with no
// target record.
template <class A>
void steps(A &a, const Tolva_FileEntry_t *) {
    using T = Tolva_FileEntry_t;
    a.show("FileName", &T::FileName);
    a.show("ModifiedTime", &T::ModifiedTime);
    a.show("PhysicalFolderName", &T::PhysicalFolderName);
    a.show("IsFolder", &T::IsFolder);
    a.show("FileSize", &T::FileSize);
}

template <class A>
void steps(A &a, const Tolva_FTPServerConfig_t *) {
    using T = Tolva_FTPServerConfig_t;
    a.domain("Enable", &T::Enable, 4);
    a.domain("AllowAnonymous", &T::AllowAnonymous, 2);
}

template <class A>
void steps(A &a, const Tolva_SambaServerConfig_t *) {
    using T = Tolva_SambaServerConfig_t;
    a.domain("Enable", &T::Enable, 4);
    a.domain("AllowAnonymous", &T::AllowAnonymous, 2);
}

template <class A>
void steps(A &a, const Tolva_FTPAccount_t *) {
    using T = Tolva_FTPAccount_t;
    a.show("Password", &T::Password);
    a.show("UserName", &T::UserName);
}

template <class A>
void steps(A &a, const Tolva_SambaAccount_t *) {
    using T = Tolva_SambaAccount_t;
    a.show("Password", &T::Password);
    a.show("UserName", &T::UserName);
}

template <class A>
void steps(A &a, const TolvaDDNServer_t *) {
    using T = TolvaDDNServer_t;
    a.domain("DDNSCfgEnabled", &T::DDNSCfgEnabled, 2);
    a.show("DDNSProvider", &T::DDNSProvider);
    a.show("DDNSUsername", &T::DDNSUsername);
    a.show("DDNSPassword", &T::DDNSPassword);
    a.show("ServicePort", &T::ServicePort);
    a.show("DDNSDomainName", &T::DDNSDomainName);
    a.show("DDNSHostName", &T::DDNSHostName);
}

template <class A>
void steps(A &a, const Tolva_HttpServerConfig_t *) {
    using T = Tolva_HttpServerConfig_t;
    a.show("AdminPassword", &T::AdminPassword);
    a.domain("Enable", &T::Enable, 2);
}

}  // namespace fieldaudit

#endif
