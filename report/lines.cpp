// The kit's lines recognised; see lines.h and the notes in calls.cpp. The
// values are read back with fieldaudit's inverse of its printing.
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

}  // namespace

void item_free(void *p) {
    Item *item = static_cast<Item *>(p);
    g_free(item->result);
    g_free(item->target);
    g_free(item->text);
    if (item->heading) g_ref_string_release(item->heading);
    g_free(item);
}

bool uncertain_bytes(const char *shown) {
    const size_t length = strlen(shown);
    for (size_t i = 0; i < length; ++i) {
        if (shown[i] == '?' || fieldaudit::escaped_at(shown, length, i) >= 0) return true;
    }
    return false;
}

namespace {

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
        if (!fieldaudit::possible_value(step, values, result_length)) return nullptr;
        if (info->checker->has_target ? !fieldaudit::possible_value(step, target, target_length)
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

Item *scalar_item(const char *line, size_t length, bool cut, Count number) {
    for (size_t k = 0; k < fieldaudit::kScalarLineCount; ++k) {
        const fieldaudit::ScalarLine &s = fieldaudit::kScalarLines[k];
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
        if (!fieldaudit::parse_integer(values, ret_length, INT32_MIN, INT32_MAX, nullptr) ||
            !fieldaudit::parse_integer(tar, tar_length, INT32_MIN, INT32_MAX, nullptr)) {
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
    if (cut) return scalar_item(line, length, cut, number);
    if (is_line(line, length, kDomainPass)) return item_new(Item::kPass, number);
    if (is_line(line, length, kDomainFailed)) return item_new(Item::kFailed, number);
    if (is_failure_line(catalog, line, length)) {
        Item *item = item_new(Item::kFailure, number);
        item->text = g_strdup_printf("%.*s\n", static_cast<int>(length), line);
        return item;
    }
    if (Item *item = scalar_item(line, length, cut, number)) return item;
    return field_item(catalog, line, length, number);
}

}  // namespace capireport
