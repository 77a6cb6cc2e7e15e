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

template <int N>
fieldaudit::Domain domain_of(int (&table)[N]) {
    return fieldaudit::Domain{table, N};
}

// Scans the first `count` entries of the domain for `key`, never past its end.
int regint(int key, fieldaudit::Domain domain, int count) {
    const int limit = count < domain.length ? count : domain.length;
    for (int i = 0; i < limit; ++i) {
        if (domain.entries[i] == key) {
            g_print("pass!!!!!!!!!!!!!!!!\n");
            return 1;
        }
    }
    fieldaudit::print_domain_failed();
    return 0;
}

// The first control byte of the text, or null.
const char *first_control(const char *text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7f) return text + i;
    }
    return nullptr;
}

// A text as a Check_char line shows it: the null marker for a null pointer,
// its control bytes escaped. Unlike a record's texts, these have no bound, so
// a text with a control byte is escaped into a buffer from GLib's allocator
// that lives for the one line (g_print makes one of its own for every line
// anyway). It is the library's one allocation besides the kept patterns, and
// only texts with control bytes take it; every other text is printed from
// where it lies. A text too long to escape in memory shows a marker.
class ShownText {
public:
    explicit ShownText(const char *text) : bytes_(text ? text : "(null)"), escaped_(nullptr) {
        const size_t length = strlen(bytes_);
        if (first_control(bytes_, length) == nullptr) return;
        const size_t shown = length <= (SIZE_MAX - 1) / fieldaudit::kEscapedWidth
                                 ? fieldaudit::escaped_length(bytes_, length)
                                 : SIZE_MAX;
        escaped_ = shown == SIZE_MAX ? nullptr : static_cast<char *>(g_try_malloc(shown + 1));
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
    switch (selector) {
    case 0: return domain_of(data_int_one);
    case 1: return domain_of(data_int_two);
    case 2: return domain_of(data_int_three);
    case 3: return domain_of(data_int_four);
    case 4: return domain_of(data_int_five);
    case 5: return domain_of(data_int_six);
    case 6: return domain_of(data_int_seven);
    case 7: return domain_of(data_int_eight);
    case 8: return domain_of(data_int_nine);
    default: return Domain{nullptr, 0};
    }
}

void fieldaudit::print_domain_failed() {
    g_print("failed!!!!!!!!!!!!!\n");
}

extern "C" {

int Check_bool(int ret, int tar) {
    g_print("Check_bool,ret=%d,tar=%d\n", ret, tar);
    return ret == tar;
}

int Check_int(int ret, int tar) {
    g_print("Check_int,ret=%d,tar=%d\n", ret, tar);
    return ret == tar;
}

int Check_return_result(int ret, int tar) {
    g_print("Check_return_result,ret=%d,tar=%d\n", ret, tar);
    return ret == tar;
}

int Check_char(const char *ret, const char *tar) {
    const ShownText r(ret);
    const ShownText t(tar);
    g_print("Check_char,ret=%s,tar=%s\n", r.c_str(), t.c_str());
    return 1;
}

int Check_data_int(int value, unsigned int selector, int count) {
    return regint(value, fieldaudit::select_domain(selector), count);
}

}  // extern "C"
