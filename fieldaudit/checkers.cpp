// The exported checkers: each runs its record's step list with the auditing
// front under its own name.
#include "audit.h"
#include "checkers.h"
#include "fieldaudit.h"

#define FIELDAUDIT_EXPORT_CHECKER(T)                                  \
    int Check##T(const T *result, const T *target) {                  \
        return fieldaudit::run_checker(__func__, result, target);     \
    }

extern "C" {

FIELDAUDIT_RECORD_CHECKERS(FIELDAUDIT_EXPORT_CHECKER)

// Walks `count` entries lying back to back; there is no target, so the other
// side of each line shows the null marker for texts and 0 for numbers.
int CheckTolva_FileEntry_t(const Tolva_FileEntry_t *entries, int count) {
    const Tolva_FileEntry_t *entry = entries;
    for (int i = 0; entry != nullptr && i < count; ++i, ++entry) {
        fieldaudit::RecordAudit<Tolva_FileEntry_t> a(__func__, entry);
        steps(a, entry);
    }
    return 1;
}

}  // extern "C"
