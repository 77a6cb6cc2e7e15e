// Whole outputs of the PON, voice, LAN host and download-test checkers.
#include <gtest/gtest.h>

#include "capture.h"
#include "fieldaudit.h"
#include "records.h"

namespace {

TEST(PONOutput, EmptyStatusFailsAndDoublesPrintSixDecimals) {
    auto r = zeroed<TolvaPONInfo_t>();
    auto t = zeroed<TolvaPONInfo_t>();
    put(r.LOID, "loid1");
    r.Temperature = 45.5;
    r.RXPower = -21.25;
    r.SupportPONStatusQuery = 2;
    put(t.PONStatus, "DATA_PONSTATUS");
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaPONInfo_t(&r, &t));
    EXPECT_EQ("CheckTolvaPONInfo_t,result->LOID=loid1,target->LOID=\n"
              "CheckTolvaPONInfo_t,result->Password=,target->Password=\n"
              "CheckTolvaPONInfo_t,result->PONStatus=,target->PONStatus=DATA_PONSTATUS\n"
              "PONStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
              "CheckTolvaPONInfo_t,result->Temperature=45.500000,target->Temperature=0.000000\n"
              "CheckTolvaPONInfo_t,result->Voltage=0.000000,target->Voltage=0.000000\n"
              "CheckTolvaPONInfo_t,result->Current=0.000000,target->Current=0.000000\n"
              "CheckTolvaPONInfo_t,result->TXPower=0.000000,target->TXPower=0.000000\n"
              "CheckTolvaPONInfo_t,result->RXPower=-21.250000,target->RXPower=0.000000\n"
              "CheckTolvaPONInfo_t,result->SupportPONStatusQuery=2,target->SupportPONStatusQuery=0\n"
              "failed!!!!!!!!!!!!!\n",
              out.text());
    put(r.PONStatus, "anything");  // every part of that format is optional
    r.SupportPONStatusQuery = 1;
    EXPECT_EQ(1, CheckTolvaPONInfo_t(&r, &t));
}

TEST(VoIPOutput, PrintsFourLinesAndAlwaysPasses) {
    auto r = zeroed<TolvaVoIPInfo_t>();
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaVoIPInfo_t(&r, &r));
    EXPECT_EQ("CheckTolvaVoIPInfo_t,result->Line1Status=,target->Line1Status=\n"
              "CheckTolvaVoIPInfo_t,result->Line2Status=,target->Line2Status=\n"
              "CheckTolvaVoIPInfo_t,result->VoIPName1=,target->VoIPName1=\n"
              "CheckTolvaVoIPInfo_t,result->VoIPName2=,target->VoIPName2=\n",
              out.text());
}

TEST(LANHostOutput, EveryStepRunsAndEightBitValuesWidenWithoutSign) {
    auto r = zeroed<TolvaLANHost_t>();
    auto t = zeroed<TolvaLANHost_t>();
    r.ConnectionType = 200;
    r.Port = 4;
    t.Port = 3;  // 0 .. 4, count 5
    r.InternetAccess = 3;
    t.InternetAccess = 2;  // 0 .. 3, but count 3
    put(r.IP, "192.168.1");
    put(t.IP, "DATA_IP");
    put(r.MAC, "00:11:22:33:44:55");
    r.RxBytes = 5000000000LL;
    r.TxBytes = -7;
    PrintCapture out;
    EXPECT_EQ(0, CheckTolvaLANHost_t(&r, &t));
    EXPECT_EQ("CheckTolvaLANHost_t,result->ConnectionType=200,target->ConnectionType=0\n"
              "failed!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->Port=4,target->Port=3\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->Brand=,target->Brand=\n"
              "CheckTolvaLANHost_t,result->Model=,target->Model=\n"
              "CheckTolvaLANHost_t,result->LatestActiveTime=,target->LatestActiveTime=\n"
              "CheckTolvaLANHost_t,result->LatestInactiveTime=,target->LatestInactiveTime=\n"
              "CheckTolvaLANHost_t,result->DevName=,target->DevName=\n"
              "CheckTolvaLANHost_t,result->DevType=,target->DevType=\n"
              "CheckTolvaLANHost_t,result->IP=192.168.1,target->IP=DATA_IP\n"
              "IP failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->MAC=00:11:22:33:44:55,target->MAC=\n"
              "CheckTolvaLANHost_t,result->OS=,target->OS=\n"
              "CheckTolvaLANHost_t,result->InternetAccess=3,target->InternetAccess=2\n"
              "failed!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->StorageAccess=0,target->StorageAccess=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->ControlStatus=0,target->ControlStatus=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->Active=0,target->Active=0\n"
              "pass!!!!!!!!!!!!!!!!\n"
              "CheckTolvaLANHost_t,result->MaxUSBandwidth=0,target->MaxUSBandwidth=0\n"
              "CheckTolvaLANHost_t,result->MaxDSBandwidth=0,target->MaxDSBandwidth=0\n"
              "CheckTolvaLANHost_t,result->OnlineTime=0,target->OnlineTime=0\n"
              "CheckTolvaLANHost_t,result->RxBytes=5000000000,target->RxBytes=0\n"
              "CheckTolvaLANHost_t,result->TxBytes=-7,target->TxBytes=0\n",
              out.text());
    EXPECT_TRUE(out.whole_lines());
    r.ConnectionType = 1;
    r.InternetAccess = 2;
    put(r.IP, "192.168.1.20");
    EXPECT_EQ(1, CheckTolvaLANHost_t(&r, &t));
}

TEST(LANHostMgrOutput, VerdictIsTheEnableStatsCheckAlone) {
    auto r = zeroed<TolvaLANHostMgr_t>();
    auto t = zeroed<TolvaLANHostMgr_t>();
    r.LANHostNumber = 9;
    r.LANHostMaxNumber = 3;
    EXPECT_EQ(1, CheckTolvaLANHostMgr_t(&r, &t));
    r.EnableStats = 2;
    EXPECT_EQ(0, CheckTolvaLANHostMgr_t(&r, &t));
}

TEST(HttpDownloadOutput, EmptyTextsPassWhenStatusIsAdmitted) {
    auto r = zeroed<TolvaHttpDownloadTestResult_t>();
    auto t = zeroed<TolvaHttpDownloadTestResult_t>();
    r.Status = 1;
    PrintCapture out;
    EXPECT_EQ(1, CheckTolvaHttpDownloadTestResult_t(&r, &t));
    EXPECT_EQ("CheckTolvaHttpDownloadTestResult_t,result->Result=,target->Result=\n"
              "CheckTolvaHttpDownloadTestResult_t,result->URL=,target->URL=\n"
              "CheckTolvaHttpDownloadTestResult_t,result->Status=1,target->Status=0\n"
              "pass!!!!!!!!!!!!!!!!\n",
              out.text());
}

}  // namespace
