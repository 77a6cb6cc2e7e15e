// What capi-report knows of the kit's checkers, read from their own step
// lists (fieldaudit_describe): each checker's steps and the line its output
// begins with, and the window a log is matched through.
#ifndef CAPI_REPORT_CATALOG_H
#define CAPI_REPORT_CATALOG_H

#include <stddef.h>

#include "fieldaudit_tools.h"
#include "report.h"

namespace capireport {

using fieldaudit::Checker;
using fieldaudit::Step;

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

struct Catalog {
    Info *infos;
    size_t count;
    size_t window;  // lines of the longest call, and one more
    const Info *walk;
    bool failure_ends[256];  // the last bytes of failure lines: a quick test
    bool keep_fields;        // calls keep every judged field (catalog_keep_fields)
};

// The entry of the checker of that name, or null.
const Info *find_info(const Catalog &catalog, const char *name);

}  // namespace capireport

#endif
