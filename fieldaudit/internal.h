// Declarations shared by the source units of fieldaudit and seen by its own
// tests only; the kit's tools read fieldaudit through fieldaudit_tools.h.
#ifndef FIELDAUDIT_INTERNAL_H
#define FIELDAUDIT_INTERNAL_H

#include "fieldaudit_tools.h"

namespace fieldaudit {

// Prints the domain check's pass or failed line for its verdict.
void print_domain_outcome(bool admitted);

}  // namespace fieldaudit

#endif
