// The public headers compiled as C++. Each export is declared again here
// with C linkage: had a header declared it with C++ linkage (a missing
// extern "C" guard), the two declarations would conflict and this file
// would not compile.
#include "fieldaudit.h"
#include "modeflag.h"
#include "result_sheet.h"

extern "C" {
int Check_bool(int ret, int tar);
int Check_int(int ret, int tar);
int Check_return_result(int ret, int tar);
int Check_char(const char *ret, const char *tar);
int Check_data_int(int value, unsigned int selector, int count);
int Check_data_format(const char *value, const char *format_name);
int find_data_format_index(const char *name);
extern int data_int_one[2];
extern int data_int_nine[3];
extern const DataFormatMap_t DATA_FORMAT_MAP[30];
extern const char *regMac;
extern const char *regType;
int CheckTolvaDeviceInfo_t(const TolvaDeviceInfo_t *result, const TolvaDeviceInfo_t *target);
int CheckTolvaWPS_t(const TolvaWPS_t *result, const TolvaWPS_t *target);
int CheckTolvaPONInfo_t(const TolvaPONInfo_t *result, const TolvaPONInfo_t *target);
int CheckTolvaUSBDeviceInfo_t(const TolvaUSBDeviceInfo_t *result, const TolvaUSBDeviceInfo_t *target);
int CheckTolva_FileEntry_t(const Tolva_FileEntry_t *entries, int count);
int CheckTolva_HttpServerConfig_t(const Tolva_HttpServerConfig_t *result, const Tolva_HttpServerConfig_t *target);
int Get_mode(const char *text);
int result_sheet_append(const char *path, const char *name, int verdict);
}
