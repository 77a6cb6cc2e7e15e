// The tools' table of the formats, made from the one list of formats; in an
// object of its own, so that a tool that does not read it (capi-report) does
// not carry it.
#include "fieldaudit_tools.h"

namespace fieldaudit {

#define FIELDAUDIT_FORMAT_OF(name, variable, pattern) {name, #variable, &variable},
const Format kFormats[kFormatCount] = {FIELDAUDIT_FORMATS(FIELDAUDIT_FORMAT_OF)};
#undef FIELDAUDIT_FORMAT_OF

}  // namespace fieldaudit
