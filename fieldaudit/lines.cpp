// The tools' side of the line grammar and of the treatments: reading shown
// values back (the inverse of escaping and of the printf conversions), the
// scalar primitives' lines and the rule of each step kind.
#include <glib.h>
#include <string.h>

#include "fieldaudit_tools.h"

namespace fieldaudit {

namespace {

bool equals(const char *bytes, size_t length, const char *text) {
    return length == strlen(text) && memcmp(bytes, text, length) == 0;
}

// By Step::Kind.
const Treatment kTreatments[] = {
    {"printed only", nullptr, false, false},
    {"domain check", "a domain selector in ", true, true},
    {"format check", "a format name in ", false, true},
    {"exact text", "the expected text in ", false, true},
    {"exact number", "the expected number in ", false, true},
    {"sub-checker: its lines here, its verdict counts", nullptr, false, true},
};
static_assert(sizeof kTreatments / sizeof kTreatments[0] == Step::kSub + 1, "one treatment per step kind");

}  // namespace

const Treatment &treatment(Step::Kind kind) { return kTreatments[kind]; }

size_t most_lines(const Step &step) {
    if (step.kind == Step::kSub) return step.sub ? most_lines(*step.sub) : 0;
    const Treatment &t = treatment(step.kind);
    return 1 + (t.outcome_line ? 1 : 0) + (t.judged && step.failure ? 1 : 0);
}

size_t most_lines(const Checker &checker) {
    Step steps[kMaxSteps];
    const size_t n = checker.describe(steps, kMaxSteps);
    size_t lines = 0;
    for (size_t i = 0; i < n && i < kMaxSteps; ++i) lines += most_lines(steps[i]);
    return lines;
}

#define FIELDAUDIT_SCALAR_LINE_OF(name) {#name, #name FIELDAUDIT_SCALAR_RET, FIELDAUDIT_SCALAR_TAR, false},
const ScalarLine kScalarLines[] = {
    FIELDAUDIT_SCALAR_PRIMITIVES(FIELDAUDIT_SCALAR_LINE_OF)
    {FIELDAUDIT_CHAR_NAME, FIELDAUDIT_CHAR_NAME FIELDAUDIT_SCALAR_RET, FIELDAUDIT_SCALAR_TAR, true},
};
#undef FIELDAUDIT_SCALAR_LINE_OF
const size_t kScalarLineCount = sizeof kScalarLines / sizeof kScalarLines[0];

int escaped_at(const char *shown, size_t length, size_t i) {
    if (i + kEscapedWidth > length || shown[i] != '\\' || shown[i + 1] != 'x') return -1;
    const int high = g_ascii_xdigit_value(shown[i + 2]);
    const int low = g_ascii_xdigit_value(shown[i + 3]);
    if (high < 0 || low < 0 || g_ascii_isupper(shown[i + 2]) || g_ascii_isupper(shown[i + 3])) return -1;
    const int c = high * 16 + low;
    return (c > 0 && c < 0x20) || c >= 0x7f ? c : -1;
}

size_t unescaped_length(const char *shown, size_t length) {
    size_t n = 0;
    for (size_t i = 0; i < length; ++n) i += escaped_at(shown, length, i) >= 0 ? kEscapedWidth : 1;
    return n;
}

size_t unescape(const char *shown, size_t length, char *out) {
    size_t n = 0;
    for (size_t i = 0; i < length;) {
        const int c = escaped_at(shown, length, i);
        if (c >= 0) {
            out[n++] = static_cast<char>(c);
            i += kEscapedWidth;
        } else {
            out[n++] = shown[i++];
        }
    }
    return n;
}

bool parse_integer(const char *bytes, size_t length, long long low, long long high, long long *value) {
    const bool negative = length > 0 && bytes[0] == '-';
    const char *digits = bytes + (negative ? 1 : 0);
    const size_t n = length - (negative ? 1 : 0);
    if (n == 0 || n > 19 || (digits[0] == '0' && (n > 1 || negative))) return false;
    unsigned long long magnitude = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!g_ascii_isdigit(digits[i])) return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(digits[i] - '0');
    }
    long long v;
    if (negative) {
        if (magnitude > 9223372036854775808ULL) return false;
        v = magnitude == 9223372036854775808ULL ? INT64_MIN : -static_cast<long long>(magnitude);
    } else {
        if (magnitude > 9223372036854775807ULL) return false;
        v = static_cast<long long>(magnitude);
    }
    if (v < low || v > high) return false;
    if (value) *value = v;
    return true;
}

bool parse_real(const char *bytes, size_t length) {
    if (equals(bytes, length, "inf") || equals(bytes, length, "-inf") || equals(bytes, length, "nan") ||
        equals(bytes, length, "-nan")) {
        return true;
    }
    const char *dot = static_cast<const char *>(memchr(bytes, '.', length));
    if (dot == nullptr || bytes + length - dot != 7) return false;
    for (const char *p = dot + 1; p < bytes + length; ++p) {
        if (!g_ascii_isdigit(*p)) return false;
    }
    const bool negative = bytes[0] == '-';
    const char *digits = bytes + (negative ? 1 : 0);
    const size_t n = static_cast<size_t>(dot - digits);
    if (n == 0 || (digits[0] == '0' && n > 1)) return false;
    for (size_t i = 0; i < n; ++i) {
        if (!g_ascii_isdigit(digits[i])) return false;
    }
    return true;
}

bool possible_value(const Step &step, const char *shown, size_t length) {
    if (equals(shown, length, kNullMarker)) return true;
    switch (step.member) {
    case Step::kText:
    case Step::kStringRecord:
        return length <= kEscapedWidth * step.width && unescaped_length(shown, length) <= step.width;
    case Step::kUnsigned8: return parse_integer(shown, length, 0, 255, nullptr);
    case Step::kUnsigned16: return parse_integer(shown, length, 0, 65535, nullptr);
    case Step::kInt32: return parse_integer(shown, length, INT32_MIN, INT32_MAX, nullptr);
    case Step::kInt64: return parse_integer(shown, length, INT64_MIN, INT64_MAX, nullptr);
    case Step::kDouble: return parse_real(shown, length);
    case Step::kRecord:
    case Step::kRecordPointer: return false;
    }
    return false;
}

}  // namespace fieldaudit
