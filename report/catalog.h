// What capi-report knows of the kit's checkers, read from their own step
// lists (fieldaudit_describe): each checker's steps and the line its output
// begins with, the scalar primitives' lines taken apart, and the window a log
// is matched through.
#ifndef CAPI_REPORT_CATALOG_H
#define CAPI_REPORT_CATALOG_H

#include <stddef.h>

#include "fieldaudit_tools.h"
#include "report.h"

namespace capireport {

using fieldaudit::Checker;
using fieldaudit::Step;

// The scalar primitives' printed lines.
const char *const kScalarFormats[] = {
    FIELDAUDIT_SCALAR_LINE("Check_bool"),
    FIELDAUDIT_SCALAR_LINE("Check_int"),
    FIELDAUDIT_SCALAR_LINE("Check_return_result"),
    FIELDAUDIT_CHAR_LINE,
};
const size_t kScalarCount = sizeof kScalarFormats / sizeof kScalarFormats[0];

// One checker's steps and the line its output begins with.
struct Info {
    const Checker *checker;
    Step steps[fieldaudit::kMaxSteps];
    size_t count;
    // kSub steps: the sub-checker's entry, found by its name when the
    // catalog is made; null for other steps and for a name not in the
    // catalog (whose lines then never match).
    const Info *subs[fieldaudit::kMaxSteps];
    const Info *first;  // whose first field line begins this checker's output
};

// A scalar primitive's line: "<name>,ret=<ret>,tar=<tar>", its parts taken
// from the printed format.
struct Scalar {
    char *name;
    char *prefix;  // up to the first value
    char *middle;  // between the two values
    bool text;     // the values are texts (Check_char)
};

struct Catalog {
    Info *infos;
    size_t count;
    size_t window;  // lines of the longest call, and one more
    Scalar scalars[kScalarCount];
    const Info *walk;
    bool failure_ends[256];  // the last bytes of failure lines: a quick test
};

// The entry of the checker of that name, or null.
const Info *find_info(const Catalog &catalog, const char *name);

}  // namespace capireport

#endif
