/* Refusals only, so that no sheet is written: a name with a tab, no name. */
#include "result_sheet.h"
#include "consumer.h"
KIT_CONSUMER(result_sheet_append(NULL, "a\tb", 1) == -1 && result_sheet_append(NULL, NULL, 1) == -1)
