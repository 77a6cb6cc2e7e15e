// The walk that fills records from the checkers' described steps, shared by
// the tests and the fuzzers: it follows a checker's steps in output order
// over a result and a target record, into nested records and through pointer
// members, and leaves what goes into each member to the caller.
#ifndef TOLVA_TEST_RECORD_WALK_H
#define TOLVA_TEST_RECORD_WALK_H

#include <stddef.h>

#include "fieldaudit_tools.h"

namespace tolva_test {

// What a walk writes.
class RecordFill {
public:
    // The record of `size` bytes that a pointer member of one side leads to
    // (a string record for a kStringRecord step, the sub-checker's record
    // for kRecordPointer), or null to leave the pointer null. `depth` counts
    // the records between the top one and the one holding the pointer.
    virtual char *pointed(const fieldaudit::Step &step, size_t size, int depth) = 0;
    // Writes the member of step `index` of the checker on each side given;
    // either side may be null. For a kStringRecord step the member is the
    // string record's text.
    virtual void member(const fieldaudit::Checker &checker, size_t index, const fieldaudit::Step &step,
                        char *result, char *target) = 0;

protected:
    ~RecordFill() = default;
};

// Walks the checker's steps over the records (either may be null, and the
// walk then skips that side): a nested record is walked in place, a pointer
// member is set to what pointed() gives and the record it leads to is
// walked, every other step's member is handed to member().
void fill_records(const fieldaudit::Checker &checker, char *result, char *target, RecordFill &fill, int depth = 0);

}  // namespace tolva_test

#endif
