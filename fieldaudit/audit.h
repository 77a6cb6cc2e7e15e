// The one mechanism behind every record checker.
//
// A checker is the list of its fields in output order, written once as a
// function template over a front (checks_*.h): the exported checkers run it
// with RecordAudit below, the kit's tools read it as data through the
// describing front (describe.cpp, declared in fieldaudit_tools.h). For each
// field the auditing front prints the field line (result first, target
// second, in the conversion of the member's type) and applies one treatment:
// printed only, value-domain check, format check, equal text, equal number,
// or a sub-checker. A failed treatment prints the field's failure line, if it
// has one, and clears the verdict; every step runs whatever the earlier ones
// found. What lines each kind of step prints is stated once, as the
// treatments of fieldaudit_tools.h.
//
// The rules for values that cannot be trusted (applied here; the order in
// which a failure names them is trouble() in fieldaudit_tools.h, which the
// report reads too):
// - A null pointer (record or pointer member, either side) is never followed.
//   The line shows "(null)" for that value, numbers included, and every
//   validation needing it fails: a domain check prints the domain check's own
//   failed line, other checks print the step's failure line.
// - A text with no NUL within its member is shown as exactly the bytes of the
//   member and fails every validation, on either side.
// - Texts are never read beyond their member.
// - Control bytes of a shown text (below 0x20, and 0x7f) print as "\xhh", so
//   one line stays one line whatever the device sent; validations see the
//   raw bytes.
//
// Nothing is allocated and nothing is kept between calls.
#ifndef FIELDAUDIT_AUDIT_H
#define FIELDAUDIT_AUDIT_H

#include <stddef.h>
#include <stdint.h>

#include "internal.h"
#include "tolva_types.h"

namespace fieldaudit {

// One side's value of a field, as read from its record.
struct Value {
    enum Kind { kMissing, kText, kInt, kWide, kReal };

    Kind kind;
    const char *text;  // kText: the member's bytes, `length` of them shown
    size_t length;
    bool terminated;   // kText: a NUL lies within the member
    long long number;  // kInt, kWide
    double real;       // kReal

    static Value missing();
    static Value of_text(const char *member, size_t width);
    static Value of_int(int v);
    static Value of_wide(long long v);
    static Value of_real(double v);

    // A text that validations may hand on as a C string.
    bool usable_text() const { return kind == kText && terminated; }
    // As the validations' rules for null and unterminated values see it.
    Side side() const { return Side{kind == kMissing, kind != kText || terminated}; }
};

// Widest text member a line shows; the escaping space of a line is sized by it.
const size_t kMaxTextWidth = 256;

// Reading a member through a pointer that is null when its record is missing.
// 8- and 16-bit members widen to int without sign.
template <size_t N>
Value value_at(const char (*member)[N]) {
    static_assert(N <= kMaxTextWidth, "a text member wider than kMaxTextWidth");
    return member ? Value::of_text(*member, N) : Value::missing();
}
inline Value value_at(const uint8_t *member) { return member ? Value::of_int(*member) : Value::missing(); }
inline Value value_at(const uint16_t *member) { return member ? Value::of_int(*member) : Value::missing(); }
inline Value value_at(const int32_t *member) { return member ? Value::of_int(*member) : Value::missing(); }
inline Value value_at(const int64_t *member) { return member ? Value::of_wide(*member) : Value::missing(); }
inline Value value_at(const double *member) { return member ? Value::of_real(*member) : Value::missing(); }
// A pointer to a string record stands for that record's str.
inline Value value_at(TolvaStrArray_t *const *member) {
    return member && *member ? value_at(&(*member)->str) : Value::missing();
}

// What the other side of a line shows when a walk has no target record:
// the null marker for texts, 0 for numbers.
template <size_t N>
Value absent_value(const char (*)[N]) {
    return Value::missing();
}
template <class M>
Value absent_value(const M *) {
    return Value::of_int(0);
}

// The record-independent part: lines, treatments and the verdict.
class Audit {
public:
    // Field lines read "<checker>,<result_label><field>=<r>,<target_label>[<field>]=<t>";
    // the target's field name is left out when target_named is false.
    Audit(const char *checker, const Labels &labels);

    void show(const char *field, const Value &r, const Value &t);
    void domain(const char *field, const Value &r, const Value &t, int count, const char *failure);
    void format(const char *field, const Value &r, const Value &t, const char *failure, bool validate);
    void equal_text(const char *field, const Value &r, const Value &t, const char *failure);
    void equal_number(const char *field, const Value &r, const Value &t);
    // Folds a sub-checker's verdict into this one.
    void fold(int verdict);

    static bool is_connected(const Value &status);

    int verdict() const { return verdict_; }

private:
    void line(const char *field, const Value &r, const Value &t) const;
    void fail(const char *failure);

    const char *checker_;
    Labels labels_;
    int verdict_;
};

// The typed front of Audit for one record type: fields are named by member
// pointers, so each checker lists only names, members and failure lines.
template <class T>
class RecordAudit {
public:
    RecordAudit(const char *checker, const T *result, const T *target)
        : audit_(checker, kRecordLabels), result_(result), target_(target), has_target_(true) {}
    // A walk over records with no target (the file entries).
    RecordAudit(const char *checker, const T *result)
        : audit_(checker, kEntryLabels), result_(result), target_(nullptr), has_target_(false) {}

    template <class M>
    void show(const char *field, M T::*member) {
        audit_.show(field, read(result_, member), other(member));
    }
    template <class M>
    void domain(const char *field, M T::*member, int count, const char *failure = nullptr) {
        audit_.domain(field, read(result_, member), other(member), count, failure);
    }
    // Behind a closed connection gate the line is printed only.
    template <class M>
    void format(const char *field, M T::*member, const char *failure, Gate gate = kUngated) {
        audit_.format(field, read(result_, member), other(member), failure, gate.open);
    }
    template <class M>
    void equal_text(const char *field, M T::*member, const char *failure = nullptr) {
        audit_.equal_text(field, read(result_, member), other(member), failure);
    }
    template <class M>
    void equal_number(const char *field, M T::*member) {
        audit_.equal_number(field, read(result_, member), other(member));
    }
    // Connection gate named after its status field: open only while the
    // result's status text is exactly kGateOpenStatus; the target's member
    // holds a format name and is not looked at.
    template <class M>
    Gate connected(const char *field, M T::*status) const {
        return Gate{field, Audit::is_connected(read(result_, status))};
    }
    // Sub-checker on a record that a pointer member leads to.
    template <class S>
    void sub(int (*checker)(const S *, const S *), S *T::*member) {
        audit_.fold(checker(result_ ? result_->*member : nullptr, target_ ? target_->*member : nullptr));
    }
    // Sub-checker on a record nested in this one.
    template <class S>
    void sub(int (*checker)(const S *, const S *), S T::*member) {
        audit_.fold(checker(result_ ? &(result_->*member) : nullptr, target_ ? &(target_->*member) : nullptr));
    }

    int verdict() const { return audit_.verdict(); }

private:
    template <class M>
    static Value read(const T *record, M T::*member) {
        return value_at(record ? &(record->*member) : nullptr);
    }
    template <class M>
    Value other(M T::*member) const {
        return has_target_ ? read(target_, member) : absent_value(static_cast<const M *>(nullptr));
    }

    Audit audit_;
    const T *result_;
    const T *target_;
    bool has_target_;
};

// Runs the steps of the record's checker (found by the record type, in the
// checks_*.h lists) under the given name, and returns the verdict.
template <class T>
int run_checker(const char *name, const T *result, const T *target) {
    RecordAudit<T> a(name, result, target);
    steps(a, static_cast<const T *>(nullptr));
    return a.verdict();
}

}  // namespace fieldaudit

#endif
