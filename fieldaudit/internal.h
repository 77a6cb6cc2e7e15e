// Declarations shared by the source units of fieldaudit; not exported.
#ifndef FIELDAUDIT_INTERNAL_H
#define FIELDAUDIT_INTERNAL_H

#include <stddef.h>

namespace fieldaudit {

// The lines of the value-domain check and of the scalar primitives (printf
// formats), kept here for the kit's tools that read them back.
#define FIELDAUDIT_DOMAIN_PASS_LINE "pass!!!!!!!!!!!!!!!!\n"
#define FIELDAUDIT_DOMAIN_FAILED_LINE "failed!!!!!!!!!!!!!\n"
#define FIELDAUDIT_SCALAR_LINE(name) name ",ret=%d,tar=%d\n"
#define FIELDAUDIT_CHAR_LINE "Check_char,ret=%s,tar=%s\n"

// Shown in place of a value that a null pointer keeps from being read.
const char kNullMarker[] = "(null)";

// A control byte (below 0x20, or 0x7f) of a shown text prints as four
// characters: a backslash, "x" and two lower-case hexadecimal digits. Every
// other byte prints as it is.
const size_t kEscapedWidth = 4;

// Length of the bytes once escaped.
size_t escaped_length(const char *bytes, size_t length);

// Writes the escaped bytes to `out`, which holds escaped_length() bytes;
// returns how many were written. Adds no terminator.
size_t escape(const char *bytes, size_t length, char *out);

// A value-domain table: its entries and their number.
struct Domain {
    const int *entries;
    int length;
};

// Number of tables; selectors 0 to kDomainCount - 1 pick one.
const unsigned int kDomainCount = 9;

// X(table) for each exported value-domain table, in selector order.
#define FIELDAUDIT_DOMAIN_TABLES(X)                                                                   \
    X(data_int_one) X(data_int_two) X(data_int_three) X(data_int_four) X(data_int_five) X(data_int_six) \
    X(data_int_seven) X(data_int_eight) X(data_int_nine)

// The table a domain selector picks; other selectors pick none (null, 0).
Domain select_domain(unsigned int selector);

// X(variable) for each format's exported pattern variable, in format index
// order (the index DATA_FORMAT_MAP gives the format's name).
#define FIELDAUDIT_PATTERN_VARIABLES(X)                                                                \
    X(regMac) X(regString) X(regIp) X(regTime) X(regDevInfo) X(regPercentage) X(regPercentage2)       \
    X(regIpv6) X(regStr) X(regPONStatus) X(regPingStatus) X(regDialResult) X(regDay) X(regActive)      \
    X(regMACList) X(regResult) X(regBeaconType) X(regWEPEncryptionLevel) X(regBasicAuthenticationMode) \
    X(regWPAEncryptionModes) X(regConnectionStatus) X(regPlan) X(regAppName) X(regProtocolList) X(regType)

// The line a failed value-domain check prints, for checks that fail before
// the domain can be consulted (a value that cannot be read).
void print_domain_failed();

}  // namespace fieldaudit

#endif
