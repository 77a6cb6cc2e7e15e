// Why a step of a call failed, from the two values its field line shows,
// judged as the checker judges them.
#ifndef CAPI_REPORT_JUDGE_H
#define CAPI_REPORT_JUDGE_H

#include "catalog.h"
#include "lines.h"

namespace capireport {

// Every reason the report gives for a failed field or call, in the order
// the documents list them. A reason's text holds its values as "<name>".
enum ReasonId {
    kResultNull,
    kTargetNull,
    kResultUnterminated,
    kTargetUnterminated,
    kEmptyResult,
    kNotAFormatName,
    kNotUtf8,
    kNoMatch,
    kMatchesAnywhere,
    kDiffersText,
    kCannotJudge,
    kReadsTheSame,
    kDiffersNumber,
    kNoTable,
    kNotInDomain,
    kAdmittedHere,
    kDirectDomain,
    kDiffersTar,
    kLineWhereDue,
    kEndsWhereDue,
    kLostWhereDue,
    kReasonCount
};

struct Reason {
    const char *text;     // as the report prints it, each value as "<name>"
    const char *meaning;  // what it tells, for the documents
};

// The table both the judge and the documents' test read.
extern const Reason kReasons[kReasonCount];

// The reason's text with its values in place, each "<name>" taken by the
// next of `values` in turn (g_malloc'ed).
char *reason(ReasonId id, const char *first = nullptr, const char *second = nullptr, const char *third = nullptr);

// Each returns the reason (g_malloc'ed), or null where the values pass.
char *format_reason(const Item &item, const Step &step);
// Null when the two texts are equal as the checker compares them.
char *equal_text_reason(const Item &item, const Step &step);
char *equal_number_reason(const Item &item);
char *domain_reason(const Item &item, const Step &step);

}  // namespace capireport

#endif
