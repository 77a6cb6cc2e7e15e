// Declarations shared by the source units of fieldaudit; not exported.
#ifndef FIELDAUDIT_INTERNAL_H
#define FIELDAUDIT_INTERNAL_H

namespace fieldaudit {

// The line a failed value-domain check prints, for checks that fail before
// the domain can be consulted (a value that cannot be read).
void print_domain_failed();

}  // namespace fieldaudit

#endif
