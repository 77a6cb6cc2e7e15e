#include "record_walk.h"

#include <string.h>

#include "fieldaudit.h"

namespace tolva_test {

namespace {

using fieldaudit::Step;

char *at(char *record, size_t offset) { return record ? record + offset : nullptr; }

// Sets the pointer member of one side to the record pointed() gives.
char *point(const Step &step, char *member, size_t size, RecordFill &fill, int depth) {
    if (member == nullptr) return nullptr;
    char *record = fill.pointed(step, size, depth);
    memcpy(member, &record, sizeof record);
    return record;
}

}  // namespace

void fill_records(const fieldaudit::Checker &checker, char *result, char *target, RecordFill &fill, int depth) {
    Step steps[fieldaudit::kMaxSteps];
    const size_t n = checker.describe(steps, fieldaudit::kMaxSteps);
    for (size_t i = 0; i < n && i < fieldaudit::kMaxSteps; ++i) {
        const Step &s = steps[i];
        char *rm = at(result, s.offset);
        char *tm = at(target, s.offset);
        switch (s.member) {
        case Step::kRecord: fill_records(*s.sub, rm, tm, fill, depth + 1); break;
        case Step::kRecordPointer: {
            char *rs = point(s, rm, s.sub->size, fill, depth);
            char *ts = point(s, tm, s.sub->size, fill, depth);
            fill_records(*s.sub, rs, ts, fill, depth + 1);
            break;
        }
        case Step::kStringRecord: {
            const size_t text = offsetof(TolvaStrArray_t, str);
            char *rs = point(s, rm, sizeof(TolvaStrArray_t), fill, depth);
            char *ts = point(s, tm, sizeof(TolvaStrArray_t), fill, depth);
            if (rs || ts) fill.member(checker, i, s, at(rs, text), at(ts, text));
            break;
        }
        default: fill.member(checker, i, s, rm, tm); break;
        }
    }
}

}  // namespace tolva_test
