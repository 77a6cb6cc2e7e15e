// Recognising a line of the kit in captured output: field lines, the domain
// check's pass and failed lines, the steps' failure lines and the scalar
// primitives' lines, with the values as shown (read back with fieldaudit's
// inverse of its printing, fieldaudit_tools.h).
#ifndef CAPI_REPORT_LINES_H
#define CAPI_REPORT_LINES_H

#include <glib.h>
#include <stddef.h>

#include "catalog.h"

namespace capireport {

// A recognised line of the kit.
struct Item {
    enum Kind { kField, kPass, kFailed, kFailure, kScalar, kChar };
    Kind kind;
    Count line;
    const Info *info;    // kField
    size_t step;         // kField: index into info->steps
    char *result;        // kField, kScalar: the values as shown
    char *target;
    char *text;          // kFailure: the line with its newline
    const char *name;    // kScalar
    char *heading;       // GRefString: the last foreign line before it, or null
};

void item_free(void *item);

// The kit's line this is, or null for a foreign line. A line that GLib's
// default print handler marked "[Invalid UTF-8] " is read without the mark.
Item *classify(const Catalog &catalog, const char *line, size_t length, bool cut, Count number);

// Whether the shown text's bytes cannot be known for sure: the kit prints a
// backslash as it is, so "\x0a" may be a newline or those four characters;
// and GLib's own print handler, on a console that is not UTF-8, shows every
// character it cannot convert as "?".
bool uncertain_bytes(const char *shown);

}  // namespace capireport

#endif
