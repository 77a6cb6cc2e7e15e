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

const Reason kReasons[kReasonCount] = {
    {"result is null", "The result's value shows as \"(null)\": the member is a null pointer, or holds that very text."},
    {"target is null", "The target's value shows as \"(null)\": the test program left the expectation a null pointer."},
    {"result is unterminated: it fills all <width> bytes of its member",
     "The result's text has no terminating NUL within its member; the checker never reads past it and fails."},
    {"target is unterminated: it fills all <width> bytes of its member",
     "The same for the target: the expectation was copied without room for its NUL."},
    {"an empty result matches no format", "A format check of an empty text fails whatever the format."},
    {"\"<target>\" is not a format name",
     "The target of a format check names none of the kit's data formats (see formats.md)."},
    {"result is not valid UTF-8", "The format patterns read UTF-8; a result with other bytes matches none."},
    {"does not match format <format>", "The result does not match the pattern of the format the target names."},
    {"failed, though it matches format <format> when searched anywhere in the value (a program linked with "
     "fieldaudit_strict needs a match of the whole value; or the program changed the pattern)",
     "The checker failed a value that the unanchored search admits: the program used fieldaudit_strict, or "
     "changed the pattern variable."},
    {"differs from the expected text", "An exact text check: the result's text is not the target's."},
    {"cannot be judged from the output: a \\xhh in it may be an escaped byte or the text itself, a ? a "
     "character the console could not show",
     "The two texts are shown alike, but the output cannot tell which bytes they hold: a pass is never assumed."},
    {"failed, though both texts read the same here",
     "The checker printed a failure line for two texts that read the same: bytes the output does not show differ."},
    {"differs from the expected number", "An exact number check: the result's number is not the target's."},
    {"not in domain: selector <selector> picks no table", "The target's domain selector names none of the value tables."},
    {"not in domain: selector <selector> with count <count> admits <values>",
     "The result is not among the values the table admits for the field (the checker's count of the table's "
     "first entries)."},
    {"failed, though selector <selector> with count <count> admits <value> here (table changed by the test program?)",
     "The domain check failed a value the kit's table admits: the test program changed the table."},
    {"not in its domain (a direct domain check's line shows no value or table)",
     "A direct Check_data_int call printed its failed line, which names neither value nor table."},
    {"differs from tar", "A scalar primitive (Check_bool, Check_int, Check_return_result): ret is not tar."},
    {"line <line> comes where the <line due> is due",
     "The call broke off: another line came where the checker prints its next line (a field line, a domain "
     "check's pass or failed line, a failure line, a sub-checker's lines)."},
    {"the output ends where the <line due> is due", "The call broke off at the end of the output: the program "
                                                    "stopped (crashed, was killed, its output was cut) inside it."},
    {"bytes <first>-<last> of the output were lost on the console where the <line due> is due",
     "The call broke off where a console capture lost bytes of the output that its parity could not rebuild: it "
     "cannot be judged."},
};

char *reason(ReasonId id, const char *first, const char *second, const char *third) {
    const char *values[] = {first, second, third};
    size_t next = 0;
    GString *text = g_string_new(nullptr);
    for (const char *p = kReasons[id].text; *p;) {
        const char *close = *p == '<' ? strchr(p, '>') : nullptr;
        if (close != nullptr && next < 3 && values[next] != nullptr) {
            g_string_append(text, values[next++]);
            p = close + 1;
        } else {
            g_string_append_c(text, *p++);
        }
    }
    return g_string_free(text, FALSE);
}

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
    char size[24];
    g_snprintf(size, sizeof size, "%zu", width);
    switch (fieldaudit::trouble(r, t)) {
    case fieldaudit::kResultNull: return reason(kResultNull);
    case fieldaudit::kTargetNull: return reason(kTargetNull);
    case fieldaudit::kResultUnterminated: return reason(kResultUnterminated, size);
    case fieldaudit::kTargetUnterminated: return reason(kTargetUnterminated, size);
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
    if (r.length() == 0) return reason(kEmptyResult);
    if (find_data_format_index(t.str()) < 0) return reason(kNotAFormatName, item.target);
    if (!g_utf8_validate(r.str(), static_cast<gssize>(r.length()), nullptr)) return reason(kNotUtf8);
    if (!Check_data_format(r.str(), t.str())) return reason(kNoMatch, item.target);
    return reason(kMatchesAnywhere, item.target);
}

char *equal_text_reason(const Item &item, const Step &step) {
    const Text r(item.result, step.width);
    const Text t(item.target, step.width);
    if (char *trouble = text_trouble(r, t, step.width)) return trouble;
    if (!r.shown_alike(t)) return reason(kDiffersText);
    // Alike, but an escape may stand for a byte on one side and for itself
    // on the other, a "?" for a character the console could not show: the
    // output cannot tell, and a pass is never assumed.
    if (r.uncertain() || t.uncertain()) {
        return reason(kCannotJudge);
    }
    return nullptr;
}

char *equal_number_reason(const Item &item) {
    if (char *trouble = trouble_reason(number_side(item.result), number_side(item.target), 0)) return trouble;
    if (strcmp(item.result, item.target) != 0) return reason(kDiffersNumber);
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
    if (domain.entries == nullptr) return reason(kNoTable, item.target);
    const int admitted = fieldaudit::domain_admitted(domain, step.count);
    GString *list = g_string_new(nullptr);
    for (int i = 0; i < admitted; ++i) g_string_append_printf(list, "%s%d", i ? ", " : "", domain.entries[i]);
    const bool found = fieldaudit::domain_admits(domain, step.count, static_cast<int>(value));
    char count[16];
    g_snprintf(count, sizeof count, "%d", step.count);
    char *text = found ? reason(kAdmittedHere, item.target, count, item.result)
                       : reason(kNotInDomain, item.target, count, admitted ? list->str : "nothing");
    g_string_free(list, TRUE);
    return text;
}

}  // namespace capireport
