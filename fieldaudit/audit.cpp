// Field lines, treatments and the verdict of every record checker.
#include "audit.h"

#include <glib.h>
#include <stdio.h>
#include <string.h>

#include "fieldaudit.h"

namespace fieldaudit {

namespace {

// Enough for any int, long long or "%f" double (up to 309 integer digits),
// and for the widest text with every byte escaped.
const size_t kNumberSpace = 320;
const size_t kShownSpace = kNumberSpace > kEscapedWidth * kMaxTextWidth ? kNumberSpace : kEscapedWidth * kMaxTextWidth;

// The bytes a value shows in a line: a text's member bytes (escaped into
// `space` when it holds a control byte), a number's conversion written into
// `space`, or the null marker.
struct Shown {
    const char *bytes;
    int length;
};

Shown show_value(const Value &v, char (&space)[kShownSpace]) {
    int n = 0;
    switch (v.kind) {
    case Value::kText:
        if (escaped_length(v.text, v.length) == v.length) return Shown{v.text, static_cast<int>(v.length)};
        return Shown{space, static_cast<int>(escape(v.text, v.length, space))};
    case Value::kInt:
        n = snprintf(space, sizeof space, "%d", static_cast<int>(v.number));
        break;
    case Value::kWide:
        n = snprintf(space, sizeof space, "%lld", v.number);
        break;
    case Value::kReal:
        n = snprintf(space, sizeof space, "%f", v.real);
        break;
    case Value::kMissing:
        return Shown{kNullMarker, static_cast<int>(sizeof kNullMarker - 1)};
    }
    if (n < 0) n = 0;
    if (static_cast<size_t>(n) >= sizeof space) n = static_cast<int>(sizeof space - 1);
    return Shown{space, n};
}

bool is_number(const Value &v) { return v.kind == Value::kInt || v.kind == Value::kWide; }

// Both values are texts that the validations' rules let through: neither
// null nor unterminated.
bool texts_usable(const Value &r, const Value &t) {
    return trouble(r.side(), t.side()) == kNoTrouble && r.kind == Value::kText && t.kind == Value::kText;
}

}  // namespace

Value Value::missing() {
    Value v = {kMissing, nullptr, 0, false, 0, 0.0};
    return v;
}

Value Value::of_text(const char *member, size_t width) {
    const void *nul = memchr(member, '\0', width);
    const size_t length = nul ? static_cast<size_t>(static_cast<const char *>(nul) - member) : width;
    Value v = {kText, member, length, nul != nullptr, 0, 0.0};
    return v;
}

Value Value::of_int(int n) {
    Value v = {kInt, nullptr, 0, false, n, 0.0};
    return v;
}

Value Value::of_wide(long long n) {
    Value v = {kWide, nullptr, 0, false, n, 0.0};
    return v;
}

Value Value::of_real(double d) {
    Value v = {kReal, nullptr, 0, false, 0, d};
    return v;
}

Audit::Audit(const char *checker, const Labels &labels) : checker_(checker), labels_(labels), verdict_(1) {}

void Audit::line(const char *field, const Value &r, const Value &t) const {
    char r_space[kShownSpace];
    char t_space[kShownSpace];
    const Shown rs = show_value(r, r_space);
    const Shown ts = show_value(t, t_space);
    g_print("%s,%s%s=%.*s,%s%s=%.*s\n", checker_, labels_.result, field, rs.length, rs.bytes, labels_.target,
            labels_.target_named ? field : "", ts.length, ts.bytes);
}

void Audit::fail(const char *failure) {
    if (failure != nullptr) {
        g_print("%s", failure);
    }
    verdict_ = 0;
}

void Audit::show(const char *field, const Value &r, const Value &t) { line(field, r, t); }

void Audit::domain(const char *field, const Value &r, const Value &t, int count, const char *failure) {
    line(field, r, t);
    int passed = 0;
    if (r.kind == Value::kInt && t.kind == Value::kInt) {
        passed = Check_data_int(static_cast<int>(r.number), static_cast<unsigned int>(t.number), count);
    } else {
        print_domain_outcome(false);  // a value that cannot be read is in no domain
    }
    if (!passed) fail(failure);
}

void Audit::format(const char *field, const Value &r, const Value &t, const char *failure, bool validate) {
    line(field, r, t);
    if (!validate) return;
    if (!(texts_usable(r, t) && Check_data_format(r.text, t.text))) fail(failure);
}

void Audit::equal_text(const char *field, const Value &r, const Value &t, const char *failure) {
    line(field, r, t);
    if (!(texts_usable(r, t) && strcmp(r.text, t.text) == 0)) fail(failure);
}

void Audit::equal_number(const char *field, const Value &r, const Value &t) {
    line(field, r, t);
    if (!(trouble(r.side(), t.side()) == kNoTrouble && is_number(r) && is_number(t) && r.number == t.number)) {
        fail(nullptr);
    }
}

void Audit::fold(int verdict) {
    if (!verdict) verdict_ = 0;
}

bool Audit::is_connected(const Value &status) {
    return status.usable_text() && strcmp(status.text, kGateOpenStatus) == 0;
}

}  // namespace fieldaudit
