// Escaping of shown texts, and the rule for values that cannot be validated.
#include "internal.h"

namespace fieldaudit {

namespace {

bool is_control(unsigned char c) { return c < 0x20 || c == 0x7f; }

}  // namespace

size_t escaped_length(const char *bytes, size_t length) {
    size_t n = length;
    for (size_t i = 0; i < length; ++i) {
        if (is_control(static_cast<unsigned char>(bytes[i]))) n += kEscapedWidth - 1;
    }
    return n;
}

size_t escape(const char *bytes, size_t length, char *out) {
    static const char kHex[] = "0123456789abcdef";
    char *o = out;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (is_control(c)) {
            *o++ = '\\';
            *o++ = 'x';
            *o++ = kHex[c >> 4];
            *o++ = kHex[c & 0xf];
        } else {
            *o++ = static_cast<char>(c);
        }
    }
    return static_cast<size_t>(o - out);
}

Trouble trouble(Side result, Side target) {
    if (result.null) return kResultNull;
    if (target.null) return kTargetNull;
    if (!result.terminated) return kResultUnterminated;
    if (!target.terminated) return kTargetUnterminated;
    return kNoTrouble;
}

}  // namespace fieldaudit
