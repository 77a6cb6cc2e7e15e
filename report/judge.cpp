// The reasons for a failed step; see the notes on verdicts in calls.cpp.
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

}  // namespace capireport
