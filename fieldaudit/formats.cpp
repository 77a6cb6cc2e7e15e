// Named data formats: the format-name table, the 25 pattern variables and
// the pattern search behind Check_data_format: unanchored, or, built with
// FIELDAUDIT_WHOLE_VALUE (the fieldaudit_strict library), a match of the
// whole value.
#include "fieldaudit.h"
#include "internal.h"

#include <glib.h>
#include <string.h>

#include <atomic>

extern "C" {

// Pattern texts as GLib (PCRE) regular expressions. They are variables so that
// a test program can point one at another pattern; every check reads them anew.
const char *regMac = "^([0-9a-fA-F]{2})(([0-9a-fA-F]{2}){5})$";
const char *regString = "(REGISTER_DEFAULT)?(REGISTER_REGISTED)?(REGISTER_TIMEOUT)?(REGISTER_NOMATCH_NOLIMITED)?(REGISTER_NOMATCH_LIMITED)?(REGISTER_NOACCOUNT_NOLIMITED)?(REGISTER_NOACCOUNT_LIMITED)?(REGISTER_NOUSER_NOLIMITED)?(REGISTER_NOUSER_LIMITED,REGISTER_OLT)?(REGISTER_OLT_FAIL)?(REGISTER_OK_DOWN_BUSINESS)?(REGISTER_OK)?(REGISTER_OK_NOW_REBOOT)?(REGISTER_GETSTAT)?(REGISTER_POK)?";
const char *regIp = "[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}";
const char *regTime = "\\d+:\\d+";
const char *regDevInfo = "IP:[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3};MAC:[A-F0-9]{2}(:[A-F0-9]{2}){5},?";
const char *regPercentage = "[2-4]{1}0%";
const char *regPercentage2 = "[5-9]{1}[0-9]{1}%";
// Full, compressed and IPv4-embedded forms, an optional zone suffix,
// surrounding white space allowed; one alternative per piece.
const char *regIpv6 =
    "\\s*((([0-9A-Fa-f]{1,4}:){7}(([0-9A-Fa-f]{1,4})|:))"
    "|(([0-9A-Fa-f]{1,4}:){6}(:|((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})|(:[0-9A-Fa-f]{1,4})))"
    "|(([0-9A-Fa-f]{1,4}:){5}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))"
    "|(([0-9A-Fa-f]{1,4}:){4}(:[0-9A-Fa-f]{1,4}){0,1}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))"
    "|(([0-9A-Fa-f]{1,4}:){3}(:[0-9A-Fa-f]{1,4}){0,2}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))"
    "|(([0-9A-Fa-f]{1,4}:){2}(:[0-9A-Fa-f]{1,4}){0,3}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))"
    "|(([0-9A-Fa-f]{1,4}:)(:[0-9A-Fa-f]{1,4}){0,4}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))"
    "|(:(:[0-9A-Fa-f]{1,4}){0,5}((:((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})?)|((:[0-9A-Fa-f]{1,4}){1,2})))"
    "|(((25[0-5]|2[0-4]\\d|[01]?\\d{1,2})(\\.(25[0-5]|2[0-4]\\d|[01]?\\d{1,2})){3})))(%.+)?\\s*";
const char *regStr = "[0-1]{1}";
const char *regPONStatus = "(PON_STATUS_NO_REG_NO_AUTH)?(PON_STATUS_REG_NO_AUTH)?(PON_STATUS_REG_AUTH)?";
const char *regPingStatus = "(Request)?(Unreach)?(Complete)?";
const char *regDialResult = "(NO_IPTV_CONNECTION)?(IPTV_DISCONNECT)?(INVALID_MULTIVLAN)?(IPTV_BUSSINESS_NOK)?(IPTV_BUSSINESS_OK)?";
const char *regDay = "[0-7]{1}";
const char *regActive = "(ON)?(OFF)?";
const char *regMACList = "MAC:[A-F0-9]{2}(:[A-F0-9]{2}){5},?";
const char *regResult = "(INFORM_OK)?(INFORM_IAD_RUNNING)?(INFORM_NO_WAN)?(INFORM_INVALID_WAN)?(INFORM_NO_DNS_INFORM)?(INFORM_NO_ACS_CONFIGURATION)?(INFORM_ACSDNS_RESOLVE_FAILURE)?(INFORM_NO_RESPONSE)?(INFORM_REPORT_INTERRUPT)?(INFORM_CFE_NO_REPORT)?";
const char *regBeaconType = "(None)?(Basic)?(WPA)?(WPA2)?(WPA/ WPA2)?(11i)?";
const char *regWEPEncryptionLevel = "(40-bit)?(104-bit)?";
const char *regBasicAuthenticationMode = "(OpenSystem)?(SharedKey)?(Both)?";
const char *regWPAEncryptionModes = "(TKIPEncryption)?(AESEncryption)?(TKIPandAESEncryption)?";
const char *regConnectionStatus = "(Unconfigured)?(Connecting)?(Authenticating)?(Connected)?(PendingDisconnect)?(Disconnecting)?(Disconnected)?";
const char *regPlan = "(weight)?(priority)?";
const char *regAppName = "(VOIP)?(TR069)?";
const char *regProtocolList = "(TCP)?,?(UDP)?,?(ICMP)?,?(RTP)?";
const char *regType = "(SMAC)?(8021P)?(SIP)?(DIP)?(SPORT)?(DPORT)?(TOS)?(DSCP)?(WANInterface)?(LANInterface)?(TC)?(FL)?";

const DataFormatMap_t DATA_FORMAT_MAP[30] = {
    {"DATA_MAC", 0},
    {"DATA_STRING", 1},
    {"DATA_IP", 2},
    {"DATA_TIME", 3},
    {"DATA_DEVINFO", 4},
    {"DATA_PERCENTAGE", 5},
    {"DATA_PERCENTAGE2", 6},
    {"DATA_IPV6", 7},
    {"STR", 8},
    {"DATA_PONSTATUS", 9},
    {"DATA_PINGSTATUS", 10},
    {"DATA_DIALRESULT", 11},
    {"DATA_DAY", 12},
    {"DATA_ACTIVE", 13},
    {"DATA_MACLIST", 14},
    {"DATA_RESULT", 15},
    {"DATA_BeaTyp", 16},
    {"DATA_WEPEnLevel", 17},
    {"DATA_BasicAuthMode", 18},
    {"DATA_WPAEnModes", 19},
    {"DATA_Status", 20},
    {"DATA_PLAN", 21},
    {"DATA_AppName", 22},
    {"DATA_ProList", 23},
    {"DATA_Type", 24},
    // Five empty slots: no name, never matched.
    {nullptr, 0},
    {nullptr, 0},
    {nullptr, 0},
    {nullptr, 0},
    {nullptr, 0},
};

}  // extern "C"

namespace {

// Pattern variable of each format, by format index.
#define FIELDAUDIT_PATTERN_ADDRESS(variable) &variable,
const char *const *const kPatterns[] = {FIELDAUDIT_PATTERN_VARIABLES(FIELDAUDIT_PATTERN_ADDRESS)};
const unsigned int kFormatCount = sizeof kPatterns / sizeof kPatterns[0];
static_assert(kFormatCount == 25, "one pattern variable per named slot of DATA_FORMAT_MAP");

// Compiled patterns kept for the life of the process
//
// Compiling a pattern costs far more than matching it (the IPv6 pattern over
// ten times more), and test programs check the same formats thousands of
// times. So each format keeps the pattern compiled at its first check, and
// later checks only match. This table is the one piece of mutable static
// state in the library, allowed for this cache alone; everything else stays
// free of it.
//
// - Every check still reads the pattern variable and compares its text with
//   the kept pattern's text (GLib keeps a copy of the text it compiled), so a
//   test program may point the variable elsewhere or rewrite the text it
//   points at, and the check follows.
// - A slot is written once: empty to its first compiled pattern, published
//   with a compare-and-swap (release) and read with an acquire load. Nothing
//   on the match path takes a lock, and a kept pattern is never freed, so no
//   check can find one freed under it. A compiled pattern is immutable and
//   GLib matches it from several threads at once.
// - A check whose pattern text differs from the kept one (the variable was
//   changed after its format's first check) compiles, matches and frees, as
//   every check did before the cache; so does the loser of two first checks
//   racing to fill a slot. Memory stays bounded: one kept pattern per format.
// - Kept patterns stay reachable from this table until the process ends.
//
// Compile options: none, by measurement. PCRE2's JIT (G_REGEX_OPTIMIZE)
// matches two to three times faster but compiles four to ten times slower,
// so it pays only after some 50 to 200 checks of a format in one process (the
// IPv6 pattern at the high end), and a test program that checks a record a
// few times loses by it. It also needs executable memory, which a hardened
// gateway may refuse, and keeps the generated code for every kept pattern.
std::atomic<GRegex *> kept[kFormatCount] = {};

// Compiles a pattern as given, or gives null: a pattern that is not valid
// UTF-8 is refused before it reaches the compiler, which would otherwise run
// on it unchecked.
GRegex *compile(const char *pattern) {
    if (!g_utf8_validate(pattern, -1, nullptr)) {
        return nullptr;
    }
    return g_regex_new(pattern, static_cast<GRegexCompileFlags>(0), static_cast<GRegexMatchFlags>(0), nullptr);
}

#ifdef FIELDAUDIT_WHOLE_VALUE

// Whether the match that `match` holds runs from the first byte of the value
// to its last (`length` of them) and is not empty.
bool whole(GMatchInfo *match, gint length) {
    gint start = -1;
    gint end = -1;
    return g_match_info_fetch_pos(match, 0, &start, &end) && start == 0 && end == length && end > start;
}

// 1 when the pattern matches the whole value, first byte to last (a trailing
// newline is part of the value), and the match is not empty. The match is
// anchored at the start. Usually the first match found covers the value; but
// a leftmost-first match can stop short of a whole-value match that exists
// ("(WPA)?(WPA2)?" takes "WPA" of "WPA2"), so when it does, every match at
// the start is asked for, which the DFA matcher gives longest first. A
// pattern the DFA matcher cannot run (back references, backtracking verbs)
// is left with the first match's verdict: it never passes a value that is
// not matched whole.
int matches(const GRegex *compiled, const char *value) {
    const gint length = static_cast<gint>(strlen(value));
    GMatchInfo *match = nullptr;
    int verdict = g_regex_match(compiled, value, G_REGEX_MATCH_ANCHORED, &match) && whole(match, length);
    g_match_info_free(match);
    if (verdict) {
        return 1;
    }
    match = nullptr;
    GError *error = nullptr;
    verdict = g_regex_match_all_full(compiled, value, length, 0, G_REGEX_MATCH_ANCHORED, &match, &error) &&
              whole(match, length);
    if (error != nullptr) {
        g_error_free(error);
    }
    g_match_info_free(match);
    return verdict;
}

#else

// 1 when the pattern finds a match anywhere in the value. The first match
// decides: later ones cannot change the verdict.
int matches(const GRegex *compiled, const char *value) {
    GMatchInfo *match = nullptr;
    const int verdict = g_regex_match(compiled, value, static_cast<GRegexMatchFlags>(0), &match) &&
                        g_match_info_get_match_count(match) > 0;
    g_match_info_free(match);
    return verdict;
}

#endif

// The verdict of format `index` on the value, with the pattern text read from
// its variable for this check. A value that is not valid UTF-8 is refused
// before it reaches the matcher; a pattern that does not compile gives 0.
int regex(unsigned int index, const char *value, const char *pattern) {
    if (pattern == nullptr || !g_utf8_validate(value, -1, nullptr)) {
        return 0;
    }
    std::atomic<GRegex *> &slot = kept[index];
    GRegex *const current = slot.load(std::memory_order_acquire);
    if (current != nullptr && strcmp(g_regex_get_pattern(current), pattern) == 0) {
        return matches(current, value);
    }
    GRegex *const compiled = compile(pattern);
    if (compiled == nullptr) {
        return 0;
    }
    const int verdict = matches(compiled, value);
    GRegex *empty = nullptr;
    if (current != nullptr ||
        !slot.compare_exchange_strong(empty, compiled, std::memory_order_release, std::memory_order_relaxed)) {
        g_regex_unref(compiled);  // never published: no other check can hold it
    }
    return verdict;
}

}  // namespace

extern "C" {

int find_data_format_index(const char *name) {
    if (name == nullptr) {
        return -1;
    }
    for (const DataFormatMap_t &slot : DATA_FORMAT_MAP) {
        if (slot.name == nullptr) {
            break;  // the filled slots come first
        }
        if (strcmp(slot.name, name) == 0) {
            return static_cast<int>(slot.index);
        }
    }
    return -1;
}

int Check_data_format(const char *value, const char *format_name) {
    if (value == nullptr || value[0] == '\0') {
        return 0;
    }
    const unsigned int index = static_cast<unsigned int>(find_data_format_index(format_name));
    if (index >= kFormatCount) {
        return 0;
    }
    return regex(index, value, *kPatterns[index]);
}

}  // extern "C"
