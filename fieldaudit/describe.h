// The checkers' steps as data, for the kit's tools (the report over captured
// output, the reference documents): the very step lists the checkers run
// (checks_*.h), taken through a front that records each step instead of
// auditing it. Built into its own library; the checkers do not need it.
#ifndef FIELDAUDIT_DESCRIBE_H
#define FIELDAUDIT_DESCRIBE_H

#include <stddef.h>
#include <stdint.h>

#include "audit.h"
#include "tolva_types.h"

namespace fieldaudit {

struct Checker;

// One step: a field line and its treatment, or a sub-checker's call.
struct Step {
    enum Kind {
        kShow,         // printed only
        kDomain,       // value-domain check: a pass or failed line follows
        kFormat,       // format check, silent unless it fails
        kEqualText,    // exact text comparison
        kEqualNumber,  // exact number comparison
        kSub,          // a sub-checker's call: its own lines
    };
    // How the member is held and shown.
    enum Member {
        kText,          // char[width], shown as text
        kUnsigned8,     // uint8_t, shown as int
        kUnsigned16,    // uint16_t, shown as int
        kInt32,         // int32_t, "%d"
        kInt64,         // int64_t, "%lld"
        kDouble,        // double, "%f"
        kStringRecord,  // pointer to a string record: its text str[width]
        kRecord,        // kSub: a record nested in this one
        kRecordPointer, // kSub: a record reached through a pointer member
    };

    Kind kind;
    const char *field;     // as the field line names it; null for kSub
    Member member;
    size_t offset;         // of the member in its record
    size_t width;          // kText, kStringRecord: bytes of the text member
    int count;             // kDomain: leading entries of the table admitted
    const char *failure;   // line printed when the check fails, or null
    const char *gate;      // kFormat: status field that must read "Connected" for
                           // the check to run, or null when it always runs
    const Checker *sub;    // kSub: the sub-checker
};

// Most steps any checker has.
const size_t kMaxSteps = 32;

// A checker: its name, its record and how to read its steps.
struct Checker {
    const char *name;    // as its lines and its declaration name it
    const char *record;  // the record type it takes
    Labels labels;       // how its lines name the two sides
    bool has_target;     // false for the file-entry walk
    size_t size;         // of the record
    // Runs the checker on two records of its type (the walk: on one entry,
    // without the target) and returns its verdict.
    int (*check)(const void *result, const void *target);
    // Writes at most `capacity` steps, in output order, and returns how many
    // the checker has.
    size_t (*describe)(Step *steps, size_t capacity);
};

// Every checker: the record checkers in the order of the public header, then
// the file-entry walk.
extern const Checker kCheckers[];
extern const size_t kCheckerCount;

// The checker of that name, or null.
const Checker *find_checker(const char *name);

// A step's member type as a C declaration reads it ("char[24]", "uint8_t",
// "TolvaStrArray_t *"); `space` holds at least 48 bytes.
const char *member_type(const Step &step, char *space, size_t size);

}  // namespace fieldaudit

#endif
