/*
 * The result sheet's row read back, for the kit's tools (capi-report): the
 * same grammar that result_sheet_append writes,
 *
 *     <name> " \t " ("pass" | "failed") "\n"
 *
 * Not installed: test programs only append rows (result_sheet.h).
 */
#ifndef RESULT_SHEET_ROW_H
#define RESULT_SHEET_ROW_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Reads one line of a sheet, given without its line end. Returns NULL when
 * it is a row, with *name_length the bytes of its name (from the line's
 * start) and *verdict 1 for "pass", 0 for "failed". Otherwise returns why
 * the line is malformed (a static text) and leaves *verdict alone:
 *
 *   "empty line"
 *   "no \" \t \" between name and outcome"   (the text shows a backslash and t)
 *   "empty name"
 *   "control byte in name"                  (below 0x20, or 0x7f)
 *   "outcome is neither \"pass\" nor \"failed\""
 *
 * The name is everything before the first tab but for the space that
 * precedes it; it may hold spaces and any byte from 0x20 up but 0x7f, and
 * is not limited to RESULT_SHEET_NAME_MAX bytes. The outcome is exactly
 * "pass" or "failed" (no trailing blanks, no other case). Reads only the
 * `length` bytes of the line, which need not be terminated.
 */
const char *result_sheet_read_row(const char *line, size_t length, size_t *name_length, int *verdict);

/*
 * The length of a sheet line without its line end, the one rule every
 * reader of sheets follows: a newline at the end of the `length` bytes, and
 * a CR just before it (or at the end of a last line that has no newline),
 * are the line end. A CR anywhere else is a byte of the line (a control
 * byte, which the row reader refuses). Reads only the `length` bytes.
 */
size_t result_sheet_line_length(const char *line, size_t length);

#ifdef __cplusplus
}
#endif

#endif /* RESULT_SHEET_ROW_H */
