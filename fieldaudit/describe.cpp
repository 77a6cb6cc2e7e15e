// The describing front: runs each checker's step list and records the steps.
#include "fieldaudit_tools.h"

#include <stdio.h>
#include <string.h>

#include "checkers.h"

namespace fieldaudit {

namespace {

// Kind and width of a member, by its type.
struct MemberInfo {
    Step::Member member;
    size_t width;
};
template <size_t N>
MemberInfo member_info(const char (*)[N]) {
    return MemberInfo{Step::kText, N};
}
inline MemberInfo member_info(const uint8_t *) { return MemberInfo{Step::kUnsigned8, 0}; }
inline MemberInfo member_info(const uint16_t *) { return MemberInfo{Step::kUnsigned16, 0}; }
inline MemberInfo member_info(const int32_t *) { return MemberInfo{Step::kInt32, 0}; }
inline MemberInfo member_info(const int64_t *) { return MemberInfo{Step::kInt64, 0}; }
inline MemberInfo member_info(const double *) { return MemberInfo{Step::kDouble, 0}; }
inline MemberInfo member_info(TolvaStrArray_t *const *) {
    return MemberInfo{Step::kStringRecord, sizeof(static_cast<TolvaStrArray_t *>(nullptr)->str)};
}

template <class S>
size_t describe_record(Step *steps, size_t capacity);

// The checker whose steps describe_record<S> reads.
template <class S>
const Checker *checker_of() {
    for (size_t i = 0; i < kCheckerCount; ++i) {
        if (kCheckers[i].describe == &describe_record<S>) return &kCheckers[i];
    }
    return nullptr;
}

// The front that records steps. A gate is the name of its status field.
template <class T>
class Describer {
public:
    Describer(Step *steps, size_t capacity) : steps_(steps), capacity_(capacity), size_(0) {}

    template <class M>
    void show(const char *field, M T::*member) {
        add(Step::kShow, field, member, 0, nullptr, nullptr);
    }
    template <class M>
    void domain(const char *field, M T::*member, int count, const char *failure = nullptr) {
        add(Step::kDomain, field, member, count, failure, nullptr);
    }
    template <class M>
    void format(const char *field, M T::*member, const char *failure, Gate gate = kUngated) {
        add(Step::kFormat, field, member, 0, failure, gate.field);
    }
    template <class M>
    void equal_text(const char *field, M T::*member, const char *failure = nullptr) {
        add(Step::kEqualText, field, member, 0, failure, nullptr);
    }
    template <class M>
    void equal_number(const char *field, M T::*member) {
        add(Step::kEqualNumber, field, member, 0, nullptr, nullptr);
    }
    template <class M>
    Gate connected(const char *field, M T::*) const {
        return Gate{field, true};
    }
    template <class S>
    void sub(int (*)(const S *, const S *), S *T::*member) {
        push(Step{Step::kSub, nullptr, Step::kRecordPointer, offset(member), 0, 0, nullptr, nullptr, checker_of<S>()});
    }
    template <class S>
    void sub(int (*)(const S *, const S *), S T::*member) {
        push(Step{Step::kSub, nullptr, Step::kRecord, offset(member), 0, 0, nullptr, nullptr, checker_of<S>()});
    }

    size_t size() const { return size_; }

private:
    // Where the member lies in a record; the record is never read.
    template <class M>
    static size_t offset(M T::*member) {
        T record;
        return static_cast<size_t>(reinterpret_cast<const char *>(&(record.*member)) -
                                   reinterpret_cast<const char *>(&record));
    }
    template <class M>
    void add(Step::Kind kind, const char *field, M T::*member, int count, const char *failure, const char *gate) {
        const MemberInfo m = member_info(static_cast<const M *>(nullptr));
        push(Step{kind, field, m.member, offset(member), m.width, count, failure, gate, nullptr});
    }
    void push(const Step &step) {
        if (size_ < capacity_) steps_[size_] = step;
        ++size_;
    }

    Step *steps_;
    size_t capacity_;
    size_t size_;
};

template <class S>
size_t describe_record(Step *steps, size_t capacity) {
    Describer<S> d(steps, capacity);
    fieldaudit::steps(d, static_cast<const S *>(nullptr));
    return d.size();
}

template <class T, int (*checker)(const T *, const T *)>
int check_records(const void *result, const void *target) {
    return checker(static_cast<const T *>(result), static_cast<const T *>(target));
}

int check_entry(const void *entry, const void *) {
    return CheckTolva_FileEntry_t(static_cast<const Tolva_FileEntry_t *>(entry), 1);
}

}  // namespace

#define FIELDAUDIT_DESCRIBE_CHECKER(T) \
    {"Check" #T, #T, kRecordLabels, true, sizeof(T), &check_records<T, Check##T>, &describe_record<T>},

const Checker kCheckers[] = {
    FIELDAUDIT_RECORD_CHECKERS(FIELDAUDIT_DESCRIBE_CHECKER)
    {"CheckTolva_FileEntry_t", "Tolva_FileEntry_t", kEntryLabels, false, sizeof(Tolva_FileEntry_t), &check_entry,
     &describe_record<Tolva_FileEntry_t>},
};
const size_t kCheckerCount = sizeof kCheckers / sizeof kCheckers[0];

const Checker *find_checker(const char *name) {
    if (name == nullptr) return nullptr;
    for (const Checker &c : kCheckers) {
        if (strcmp(c.name, name) == 0) return &c;
    }
    return nullptr;
}

const char *member_type(const Step &step, char *space, size_t size) {
    switch (step.member) {
    case Step::kText: snprintf(space, size, "char[%zu]", step.width); break;
    case Step::kUnsigned8: snprintf(space, size, "uint8_t"); break;
    case Step::kUnsigned16: snprintf(space, size, "uint16_t"); break;
    case Step::kInt32: snprintf(space, size, "int32_t"); break;
    case Step::kInt64: snprintf(space, size, "int64_t"); break;
    case Step::kDouble: snprintf(space, size, "double"); break;
    case Step::kStringRecord: snprintf(space, size, "TolvaStrArray_t *"); break;
    case Step::kRecord: snprintf(space, size, "%s", step.sub ? step.sub->record : "?"); break;
    case Step::kRecordPointer: snprintf(space, size, "%s *", step.sub ? step.sub->record : "?"); break;
    }
    return space;
}

}  // namespace fieldaudit
