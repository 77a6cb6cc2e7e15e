// Declarations shared by the source units of fieldaudit; not exported.
#ifndef FIELDAUDIT_INTERNAL_H
#define FIELDAUDIT_INTERNAL_H

#include <stddef.h>

namespace fieldaudit {

// A control byte (below 0x20, or 0x7f) of a shown text prints as four
// characters: a backslash, "x" and two lower-case hexadecimal digits. Every
// other byte prints as it is.
const size_t kEscapedWidth = 4;

// Length of the bytes once escaped.
size_t escaped_length(const char *bytes, size_t length);

// Writes the escaped bytes to `out`, which holds escaped_length() bytes;
// returns how many were written. Adds no terminator.
size_t escape(const char *bytes, size_t length, char *out);

// A value-domain table: its entries and their number.
struct Domain {
    const int *entries;
    int length;
};

// Number of tables; selectors 0 to kDomainCount - 1 pick one.
const unsigned int kDomainCount = 9;

// The table a domain selector picks; other selectors pick none (null, 0).
Domain select_domain(unsigned int selector);

// The line a failed value-domain check prints, for checks that fail before
// the domain can be consulted (a value that cannot be read).
void print_domain_failed();

}  // namespace fieldaudit

#endif
