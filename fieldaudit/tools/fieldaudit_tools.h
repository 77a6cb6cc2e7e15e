// fieldaudit for the kit's own tools: capi-report, the document generator,
// the measuring programs and the fuzzers include this header and no other of
// fieldaudit's. It declares
// - the vocabulary of the step lists (labels, gates) and the describing
//   front: every checker's steps as data;
// - the treatments: what lines a kind of step prints and how it is judged,
//   the one rule the auditing front applies and the tools read back;
// - the line grammar: the fixed lines, the scalar primitives' line formats,
//   the null marker, escaping and its inverse, and reading a printed number
//   back;
// - the value domains and the list of data formats.
// The functions of the C library (escape, the domains, the format list) are
// in libfieldaudit; the rest is in the tools library, fieldaudit_describe.
#ifndef FIELDAUDIT_TOOLS_H
#define FIELDAUDIT_TOOLS_H

#include <stddef.h>
#include <stdint.h>

#include "fieldaudit.h"

namespace fieldaudit {

// ---- Vocabulary of the step lists ------------------------------------------

// How the lines of a checker name their two sides.
struct Labels {
    const char *result;  // before the field name of the result's value
    const char *target;  // before the target's value
    bool target_named;   // whether the field name follows the target label
};
// Result and target records.
const Labels kRecordLabels = {"result->", "target->", true};
// The file-entry walk: entries and no target.
const Labels kEntryLabels = {"pEntry->", "NULL", false};

// A connection gate of a format check: the status field it is named after,
// and whether it is open. The auditing front opens it while the result's
// status text is exactly kGateOpenStatus; the describing front keeps the
// field's name. A check without a gate takes kUngated.
struct Gate {
    const char *field;
    bool open;
};
const Gate kUngated = {nullptr, true};
const char kGateOpenStatus[] = "Connected";

// ---- Steps: the checkers as data -------------------------------------------

struct Checker;

// One step: a field line and its treatment, or a sub-checker's call.
struct Step {
    enum Kind {
        kShow,         // printed only
        kDomain,       // value-domain check: a pass or failed line follows
        kFormat,       // format check, silent unless it fails
        kEqualText,    // exact text comparison
        kEqualNumber,  // exact number comparison
        kSub,          // a sub-checker's call: its own lines
    };
    // How the member is held and shown.
    enum Member {
        kText,          // char[width], shown as text
        kUnsigned8,     // uint8_t, shown as int
        kUnsigned16,    // uint16_t, shown as int
        kInt32,         // int32_t, "%d"
        kInt64,         // int64_t, "%lld"
        kDouble,        // double, "%f"
        kStringRecord,  // pointer to a string record: its text str[width]
        kRecord,        // kSub: a record nested in this one
        kRecordPointer, // kSub: a record reached through a pointer member
    };

    Kind kind;
    const char *field;     // as the field line names it; null for kSub
    Member member;
    size_t offset;         // of the member in its record
    size_t width;          // kText, kStringRecord: bytes of the text member
    int count;             // kDomain: leading entries of the table admitted
    const char *failure;   // line printed when the check fails, or null
    const char *gate;      // kFormat: status field that must read kGateOpenStatus
                           // for the check to run, or null when it always runs
    const Checker *sub;    // kSub: the sub-checker
};

// Most steps any checker has.
const size_t kMaxSteps = 32;

// A checker: its name, its record and how to read its steps.
struct Checker {
    const char *name;    // as its lines and its declaration name it
    const char *record;  // the record type it takes
    Labels labels;       // how its lines name the two sides
    bool has_target;     // false for the file-entry walk
    size_t size;         // of the record
    // Runs the checker on two records of its type (the walk: on one entry,
    // without the target) and returns its verdict.
    int (*check)(const void *result, const void *target);
    // Writes at most `capacity` steps, in output order, and returns how many
    // the checker has.
    size_t (*describe)(Step *steps, size_t capacity);
};

// Every checker: the record checkers in the order of the public header, then
// the file-entry walk.
extern const Checker kCheckers[];
extern const size_t kCheckerCount;

// The checker of that name, or null.
const Checker *find_checker(const char *name);

// A step's member type as a C declaration reads it ("char[24]", "uint8_t",
// "TolvaStrArray_t *"); `space` holds at least 48 bytes.
const char *member_type(const Step &step, char *space, size_t size);

// ---- Treatments -------------------------------------------------------------
//
// Every step but a sub-checker's prints its field line first. A domain step
// then prints the domain check's pass or failed line. A step that fails
// prints its failure line, if it has one, last. Only a failed step clears the
// verdict; a sub-checker's verdict folds into its caller's.

struct Treatment {
    const char *name;          // as the reference documents name it
    const char *target_holds;  // what a target puts in the field ("a format name in "), or null
    bool outcome_line;         // the domain check's pass or failed line follows the field line
    bool judged;               // the step can fail
};

// The rule of a kind of step (kSub: its lines are the sub-checker's).
const Treatment &treatment(Step::Kind kind);

// Most lines one step prints (a sub-checker's step: all of its checker's).
size_t most_lines(const Step &step);
// Most lines one call of the checker prints.
size_t most_lines(const Checker &checker);

// One side's value as a validation sees it: null (a null pointer kept it
// from being read), and for a text whether a NUL lies within its member.
struct Side {
    bool null;
    bool terminated;  // always true for a number
};

// What keeps two values from being validated at all; the result's trouble
// is named before the target's, a null before an unterminated text.
enum Trouble { kNoTrouble, kResultNull, kTargetNull, kResultUnterminated, kTargetUnterminated };
Trouble trouble(Side result, Side target);

// ---- Line grammar -------------------------------------------------------------

// The domain check's lines.
#define FIELDAUDIT_DOMAIN_PASS_LINE "pass!!!!!!!!!!!!!!!!\n"
#define FIELDAUDIT_DOMAIN_FAILED_LINE "failed!!!!!!!!!!!!!\n"

// The scalar primitives' lines: "<name>,ret=<ret>,tar=<tar>", numbers in
// "%d", Check_char's texts shown as the checkers show texts.
#define FIELDAUDIT_SCALAR_RET ",ret="
#define FIELDAUDIT_SCALAR_TAR ",tar="
#define FIELDAUDIT_SCALAR_LINE(name) name FIELDAUDIT_SCALAR_RET "%d" FIELDAUDIT_SCALAR_TAR "%d\n"
#define FIELDAUDIT_CHAR_NAME "Check_char"
#define FIELDAUDIT_CHAR_LINE FIELDAUDIT_CHAR_NAME FIELDAUDIT_SCALAR_RET "%s" FIELDAUDIT_SCALAR_TAR "%s\n"
// X(name) for each primitive that compares two numbers and prints them.
#define FIELDAUDIT_SCALAR_PRIMITIVES(X) X(Check_bool) X(Check_int) X(Check_return_result)

// A scalar primitive's line read back: it begins with `prefix`, and `middle`
// stands between the two values.
struct ScalarLine {
    const char *name;
    const char *prefix;
    const char *middle;
    bool text;  // the values are texts (Check_char), else "%d" numbers
};
// The number primitives in the order of their list, then Check_char.
extern const ScalarLine kScalarLines[];
extern const size_t kScalarLineCount;

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

// Reading shown text back. An escape, as read back, is "\x" and two
// lower-case hexadecimal digits naming a byte from 0x01 to 0x1f or from 0x7f
// up (GLib's own print handler shows bytes from 0x80 up so on a console that
// is not UTF-8); a NUL never stands in a shown text.

// The byte of the escape at `i` of the shown bytes, or -1 when none begins there.
int escaped_at(const char *shown, size_t length, size_t i);

// Bytes of the shown text once its escapes are undone.
size_t unescaped_length(const char *shown, size_t length);

// Writes the shown text's bytes, escapes undone, to `out`, which holds
// unescaped_length() bytes (never more than `length`); returns how many were
// written. Adds no terminator.
size_t unescape(const char *shown, size_t length, char *out);

// A whole decimal number as "%d" or "%lld" prints it, within low..high;
// stores it in `value` unless that is null.
bool parse_integer(const char *bytes, size_t length, long long low, long long high, long long *value);

// A double as "%f" prints it.
bool parse_real(const char *bytes, size_t length);

// Whether a checker of the kit can show these bytes as the value of the
// step's member: the null marker, a number in the member's conversion, or a
// text no longer than the member once its escapes are undone.
bool possible_value(const Step &step, const char *shown, size_t length);

// ---- Value domains --------------------------------------------------------------

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

// How many leading entries of the table a count admits: the count, within
// 0 and the table's length.
int domain_admitted(Domain domain, int count);

// Whether the value is one of the entries the count admits; never reads past
// the table.
bool domain_admits(Domain domain, int count, int value);

// ---- Data formats -----------------------------------------------------------------

// X(name, pattern variable, pattern) for each named format, in index order:
// the one list behind the pattern variables, DATA_FORMAT_MAP and kFormats.
// Patterns are GLib (PCRE) regular expressions.
#define FIELDAUDIT_FORMATS(X)                                                                                          \
    X("DATA_MAC", regMac, "^([0-9a-fA-F]{2})(([0-9a-fA-F]{2}){5})$")                                                  \
    X("DATA_STRING", regString,                                                                                        \
      "(REGISTER_DEFAULT)?(REGISTER_REGISTED)?(REGISTER_TIMEOUT)?(REGISTER_NOMATCH_NOLIMITED)?(REGISTER_NOMATCH_"      \
      "LIMITED)?(REGISTER_NOACCOUNT_NOLIMITED)?(REGISTER_NOACCOUNT_LIMITED)?(REGISTER_NOUSER_NOLIMITED)?(REGISTER_"    \
      "NOUSER_LIMITED,REGISTER_OLT)?(REGISTER_OLT_FAIL)?(REGISTER_OK_DOWN_BUSINESS)?(REGISTER_OK)?(REGISTER_OK_NOW_"   \
      "REBOOT)?(REGISTER_GETSTAT)?(REGISTER_POK)?")                                                                    \
    X("DATA_IP", regIp, "[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}")                                          \
    X("DATA_TIME", regTime, "\\d+:\\d+")                                                                              \
    X("DATA_DEVINFO", regDevInfo, "IP:[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3};MAC:[A-F0-9]{2}(:[A-F0-9]{2}){5},?") \
    X("DATA_PERCENTAGE", regPercentage, "[2-4]{1}0%")                                                                 \
    X("DATA_PERCENTAGE2", regPercentage2, "[5-9]{1}[0-9]{1}%")                                                        \
    /* Full, compressed and IPv4-embedded forms, an optional zone suffix, */                                          \
    /* surrounding white space allowed; one alternative per piece. */                                                 \
    X("DATA_IPV6", regIpv6,                                                                                            \
      "\\s*((([0-9A-Fa-f]{1,4}:){7}(([0-9A-Fa-f]{1,4})|:))"                                                            \
      "|(([0-9A-Fa-f]{1,4}:){6}(:|((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})|(:[0-9A-Fa-f]{1,4})))" \
      "|(([0-9A-Fa-f]{1,4}:){5}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))" \
      "|(([0-9A-Fa-f]{1,4}:){4}(:[0-9A-Fa-f]{1,4}){0,1}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))" \
      "|(([0-9A-Fa-f]{1,4}:){3}(:[0-9A-Fa-f]{1,4}){0,2}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))" \
      "|(([0-9A-Fa-f]{1,4}:){2}(:[0-9A-Fa-f]{1,4}){0,3}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))" \
      "|(([0-9A-Fa-f]{1,4}:)(:[0-9A-Fa-f]{1,4}){0,4}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))" \
      "|(:(:[0-9A-Fa-f]{1,4}){0,5}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))" \
      "|(((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})))(%.+)?\\s*")                   \
    X("STR", regStr, "[0-1]{1}")                                                                                      \
    X("DATA_PONSTATUS", regPONStatus, "(PON_STATUS_NO_REG_NO_AUTH)?(PON_STATUS_REG_NO_AUTH)?(PON_STATUS_REG_AUTH)?")   \
    X("DATA_PINGSTATUS", regPingStatus, "(Request)?(Unreach)?(Complete)?")                                             \
    X("DATA_DIALRESULT", regDialResult,                                                                                \
      "(NO_IPTV_CONNECTION)?(IPTV_DISCONNECT)?(INVALID_MULTIVLAN)?(IPTV_BUSSINESS_NOK)?(IPTV_BUSSINESS_OK)?")          \
    X("DATA_DAY", regDay, "[0-7]{1}")                                                                                 \
    X("DATA_ACTIVE", regActive, "(ON)?(OFF)?")                                                                        \
    X("DATA_MACLIST", regMACList, "MAC:[A-F0-9]{2}(:[A-F0-9]{2}){5},?")                                              \
    X("DATA_RESULT", regResult,                                                                                        \
      "(INFORM_OK)?(INFORM_IAD_RUNNING)?(INFORM_NO_WAN)?(INFORM_INVALID_WAN)?(INFORM_NO_DNS_INFORM)?(INFORM_NO_ACS_"   \
      "CONFIGURATION)?(INFORM_ACSDNS_RESOLVE_FAILURE)?(INFORM_NO_RESPONSE)?(INFORM_REPORT_INTERRUPT)?(INFORM_CFE_NO_"   \
      "REPORT)?")                                                                                                      \
    X("DATA_BeaTyp", regBeaconType, "(None)?(Basic)?(WPA)?(WPA2)?(WPA/ WPA2)?(11i)?")                                  \
    X("DATA_WEPEnLevel", regWEPEncryptionLevel, "(40-bit)?(104-bit)?")                                                \
    X("DATA_BasicAuthMode", regBasicAuthenticationMode, "(OpenSystem)?(SharedKey)?(Both)?")                            \
    X("DATA_WPAEnModes", regWPAEncryptionModes, "(TKIPEncryption)?(AESEncryption)?(TKIPandAESEncryption)?")            \
    X("DATA_Status", regConnectionStatus,                                                                              \
      "(Unconfigured)?(Connecting)?(Authenticating)?(Connected)?(PendingDisconnect)?(Disconnecting)?(Disconnected)?")  \
    X("DATA_PLAN", regPlan, "(weight)?(priority)?")                                                                   \
    X("DATA_AppName", regAppName, "(VOIP)?(TR069)?")                                                                  \
    X("DATA_ProList", regProtocolList, "(TCP)?,?(UDP)?,?(ICMP)?,?(RTP)?")                                             \
    X("DATA_Type", regType, "(SMAC)?(8021P)?(SIP)?(DIP)?(SPORT)?(DPORT)?(TOS)?(DSCP)?(WANInterface)?(LANInterface)?(TC)?(FL)?")

#define FIELDAUDIT_FORMAT_INDEX(name, variable, pattern) kFormatIndexOf_##variable,
// Each format's index (as DATA_FORMAT_MAP gives it), and their number.
enum FormatIndex : unsigned int { FIELDAUDIT_FORMATS(FIELDAUDIT_FORMAT_INDEX) kFormatCount };
#undef FIELDAUDIT_FORMAT_INDEX

// A named format as the tools read it.
struct Format {
    const char *name;      // as DATA_FORMAT_MAP names it
    const char *variable;  // the pattern variable's name
    const char **pattern;  // the pattern variable, read at every check
};
// By format index.
extern const Format kFormats[kFormatCount];

}  // namespace fieldaudit

#endif
