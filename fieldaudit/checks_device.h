// Steps of the checkers of the device information, network status and WAN
// connection records, each in output order.
//
// Each list is a template over its front (see audit.h): the exported checker
// runs it to audit two records, the kit's tools run it to read the steps.
#ifndef FIELDAUDIT_CHECKS_DEVICE_H
#define FIELDAUDIT_CHECKS_DEVICE_H

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace fieldaudit {

template <class A>
void steps(A &a, const TolvaDeviceInfo_t *) {
    using T = TolvaDeviceInfo_t;
    a.domain("BusinessStatus", &T::BusinessStatus, 2);
    a.format("MAC", &T::MAC, "MAC failed!!!!!!!!!\n");
    a.show("ITMSProtocolVersion", &T::ITMSProtocolVersion);
    a.show("CPUUsage", &T::CPUUsage);
    a.show("MEMUsage", &T::MEMUsage);
    a.show("FlashUsage", &T::FlashUsage);
    a.show("Capability", &T::Capability);
    a.show("CPUClass", &T::CPUClass);
    a.show("DevName", &T::DevName);
    a.show("DevType", &T::DevType);
    a.show("DevType1", &T::DevType1);
    a.show("HDVersion", &T::HDVersion);
    a.show("ProductClass", &T::ProductClass);
    a.show("SWVersion", &T::SWVersion);
    a.show("FlashSize", &T::FlashSize);
    a.show("RamSize", &T::RamSize);
    a.show("SysDuration", &T::SysDuration);
}

template <class A>
void steps(A &a, const TolvaNetworkInfo_t *) {
    using T = TolvaNetworkInfo_t;
    const Gate ipv4_up = a.connected("WANConnectionStatus", &T::WANConnectionStatus);
    const Gate ipv6_up = a.connected("IPV6_WANConnectionStatus", &T::IPV6_WANConnectionStatus);
    a.domain("IPV6", &T::IPV6, 3, "IPV6 failed!!!!!!!!!!!!!!!!!!!!\n");
    a.domain("VLANbind", &T::VLANbind, 2);
    a.domain("LAN1Status", &T::LAN1Status, 2);
    a.domain("LAN2Status", &T::LAN2Status, 2);
    a.domain("LAN3Status", &T::LAN3Status, 2);
    a.domain("LAN4Status", &T::LAN4Status, 2);
    a.show("IPV6_PPPoEDialReason", &T::IPV6_PPPoEDialReason);
    a.format("IPV6_WANConnectionStatus", &T::IPV6_WANConnectionStatus, "IPV6_WANConnectionStatus failed!!!!!!!!!!\n");
    a.format("LANIPAddr", &T::LANIPAddr, "LANIPAddr failed!!!!!!!!!!!!!!\n");
    a.show("PPPoEDialReason", &T::PPPoEDialReason);
    a.format("WANConnectionStatus", &T::WANConnectionStatus, "WANConnectionStatus failed!!!!!!!!!!\n");
    a.format("WANIPAddr", &T::WANIPAddr, "WANIPAddr failed!!!!!!!!!!!!\n", ipv4_up);
    a.format("WANIPV6Addr", &T::WANIPV6Addr, "WANIPV6Addr failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv6_up);
    a.format("WANLinkStatus", &T::WANLinkStatus, "WANLinkStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.show("WiFiMode", &T::WiFiMode);
    a.format("WIFIModuleStatus", &T::WIFIModuleStatus, "WIFIModuleStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.show("UPLink", &T::UPLink);
    a.show("PONDuration", &T::PONDuration);
    a.show("PPPOEDuration", &T::PPPOEDuration);
    a.show("WiFiBytes", &T::WiFiBytes);
    a.show("WiFiTxBytes", &T::WiFiTxBytes);
    a.show("WiFiRxBytes", &T::WiFiRxBytes);
    a.show("WANBytes", &T::WANBytes);
    a.show("WANTxBytes", &T::WANTxBytes);
    a.show("WANRxBytes", &T::WANRxBytes);
}

template <class A>
void steps(A &a, const TolvaWANConnectionInfo_t *) {
    using T = TolvaWANConnectionInfo_t;
    const Gate ipv4_up = a.connected("ConnectionStatus", &T::ConnectionStatus);
    const Gate ipv6_up = a.connected("IPV6_ConnectionStatus", &T::IPV6_ConnectionStatus);
    a.format("ConnectionStatus", &T::ConnectionStatus, "ConnectionStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.show("ConnectionType", &T::ConnectionType);
    a.format("DNS1", &T::DNS1, "DNS1 failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv4_up);
    a.format("DNS2", &T::DNS2, "DNS2 failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv4_up);
    a.format("Gateway", &T::Gateway, "Gateway failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv4_up);
    a.format("IPAddress", &T::IPAddress, "IPAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv4_up);
    a.format("SubnetMask", &T::SubnetMask, "SubnetMask failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv4_up);
    a.show("IfName", &T::IfName);
    a.show("Index", &T::Index);
    a.format("IPV6_ConnectionStatus", &T::IPV6_ConnectionStatus,
             "IPV6_ConnectionStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
    a.format("IPV6_IPAddress", &T::IPV6_IPAddress, "IPV6_IPAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv6_up);
    a.format("IPV6_DNS1", &T::IPV6_DNS1, "IPV6_DNS1 failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv6_up);
    a.format("IPV6_DNS2", &T::IPV6_DNS2, "IPV6_DNS2 failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv6_up);
    a.format("IPV6_Gateway", &T::IPV6_Gateway, "IPV6_Gateway failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n", ipv6_up);
    a.show("IPV6_Prefix", &T::IPV6_Prefix);
    a.show("IPV6_PrefixLength", &T::IPV6_PrefixLength);
    a.show("Protocol", &T::Protocol);
    a.show("ServiceList", &T::ServiceList);
    a.show("VLANID", &T::VLANID);
    a.show("VLAN8021P", &T::VLAN8021P);
    a.show("RxBytes", &T::RxBytes);
    a.show("TxBytes", &T::TxBytes);
    a.show("RxPkts", &T::RxPkts);
    a.show("TxPkts", &T::TxPkts);
}

}  // namespace fieldaudit

#endif
