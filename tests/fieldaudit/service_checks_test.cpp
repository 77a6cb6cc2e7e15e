// Service configuration checkers: whole outputs compared byte for byte, lines
// in step order, verdicts; null pointers are never followed and unterminated
// texts never read past their member.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "capture.h"
#include "fieldaudit.h"
#include "records.h"

namespace {

const char kPass[] = "pass!!!!!!!!!!!!!!!!\n";
const char kFailed[] = "failed!!!!!!!!!!!!!\n";
const char kMaxAddressFailed[] = "MaxAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kMinAddressFailed[] = "MinAddress failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kIPAddrFailed[] = "IPAddr failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
const char kSubnetMaskFailed[] = "SubnetMask failed!!!!!!!!!!!!\n";
const char kInternalClientFailed[] = "InternalClient failed!!!!!!!!\n";
const char kRemoteHostFailed[] = "RemoteHost failed!!!!!!!!\n";

std::string run(std::size_t n, char c) { return std::string(n, c); }

// The output captured so far must equal `expected` and come one whole line
// per call; the capture then starts afresh.
void expect_output(PrintCapture &out, const std::string &expected) {
    EXPECT_TRUE(out.whole_lines());
    EXPECT_EQ(expected, out.take());
}

// A referenced or last-member record with bytes right behind it, so that a
// read past a text would show in the printed line.
struct StrArrayWithTail {
    TolvaStrArray_t array;
    char tail[8];
};
StrArrayWithTail str_array(const char *text) {
    StrArrayWithTail s = zeroed<StrArrayWithTail>();
    put(s.array.str, text);
    std::memcpy(s.tail, "TAILTAI", 8);
    return s;
}

// ---- DHCP server -----------------------------------------------------------

struct DhcpPair {
    TolvaDHCPServer_t r = zeroed<TolvaDHCPServer_t>(), t = zeroed<TolvaDHCPServer_t>();
    DhcpPair() {
        r.Enable = 1;
        put(r.MinAddress, "192.168.1.2");
        put(r.MaxAddress, "192.168.1.254");
        put(r.IPAddr, "192.168.1.1");
        put(r.SubnetMask, "255.255.255.0");
        r.LeaseTime = 86400;
        for (char *name : {t.MinAddress, t.MaxAddress, t.IPAddr, t.SubnetMask}) std::memcpy(name, "DATA_IP", 8);
        t.LeaseTime = -7;
    }
};

const std::string kDhcpPassing = std::string("CheckTolvaDHCPServer_t,result->Enable=1,target->Enable=0\n") + kPass +
                                 "CheckTolvaDHCPServer_t,result->MaxAddress=192.168.1.254,target->MaxAddress=DATA_IP\n"
                                 "CheckTolvaDHCPServer_t,result->MinAddress=192.168.1.2,target->MinAddress=DATA_IP\n"
                                 "CheckTolvaDHCPServer_t,result->IPAddr=192.168.1.1,target->IPAddr=DATA_IP\n"
                                 "CheckTolvaDHCPServer_t,result->SubnetMask=255.255.255.0,target->SubnetMask=DATA_IP\n"
                                 "CheckTolvaDHCPServer_t,result->LeaseTime=86400,target->LeaseTime=-7\n";

TEST(ServiceDhcp, PassingPairPrintsSixLinesEnableFirstMaxBeforeMin) {
    DhcpPair p;
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaDHCPServer_t(&p.r, &p.t));
    expect_output(out, kDhcpPassing);
}

TEST(ServiceDhcp, EveryFailureShowsWhereItFallsAndLaterStepsStillRun) {
    DhcpPair p;
    p.r.Enable = 2;
    put(p.t.MaxAddress, "data_ip");  // wrong case: no such format
    put(p.r.MinAddress, "");
    put(p.r.IPAddr, "192.168.1");
    put(p.r.SubnetMask, "fe80::1");
    p.r.LeaseTime = -1;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(&p.r, &p.t));
    expect_output(out,
                  std::string("CheckTolvaDHCPServer_t,result->Enable=2,target->Enable=0\n") + kFailed +
                      "CheckTolvaDHCPServer_t,result->MaxAddress=192.168.1.254,target->MaxAddress=data_ip\n" +
                      kMaxAddressFailed + "CheckTolvaDHCPServer_t,result->MinAddress=,target->MinAddress=DATA_IP\n" +
                      kMinAddressFailed + "CheckTolvaDHCPServer_t,result->IPAddr=192.168.1,target->IPAddr=DATA_IP\n" +
                      kIPAddrFailed + "CheckTolvaDHCPServer_t,result->SubnetMask=fe80::1,target->SubnetMask=DATA_IP\n" +
                      kSubnetMaskFailed + "CheckTolvaDHCPServer_t,result->LeaseTime=-1,target->LeaseTime=-7\n");
}

TEST(ServiceDhcp, EachCheckAloneClearsTheVerdictButLeaseTimeNever) {
    PrintCapture out;
    DhcpPair min, max, ip, enable, lease;
    put(min.r.MinAddress, "");
    put(max.t.MaxAddress, "");
    put(ip.r.IPAddr, "gateway");
    enable.t.Enable = 9;  // selects no table
    lease.r.LeaseTime = INT_MIN;
    lease.t.LeaseTime = INT_MAX;
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(&min.r, &min.t));
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(&max.r, &max.t));
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(&ip.r, &ip.t));
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(&enable.r, &enable.t));
    EXPECT_EQ(1, CheckTolvaDHCPServer_t(&lease.r, &lease.t));
}

// The SubnetMask failure line goes through the print handler like every
// other line: it is captured in its place, and nothing reaches stdout directly.
TEST(ServiceDhcp, SubnetMaskFailureLineIsCapturedByThePrintHandler) {
    DhcpPair p;
    put(p.r.SubnetMask, "none");
    testing::internal::CaptureStdout();
    std::string captured;
    int verdict;
    size_t calls;
    {
        PrintCapture out;
        verdict = CheckTolvaDHCPServer_t(&p.r, &p.t);
        captured = out.text();
        calls = out.count();
        EXPECT_TRUE(out.whole_lines());
    }
    const std::string direct = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0, verdict);
    EXPECT_EQ(std::string("CheckTolvaDHCPServer_t,result->Enable=1,target->Enable=0\n") + kPass +
                  "CheckTolvaDHCPServer_t,result->MaxAddress=192.168.1.254,target->MaxAddress=DATA_IP\n"
                  "CheckTolvaDHCPServer_t,result->MinAddress=192.168.1.2,target->MinAddress=DATA_IP\n"
                  "CheckTolvaDHCPServer_t,result->IPAddr=192.168.1.1,target->IPAddr=DATA_IP\n"
                  "CheckTolvaDHCPServer_t,result->SubnetMask=none,target->SubnetMask=DATA_IP\n" +
                  kSubnetMaskFailed + "CheckTolvaDHCPServer_t,result->LeaseTime=86400,target->LeaseTime=-7\n",
              captured);
    EXPECT_EQ(8u, calls);
    EXPECT_EQ("", direct);
}

// ---- Port mapping ----------------------------------------------------------

struct PortMapPair {
    TolvaPortMapping_t r = zeroed<TolvaPortMapping_t>(), t = zeroed<TolvaPortMapping_t>();
    PortMapPair() {
        put(t.Description, "anything");
        put(r.InternalClient, "192.168.1.20");
        put(t.InternalClient, "DATA_IP");
        put(r.PortMappingProtocol, "TCP");
        put(t.PortMappingProtocol, "UDP");
        put(r.RemoteHost, "198.51.100.7");
        put(t.RemoteHost, "DATA_IP");
        r.LeaseDuration = 3600;
        t.LeaseDuration = -1;
        r.ExternalPort = 8080;
        t.ExternalPort = 65536;
        r.InternalPort = 80;
    }
};

TEST(ServicePortMapping, DescriptionFirstInternalPortLastAndPrintedMembersNeverCount) {
    PortMapPair p;
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaPortMapping_t(&p.r, &p.t));
    expect_output(
        out, std::string("CheckTolvaPortMapping_t,result->Description=,target->Description=anything\n"
                         "CheckTolvaPortMapping_t,result->InternalClient=192.168.1.20,target->InternalClient=DATA_IP\n"
                         "CheckTolvaPortMapping_t,result->PortMappingProtocol=TCP,target->PortMappingProtocol=UDP\n"
                         "CheckTolvaPortMapping_t,result->RemoteHost=198.51.100.7,target->RemoteHost=DATA_IP\n"
                         "CheckTolvaPortMapping_t,result->Enable=0,target->Enable=0\n") +
                 kPass +
                 "CheckTolvaPortMapping_t,result->LeaseDuration=3600,target->LeaseDuration=-1\n"
                 "CheckTolvaPortMapping_t,result->ExternalPort=8080,target->ExternalPort=65536\n"
                 "CheckTolvaPortMapping_t,result->InternalPort=80,target->InternalPort=0\n");
}

TEST(ServicePortMapping, FailuresOfBothFormatsAndTheDomain) {
    PortMapPair p;
    put(p.r.InternalClient, "printer");
    put(p.r.RemoteHost, "");
    p.r.Enable = 2;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaPortMapping_t(&p.r, &p.t));
    expect_output(
        out, std::string("CheckTolvaPortMapping_t,result->Description=,target->Description=anything\n"
                         "CheckTolvaPortMapping_t,result->InternalClient=printer,target->InternalClient=DATA_IP\n") +
                 kInternalClientFailed +
                 "CheckTolvaPortMapping_t,result->PortMappingProtocol=TCP,target->PortMappingProtocol=UDP\n"
                 "CheckTolvaPortMapping_t,result->RemoteHost=,target->RemoteHost=DATA_IP\n" +
                 kRemoteHostFailed + "CheckTolvaPortMapping_t,result->Enable=2,target->Enable=0\n" + kFailed +
                 "CheckTolvaPortMapping_t,result->LeaseDuration=3600,target->LeaseDuration=-1\n"
                 "CheckTolvaPortMapping_t,result->ExternalPort=8080,target->ExternalPort=65536\n"
                 "CheckTolvaPortMapping_t,result->InternalPort=80,target->InternalPort=0\n");
    // Each of the three alone.
    PortMapPair a, b, c;
    put(a.t.InternalClient, "DATA_MAC");
    put(b.r.RemoteHost, "remote");
    c.t.Enable = 7;  // table 1..5 has no 0
    EXPECT_EQ(0, CheckTolvaPortMapping_t(&a.r, &a.t));
    EXPECT_EQ(0, CheckTolvaPortMapping_t(&b.r, &b.t));
    EXPECT_EQ(0, CheckTolvaPortMapping_t(&c.r, &c.t));
}

// ---- USB device ------------------------------------------------------------

TEST(ServiceUsb, DeviceInfoPrintsDeviceLinesThenFileSystemLinesSizesInFull) {
    TolvaUSBDeviceInfo_t r = zeroed<TolvaUSBDeviceInfo_t>(), t = zeroed<TolvaUSBDeviceInfo_t>();
    put(r.USBDevice.DeviceName, "SanDisk Ultra");
    r.USBDevice.DeviceType = 65535;  // 16-bit, widened without sign
    t.USBDevice.DeviceType = 40000;
    r.USBDevice.DeviceId = -1;
    t.USBDevice.DeviceId = INT32_MAX;
    put(r.USBFSInfo.Label, "BACKUP");
    put(t.USBFSInfo.Label, "x");
    put(r.USBFSInfo.MountPoint, "/mnt/usb1");
    r.USBFSInfo.TotalSize = INT64_C(4294967296);
    t.USBFSInfo.TotalSize = -1;
    r.USBFSInfo.UsedSize = INT64_MAX;
    t.USBFSInfo.UsedSize = INT64_MIN;
    r.USBFSInfo.FreeSize = INT64_C(-5000000000);
    t.USBFSInfo.FreeSize = INT64_C(1099511627776);
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaUSBDeviceInfo_t(&r, &t));
    EXPECT_EQ(8u, out.count());
    const std::string whole = out.text();
    expect_output(out,
                  "CheckTolva_USBDevice_t,result->DeviceName=SanDisk Ultra,target->DeviceName=\n"
                  "CheckTolva_USBDevice_t,result->DeviceType=65535,target->DeviceType=40000\n"
                  "CheckTolva_USBDevice_t,result->DeviceId=-1,target->DeviceId=2147483647\n"
                  "CheckTolva_USBFSInfo_t,result->Label=BACKUP,target->Label=x\n"
                  "CheckTolva_USBFSInfo_t,result->MountPoint=/mnt/usb1,target->MountPoint=\n"
                  "CheckTolva_USBFSInfo_t,result->TotalSize=4294967296,target->TotalSize=-1\n"
                  "CheckTolva_USBFSInfo_t,result->UsedSize=9223372036854775807,target->UsedSize=-9223372036854775808\n"
                  "CheckTolva_USBFSInfo_t,result->FreeSize=-5000000000,target->FreeSize=1099511627776\n");
    // The sub-checkers on their own print the same lines and return 1.
    EXPECT_EQ(1, CheckTolva_USBDevice_t(&r.USBDevice, &t.USBDevice));
    EXPECT_EQ(1, CheckTolva_USBFSInfo_t(&r.USBFSInfo, &t.USBFSInfo));
    EXPECT_EQ(whole, out.take());
}

// ---- VPN statistics, DNS servers, DNS tunnel, object paths -----------------

TEST(ServiceVpnDns, VpnStatsNeedEqualLengthAndTextByteForByte) {
    StrArrayWithTail ra = str_array("l2tp-vpn"), ta = str_array("l2tp-vpn");
    TolvaVPNConnStats_t r = zeroed<TolvaVPNConnStats_t>(), t = zeroed<TolvaVPNConnStats_t>();
    r.arrayLen = t.arrayLen = 2;  // only the one referenced record is examined
    r.array = &ra.array;
    t.array = &ta.array;
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaVPNConnStats_t(&r, &t));
    expect_output(out,
                  "CheckTolvaVPNConnStats_t,result->arrayLen=2,target->arrayLen=2\n"
                  "CheckTolvaStrArray_t,result->str=l2tp-vpn,target->str=l2tp-vpn\n");
    r.arrayLen = 3;
    EXPECT_EQ(0, CheckTolvaVPNConnStats_t(&r, &t));
    expect_output(out,
                  "CheckTolvaVPNConnStats_t,result->arrayLen=3,target->arrayLen=2\n"
                  "CheckTolvaStrArray_t,result->str=l2tp-vpn,target->str=l2tp-vpn\n");
    r.arrayLen = 2;
    put(ra.array.str, "L2TP-VPN");
    EXPECT_EQ(0, CheckTolvaVPNConnStats_t(&r, &t));
    expect_output(out,
                  "CheckTolvaVPNConnStats_t,result->arrayLen=2,target->arrayLen=2\n"
                  "CheckTolvaStrArray_t,result->str=L2TP-VPN,target->str=l2tp-vpn\n");
}

TEST(ServiceVpnDns, DnsServersCompareBothTextsExactly) {
    TolvaDNSServerConfig_t r = zeroed<TolvaDNSServerConfig_t>(), t = zeroed<TolvaDNSServerConfig_t>();
    put(r.Server1, "8.8.8.8");
    put(t.Server1, "8.8.8.8");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaDNSServerConfig_t(&r, &t));  // two empty Server2 texts are equal
    expect_output(out,
                  "CheckTolvaDNSServerConfig_t,result->Server1=8.8.8.8,target->Server1=8.8.8.8\n"
                  "CheckTolvaDNSServerConfig_t,result->Server2=,target->Server2=\n");
    put(r.Server1, "8.8.4.4");
    put(r.Server2, "1.1.1.1");
    put(t.Server2, "1.1.1.1");
    EXPECT_EQ(0, CheckTolvaDNSServerConfig_t(&r, &t));
    expect_output(out,
                  "CheckTolvaDNSServerConfig_t,result->Server1=8.8.4.4,target->Server1=8.8.8.8\n"
                  "CheckTolvaDNSServerConfig_t,result->Server2=1.1.1.1,target->Server2=1.1.1.1\n");
}

TEST(ServiceVpnDns, DnsTunnelPrintsTheDomainLineFirstDomainNumNeverCounts) {
    StrArrayWithTail rd = str_array("example.com"), td = str_array("example.com");
    TolvaDNSTunnel_t r = zeroed<TolvaDNSTunnel_t>(), t = zeroed<TolvaDNSTunnel_t>();
    put(r.ServerIP, "192.0.2.53");
    put(t.ServerIP, "192.0.2.53");
    r.DomainNum = 7;
    t.DomainNum = -3;
    r.Domain = &rd.array;
    t.Domain = &td.array;
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaDNSTunnel_t(&r, &t));
    expect_output(out,
                  "CheckTolvaStrArray_t,result->str=example.com,target->str=example.com\n"
                  "CheckTolvaDNSTunnel_t,result->ServerIP=192.0.2.53,target->ServerIP=192.0.2.53\n"
                  "CheckTolvaDNSTunnel_t,result->DomainNum=7,target->DomainNum=-3\n");
    put(rd.array.str, "Example.com");
    put(r.ServerIP, "192.0.2.54");
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&r, &t));
    expect_output(out,
                  "CheckTolvaStrArray_t,result->str=Example.com,target->str=example.com\n"
                  "CheckTolvaDNSTunnel_t,result->ServerIP=192.0.2.54,target->ServerIP=192.0.2.53\n"
                  "CheckTolvaDNSTunnel_t,result->DomainNum=7,target->DomainNum=-3\n");
    put(r.ServerIP, "192.0.2.53");  // the domain alone
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&r, &t));
    put(rd.array.str, "example.com");
    put(r.ServerIP, "192.0.2.5");  // the server alone
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&r, &t));
}

TEST(ServiceVpnDns, ObjectPathsMustBeIdentical) {
    TolvaObjPath_t r = zeroed<TolvaObjPath_t>(), t = zeroed<TolvaObjPath_t>();
    put(r.str, "/com/tolva/capi/DHCPServer");
    put(t.str, "/com/tolva/capi/DHCPServer");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaObjPath_t(&r, &t));
    expect_output(out,
                  "CheckTolvaObjPath_t,result->str=/com/tolva/capi/DHCPServer,"
                  "target->str=/com/tolva/capi/DHCPServer\n");
    put(r.str, "/com/tolva/capi/DHCPServer/");
    EXPECT_EQ(0, CheckTolvaObjPath_t(&r, &t));
    expect_output(out,
                  "CheckTolvaObjPath_t,result->str=/com/tolva/capi/DHCPServer/,"
                  "target->str=/com/tolva/capi/DHCPServer\n");
    put(r.str, "/com/tolva/capi/dhcpserver");
    EXPECT_EQ(0, CheckTolvaObjPath_t(&r, &t));
    expect_output(out,
                  "CheckTolvaObjPath_t,result->str=/com/tolva/capi/dhcpserver,"
                  "target->str=/com/tolva/capi/DHCPServer\n");
    TolvaStrArray_t a = zeroed<TolvaStrArray_t>(), b = zeroed<TolvaStrArray_t>();
    EXPECT_EQ(1, CheckTolvaStrArray_t(&a, &b));  // empty equals empty
    put(b.str, "x");
    EXPECT_EQ(0, CheckTolvaStrArray_t(&a, &b));
    expect_output(out,
                  "CheckTolvaStrArray_t,result->str=,target->str=\n"
                  "CheckTolvaStrArray_t,result->str=,target->str=x\n");
}

// ---- File entries ----------------------------------------------------------

TEST(ServiceFileEntry, ThreeEntriesBackToBackPrintFifteenLinesInEntryOrder) {
    Tolva_FileEntry_t e[3];
    std::memset(e, 0, sizeof e);
    put(e[0].FileName, "a.txt");
    put(e[0].PhysicalFolderName, "/mnt/usb1/docs");
    e[0].FileSize = 1234;
    put(e[0].ModifiedTime, "2024-01-02 03:04:05");
    put(e[1].FileName, "photos");
    put(e[1].PhysicalFolderName, "/mnt/usb1");
    e[1].IsFolder = 1;
    e[1].FileSize = -1;
    put(e[2].FileName, "big.iso");
    e[2].FileSize = INT32_MAX;
    put(e[2].ModifiedTime, "1999-12-31 23:59:59");
    const std::string first =
        "CheckTolva_FileEntry_t,pEntry->FileName=a.txt,NULL=(null)\n"
        "CheckTolva_FileEntry_t,pEntry->ModifiedTime=2024-01-02 03:04:05,NULL=(null)\n"
        "CheckTolva_FileEntry_t,pEntry->PhysicalFolderName=/mnt/usb1/docs,NULL=(null)\n"
        "CheckTolva_FileEntry_t,pEntry->IsFolder=0,NULL=0\n"
        "CheckTolva_FileEntry_t,pEntry->FileSize=1234,NULL=0\n"
        "CheckTolva_FileEntry_t,pEntry->FileName=photos,NULL=(null)\n"
        "CheckTolva_FileEntry_t,pEntry->ModifiedTime=,NULL=(null)\n"
        "CheckTolva_FileEntry_t,pEntry->PhysicalFolderName=/mnt/usb1,NULL=(null)\n"
        "CheckTolva_FileEntry_t,pEntry->IsFolder=1,NULL=0\n"
        "CheckTolva_FileEntry_t,pEntry->FileSize=-1,NULL=0\n";
    PrintCapture out;
    EXPECT_EQ(1, CheckTolva_FileEntry_t(e, 3));
    EXPECT_EQ(15u, out.count());
    expect_output(out, first +
                           "CheckTolva_FileEntry_t,pEntry->FileName=big.iso,NULL=(null)\n"
                           "CheckTolva_FileEntry_t,pEntry->ModifiedTime=1999-12-31 23:59:59,NULL=(null)\n"
                           "CheckTolva_FileEntry_t,pEntry->PhysicalFolderName=,NULL=(null)\n"
                           "CheckTolva_FileEntry_t,pEntry->IsFolder=0,NULL=0\n"
                           "CheckTolva_FileEntry_t,pEntry->FileSize=2147483647,NULL=0\n");
    EXPECT_EQ(1, CheckTolva_FileEntry_t(e, 2));  // exactly count entries
    expect_output(out, first);
}

TEST(ServiceFileEntry, NoCountOrNoEntryPrintsNothingAndReturnsOne) {
    Tolva_FileEntry_t e = zeroed<Tolva_FileEntry_t>();
    put(e.FileName, "a.txt");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolva_FileEntry_t(&e, 0));
    EXPECT_EQ(1, CheckTolva_FileEntry_t(&e, -1));
    EXPECT_EQ(1, CheckTolva_FileEntry_t(&e, INT_MIN));
    EXPECT_EQ(1, CheckTolva_FileEntry_t(nullptr, 3));
    EXPECT_EQ("", out.text());
}

// ---- FTP and Samba servers, HTTP server, dynamic DNS ------------------------

// Runs a server checker on Enable and AllowAnonymous values and selectors;
// the padding after the 8-bit Enable holds other bytes.
template <class T>
int server(int (*check)(const T *, const T *), unsigned enable, unsigned enable_sel, int anon, int anon_sel) {
    T r, t;
    std::memset(&r, 0xEE, sizeof r);
    std::memset(&t, 0xEE, sizeof t);
    r.Enable = static_cast<uint8_t>(enable);
    t.Enable = static_cast<uint8_t>(enable_sel);
    r.AllowAnonymous = anon;
    t.AllowAnonymous = anon_sel;
    return check(&r, &t);
}

// The FTP and Samba servers share their steps; only the checker's name differs.
TEST(ServiceServers, FtpAndSambaEnableCountFourAndEightBitValues) {
    const std::string expected =
        std::string("CheckTolva_FTPServerConfig_t,result->Enable=3,target->Enable=2\n") + kPass +
        "CheckTolva_FTPServerConfig_t,result->AllowAnonymous=1,target->AllowAnonymous=0\n" + kPass +
        "CheckTolva_FTPServerConfig_t,result->Enable=4,target->Enable=3\n" + kFailed +
        "CheckTolva_FTPServerConfig_t,result->AllowAnonymous=2,target->AllowAnonymous=1\n" + kFailed +
        "CheckTolva_FTPServerConfig_t,result->Enable=200,target->Enable=200\n" + kFailed +
        "CheckTolva_FTPServerConfig_t,result->AllowAnonymous=0,target->AllowAnonymous=0\n" + kPass +
        "CheckTolva_FTPServerConfig_t,result->Enable=0,target->Enable=0\n" + kPass +
        "CheckTolva_FTPServerConfig_t,result->AllowAnonymous=-1,target->AllowAnonymous=0\n" + kFailed;
    PrintCapture out;
    EXPECT_EQ(1, server(CheckTolva_FTPServerConfig_t, 3, 2, 1, 0));  // count 4 admits 0..3 of table 2
    EXPECT_EQ(0, server(CheckTolva_FTPServerConfig_t, 4, 3, 2, 1));  // ... and not 4 of table 3
    EXPECT_EQ(0, server(CheckTolva_FTPServerConfig_t, 200, 200, 0, 0));
    EXPECT_EQ(0, server(CheckTolva_FTPServerConfig_t, 0, 0, -1, 0));  // AllowAnonymous alone
    expect_output(out, expected);
    EXPECT_EQ(1, server(CheckTolva_SambaServerConfig_t, 3, 2, 1, 0));
    EXPECT_EQ(0, server(CheckTolva_SambaServerConfig_t, 4, 3, 2, 1));
    EXPECT_EQ(0, server(CheckTolva_SambaServerConfig_t, 200, 200, 0, 0));
    EXPECT_EQ(0, server(CheckTolva_SambaServerConfig_t, 0, 0, -1, 0));
    std::string samba = expected;
    for (std::size_t at; (at = samba.find("_FTPServer")) != std::string::npos;) samba.replace(at, 4, "_Samba");
    expect_output(out, samba);
}

TEST(ServiceServers, HttpServerVerdictIsTheEnableDomainAlone) {
    Tolva_HttpServerConfig_t r = zeroed<Tolva_HttpServerConfig_t>(), t = zeroed<Tolva_HttpServerConfig_t>();
    r.Enable = 1;
    put(r.AdminPassword, "admin");
    put(t.AdminPassword, "zzz");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolva_HttpServerConfig_t(&r, &t));
    expect_output(out,
                  std::string("CheckTolva_HttpServerConfig_t,result->AdminPassword=admin,target->AdminPassword=zzz\n"
                              "CheckTolva_HttpServerConfig_t,result->Enable=1,target->Enable=0\n") +
                      kPass);
    r.Enable = 2;
    EXPECT_EQ(0, CheckTolva_HttpServerConfig_t(&r, &t));
    r.Enable = 200;
    EXPECT_EQ(0, CheckTolva_HttpServerConfig_t(&r, &t));
    expect_output(out,
                  std::string("CheckTolva_HttpServerConfig_t,result->AdminPassword=admin,target->AdminPassword=zzz\n"
                              "CheckTolva_HttpServerConfig_t,result->Enable=2,target->Enable=0\n") +
                      kFailed +
                      "CheckTolva_HttpServerConfig_t,result->AdminPassword=admin,target->AdminPassword=zzz\n"
                      "CheckTolva_HttpServerConfig_t,result->Enable=200,target->Enable=0\n" +
                      kFailed);
}

TEST(ServiceServers, DynamicDnsVerdictIsTheEnabledDomainAlone) {
    TolvaDDNServer_t r = zeroed<TolvaDDNServer_t>(), t = zeroed<TolvaDDNServer_t>();
    r.DDNSCfgEnabled = 1;
    put(r.DDNSProvider, "dyndns");
    put(t.DDNSProvider, "other");
    put(r.DDNSUsername, "user");
    put(r.DDNSPassword, "pw");
    put(t.DDNSPassword, "PW");
    r.ServicePort = 443;
    t.ServicePort = -443;
    put(r.DDNSDomainName, "example.net");
    put(r.DDNSHostName, "home");
    put(t.DDNSHostName, "away");
    const std::string rest =
        "CheckTolvaDDNServer_t,result->DDNSProvider=dyndns,target->DDNSProvider=other\n"
        "CheckTolvaDDNServer_t,result->DDNSUsername=user,target->DDNSUsername=\n"
        "CheckTolvaDDNServer_t,result->DDNSPassword=pw,target->DDNSPassword=PW\n"
        "CheckTolvaDDNServer_t,result->ServicePort=443,target->ServicePort=-443\n"
        "CheckTolvaDDNServer_t,result->DDNSDomainName=example.net,target->DDNSDomainName=\n"
        "CheckTolvaDDNServer_t,result->DDNSHostName=home,target->DDNSHostName=away\n";
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaDDNServer_t(&r, &t));
    expect_output(
        out, std::string("CheckTolvaDDNServer_t,result->DDNSCfgEnabled=1,target->DDNSCfgEnabled=0\n") + kPass + rest);
    r.DDNSCfgEnabled = 2;
    EXPECT_EQ(0, CheckTolvaDDNServer_t(&r, &t));
    expect_output(
        out, std::string("CheckTolvaDDNServer_t,result->DDNSCfgEnabled=2,target->DDNSCfgEnabled=0\n") + kFailed + rest);
}

TEST(ServiceServers, PrintOnlyCheckersShowBothSidesAndReturnOne) {
    TolvaPPPoE_t pr = zeroed<TolvaPPPoE_t>(), pt = zeroed<TolvaPPPoE_t>();
    put(pr.PPPoEUserName, "user@isp");
    Tolva_FTPAccount_t fr = zeroed<Tolva_FTPAccount_t>(), ft = zeroed<Tolva_FTPAccount_t>();
    put(fr.UserName, "ftpuser");
    put(ft.UserName, "whatever");
    put(fr.Password, "s3cret");
    Tolva_SambaAccount_t sr = zeroed<Tolva_SambaAccount_t>(), st = zeroed<Tolva_SambaAccount_t>();
    put(sr.UserName, "smb");
    put(st.Password, "target pw");
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaPPPoE_t(&pr, &pt));
    EXPECT_EQ(1, CheckTolva_FTPAccount_t(&fr, &ft));
    EXPECT_EQ(1, CheckTolva_SambaAccount_t(&sr, &st));
    expect_output(out,
                  "CheckTolvaPPPoE_t,result->PPPoEUserName=user@isp,target->PPPoEUserName=\n"
                  "CheckTolva_FTPAccount_t,result->Password=s3cret,target->Password=\n"
                  "CheckTolva_FTPAccount_t,result->UserName=ftpuser,target->UserName=whatever\n"
                  "CheckTolva_SambaAccount_t,result->Password=,target->Password=target pw\n"
                  "CheckTolva_SambaAccount_t,result->UserName=smb,target->UserName=\n");
}

// ---- Null pointers: never followed, shown as (null), validations fail ------

TEST(ServiceNullPointers, NullArrayOrDomainOnEitherSideFailsTheTextCheck) {
    StrArrayWithTail a = str_array("vpn0");
    TolvaVPNConnStats_t r = zeroed<TolvaVPNConnStats_t>(), t = zeroed<TolvaVPNConnStats_t>();
    r.arrayLen = t.arrayLen = 1;
    t.array = &a.array;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaVPNConnStats_t(&r, &t));
    std::swap(r.array, t.array);
    EXPECT_EQ(0, CheckTolvaVPNConnStats_t(&r, &t));
    r.array = nullptr;
    EXPECT_EQ(0, CheckTolvaVPNConnStats_t(&r, &t));
    const std::string len = "CheckTolvaVPNConnStats_t,result->arrayLen=1,target->arrayLen=1\n";
    expect_output(out, len + "CheckTolvaStrArray_t,result->str=(null),target->str=vpn0\n" + len +
                           "CheckTolvaStrArray_t,result->str=vpn0,target->str=(null)\n" + len +
                           "CheckTolvaStrArray_t,result->str=(null),target->str=(null)\n");

    TolvaDNSTunnel_t dr = zeroed<TolvaDNSTunnel_t>(), dt = zeroed<TolvaDNSTunnel_t>();
    dr.Domain = &a.array;
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&dr, &dt));
    std::swap(dr.Domain, dt.Domain);
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&dr, &dt));
    const std::string tail =
        "CheckTolvaDNSTunnel_t,result->ServerIP=,target->ServerIP=\n"
        "CheckTolvaDNSTunnel_t,result->DomainNum=0,target->DomainNum=0\n";
    expect_output(out, "CheckTolvaStrArray_t,result->str=vpn0,target->str=(null)\n" + tail +
                           "CheckTolvaStrArray_t,result->str=(null),target->str=vpn0\n" + tail);
}

TEST(ServiceNullPointers, NullRecordsShowNullOnTheirSideAndFailEveryValidation) {
    DhcpPair p;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(nullptr, &p.t));
    expect_output(
        out, std::string("CheckTolvaDHCPServer_t,result->Enable=(null),target->Enable=0\n") + kFailed +
                 "CheckTolvaDHCPServer_t,result->MaxAddress=(null),target->MaxAddress=DATA_IP\n" + kMaxAddressFailed +
                 "CheckTolvaDHCPServer_t,result->MinAddress=(null),target->MinAddress=DATA_IP\n" + kMinAddressFailed +
                 "CheckTolvaDHCPServer_t,result->IPAddr=(null),target->IPAddr=DATA_IP\n" + kIPAddrFailed +
                 "CheckTolvaDHCPServer_t,result->SubnetMask=(null),target->SubnetMask=DATA_IP\n" + kSubnetMaskFailed +
                 "CheckTolvaDHCPServer_t,result->LeaseTime=(null),target->LeaseTime=-7\n");

    StrArrayWithTail d = str_array("example.com");
    TolvaDNSTunnel_t dr = zeroed<TolvaDNSTunnel_t>();
    put(dr.ServerIP, "192.0.2.53");
    dr.DomainNum = 2;
    dr.Domain = &d.array;
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&dr, nullptr));
    expect_output(out,
                  "CheckTolvaStrArray_t,result->str=example.com,target->str=(null)\n"
                  "CheckTolvaDNSTunnel_t,result->ServerIP=192.0.2.53,target->ServerIP=(null)\n"
                  "CheckTolvaDNSTunnel_t,result->DomainNum=2,target->DomainNum=(null)\n");

    TolvaVPNConnStats_t vt = zeroed<TolvaVPNConnStats_t>();
    vt.arrayLen = 1;
    vt.array = &d.array;
    EXPECT_EQ(0, CheckTolvaVPNConnStats_t(nullptr, &vt));
    expect_output(out,
                  "CheckTolvaVPNConnStats_t,result->arrayLen=(null),target->arrayLen=1\n"
                  "CheckTolvaStrArray_t,result->str=(null),target->str=example.com\n");

    EXPECT_EQ(0, CheckTolvaDNSServerConfig_t(nullptr, nullptr));  // equal checks fail on null
    EXPECT_EQ(0, CheckTolvaObjPath_t(nullptr, nullptr));
    TolvaObjPath_t path = zeroed<TolvaObjPath_t>();
    EXPECT_EQ(0, CheckTolvaObjPath_t(&path, nullptr));  // even against the empty text
    expect_output(out,
                  "CheckTolvaDNSServerConfig_t,result->Server1=(null),target->Server1=(null)\n"
                  "CheckTolvaDNSServerConfig_t,result->Server2=(null),target->Server2=(null)\n"
                  "CheckTolvaObjPath_t,result->str=(null),target->str=(null)\n"
                  "CheckTolvaObjPath_t,result->str=,target->str=(null)\n");

    Tolva_FTPServerConfig_t fr = zeroed<Tolva_FTPServerConfig_t>();
    fr.Enable = 3;
    EXPECT_EQ(0, CheckTolva_FTPServerConfig_t(&fr, nullptr));
    Tolva_HttpServerConfig_t ht = zeroed<Tolva_HttpServerConfig_t>();
    EXPECT_EQ(0, CheckTolva_HttpServerConfig_t(nullptr, &ht));
    expect_output(out, std::string("CheckTolva_FTPServerConfig_t,result->Enable=3,target->Enable=(null)\n") + kFailed +
                           "CheckTolva_FTPServerConfig_t,result->AllowAnonymous=0,target->AllowAnonymous=(null)\n" +
                           kFailed +
                           "CheckTolva_HttpServerConfig_t,result->AdminPassword=(null),target->AdminPassword=\n"
                           "CheckTolva_HttpServerConfig_t,result->Enable=(null),target->Enable=0\n" +
                           kFailed);
}

TEST(ServiceNullPointers, PrintersThatValidateNothingStillReturnOne) {
    TolvaUSBDeviceInfo_t r = zeroed<TolvaUSBDeviceInfo_t>();
    r.USBDevice.DeviceType = 2;
    r.USBFSInfo.TotalSize = INT64_C(8589934592);
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaUSBDeviceInfo_t(&r, nullptr));
    expect_output(out,
                  "CheckTolva_USBDevice_t,result->DeviceName=,target->DeviceName=(null)\n"
                  "CheckTolva_USBDevice_t,result->DeviceType=2,target->DeviceType=(null)\n"
                  "CheckTolva_USBDevice_t,result->DeviceId=0,target->DeviceId=(null)\n"
                  "CheckTolva_USBFSInfo_t,result->Label=,target->Label=(null)\n"
                  "CheckTolva_USBFSInfo_t,result->MountPoint=,target->MountPoint=(null)\n"
                  "CheckTolva_USBFSInfo_t,result->TotalSize=8589934592,target->TotalSize=(null)\n"
                  "CheckTolva_USBFSInfo_t,result->UsedSize=0,target->UsedSize=(null)\n"
                  "CheckTolva_USBFSInfo_t,result->FreeSize=0,target->FreeSize=(null)\n");
    EXPECT_EQ(1, CheckTolvaPPPoE_t(nullptr, nullptr));
    EXPECT_EQ(1, CheckTolva_SambaAccount_t(nullptr, nullptr));
    expect_output(out,
                  "CheckTolvaPPPoE_t,result->PPPoEUserName=(null),target->PPPoEUserName=(null)\n"
                  "CheckTolva_SambaAccount_t,result->Password=(null),target->Password=(null)\n"
                  "CheckTolva_SambaAccount_t,result->UserName=(null),target->UserName=(null)\n");
}

// ---- Unterminated texts: shown within the width, validations fail ---------

TEST(ServiceUnterminated, ValidatedTextsFailAndPrintExactlyTheirWidth) {
    DhcpPair p;
    fill_unterminated(p.r.MaxAddress, 'x');  // "192.168.1.1" follows in IPAddr
    fill_unterminated(p.r.MinAddress, '9');  // an address within the bytes is no rescue
    std::memcpy(p.r.MinAddress, "192.168.1.2", 11);
    fill_unterminated(p.t.SubnetMask, 'M');
    p.t.LeaseTime = 0x41414141;  // "AAAA" if the name were read past
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaDHCPServer_t(&p.r, &p.t));
    expect_output(out, std::string("CheckTolvaDHCPServer_t,result->Enable=1,target->Enable=0\n") + kPass +
                           "CheckTolvaDHCPServer_t,result->MaxAddress=" + run(24, 'x') +
                           ",target->MaxAddress=DATA_IP\n" + kMaxAddressFailed +
                           "CheckTolvaDHCPServer_t,result->MinAddress=192.168.1.2" + run(13, '9') +
                           ",target->MinAddress=DATA_IP\n" + kMinAddressFailed +
                           "CheckTolvaDHCPServer_t,result->IPAddr=192.168.1.1,target->IPAddr=DATA_IP\n"
                           "CheckTolvaDHCPServer_t,result->SubnetMask=255.255.255.0,target->SubnetMask=" +
                           run(24, 'M') + "\n" + kSubnetMaskFailed +
                           "CheckTolvaDHCPServer_t,result->LeaseTime=86400,target->LeaseTime=1094795585\n");

    // Equal texts: identical bytes on both sides, but neither is terminated.
    TolvaDNSServerConfig_t r = zeroed<TolvaDNSServerConfig_t>(), t = zeroed<TolvaDNSServerConfig_t>();
    fill_unterminated(r.Server1, 'a');
    fill_unterminated(t.Server1, 'a');
    put(r.Server2, "1.1.1.1");
    put(t.Server2, "1.1.1.1");
    EXPECT_EQ(0, CheckTolvaDNSServerConfig_t(&r, &t));
    expect_output(out, "CheckTolvaDNSServerConfig_t,result->Server1=" + run(24, 'a') +
                           ",target->Server1=" + run(24, 'a') +
                           "\nCheckTolvaDNSServerConfig_t,result->Server2=1.1.1.1,target->Server2=1.1.1.1\n");

    struct PathWithTail {
        TolvaObjPath_t path;
        char tail[8];
    } pr = zeroed<PathWithTail>(), pt = zeroed<PathWithTail>();
    fill_unterminated(pr.path.str, 'p');
    fill_unterminated(pt.path.str, 'p');
    EXPECT_EQ(0, CheckTolvaObjPath_t(&pr.path, &pt.path));
    expect_output(out, "CheckTolvaObjPath_t,result->str=" + run(256, 'p') + ",target->str=" + run(256, 'p') + "\n");

    StrArrayWithTail ra = str_array(""), ta = str_array("");
    fill_unterminated(ra.array.str, 'e');
    fill_unterminated(ta.array.str, 'e');
    TolvaDNSTunnel_t dr = zeroed<TolvaDNSTunnel_t>(), dt = zeroed<TolvaDNSTunnel_t>();
    dr.Domain = &ra.array;
    dt.Domain = &ta.array;
    EXPECT_EQ(0, CheckTolvaDNSTunnel_t(&dr, &dt));
    expect_output(out, "CheckTolvaStrArray_t,result->str=" + run(TOLVA_STRARRAY_STR_LEN, 'e') +
                           ",target->str=" + run(TOLVA_STRARRAY_STR_LEN, 'e') +
                           "\nCheckTolvaDNSTunnel_t,result->ServerIP=,target->ServerIP=\n"
                           "CheckTolvaDNSTunnel_t,result->DomainNum=0,target->DomainNum=0\n");
}

TEST(ServiceUnterminated, PrintedTextsShowExactlyTheirWidthAndCountForNothing) {
    PrintCapture out;
    Tolva_FileEntry_t e[2];
    std::memset(e, 0, sizeof e);
    fill_unterminated(e[0].FileName, 'F');  // PhysicalFolderName follows
    put(e[0].PhysicalFolderName, "/mnt/usb1");
    fill_unterminated(e[0].ModifiedTime, 'T');  // the next entry follows
    put(e[1].FileName, "next.txt");
    EXPECT_EQ(1, CheckTolva_FileEntry_t(e, 1));
    expect_output(out, "CheckTolva_FileEntry_t,pEntry->FileName=" + run(256, 'F') +
                           ",NULL=(null)\nCheckTolva_FileEntry_t,pEntry->ModifiedTime=" + run(24, 'T') +
                           ",NULL=(null)\n"
                           "CheckTolva_FileEntry_t,pEntry->PhysicalFolderName=/mnt/usb1,NULL=(null)\n"
                           "CheckTolva_FileEntry_t,pEntry->IsFolder=0,NULL=0\n"
                           "CheckTolva_FileEntry_t,pEntry->FileSize=0,NULL=0\n");

    struct HttpWithTail {
        Tolva_HttpServerConfig_t rec;
        char tail[8];
    } hr = zeroed<HttpWithTail>(), ht = zeroed<HttpWithTail>();
    std::memcpy(hr.tail, "TAILTAI", 8);
    hr.rec.Enable = 1;
    fill_unterminated(hr.rec.AdminPassword, 'H');
    EXPECT_EQ(1, CheckTolva_HttpServerConfig_t(&hr.rec, &ht.rec));
    Tolva_USBFSInfo_t fr = zeroed<Tolva_USBFSInfo_t>(), ft = zeroed<Tolva_USBFSInfo_t>();
    fill_unterminated(fr.MountPoint, 'M');
    fr.TotalSize = INT64_C(0x4242424242424242);  // "BBBBBBBB" if the text were read past
    EXPECT_EQ(1, CheckTolva_USBFSInfo_t(&fr, &ft));
    expect_output(out, "CheckTolva_HttpServerConfig_t,result->AdminPassword=" +
                           run(TOLVA_HTTP_ADMIN_PASSWORD_LEN, 'H') + ",target->AdminPassword=\n" +
                           "CheckTolva_HttpServerConfig_t,result->Enable=1,target->Enable=0\n" + kPass +
                           "CheckTolva_USBFSInfo_t,result->Label=,target->Label=\n"
                           "CheckTolva_USBFSInfo_t,result->MountPoint=" +
                           run(128, 'M') +
                           ",target->MountPoint=\n"
                           "CheckTolva_USBFSInfo_t,result->TotalSize=4774451407313060418,target->TotalSize=0\n"
                           "CheckTolva_USBFSInfo_t,result->UsedSize=0,target->UsedSize=0\n"
                           "CheckTolva_USBFSInfo_t,result->FreeSize=0,target->FreeSize=0\n");
}

}  // namespace
