/*
 * A gateway team's test program in miniature: plain C, compiled and linked
 * with the C compiler against libfieldaudit.a (and libmodeflag.a) and GLib
 * alone. It proves that the exports have C linkage, that the C compiler sees
 * the records exactly as the library does, and that the printed lines reach
 * a C program's print handler byte for byte.
 */
#include <stdio.h>
#include <string.h>

#include <glib.h>

#include "fieldaudit.h"
#include "modeflag.h"

#define PASS_LINE "pass!!!!!!!!!!!!!!!!\n"
#define FAILED_LINE "failed!!!!!!!!!!!!!\n"

static int passed;
static int failed;

/* Everything g_print hands to the print handler since the last expect_output(). */
static char captured[8192];
static size_t captured_len;
static int captured_overflow;
static int partial_calls; /* g_print calls that were not exactly one whole line */

static void capture(const gchar *text)
{
    size_t n = strlen(text);
    if (n == 0 || strchr(text, '\n') != text + n - 1)
        ++partial_calls;
    if (captured_len + n >= sizeof captured) {
        captured_overflow = 1;
        return;
    }
    memcpy(captured + captured_len, text, n);
    captured_len += n;
    captured[captured_len] = '\0';
}

static void expect_int(const char *what, int expected, int actual)
{
    if (expected == actual) {
        ++passed;
        return;
    }
    ++failed;
    printf("MISMATCH %s: expected %d, actual %d\n", what, expected, actual);
}

/* Compares the whole captured output with expected, then starts afresh. */
static void expect_output(const char *what, const char *expected)
{
    if (!captured_overflow && partial_calls == 0 && strcmp(captured, expected) == 0) {
        ++passed;
    } else {
        ++failed;
        printf("MISMATCH %s output%s%s\n--- expected\n%s--- actual\n%s---\n", what,
               captured_overflow ? " (capture overflow)" : "",
               partial_calls ? " (a g_print call was not one whole line)" : "", expected,
               captured);
    }
    captured_len = 0;
    captured[0] = '\0';
    captured_overflow = 0;
    partial_calls = 0;
}

static void check_primitives(void)
{
    expect_int("Check_int(1, 1)", 1, Check_int(1, 1));
    expect_output("Check_int(1, 1)", "Check_int,ret=1,tar=1\n");
    expect_int("Check_int(-5, 7)", 0, Check_int(-5, 7));
    expect_output("Check_int(-5, 7)", "Check_int,ret=-5,tar=7\n");

    expect_int("Check_data_int(1, 0, 2)", 1, Check_data_int(1, 0, 2));
    expect_output("Check_data_int(1, 0, 2)", PASS_LINE);
    expect_int("Check_data_int(100, 5, 6)", 0, Check_data_int(100, 5, 6));
    expect_output("Check_data_int(100, 5, 6)", FAILED_LINE);
    expect_int("Check_data_int(100, 5, 7)", 1, Check_data_int(100, 5, 7));
    expect_output("Check_data_int(100, 5, 7)", PASS_LINE);

    /* Exported tables, read from C. */
    expect_int("data_int_six[6]", 100, data_int_six[6]);
    expect_int("data_int_seven[0]", 1, data_int_seven[0]);
}

static void check_formats(void)
{
    expect_int("Check_data_format MAC without separators", 1,
               Check_data_format("001122AABBCC", "DATA_MAC"));
    expect_int("Check_data_format MAC with colons", 0,
               Check_data_format("00:11:22:AA:BB:CC", "DATA_MAC"));
    expect_int("Check_data_format unknown name", 0, Check_data_format("001122AABBCC", "data_mac"));
    expect_output("Check_data_format", "");

    expect_int("find_data_format_index DATA_MAC", 0, find_data_format_index("DATA_MAC"));
    expect_int("find_data_format_index DATA_Type", 24, find_data_format_index("DATA_Type"));
    expect_int("find_data_format_index data_mac", -1, find_data_format_index("data_mac"));
    expect_output("find_data_format_index", "");

    expect_int("DATA_FORMAT_MAP[0] name", 0, strcmp(DATA_FORMAT_MAP[0].name, "DATA_MAC"));
    expect_int("DATA_FORMAT_MAP[24] index", 24, (int)DATA_FORMAT_MAP[24].index);

    /* A pattern variable written from C changes the next check. */
    {
        const char *saved = regMac;
        regMac = "^AB$";
        expect_int("Check_data_format with regMac replaced", 1, Check_data_format("AB", "DATA_MAC"));
        regMac = saved;
        expect_int("Check_data_format with regMac restored", 0, Check_data_format("AB", "DATA_MAC"));
    }
}

static void check_device_info(void)
{
    TolvaDeviceInfo_t result;
    TolvaDeviceInfo_t target;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);
    memset(result.reserved, 0xff, sizeof result.reserved);

    result.BusinessStatus = 1;
    strcpy(result.MAC, "001122AABBCC");
    strcpy(result.SWVersion, "V1.2.3");
    strcpy(result.HDVersion, "HW-A");
    strcpy(result.ITMSProtocolVersion, "2.0");
    strcpy(result.ProductClass, "GW100");
    strcpy(result.CPUClass, "ARMv7");
    strcpy(result.DevType, "ONT");
    strcpy(result.DevType1, "HGU");
    /* 50 characters and the NUL fill the 51 bytes; FlashSize follows directly. */
    strcpy(result.Capability, "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN");
    result.FlashSize = 131072;
    result.RamSize = 262144;
    strcpy(result.DevName, "gateway");
    result.CPUUsage = 200;
    result.MEMUsage = 45;
    result.FlashUsage = 7;
    result.SysDuration = 86400;

    target.BusinessStatus = 0;
    strcpy(target.MAC, "DATA_MAC");
    strcpy(target.SWVersion, "any");
    target.FlashSize = -1;
    target.CPUUsage = 255;

    expect_int("CheckTolvaDeviceInfo_t verdict", 1, CheckTolvaDeviceInfo_t(&result, &target));
    expect_output("CheckTolvaDeviceInfo_t",
                  "CheckTolvaDeviceInfo_t,result->BusinessStatus=1,target->BusinessStatus=0\n"
                  PASS_LINE
                  "CheckTolvaDeviceInfo_t,result->MAC=001122AABBCC,target->MAC=DATA_MAC\n"
                  "CheckTolvaDeviceInfo_t,result->ITMSProtocolVersion=2.0,target->ITMSProtocolVersion=\n"
                  "CheckTolvaDeviceInfo_t,result->CPUUsage=200,target->CPUUsage=255\n"
                  "CheckTolvaDeviceInfo_t,result->MEMUsage=45,target->MEMUsage=0\n"
                  "CheckTolvaDeviceInfo_t,result->FlashUsage=7,target->FlashUsage=0\n"
                  "CheckTolvaDeviceInfo_t,result->Capability="
                  "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN,target->Capability=\n"
                  "CheckTolvaDeviceInfo_t,result->CPUClass=ARMv7,target->CPUClass=\n"
                  "CheckTolvaDeviceInfo_t,result->DevName=gateway,target->DevName=\n"
                  "CheckTolvaDeviceInfo_t,result->DevType=ONT,target->DevType=\n"
                  "CheckTolvaDeviceInfo_t,result->DevType1=HGU,target->DevType1=\n"
                  "CheckTolvaDeviceInfo_t,result->HDVersion=HW-A,target->HDVersion=\n"
                  "CheckTolvaDeviceInfo_t,result->ProductClass=GW100,target->ProductClass=\n"
                  "CheckTolvaDeviceInfo_t,result->SWVersion=V1.2.3,target->SWVersion=any\n"
                  "CheckTolvaDeviceInfo_t,result->FlashSize=131072,target->FlashSize=-1\n"
                  "CheckTolvaDeviceInfo_t,result->RamSize=262144,target->RamSize=0\n"
                  "CheckTolvaDeviceInfo_t,result->SysDuration=86400,target->SysDuration=0\n");

    strcpy(result.MAC, "00:11:22:AA:BB:CC");
    expect_int("CheckTolvaDeviceInfo_t verdict with a separated MAC", 0,
               CheckTolvaDeviceInfo_t(&result, &target));
    /* Only the start of that output is of interest here. */
    {
        const char *start = "CheckTolvaDeviceInfo_t,result->BusinessStatus=1,target->BusinessStatus=0\n"
                            PASS_LINE
                            "CheckTolvaDeviceInfo_t,result->MAC=00:11:22:AA:BB:CC,target->MAC=DATA_MAC\n"
                            "MAC failed!!!!!!!!!\n"
                            "CheckTolvaDeviceInfo_t,result->ITMSProtocolVersion=2.0,";
        expect_int("CheckTolvaDeviceInfo_t MAC failure line", 0,
                   strncmp(captured, start, strlen(start)));
        captured_len = 0;
        captured[0] = '\0';
        partial_calls = 0;
    }
}

/* A record with a pointer member and an 8-bit member before a reserved gap. */
static void check_wps(void)
{
    TolvaWPSDevInfo_t result_dev;
    TolvaWPSDevInfo_t target_dev;
    TolvaWPS_t result;
    TolvaWPS_t target;
    memset(&result_dev, 0, sizeof result_dev);
    memset(&target_dev, 0, sizeof target_dev);
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);
    memset(result.reserved, 0xff, sizeof result.reserved);

    result.Enable = 1;
    result.WPSStatus = 3;
    result.DevInfo = &result_dev;
    target.Enable = 0;
    target.WPSStatus = 2;
    target.DevInfo = &target_dev;
    strcpy(target_dev.Info, "DATA_DEVINFO");

    expect_int("CheckTolvaWPS_t verdict with empty Info", 0, CheckTolvaWPS_t(&result, &target));
    expect_output("CheckTolvaWPS_t with empty Info",
                  "CheckTolvaWPS_t,result->WPSStatus=3,target->WPSStatus=2\n"
                  PASS_LINE
                  "CheckTolvaWPSDevInfo_t,result->Info=,target->Info=DATA_DEVINFO\n"
                  "Info failed!!!!!\n"
                  "CheckTolvaWPS_t,result->Enable=1,target->Enable=0\n"
                  PASS_LINE);

    strcpy(result_dev.Info, "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC");
    expect_int("CheckTolvaWPS_t verdict", 1, CheckTolvaWPS_t(&result, &target));
    expect_output("CheckTolvaWPS_t",
                  "CheckTolvaWPS_t,result->WPSStatus=3,target->WPSStatus=2\n"
                  PASS_LINE
                  "CheckTolvaWPSDevInfo_t,result->Info=IP:192.168.1.2;MAC:00:11:22:AA:BB:CC,"
                  "target->Info=DATA_DEVINFO\n"
                  "CheckTolvaWPS_t,result->Enable=1,target->Enable=0\n"
                  PASS_LINE);
}

/* Doubles on 8-byte boundaries after the texts, and a failed format check. */
static void check_pon(void)
{
    TolvaPONInfo_t result;
    TolvaPONInfo_t target;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);

    strcpy(result.LOID, "LOID01");
    strcpy(result.Password, "pw");
    result.Temperature = 45.5;
    result.Voltage = 3.3;
    result.Current = 12.25;
    result.TXPower = 2.5;
    result.RXPower = -21.25;
    result.SupportPONStatusQuery = 1;
    target.SupportPONStatusQuery = 0;
    strcpy(target.PONStatus, "DATA_PONSTATUS");

    expect_int("CheckTolvaPONInfo_t verdict with empty PONStatus", 0,
               CheckTolvaPONInfo_t(&result, &target));
    expect_output("CheckTolvaPONInfo_t",
                  "CheckTolvaPONInfo_t,result->LOID=LOID01,target->LOID=\n"
                  "CheckTolvaPONInfo_t,result->Password=pw,target->Password=\n"
                  "CheckTolvaPONInfo_t,result->PONStatus=,target->PONStatus=DATA_PONSTATUS\n"
                  "PONStatus failed!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
                  "CheckTolvaPONInfo_t,result->Temperature=45.500000,target->Temperature=0.000000\n"
                  "CheckTolvaPONInfo_t,result->Voltage=3.300000,target->Voltage=0.000000\n"
                  "CheckTolvaPONInfo_t,result->Current=12.250000,target->Current=0.000000\n"
                  "CheckTolvaPONInfo_t,result->TXPower=2.500000,target->TXPower=0.000000\n"
                  "CheckTolvaPONInfo_t,result->RXPower=-21.250000,target->RXPower=0.000000\n"
                  "CheckTolvaPONInfo_t,result->SupportPONStatusQuery=1,"
                  "target->SupportPONStatusQuery=0\n"
                  PASS_LINE);
}

/* Nested records: a 16-bit member, then 64-bit counters on an 8-byte boundary. */
static void check_usb(void)
{
    TolvaUSBDeviceInfo_t result;
    TolvaUSBDeviceInfo_t target;
    memset(&result, 0, sizeof result);
    memset(&target, 0, sizeof target);

    result.USBDevice.DeviceType = 65535;
    result.USBDevice.DeviceId = 7;
    strcpy(result.USBDevice.DeviceName, "usb-disk");
    strcpy(result.USBFSInfo.MountPoint, "/mnt/usb1");
    result.USBFSInfo.TotalSize = 8589934592LL;
    result.USBFSInfo.UsedSize = 4294967296LL;
    result.USBFSInfo.FreeSize = -1;
    strcpy(result.USBFSInfo.Label, "DATA");
    strcpy(target.USBFSInfo.Label, "x");

    expect_int("CheckTolvaUSBDeviceInfo_t verdict", 1, CheckTolvaUSBDeviceInfo_t(&result, &target));
    expect_output("CheckTolvaUSBDeviceInfo_t",
                  "CheckTolva_USBDevice_t,result->DeviceName=usb-disk,target->DeviceName=\n"
                  "CheckTolva_USBDevice_t,result->DeviceType=65535,target->DeviceType=0\n"
                  "CheckTolva_USBDevice_t,result->DeviceId=7,target->DeviceId=0\n"
                  "CheckTolva_USBFSInfo_t,result->Label=DATA,target->Label=x\n"
                  "CheckTolva_USBFSInfo_t,result->MountPoint=/mnt/usb1,target->MountPoint=\n"
                  "CheckTolva_USBFSInfo_t,result->TotalSize=8589934592,target->TotalSize=0\n"
                  "CheckTolva_USBFSInfo_t,result->UsedSize=4294967296,target->UsedSize=0\n"
                  "CheckTolva_USBFSInfo_t,result->FreeSize=-1,target->FreeSize=0\n");
}

/* The walk steps by the library's record size: it must equal the C program's. */
static void check_file_entries(void)
{
    Tolva_FileEntry_t entries[2];
    memset(entries, 0, sizeof entries);
    strcpy(entries[0].FileName, "a.txt");
    strcpy(entries[0].PhysicalFolderName, "/mnt/usb1");
    entries[0].IsFolder = 0;
    entries[0].FileSize = 12;
    strcpy(entries[0].ModifiedTime, "2024-01-02 03:04");
    strcpy(entries[1].FileName, "docs");
    strcpy(entries[1].PhysicalFolderName, "/mnt/usb1/docs");
    entries[1].IsFolder = 1;
    entries[1].FileSize = 4096;
    strcpy(entries[1].ModifiedTime, "2024-05-06 07:08");

    expect_int("CheckTolva_FileEntry_t verdict", 1, CheckTolva_FileEntry_t(entries, 2));
    expect_output("CheckTolva_FileEntry_t",
                  "CheckTolva_FileEntry_t,pEntry->FileName=a.txt,NULL=(null)\n"
                  "CheckTolva_FileEntry_t,pEntry->ModifiedTime=2024-01-02 03:04,NULL=(null)\n"
                  "CheckTolva_FileEntry_t,pEntry->PhysicalFolderName=/mnt/usb1,NULL=(null)\n"
                  "CheckTolva_FileEntry_t,pEntry->IsFolder=0,NULL=0\n"
                  "CheckTolva_FileEntry_t,pEntry->FileSize=12,NULL=0\n"
                  "CheckTolva_FileEntry_t,pEntry->FileName=docs,NULL=(null)\n"
                  "CheckTolva_FileEntry_t,pEntry->ModifiedTime=2024-05-06 07:08,NULL=(null)\n"
                  "CheckTolva_FileEntry_t,pEntry->PhysicalFolderName=/mnt/usb1/docs,NULL=(null)\n"
                  "CheckTolva_FileEntry_t,pEntry->IsFolder=1,NULL=0\n"
                  "CheckTolva_FileEntry_t,pEntry->FileSize=4096,NULL=0\n");
}

static void check_mode(void)
{
#ifdef TOLVA_HAVE_MODEFLAG
    expect_int("Get_mode(\"-M -S -E\")", 3, Get_mode("-M -S -E"));
    expect_int("Get_mode(\"x-Sy\")", 2, Get_mode("x-Sy"));
    expect_int("Get_mode(\"--Mode\")", 1, Get_mode("--Mode"));
    expect_int("Get_mode(NULL)", 0, Get_mode(NULL));
#endif
}

int main(void)
{
    GPrintFunc previous = g_set_print_handler(capture);

    check_primitives();
    check_formats();
    check_device_info();
    check_wps();
    check_pon();
    check_usb();
    check_file_entries();
    check_mode();

    g_set_print_handler(previous);
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
