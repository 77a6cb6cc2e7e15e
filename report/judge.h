// Why a step of a call failed, from the two values its field line shows,
// judged as the checker judges them.
#ifndef CAPI_REPORT_JUDGE_H
#define CAPI_REPORT_JUDGE_H

#include "catalog.h"
#include "lines.h"

namespace capireport {

// Each returns the reason (g_malloc'ed), or null where the values pass.
char *format_reason(const Item &item, const Step &step);
// Null when the two texts are equal as the checker compares them.
char *equal_text_reason(const Item &item, const Step &step);
char *equal_number_reason(const Item &item);
char *domain_reason(const Item &item, const Step &step);

}  // namespace capireport

#endif
