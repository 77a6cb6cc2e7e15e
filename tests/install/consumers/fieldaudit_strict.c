/* The same calls as fieldaudit.c: every one of them has the same outcome in the strict library. */
#include "fieldaudit.h"
#include "consumer.h"
KIT_CONSUMER(find_data_format_index("DATA_MAC") >= 0 && Check_data_format("001122AABBCC", "DATA_MAC") == 1
             && Check_data_format("00:11:22:AA:BB:CC", "DATA_MAC") == 0)
