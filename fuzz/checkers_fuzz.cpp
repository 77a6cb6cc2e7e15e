// Every record checker on records made from the input. The input names the
// checker first (its name, then a NUL), so a seed keeps its meaning whatever
// the checker's place in the list. Each record is a heap block of exactly its
// size, so a read past it is caught; each pointer member is null or leads to
// another such record, also made from the input.
#include "fieldaudit.h"
#include "fieldaudit_tools.h"
#include "record_walk.h"
#include "support.h"

namespace {

using fieldaudit::Checker;
using fieldaudit::Step;

// Blocks made for one run.
struct Blocks {
    void *held[64];
    int count = 0;
    char *take(size_t size) {
        void *block = malloc(size);
        if (count < 64) {
            held[count++] = block;
        } else {
            abort();
        }
        return static_cast<char *>(block);
    }
    ~Blocks() {
        for (int i = 0; i < count; ++i) free(held[i]);
    }
};

// Records whose bytes all come from the input, pointers included, which
// the walk then sets: null, or (a few records deep at most) a record.
class InputFill : public tolva_test::RecordFill {
public:
    InputFill(Input &in, Blocks &blocks) : in_(in), blocks_(blocks) {}

    char *record(size_t size) {
        char *block = blocks_.take(size);
        in_.fill(block, size);
        return block;
    }
    char *pointed(const Step &step, size_t size, int depth) override {
        const bool deep = step.member == Step::kRecordPointer && depth >= 3;
        return (in_.byte() & 1) && !deep ? record(size) : nullptr;
    }
    void member(const Checker &, size_t, const Step &, char *, char *) override {}

private:
    Input &in_;
    Blocks &blocks_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    char *name = in.text();
    const Checker *found = fieldaudit::find_checker(name);
    free(name);
    if (found == nullptr) return 0;
    const Checker &c = *found;
    const uint8_t nulls = in.byte();
    Blocks blocks;
    if (!c.has_target) {
        // The walk: a run of 0 to 3 entries lying back to back.
        const int count = in.byte() % 4;
        const size_t bytes = c.size * static_cast<size_t>(count);
        char *entries = count ? blocks.take(bytes) : nullptr;
        if (count) in.fill(entries, bytes);
        if (CheckTolva_FileEntry_t(reinterpret_cast<const Tolva_FileEntry_t *>(entries), count) != 1) abort();
        return 0;
    }
    InputFill fill(in, blocks);
    char *result = (nulls & 1) ? nullptr : fill.record(c.size);
    char *target = (nulls & 2) ? nullptr : fill.record(c.size);
    tolva_test::fill_records(c, result, target, fill);
    const int verdict = c.check(result, target);
    if (verdict != 0 && verdict != 1) abort();
    return 0;
}
