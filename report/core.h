// Declarations shared by the source units of capi-report's core.
#ifndef CAPI_REPORT_CORE_H
#define CAPI_REPORT_CORE_H

#include <string.h>

#include "report.h"
#include "result_sheet_row.h"

namespace capireport {

// An empty input of that kind.
Input *input_new(Kind kind, const char *path);

// Counts a problem of the input and keeps it while fewer than kMaxProblems
// are kept; takes the reason (g_malloc'ed). `whole`: the reason is the whole
// message, naming its own file and line.
void add_problem(Input *input, Count line, char *reason, bool whole = false);

// A log being read: lines go in one by one, calls come out into the input.
LogState *log_new(Input *input, const Catalog *catalog);
// One line without its line end; `cut` when only its first kMaxLine bytes are given.
void log_line(LogState *log, const char *bytes, size_t length, bool cut, Count number);
// Bytes first..last of the output were lost on the console (the lines
// holding them are not given): a call that was open there breaks off (it is
// not judged, never passed), and the gap is a problem of the log, at line
// `number`.
void log_gap(LogState *log, Count first, Count last, Count number);
// Matches what is left and frees the state.
void log_finish(LogState *log);

void call_free(void *call);

// The whole file's bytes (g_malloc'ed, NUL after them), or null with why on
// `error` ("cannot read PATH: reason", g_malloc'ed).
char *read_file(const char *path, size_t *length, char **error);

// Calls `line` for each line of the bytes, without its line end (a newline,
// and a CR before it), numbered from 1, the last one also without a
// newline; stops where it returns false.
template <typename Line>
void each_line(const char *bytes, size_t length, Line line) {
    Count number = 0;
    for (size_t at = 0; at < length;) {
        const char *newline = static_cast<const char *>(memchr(bytes + at, '\n', length - at));
        const size_t end = newline ? static_cast<size_t>(newline - bytes) : length;
        if (!line(bytes + at, result_sheet_line_length(bytes + at, end - at), ++number)) return;
        at = end + 1;
    }
}

// Whether the bytes read exactly as the text.
inline bool equals(const char *bytes, size_t length, const char *text) {
    return length == strlen(text) && memcmp(bytes, text, length) == 0;
}

}  // namespace capireport

#endif
