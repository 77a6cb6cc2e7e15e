// Whole outputs of the device, network and WAN connection checkers.
#include <gtest/gtest.h>

#include <string>

#include "capture.h"
#include "fieldaudit.h"
#include "records.h"

namespace {

TEST(DeviceOutput, DeviceInfoFailuresAndPrintedFieldsInOrder) {
    auto r = zeroed<TolvaDeviceInfo_t>();
    auto t = zeroed<TolvaDeviceInfo_t>();
    r.BusinessStatus = 2;
    t.BusinessStatus = 5;  // 0 .. 5 and 100, but only the first two count
    put(r.MAC, "00:11:22:AA:BB:CC");
    put(t.MAC, "DATA_MAC");
    put(r.SWVersion, "V2");
    r.FlashSize = -1;
    r.CPUUsage = 200;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaDeviceInfo_t(&r, &t));
    EXPECT_EQ("CheckTolvaDeviceInfo_t,result->BusinessStatus=2,target->BusinessStatus=5\n"
              "failed!!!!!!!!!!!!!\n"
              "CheckTolvaDeviceInfo_t,result->MAC=00:11:22:AA:BB:CC,target->MAC=DATA_MAC\n"
              "MAC failed!!!!!!!!!\n"
              "CheckTolvaDeviceInfo_t,result->ITMSProtocolVersion=,target->ITMSProtocolVersion=\n"
              "CheckTolvaDeviceInfo_t,result->CPUUsage=200,target->CPUUsage=0\n"
              "CheckTolvaDeviceInfo_t,result->MEMUsage=0,target->MEMUsage=0\n"
              "CheckTolvaDeviceInfo_t,result->FlashUsage=0,target->FlashUsage=0\n"
              "CheckTolvaDeviceInfo_t,result->Capability=,target->Capability=\n"
              "CheckTolvaDeviceInfo_t,result->CPUClass=,target->CPUClass=\n"
              "CheckTolvaDeviceInfo_t,result->DevName=,target->DevName=\n"
              "CheckTolvaDeviceInfo_t,result->DevType=,target->DevType=\n"
              "CheckTolvaDeviceInfo_t,result->DevType1=,target->DevType1=\n"
              "CheckTolvaDeviceInfo_t,result->HDVersion=,target->HDVersion=\n"
              "CheckTolvaDeviceInfo_t,result->ProductClass=,target->ProductClass=\n"
              "CheckTolvaDeviceInfo_t,result->SWVersion=V2,target->SWVersion=\n"
              "CheckTolvaDeviceInfo_t,result->FlashSize=-1,target->FlashSize=0\n"
              "CheckTolvaDeviceInfo_t,result->RamSize=0,target->RamSize=0\n"
              "CheckTolvaDeviceInfo_t,result->SysDuration=0,target->SysDuration=0\n",
              out.text());
    EXPECT_TRUE(out.whole_lines());
    r.BusinessStatus = 1;
    put(r.MAC, "001122AABBCC");
    EXPECT_EQ(1, CheckTolvaDeviceInfo_t(&r, &t));
}

TolvaNetworkInfo_t network_target() {
    auto t = zeroed<TolvaNetworkInfo_t>();
    t.IPV6 = 2;
    put(t.WANLinkStatus, "STR");
    put(t.WIFIModuleStatus, "STR");
    put(t.WANConnectionStatus, "DATA_Status");
    put(t.IPV6_WANConnectionStatus, "DATA_Status");
    put(t.LANIPAddr, "DATA_IP");
    put(t.WANIPAddr, "DATA_IP");
    put(t.WANIPV6Addr, "DATA_IPV6");
    return t;
}

TEST(NetworkOutput, GatesAreIndependentAndFailuresFallInPlace) {
    auto r = zeroed<TolvaNetworkInfo_t>();
    const auto t = network_target();
    r.IPV6 = 3;
    put(r.WANLinkStatus, "1");
    put(r.WIFIModuleStatus, "x");
    put(r.WANConnectionStatus, "Connected");
    put(r.IPV6_WANConnectionStatus, "connected");  // another case closes the gate
    put(r.LANIPAddr, "192.168.1.1");
    r.WANBytes = 5000000000LL;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaNetworkInfo_t(&r, &t));
    EXPECT_EQ("CheckTolvaNetworkInfo_t,result->IPV6=3,target->IPV6=2\n"
              "failed!!!!!!!!!!!!!\n"
              "IPV6 failed!!!!!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->VLANbind=0,target->VLANbind=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->LAN1Status=0,target->LAN1Status=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->LAN2Status=0,target->LAN2Status=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->LAN3Status=0,target->LAN3Status=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->LAN4Status=0,target->LAN4Status=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->IPV6_PPPoEDialReason=,target->IPV6_PPPoEDialReason=\n"
              "CheckTolvaNetworkInfo_t,result->IPV6_WANConnectionStatus=connected,target->IPV6_WANConnectionStatus=DATA_Status\n"
              "CheckTolvaNetworkInfo_t,result->LANIPAddr=192.168.1.1,target->LANIPAddr=DATA_IP\n"
              "CheckTolvaNetworkInfo_t,result->PPPoEDialReason=,target->PPPoEDialReason=\n"
              "CheckTolvaNetworkInfo_t,result->WANConnectionStatus=Connected,target->WANConnectionStatus=DATA_Status\n"
              "CheckTolvaNetworkInfo_t,result->WANIPAddr=,target->WANIPAddr=DATA_IP\n"
              "WANIPAddr failed!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->WANIPV6Addr=,target->WANIPV6Addr=DATA_IPV6\n"
              "CheckTolvaNetworkInfo_t,result->WANLinkStatus=1,target->WANLinkStatus=STR\n"
              "CheckTolvaNetworkInfo_t,result->WiFiMode=,target->WiFiMode=\n"
              "CheckTolvaNetworkInfo_t,result->WIFIModuleStatus=x,target->WIFIModuleStatus=STR\n"
              "WIFIModuleStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
              "CheckTolvaNetworkInfo_t,result->UPLink=0,target->UPLink=0\n"
              "CheckTolvaNetworkInfo_t,result->PONDuration=0,target->PONDuration=0\n"
              "CheckTolvaNetworkInfo_t,result->PPPOEDuration=0,target->PPPOEDuration=0\n"
              "CheckTolvaNetworkInfo_t,result->WiFiBytes=0,target->WiFiBytes=0\n"
              "CheckTolvaNetworkInfo_t,result->WiFiTxBytes=0,target->WiFiTxBytes=0\n"
              "CheckTolvaNetworkInfo_t,result->WiFiRxBytes=0,target->WiFiRxBytes=0\n"
              "CheckTolvaNetworkInfo_t,result->WANBytes=5000000000,target->WANBytes=0\n"
              "CheckTolvaNetworkInfo_t,result->WANTxBytes=0,target->WANTxBytes=0\n"
              "CheckTolvaNetworkInfo_t,result->WANRxBytes=0,target->WANRxBytes=0\n",
              out.text());
    // Passing once IPV6 is admitted, the WAN address filled and the module status a digit.
    r.IPV6 = 2;
    put(r.WANIPAddr, "10.0.0.2");
    put(r.WIFIModuleStatus, "0");
    EXPECT_EQ(1, CheckTolvaNetworkInfo_t(&r, &t));
}

TEST(WANOutput, OpenIPv4GateInterleavesFailureLines) {
    auto r = zeroed<TolvaWANConnectionInfo_t>();
    auto t = zeroed<TolvaWANConnectionInfo_t>();
    put(r.ConnectionStatus, "Connected");
    put(r.IPV6_ConnectionStatus, "Disconnected");
    put(r.IPAddress, "10.0.0.2");
    put(r.DNS1, "8.8.8.8");
    put(r.DNS2, "8.8.4.4");
    put(r.SubnetMask, "255.0.0.0");
    r.RxBytes = 5000000000LL;
    t.TxPkts = -1;
    put(t.ConnectionStatus, "DATA_Status");
    put(t.IPV6_ConnectionStatus, "DATA_Status");
    for (auto *f : {&t.DNS1, &t.DNS2, &t.Gateway, &t.IPAddress, &t.SubnetMask}) put(*f, "DATA_IP");
    put(t.IPV6_IPAddress, "DATA_IPV6");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaWANConnectionInfo_t(&r, &t));
    EXPECT_EQ("CheckTolvaWANConnectionInfo_t,result->ConnectionStatus=Connected,target->ConnectionStatus=DATA_Status\n"
              "CheckTolvaWANConnectionInfo_t,result->ConnectionType=,target->ConnectionType=\n"
              "CheckTolvaWANConnectionInfo_t,result->DNS1=8.8.8.8,target->DNS1=DATA_IP\n"
              "CheckTolvaWANConnectionInfo_t,result->DNS2=8.8.4.4,target->DNS2=DATA_IP\n"
              "CheckTolvaWANConnectionInfo_t,result->Gateway=,target->Gateway=DATA_IP\n"
              "Gateway failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
              "CheckTolvaWANConnectionInfo_t,result->IPAddress=10.0.0.2,target->IPAddress=DATA_IP\n"
              "CheckTolvaWANConnectionInfo_t,result->SubnetMask=255.0.0.0,target->SubnetMask=DATA_IP\n"
              "CheckTolvaWANConnectionInfo_t,result->IfName=,target->IfName=\n"
              "CheckTolvaWANConnectionInfo_t,result->Index=,target->Index=\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_ConnectionStatus=Disconnected,target->IPV6_ConnectionStatus=DATA_Status\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_IPAddress=,target->IPV6_IPAddress=DATA_IPV6\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_DNS1=,target->IPV6_DNS1=\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_DNS2=,target->IPV6_DNS2=\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_Gateway=,target->IPV6_Gateway=\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_Prefix=,target->IPV6_Prefix=\n"
              "CheckTolvaWANConnectionInfo_t,result->IPV6_PrefixLength=,target->IPV6_PrefixLength=\n"
              "CheckTolvaWANConnectionInfo_t,result->Protocol=,target->Protocol=\n"
              "CheckTolvaWANConnectionInfo_t,result->ServiceList=,target->ServiceList=\n"
              "CheckTolvaWANConnectionInfo_t,result->VLANID=0,target->VLANID=0\n"
              "CheckTolvaWANConnectionInfo_t,result->VLAN8021P=0,target->VLAN8021P=0\n"
              "CheckTolvaWANConnectionInfo_t,result->RxBytes=5000000000,target->RxBytes=0\n"
              "CheckTolvaWANConnectionInfo_t,result->TxBytes=0,target->TxBytes=0\n"
              "CheckTolvaWANConnectionInfo_t,result->RxPkts=0,target->RxPkts=0\n"
              "CheckTolvaWANConnectionInfo_t,result->TxPkts=0,target->TxPkts=-1\n",
              out.text());
    put(r.Gateway, "10.0.0.1");
    EXPECT_EQ(1, CheckTolvaWANConnectionInfo_t(&r, &t));
    // An unknown format name fails the status; the open gate still validates the group.
    put(t.ConnectionStatus, "DATA_NOSUCH");
    r.Gateway[0] = '\0';
    out.take();
    EXPECT_EQ(0, CheckTolvaWANConnectionInfo_t(&r, &t));
    const std::string text = out.text();
    EXPECT_NE(std::string::npos, text.find("ConnectionStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"));
    EXPECT_NE(std::string::npos, text.find("Gateway failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"));
}

}  // namespace
