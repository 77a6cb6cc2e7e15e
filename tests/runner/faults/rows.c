/* Appends three rows (two pass, one failed) to the result sheet, the one
 * named by CAPI_FAULT_SHEET or else the standard sheet, and exits 3. */
#include "result_sheet.h"

#include <stdio.h>
#include <stdlib.h>

int main(void)
{
    const char *sheet = getenv("CAPI_FAULT_SHEET");
    puts("rows: three rows");
    if (result_sheet_append(sheet, "fault_rows_first", 1) != 0 ||
        result_sheet_append(sheet, "fault_rows_second", 0) != 0 ||
        result_sheet_append(sheet, "fault_rows_third", 1) != 0) {
        perror("rows: result_sheet_append");
    }
    return 3;
}
