// Captured checker output: the kit's lines recognised, grouped into top-level
// calls and judged, from the checkers' own step lists (fieldaudit_describe).
//
// Lines of the kit:
// - field lines "<checker>,result-><field>=<value>,target-><field>=<value>"
//   (the file-entry walk: "pEntry-><field>=<value>,NULL=<value>"), of a
//   checker and field that exist, with values a checker of the kit can print
//   for the field's member: a number in the member's conversion, a text no
//   longer than the member once its "\xhh" escapes are undone, or "(null)".
//   A value is device data and may itself hold ",target-><field>="; the
//   target's value, written by the test program, follows the LAST occurrence.
// - the domain check's pass and failed lines, the steps' failure lines, and
//   the lines of Check_bool, Check_int, Check_return_result and Check_char.
// Every other line is foreign (the test program's own output) and skipped,
// wherever it stands, also inside a call; so is every line with a raw control
// byte (the kit escapes them) and every line longer than kMaxLine bytes but
// for a long Check_char line.
//
// Calls: each checker's lines follow from its steps: a field line per step,
// the domain check's pass or failed line after a domain step's line, the
// step's failure line where its check failed, a sub-checker's lines in its
// place. Where a line can begin several checkers' output (a string record's
// line begins CheckTolvaDNSTunnel_t's), every candidate is followed and the
// one that takes the most lines wins, a complete one on a tie. So a
// CheckTolva_USBDevice_t call directly followed by a CheckTolva_USBFSInfo_t
// call reads as one CheckTolvaUSBDeviceInfo_t call, which prints exactly
// those lines (all three always pass), and a DNS tunnel's output cut right
// after its string record reads as a string record's call. A call whose
// lines break off is reported as incomplete and failed. File entries that
// follow one another form one call of the walk, of that many entries (two
// walks in a row read as one; the walk always passes). A direct
// Check_data_int call shows only as a pass or failed line outside a call; a
// line of the kit that belongs to no call is a stray line. The lines are
// matched through a window a little longer than the longest call.
//
// Verdicts: a domain step fails with a failed line; a step with a failure
// line fails where that line follows. Steps that print no failure line (exact
// texts and numbers) are judged from the two values as the checker judges
// them: "(null)" is a null value (a text that reads "(null)" cannot be told
// from one, and is taken as null), a text whose unescaped length fills its
// member is unterminated, and both fail. Two texts shown alike are equal only
// when they hold no "\xhh" and no "?": the kit prints a backslash as it is,
// and GLib's own print handler shows as "?" what a console that is not UTF-8
// cannot show, so such a text's bytes cannot be known, and the step fails as
// one the output cannot judge. A line that GLib's default print handler
// marked "[Invalid UTF-8] " is read without the mark, its "\xhh" of bytes
// from 0x80 up taken back. A gated format check whose gate was closed prints
// no failure line and so passes, as in the checker.
#include <glib.h>
#include <stdint.h>
#include <string.h>

#include "core.h"
#include "fieldaudit_tools.h"
#include "fieldaudit.h"

namespace capireport {

namespace {

using fieldaudit::Checker;
using fieldaudit::Step;

// GLib's own print handler, on a console whose character set is not UTF-8,
// puts this before a line that is not valid UTF-8 and shows the line's bytes
// from 0x80 up as "\xhh", which the reading of escapes takes back.
const char kInvalid[] = "[Invalid UTF-8] ";

// The kit's own lines.
const char kDomainPass[] = FIELDAUDIT_DOMAIN_PASS_LINE;
const char kDomainFailed[] = FIELDAUDIT_DOMAIN_FAILED_LINE;
const char *const kScalarFormats[] = {
    FIELDAUDIT_SCALAR_LINE("Check_bool"),
    FIELDAUDIT_SCALAR_LINE("Check_int"),
    FIELDAUDIT_SCALAR_LINE("Check_return_result"),
    FIELDAUDIT_CHAR_LINE,
};
const size_t kScalarCount = sizeof kScalarFormats / sizeof kScalarFormats[0];
const char kDirectDomainName[] = "Check_data_int";

bool starts(const char *bytes, size_t length, const char *text) {
    const size_t n = strlen(text);
    return length >= n && memcmp(bytes, text, n) == 0;
}

// A line as the kit prints it, without its newline.
bool is_line(const char *bytes, size_t length, const char *printed) {
    const size_t n = strlen(printed);
    return n > 0 && length == n - 1 && memcmp(bytes, printed, length) == 0;
}

}  // namespace

// One checker's steps and the line its output begins with.
struct Info {
    const Checker *checker;
    Step steps[fieldaudit::kMaxSteps];
    size_t count;
    const Info *first;  // whose first field line begins this checker's output
};

// A scalar primitive's line: "<name>,ret=<ret>,tar=<tar>", its parts taken
// from the printed format.
struct Scalar {
    char *name;
    char *prefix;  // up to the first value
    char *middle;  // between the two values
    bool text;     // the values are texts (Check_char)
};

struct Catalog {
    Info *infos;
    size_t count;
    size_t window;  // lines of the longest call, and one more
    Scalar scalars[kScalarCount];
    const Info *walk;
    bool failure_ends[256];  // the last bytes of failure lines: a quick test
};

namespace {

const Info *info_of(const Catalog &catalog, const Checker *checker) {
    return checker ? &catalog.infos[checker - fieldaudit::kCheckers] : nullptr;
}

// Most lines a call of the checker prints.
size_t most_lines(const Catalog &catalog, const Info &info) {
    size_t lines = 0;
    for (size_t i = 0; i < info.count; ++i) {
        const Step &s = info.steps[i];
        switch (s.kind) {
        case Step::kShow:
        case Step::kEqualNumber: lines += 1; break;
        case Step::kDomain: lines += s.failure ? 3 : 2; break;
        case Step::kFormat: lines += 2; break;
        case Step::kEqualText: lines += s.failure ? 2 : 1; break;
        case Step::kSub: lines += most_lines(catalog, *info_of(catalog, s.sub)); break;
        }
    }
    return lines;
}

}  // namespace

Catalog *catalog_new() {
    Catalog *catalog = g_new0(Catalog, 1);
    catalog->count = fieldaudit::kCheckerCount;
    catalog->infos = g_new0(Info, catalog->count);
    for (size_t k = 0; k < catalog->count; ++k) {
        Info &info = catalog->infos[k];
        info.checker = &fieldaudit::kCheckers[k];
        info.count = info.checker->describe(info.steps, fieldaudit::kMaxSteps);
        if (info.count > fieldaudit::kMaxSteps) info.count = fieldaudit::kMaxSteps;
        if (!info.checker->has_target) catalog->walk = &info;
        for (size_t i = 0; i < info.count; ++i) {
            const char *failure = info.steps[i].failure;
            const size_t n = failure ? strlen(failure) : 0;
            if (n >= 2) catalog->failure_ends[static_cast<unsigned char>(failure[n - 2])] = true;
        }
    }
    for (size_t k = 0; k < catalog->count; ++k) {
        Info &info = catalog->infos[k];
        const Info *first = &info;
        while (first->count > 0 && first->steps[0].kind == Step::kSub) first = info_of(*catalog, first->steps[0].sub);
        info.first = first;
        const size_t lines = most_lines(*catalog, info) + 1;
        if (lines > catalog->window) catalog->window = lines;
    }
    for (size_t i = 0; i < kScalarCount; ++i) {
        const char *format = kScalarFormats[i];
        const char *value = strchr(format, '%');
        const char *second = strchr(value + 1, '%');
        Scalar &s = catalog->scalars[i];
        s.name = g_strndup(format, static_cast<gsize>(strchr(format, ',') - format));
        s.prefix = g_strndup(format, static_cast<gsize>(value - format));
        s.middle = g_strndup(value + 2, static_cast<gsize>(second - value - 2));
        s.text = value[1] == 's';
    }
    return catalog;
}

void catalog_free(Catalog *catalog) {
    if (catalog == nullptr) return;
    for (Scalar &s : catalog->scalars) {
        g_free(s.name);
        g_free(s.prefix);
        g_free(s.middle);
    }
    g_free(catalog->infos);
    g_free(catalog);
}

namespace {

// A recognised line of the kit.
struct Item {
    enum Kind { kField, kPass, kFailed, kFailure, kScalar, kChar };
    Kind kind;
    Count line;
    const Info *info;    // kField
    size_t step;         // kField: index into info->steps
    char *result;        // kField, kScalar: the values as shown
    char *target;
    char *text;          // kFailure: the line with its newline
    const char *name;    // kScalar
};

void item_free(void *p) {
    Item *item = static_cast<Item *>(p);
    g_free(item->result);
    g_free(item->target);
    g_free(item->text);
    g_free(item);
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

// Whether the shown text's bytes cannot be known for sure: the kit prints a
// backslash as it is, so "\x0a" may be a newline or those four characters;
// and GLib's own print handler, on a console that is not UTF-8, shows every
// character it cannot convert as "?".
bool uncertain_bytes(const char *shown) {
    const size_t length = strlen(shown);
    for (size_t i = 0; i < length; ++i) {
        if (shown[i] == '?' || escaped_at(shown, length, i) >= 0) return true;
    }
    return false;
}

// The bytes of a shown text, its escapes undone.
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

size_t unescaped_length(const char *shown, size_t length) {
    size_t n = 0;
    for (size_t i = 0; i < length; ++n) i += escaped_at(shown, length, i) >= 0 ? fieldaudit::kEscapedWidth : 1;
    return n;
}

// A whole decimal number as "%d" or "%lld" prints it, within the bounds.
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

// The kit's line this is, or null for a foreign line.
Item *classify(const Catalog &catalog, const char *line, size_t length, bool cut, Count number) {
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

// A shown text value of a field line, its escapes undone.
class Text {
public:
    Text(const char *shown, size_t width)
        : shown_(shown),
          null_(strcmp(shown, fieldaudit::kNullMarker) == 0),
          bytes_(unescape(shown)),
          uncertain_(uncertain_bytes(shown)),
          unterminated_(!null_ && bytes_->len >= width) {}
    ~Text() { g_string_free(bytes_, TRUE); }
    Text(const Text &) = delete;
    Text &operator=(const Text &) = delete;

    bool null() const { return null_; }
    // A text's bytes never outnumber its member; shown with at least that
    // many (each escape read as one byte), it fills the member.
    bool unterminated() const { return unterminated_; }
    bool uncertain() const { return uncertain_; }
    const char *str() const { return bytes_->str; }
    size_t length() const { return bytes_->len; }
    // Texts shown alike; different shown texts always hold different bytes.
    bool shown_alike(const Text &other) const { return strcmp(shown_, other.shown_) == 0; }

private:
    const char *shown_;
    bool null_;
    GString *bytes_;
    bool uncertain_;
    bool unterminated_;
};

// The reason shared by checks of two texts: a null or unterminated value.
char *text_trouble(const Text &r, const Text &t, size_t width) {
    if (r.null()) return g_strdup("result is null");
    if (t.null()) return g_strdup("target is null");
    if (r.unterminated()) return g_strdup_printf("result is unterminated: it fills all %zu bytes of its member", width);
    if (t.unterminated()) return g_strdup_printf("target is unterminated: it fills all %zu bytes of its member", width);
    return nullptr;
}

char *format_reason(const Item &item, const Step &step) {
    const Text r(item.result, step.width);
    const Text t(item.target, step.width);
    if (char *trouble = text_trouble(r, t, step.width)) return trouble;
    if (r.length() == 0) return g_strdup("an empty result matches no format");
    if (find_data_format_index(t.str()) < 0) return g_strdup_printf("\"%s\" is not a format name", item.target);
    if (!g_utf8_validate(r.str(), static_cast<gssize>(r.length()), nullptr)) {
        return g_strdup("result is not valid UTF-8");
    }
    if (!Check_data_format(r.str(), t.str())) return g_strdup_printf("does not match format %s", item.target);
    return g_strdup_printf("failed, though it matches format %s when searched anywhere in the value (a program "
                           "linked with fieldaudit_strict needs a match of the whole value; or the program "
                           "changed the pattern)",
                           item.target);
}

// Null when the two texts are equal as the checker compares them.
char *equal_text_reason(const Item &item, const Step &step) {
    const Text r(item.result, step.width);
    const Text t(item.target, step.width);
    if (char *trouble = text_trouble(r, t, step.width)) return trouble;
    if (!r.shown_alike(t)) return g_strdup("differs from the expected text");
    // Alike, but an escape may stand for a byte on one side and for itself
    // on the other, a "?" for a character the console could not show: the
    // output cannot tell, and a pass is never assumed.
    if (r.uncertain() || t.uncertain()) {
        return g_strdup("cannot be judged from the output: a \\xhh in it may be an escaped byte or the text "
                        "itself, a ? a character the console could not show");
    }
    return nullptr;
}

char *equal_number_reason(const Item &item) {
    if (strcmp(item.result, fieldaudit::kNullMarker) == 0) return g_strdup("result is null");
    if (strcmp(item.target, fieldaudit::kNullMarker) == 0) return g_strdup("target is null");
    if (strcmp(item.result, item.target) != 0) return g_strdup("differs from the expected number");
    return nullptr;
}

char *domain_reason(const Item &item, const Step &step) {
    if (strcmp(item.result, fieldaudit::kNullMarker) == 0) return g_strdup("result is null");
    if (strcmp(item.target, fieldaudit::kNullMarker) == 0) return g_strdup("target is null");
    long long value = 0;
    long long selector = 0;
    integer(item.result, strlen(item.result), INT64_MIN, INT64_MAX, &value);
    integer(item.target, strlen(item.target), INT64_MIN, INT64_MAX, &selector);
    const fieldaudit::Domain domain =
        fieldaudit::select_domain(static_cast<unsigned int>(static_cast<int>(selector)));
    if (domain.entries == nullptr) return g_strdup_printf("not in domain: selector %s picks no table", item.target);
    const int admitted = step.count < domain.length ? (step.count > 0 ? step.count : 0) : domain.length;
    GString *list = g_string_new(nullptr);
    bool found = false;
    for (int i = 0; i < admitted; ++i) {
        g_string_append_printf(list, "%s%d", i ? ", " : "", domain.entries[i]);
        found = found || domain.entries[i] == value;
    }
    char *reason = found ? g_strdup_printf("failed, though selector %s with count %d admits %s here "
                                           "(table changed by the test program?)",
                                           item.target, step.count, item.result)
                         : g_strdup_printf("not in domain: selector %s with count %d admits %s", item.target,
                                           step.count, admitted ? list->str : "nothing");
    g_string_free(list, TRUE);
    return reason;
}

FailedField *note(Call *call, char *label, const char *result, const char *target, char *reason) {
    FailedField *f = g_new0(FailedField, 1);
    f->label = label;
    f->result = g_strdup(result);
    f->target = g_strdup(target);
    f->reason = reason;
    g_ptr_array_add(call->failures, f);
    return f;
}

void failed_field_free(void *p) {
    FailedField *f = static_cast<FailedField *>(p);
    g_free(f->label);
    g_free(f->result);
    g_free(f->target);
    g_free(f->reason);
    g_free(f);
}

Call *call_new(const char *name, Count line) {
    Call *call = g_new0(Call, 1);
    call->name = name;
    call->first_line = line;
    call->last_line = line;
    call->complete = true;
    call->failures = g_ptr_array_new_with_free_func(failed_field_free);
    return call;
}

}  // namespace

void call_free(void *p) {
    Call *call = static_cast<Call *>(p);
    g_ptr_array_free(call->failures, TRUE);
    g_free(call);
}

struct LogState {
    Input *input;
    const Catalog *catalog;
    GPtrArray *window;  // Item *: lines of the kit not yet taken into a call
    size_t head;
    Call *walk;         // the file-entry walk still taking entries, or null
};

namespace {

const Item *at(const LogState &log, size_t pos) {
    return pos < log.window->len ? static_cast<const Item *>(g_ptr_array_index(log.window, pos)) : nullptr;
}

// Notes where an incomplete call breaks off, unless a deeper step did.
bool break_off(const LogState &log, Call *call, size_t pos, char *expected) {
    if (call != nullptr && call->complete) {
        const Item *item = at(log, pos);
        char *reason = item ? g_strdup_printf("line %llu comes where the %s is due", item->line, expected)
                            : g_strdup_printf("the output ends where the %s is due", expected);
        note(call, g_strdup("incomplete"), nullptr, nullptr, reason);
        call->complete = false;
    }
    g_free(expected);
    return false;
}

bool failure_line_at(const LogState &log, size_t pos, const Step &step) {
    const Item *item = at(log, pos);
    return item && item->kind == Item::kFailure && step.failure && strcmp(item->text, step.failure) == 0;
}

// Follows the checker's lines from `pos` and moves past them; true when all
// were there. With a call, also judges each step and notes what failed;
// `sub` names the sub-checker whose steps these are, or is null.
bool match(const LogState &log, const Info &info, size_t &pos, Call *call, const char *sub) {
    for (size_t i = 0; i < info.count; ++i) {
        const Step &step = info.steps[i];
        if (step.kind == Step::kSub) {
            const Info &inner = *info_of(*log.catalog, step.sub);
            if (!match(log, inner, pos, call, inner.checker->name)) return false;
            continue;
        }
        const Item *field = at(log, pos);
        if (!field || field->kind != Item::kField || field->info != &info || field->step != i) {
            return break_off(log, call, pos, g_strdup_printf("%s line of %s", info.checker->name, step.field));
        }
        ++pos;
        char *reason = nullptr;
        switch (step.kind) {
        case Step::kDomain: {
            const Item *outcome = at(log, pos);
            if (!outcome || (outcome->kind != Item::kPass && outcome->kind != Item::kFailed)) {
                return break_off(log, call, pos, g_strdup_printf("pass or failed line of %s", step.field));
            }
            ++pos;
            if (outcome->kind == Item::kFailed) {
                if (step.failure) {
                    if (!failure_line_at(log, pos, step)) {
                        return break_off(log, call, pos, g_strdup_printf("failure line of %s", step.field));
                    }
                    ++pos;
                }
                if (call) reason = domain_reason(*field, step);
            }
            break;
        }
        case Step::kFormat:
            if (failure_line_at(log, pos, step)) {
                ++pos;
                if (call) reason = format_reason(*field, step);
            }
            break;
        case Step::kEqualText:
            if (step.failure) {
                if (failure_line_at(log, pos, step)) {
                    ++pos;
                    if (call) {
                        reason = equal_text_reason(*field, step);
                        if (!reason) reason = g_strdup("failed, though both texts read the same here");
                    }
                }
            } else if (call) {
                reason = equal_text_reason(*field, step);
            }
            break;
        case Step::kEqualNumber:
            if (call) reason = equal_number_reason(*field);
            break;
        case Step::kShow:
        case Step::kSub: break;
        }
        if (reason) {
            char *label = sub ? g_strdup_printf("%s in %s", step.field, sub) : g_strdup(step.field);
            note(call, label, field->result, field->target, reason);
        }
    }
    return true;
}

void add_call(LogState &log, Call *call, size_t end) {
    const Item *last = at(log, end - 1);
    call->last_line = last->line;
    call->pass = call->complete && call->failures->len == 0;
    g_ptr_array_add(log.input->calls, call);
}

// A line of the kit that belongs to no call, with the lines that its step
// printed after it.
void stray(LogState &log, const Item &item) {
    size_t pos = log.head + 1;
    char *reason;
    if (item.kind == Item::kField) {
        const Step &step = item.info->steps[item.step];
        reason = g_strdup_printf("%s line of %s outside a whole call", item.info->checker->name, step.field);
        const Item *next = at(log, pos);
        if (step.kind == Step::kDomain && next && (next->kind == Item::kPass || next->kind == Item::kFailed)) {
            ++pos;
            if (next->kind == Item::kFailed && failure_line_at(log, pos, step)) ++pos;
        } else if (failure_line_at(log, pos, step)) {
            ++pos;
        }
    } else {
        reason = g_strdup_printf("failure line \"%.*s\" outside a call", static_cast<int>(strlen(item.text) - 1),
                                 item.text);
    }
    ++log.input->malformed;
    add_problem(log.input, item.line, reason);
    log.head = pos;
}

// Takes the call that begins at the head of the window.
void take(LogState &log) {
    const Item &item = *at(log, log.head);
    const Catalog &catalog = *log.catalog;
    if (log.walk != nullptr) {
        if (item.kind == Item::kField && item.info == catalog.walk && item.step == 0) {
            size_t pos = log.head;
            match(log, *catalog.walk, pos, log.walk, nullptr);
            ++log.walk->entries;
            log.walk->last_line = at(log, pos - 1)->line;
            log.walk->pass = log.walk->complete;
            log.head = pos;
            if (!log.walk->complete) log.walk = nullptr;
            return;
        }
        log.walk = nullptr;
    }
    Call *call = nullptr;
    switch (item.kind) {
    case Item::kPass:
    case Item::kFailed:
        call = call_new(kDirectDomainName, item.line);
        if (item.kind == Item::kFailed) {
            note(call, g_strdup("value"), nullptr, nullptr,
                 g_strdup("not in its domain (a direct domain check's line shows no value or table)"));
        }
        break;
    case Item::kScalar:
        call = call_new(item.name, item.line);
        if (strcmp(item.result, item.target) != 0) {
            note(call, g_strdup("ret"), item.result, item.target, g_strdup("differs from tar"));
        }
        break;
    case Item::kChar: call = call_new(item.name, item.line); break;
    case Item::kFailure: stray(log, item); return;
    case Item::kField: {
        // Every checker whose output begins with this line; the one that
        // takes the most lines wins, a complete one on a tie.
        const Info *best = nullptr;
        size_t best_length = 0;
        bool best_complete = false;
        for (size_t k = 0; k < catalog.count; ++k) {
            const Info &candidate = catalog.infos[k];
            if (candidate.first != item.info || item.step != 0) continue;
            size_t pos = log.head;
            const bool complete = match(log, candidate, pos, nullptr, nullptr);
            const size_t length = pos - log.head;
            if (best == nullptr || length > best_length || (length == best_length && complete && !best_complete)) {
                best = &candidate;
                best_length = length;
                best_complete = complete;
            }
        }
        if (best == nullptr) {
            stray(log, item);
            return;
        }
        call = call_new(best->checker->name, item.line);
        size_t pos = log.head;
        match(log, *best, pos, call, nullptr);
        if (best == catalog.walk) {
            call->entries = 1;
            if (call->complete) log.walk = call;
        }
        add_call(log, call, pos);
        log.head = pos;
        return;
    }
    }
    add_call(log, call, log.head + 1);
    ++log.head;
}

// Takes calls while the window holds more lines than the longest call, or
// every line at the end.
void drain(LogState &log, bool end) {
    while (log.head < log.window->len && (end || log.window->len - log.head >= log.catalog->window)) take(log);
    if (log.head >= 256 || log.head == log.window->len) {
        g_ptr_array_remove_range(log.window, 0, static_cast<guint>(log.head));
        log.head = 0;
    }
}

}  // namespace

LogState *log_new(Input *input, const Catalog *catalog) {
    LogState *log = g_new0(LogState, 1);
    log->input = input;
    log->catalog = catalog;
    log->window = g_ptr_array_new_with_free_func(item_free);
    return log;
}

void log_line(LogState *log, const char *bytes, size_t length, bool cut, Count number) {
    if (length >= sizeof kInvalid - 1 && memcmp(bytes, kInvalid, sizeof kInvalid - 1) == 0) {
        bytes += sizeof kInvalid - 1;
        length -= sizeof kInvalid - 1;
    }
    Item *item = classify(*log->catalog, bytes, length, cut, number);
    if (item == nullptr) {
        ++log->input->foreign;
        return;
    }
    g_ptr_array_add(log->window, item);
    drain(*log, false);
}

void log_finish(LogState *log) {
    drain(*log, true);
    g_ptr_array_free(log->window, TRUE);
    g_free(log);
}

}  // namespace capireport
