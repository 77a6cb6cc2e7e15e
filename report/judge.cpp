// The reasons for a failed step; see the notes on verdicts in calls.cpp. The
// rules are the checkers' own (fieldaudit_tools.h): what keeps two values from
// being validated, the count limit of a domain.
#include "judge.h"

#include <glib.h>
#include <stdint.h>
#include <string.h>

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace capireport {

namespace {

// A shown text value of a field line, its escapes undone.
class Text {
public:
    Text(const char *shown, size_t width)
        : shown_(shown),
          null_(strcmp(shown, fieldaudit::kNullMarker) == 0),
          bytes_(unescape(shown, strlen(shown))),
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
    fieldaudit::Side side() const { return fieldaudit::Side{null_, !unterminated_}; }

private:
    static GString *unescape(const char *shown, size_t length) {
        GString *bytes = g_string_sized_new(length);
        g_string_set_size(bytes, fieldaudit::unescape(shown, length, bytes->str));
        return bytes;
    }

    const char *shown_;
    bool null_;
    GString *bytes_;
    bool uncertain_;
    bool unterminated_;
};

// The reason shared by every validation: a null or unterminated value.
char *trouble_reason(fieldaudit::Side r, fieldaudit::Side t, size_t width) {
    switch (fieldaudit::trouble(r, t)) {
    case fieldaudit::kResultNull: return g_strdup("result is null");
    case fieldaudit::kTargetNull: return g_strdup("target is null");
    case fieldaudit::kResultUnterminated:
        return g_strdup_printf("result is unterminated: it fills all %zu bytes of its member", width);
    case fieldaudit::kTargetUnterminated:
        return g_strdup_printf("target is unterminated: it fills all %zu bytes of its member", width);
    case fieldaudit::kNoTrouble: break;
    }
    return nullptr;
}

char *text_trouble(const Text &r, const Text &t, size_t width) { return trouble_reason(r.side(), t.side(), width); }

// A number shown: null only as the null marker; numbers have no terminator.
fieldaudit::Side number_side(const char *shown) {
    return fieldaudit::Side{strcmp(shown, fieldaudit::kNullMarker) == 0, true};
}

}  // namespace

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
    if (char *trouble = trouble_reason(number_side(item.result), number_side(item.target), 0)) return trouble;
    if (strcmp(item.result, item.target) != 0) return g_strdup("differs from the expected number");
    return nullptr;
}

char *domain_reason(const Item &item, const Step &step) {
    if (char *trouble = trouble_reason(number_side(item.result), number_side(item.target), 0)) return trouble;
    long long value = 0;
    long long selector = 0;
    fieldaudit::parse_integer(item.result, strlen(item.result), INT64_MIN, INT64_MAX, &value);
    fieldaudit::parse_integer(item.target, strlen(item.target), INT64_MIN, INT64_MAX, &selector);
    const fieldaudit::Domain domain =
        fieldaudit::select_domain(static_cast<unsigned int>(static_cast<int>(selector)));
    if (domain.entries == nullptr) return g_strdup_printf("not in domain: selector %s picks no table", item.target);
    const int admitted = fieldaudit::domain_admitted(domain, step.count);
    GString *list = g_string_new(nullptr);
    for (int i = 0; i < admitted; ++i) g_string_append_printf(list, "%s%d", i ? ", " : "", domain.entries[i]);
    const bool found = fieldaudit::domain_admits(domain, step.count, static_cast<int>(value));
    char *reason = found ? g_strdup_printf("failed, though selector %s with count %d admits %s here "
                                           "(table changed by the test program?)",
                                           item.target, step.count, item.result)
                         : g_strdup_printf("not in domain: selector %s with count %d admits %s", item.target,
                                           step.count, admitted ? list->str : "nothing");
    g_string_free(list, TRUE);
    return reason;
}

}  // namespace capireport
