// Scalar comparison primitives and the value-domain check.
#include "fieldaudit.h"
#include "internal.h"

#include <glib.h>
#include <stdint.h>
#include <string.h>

extern "C" {

int data_int_one[2] = {0, 1};
int data_int_two[3] = {0, 1, 2};
int data_int_three[4] = {0, 1, 2, 3};
int data_int_four[5] = {0, 1, 2, 3, 4};
int data_int_five[6] = {0, 1, 2, 3, 4, 5};
int data_int_six[7] = {0, 1, 2, 3, 4, 5, 100};
int data_int_seven[8] = {1, 2, 3, 4, 5, 6, 7, 8};
int data_int_eight[5] = {1, 2, 3, 4, 5};
int data_int_nine[3] = {1, 2, 3};

}  // extern "C"

namespace {

#define FIELDAUDIT_DOMAIN_OF(table) {table, sizeof table / sizeof table[0]},
const fieldaudit::Domain kDomains[] = {FIELDAUDIT_DOMAIN_TABLES(FIELDAUDIT_DOMAIN_OF)};
static_assert(sizeof kDomains / sizeof kDomains[0] == fieldaudit::kDomainCount, "one table per selector");

// A text as a Check_char line shows it: the null marker for a null pointer,
// its control bytes escaped. Unlike a record's texts, these have no bound, so
// a text with a control byte is escaped into a buffer from GLib's allocator
// that lives for the one line (g_print makes one of its own for every line
// anyway). It is the library's one allocation besides the kept patterns, and
// only texts with control bytes take it; every other text is printed from
// where it lies. A text too long to escape in memory shows a marker.
class ShownText {
public:
    explicit ShownText(const char *text) : bytes_(text ? text : fieldaudit::kNullMarker), escaped_(nullptr) {
        const size_t length = strlen(bytes_);
        const size_t shown = fieldaudit::escaped_length(bytes_, length);
        if (shown == length) return;  // no control byte
        // Beyond this length the escaped length may not fit in a size_t.
        const bool fits = length <= (SIZE_MAX - 1) / fieldaudit::kEscapedWidth;
        escaped_ = fits ? static_cast<char *>(g_try_malloc(shown + 1)) : nullptr;
        if (escaped_ == nullptr) {
            bytes_ = "(text not shown: too long to escape)";
            return;
        }
        escaped_[fieldaudit::escape(bytes_, length, escaped_)] = '\0';
        bytes_ = escaped_;
    }
    ~ShownText() { g_free(escaped_); }
    ShownText(const ShownText &) = delete;
    ShownText &operator=(const ShownText &) = delete;

    const char *c_str() const { return bytes_; }

private:
    const char *bytes_;
    char *escaped_;
};

}  // namespace

fieldaudit::Domain fieldaudit::select_domain(unsigned int selector) {
    return selector < kDomainCount ? kDomains[selector] : Domain{nullptr, 0};
}

int fieldaudit::domain_admitted(Domain domain, int count) {
    return count < 0 ? 0 : count < domain.length ? count : domain.length;
}

bool fieldaudit::domain_admits(Domain domain, int count, int value) {
    const int admitted = domain_admitted(domain, count);
    for (int i = 0; i < admitted; ++i) {
        if (domain.entries[i] == value) return true;
    }
    return false;
}

void fieldaudit::print_domain_outcome(bool admitted) {
    g_print(admitted ? FIELDAUDIT_DOMAIN_PASS_LINE : FIELDAUDIT_DOMAIN_FAILED_LINE);
}

extern "C" {

// Check_bool, Check_int, Check_return_result: print both numbers, pass when equal.
#define FIELDAUDIT_SCALAR_PRIMITIVE(name)                 \
    int name(int ret, int tar) {                           \
        g_print(FIELDAUDIT_SCALAR_LINE(#name), ret, tar); \
        return ret == tar;                                 \
    }
FIELDAUDIT_SCALAR_PRIMITIVES(FIELDAUDIT_SCALAR_PRIMITIVE)
#undef FIELDAUDIT_SCALAR_PRIMITIVE

int Check_char(const char *ret, const char *tar) {
    const ShownText r(ret);
    const ShownText t(tar);
    g_print(FIELDAUDIT_CHAR_LINE, r.c_str(), t.c_str());
    return 1;
}

// Prints the domain's verdict, then returns it.
int Check_data_int(int value, unsigned int selector, int count) {
    const bool admitted = fieldaudit::domain_admits(fieldaudit::select_domain(selector), count, value);
    fieldaudit::print_domain_outcome(admitted);
    return admitted ? 1 : 0;
}

}  // extern "C"
