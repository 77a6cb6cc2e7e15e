// Every record checker on records made from the input. Each record is a heap
// block of exactly its size, so a read past it is caught; each pointer member
// is null or leads to another such record, also made from the input.
#include "fieldaudit_tools.h"
#include "fieldaudit.h"
#include "support.h"

namespace {

using fieldaudit::Checker;
using fieldaudit::Step;

// Blocks made for one run.
struct Blocks {
    void *held[64];
    int count = 0;
    void *take(size_t size) {
        void *block = malloc(size);
        if (count < 64) {
            held[count++] = block;
        } else {
            abort();
        }
        return block;
    }
    ~Blocks() {
        for (int i = 0; i < count; ++i) free(held[i]);
    }
};

// A record of the checker's type from the input, with its pointer members
// (and those of the records they lead to) set to null or to records.
void *make(const Checker &c, Input &in, Blocks &blocks, int depth);

void set_pointers(const Checker &c, char *record, Input &in, Blocks &blocks, int depth) {
    Step steps[fieldaudit::kMaxSteps];
    const size_t n = c.describe(steps, fieldaudit::kMaxSteps);
    for (size_t i = 0; i < n && i < fieldaudit::kMaxSteps; ++i) {
        const Step &s = steps[i];
        void *target = nullptr;
        if (s.member == Step::kStringRecord) {
            if (in.byte() & 1) {
                target = blocks.take(sizeof(TolvaStrArray_t));
                in.fill(target, sizeof(TolvaStrArray_t));
            }
        } else if (s.member == Step::kRecordPointer) {
            if ((in.byte() & 1) && depth < 3) target = make(*s.sub, in, blocks, depth + 1);
        } else if (s.member == Step::kRecord) {
            set_pointers(*s.sub, record + s.offset, in, blocks, depth + 1);
            continue;
        } else {
            continue;
        }
        memcpy(record + s.offset, &target, sizeof target);
    }
}

void *make(const Checker &c, Input &in, Blocks &blocks, int depth) {
    char *record = static_cast<char *>(blocks.take(c.size));
    in.fill(record, c.size);
    set_pointers(c, record, in, blocks, depth);
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    const Checker &c = fieldaudit::kCheckers[in.byte() % fieldaudit::kCheckerCount];
    const uint8_t nulls = in.byte();
    Blocks blocks;
    if (!c.has_target) {
        // The walk: a run of 0 to 3 entries lying back to back.
        const int count = in.byte() % 4;
        const size_t bytes = c.size * static_cast<size_t>(count);
        char *entries = count ? static_cast<char *>(blocks.take(bytes)) : nullptr;
        if (count) in.fill(entries, bytes);
        if (CheckTolva_FileEntry_t(reinterpret_cast<const Tolva_FileEntry_t *>(entries), count) != 1) abort();
        return 0;
    }
    const void *result = (nulls & 1) ? nullptr : make(c, in, blocks, 0);
    const void *target = (nulls & 2) ? nullptr : make(c, in, blocks, 0);
    const int verdict = c.check(result, target);
    if (verdict != 0 && verdict != 1) abort();
    return 0;
}
