// The kit's lines recognised; see lines.h and the notes in calls.cpp.
#include "lines.h"

#include <glib.h>
#include <stdint.h>
#include <string.h>

#include "core.h"
#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace capireport {

namespace {

// GLib's own print handler, on a console whose character set is not UTF-8,
// puts this before a line that is not valid UTF-8 and shows the line's bytes
// from 0x80 up as "\xhh", which the reading of escapes takes back.
const char kInvalid[] = "[Invalid UTF-8] ";

// The kit's own lines.
const char kDomainPass[] = FIELDAUDIT_DOMAIN_PASS_LINE;
const char kDomainFailed[] = FIELDAUDIT_DOMAIN_FAILED_LINE;

bool starts(const char *bytes, size_t length, const char *text) {
    const size_t n = strlen(text);
    return length >= n && memcmp(bytes, text, n) == 0;
}

// A line as the kit prints it, without its newline.
bool is_line(const char *bytes, size_t length, const char *printed) {
    const size_t n = strlen(printed);
    return n > 0 && length == n - 1 && memcmp(bytes, printed, length) == 0;
}

Item *item_new(Item::Kind kind, Count line) {
    Item *item = g_new0(Item, 1);
    item->kind = kind;
    item->line = line;
    return item;
}

// "\x" and two lower-case hexadecimal digits naming a byte the kit escapes
// (0x01 to 0x1f, 0x7f; a NUL never stands in a shown text); its value, or -1.
int escaped_at(const char *bytes, size_t length, size_t i) {
    if (i + fieldaudit::kEscapedWidth > length || bytes[i] != '\\' || bytes[i + 1] != 'x') return -1;
    const int high = g_ascii_xdigit_value(bytes[i + 2]);
    const int low = g_ascii_xdigit_value(bytes[i + 3]);
    if (high < 0 || low < 0 || g_ascii_isupper(bytes[i + 2]) || g_ascii_isupper(bytes[i + 3])) return -1;
    const int c = high * 16 + low;
    return (c > 0 && c < 0x20) || c >= 0x7f ? c : -1;
}

size_t unescaped_length(const char *shown, size_t length) {
    size_t n = 0;
    for (size_t i = 0; i < length; ++n) i += escaped_at(shown, length, i) >= 0 ? fieldaudit::kEscapedWidth : 1;
    return n;
}


}  // namespace

void item_free(void *p) {
    Item *item = static_cast<Item *>(p);
    g_free(item->result);
    g_free(item->target);
    g_free(item->text);
    g_free(item);
}

bool uncertain_bytes(const char *shown) {
    const size_t length = strlen(shown);
    for (size_t i = 0; i < length; ++i) {
        if (shown[i] == '?' || escaped_at(shown, length, i) >= 0) return true;
    }
    return false;
}

GString *unescape(const char *shown) {
    const size_t length = strlen(shown);
    GString *bytes = g_string_sized_new(length);
    for (size_t i = 0; i < length;) {
        const int c = escaped_at(shown, length, i);
        if (c >= 0) {
            g_string_append_c(bytes, static_cast<char>(c));
            i += fieldaudit::kEscapedWidth;
        } else {
            g_string_append_c(bytes, shown[i++]);
        }
    }
    return bytes;
}

bool integer(const char *bytes, size_t length, long long low, long long high, long long *value) {
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

namespace {

// A double as "%f" prints it.
bool real(const char *bytes, size_t length) {
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

// Whether a checker of the kit can show this value for the step's member.
bool possible_value(const Step &step, const char *v, size_t n) {
    if (equals(v, n, fieldaudit::kNullMarker)) return true;
    switch (step.member) {
    case Step::kText:
    case Step::kStringRecord:
        return n <= fieldaudit::kEscapedWidth * step.width && unescaped_length(v, n) <= step.width;
    case Step::kUnsigned8: return integer(v, n, 0, 255, nullptr);
    case Step::kUnsigned16: return integer(v, n, 0, 65535, nullptr);
    case Step::kInt32: return integer(v, n, INT32_MIN, INT32_MAX, nullptr);
    case Step::kInt64: return integer(v, n, INT64_MIN, INT64_MAX, nullptr);
    case Step::kDouble: return real(v, n);
    case Step::kRecord:
    case Step::kRecordPointer: return false;
    }
    return false;
}

// Where `needle` occurs last in the bytes, or null.
const char *last_of(const char *bytes, size_t length, const char *needle, size_t n) {
    if (n > length) return nullptr;
    for (size_t i = length - n + 1; i-- > 0;) {
        if (memcmp(bytes + i, needle, n) == 0) return bytes + i;
    }
    return nullptr;
}

Item *field_item(const Catalog &catalog, const char *line, size_t length, Count number) {
    const char *comma = static_cast<const char *>(memchr(line, ',', length));
    if (comma == nullptr) return nullptr;
    const size_t name_length = static_cast<size_t>(comma - line);
    const Info *info = nullptr;
    for (size_t k = 0; k < catalog.count && info == nullptr; ++k) {
        if (equals(line, name_length, catalog.infos[k].checker->name)) info = &catalog.infos[k];
    }
    if (info == nullptr) return nullptr;
    const fieldaudit::Labels &labels = info->checker->labels;
    const char *p = comma + 1;
    size_t rest = length - name_length - 1;
    if (!starts(p, rest, labels.result)) return nullptr;
    p += strlen(labels.result);
    rest -= strlen(labels.result);
    for (size_t i = 0; i < info->count; ++i) {
        const Step &step = info->steps[i];
        if (step.field == nullptr) continue;
        const size_t field_length = strlen(step.field);
        if (rest <= field_length || memcmp(p, step.field, field_length) != 0 || p[field_length] != '=') continue;
        const char *values = p + field_length + 1;
        const size_t values_length = rest - field_length - 1;
        char *separator = g_strconcat(",", labels.target, labels.target_named ? step.field : "", "=", nullptr);
        const size_t separator_length = strlen(separator);
        // Device data may hold the separator itself: take the last one, since
        // the target is the test program's; but where the values read
        // "A<separator>A", split in the middle, the one reading under which
        // the checker can have found them equal.
        const char *at = last_of(values, values_length, separator, separator_length);
        if (values_length >= separator_length && (values_length - separator_length) % 2 == 0) {
            const size_t half = (values_length - separator_length) / 2;
            if (memcmp(values + half, separator, separator_length) == 0 &&
                memcmp(values, values + half + separator_length, half) == 0) {
                at = values + half;
            }
        }
        g_free(separator);
        if (at == nullptr) return nullptr;
        const char *target = at + separator_length;
        const size_t result_length = static_cast<size_t>(at - values);
        const size_t target_length = static_cast<size_t>(values + values_length - target);
        if (!capireport::possible_value(step, values, result_length)) return nullptr;
        if (info->checker->has_target ? !capireport::possible_value(step, target, target_length)
                                      : !equals(target, target_length,
                                                step.member == Step::kText ? fieldaudit::kNullMarker : "0")) {
            return nullptr;
        }
        Item *item = item_new(Item::kField, number);
        item->info = info;
        item->step = i;
        item->result = g_strndup(values, result_length);
        item->target = g_strndup(target, target_length);
        return item;
    }
    return nullptr;
}

Item *scalar_item(const Catalog &catalog, const char *line, size_t length, bool cut, Count number) {
    for (const Scalar &s : catalog.scalars) {
        if (!starts(line, length, s.prefix)) continue;
        const char *values = line + strlen(s.prefix);
        const size_t values_length = length - strlen(s.prefix);
        if (s.text) {
            // The texts are the caller's, of any length and content; the
            // primitive always passes.
            if (!cut && last_of(values, values_length, s.middle, strlen(s.middle)) == nullptr) return nullptr;
            Item *item = item_new(Item::kChar, number);
            item->name = s.name;
            return item;
        }
        if (cut) return nullptr;
        const char *middle = static_cast<const char *>(memchr(values, ',', values_length));
        if (middle == nullptr) return nullptr;
        const size_t ret_length = static_cast<size_t>(middle - values);
        const size_t rest = values_length - ret_length;
        if (!starts(middle, rest, s.middle)) return nullptr;
        const char *tar = middle + strlen(s.middle);
        const size_t tar_length = rest - strlen(s.middle);
        if (!integer(values, ret_length, INT32_MIN, INT32_MAX, nullptr) ||
            !integer(tar, tar_length, INT32_MIN, INT32_MAX, nullptr)) {
            return nullptr;
        }
        Item *item = item_new(Item::kScalar, number);
        item->name = s.name;
        item->result = g_strndup(values, ret_length);
        item->target = g_strndup(tar, tar_length);
        return item;
    }
    return nullptr;
}

bool is_failure_line(const Catalog &catalog, const char *line, size_t length) {
    if (length == 0 || !catalog.failure_ends[static_cast<unsigned char>(line[length - 1])]) return false;
    for (size_t k = 0; k < catalog.count; ++k) {
        const Info &info = catalog.infos[k];
        for (size_t i = 0; i < info.count; ++i) {
            if (info.steps[i].failure && is_line(line, length, info.steps[i].failure)) return true;
        }
    }
    return false;
}

}  // namespace

Item *classify(const Catalog &catalog, const char *line, size_t length, bool cut, Count number) {
    if (length >= sizeof kInvalid - 1 && memcmp(line, kInvalid, sizeof kInvalid - 1) == 0) {
        line += sizeof kInvalid - 1;
        length -= sizeof kInvalid - 1;
    }
    if (fieldaudit::escaped_length(line, length) != length) return nullptr;  // a raw control byte
    if (cut) return scalar_item(catalog, line, length, cut, number);
    if (is_line(line, length, kDomainPass)) return item_new(Item::kPass, number);
    if (is_line(line, length, kDomainFailed)) return item_new(Item::kFailed, number);
    if (is_failure_line(catalog, line, length)) {
        Item *item = item_new(Item::kFailure, number);
        item->text = g_strdup_printf("%.*s\n", static_cast<int>(length), line);
        return item;
    }
    if (Item *item = scalar_item(catalog, line, length, cut, number)) return item;
    return field_item(catalog, line, length, number);
}

}  // namespace capireport
