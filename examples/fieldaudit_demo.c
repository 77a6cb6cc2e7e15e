/*
 * A small test program in the style of the gateway teams': it checks sample
 * values the way a test program checks what the middleware returned, and
 * prints one summary line at the end.
 */
#include <stdio.h>

#include "fieldaudit.h"

int main(void)
{
    int passed = 0;
    int failed = 0;
    int v;

#define TALLY(call) (v = (call), v ? ++passed : ++failed)

    /* Return code of an interface call, and a single value. */
    TALLY(Check_return_result(0, 0));
    TALLY(Check_int(3, 3));
    TALLY(Check_bool(1, 0) == 0);

    /* An on/off value against the table {0, 1}; a state against {0 .. 3}. */
    TALLY(Check_data_int(1, 0, 2));
    TALLY(Check_data_int(4, 2, 4) == 0);

    /* Texts against named formats. */
    TALLY(Check_data_format("001122AABBCC", "DATA_MAC"));
    TALLY(Check_data_format("00:11:22:AA:BB:CC", "DATA_MAC") == 0);
    TALLY(Check_data_format("192.168.1.1", "DATA_IP"));
    TALLY(Check_data_format("2001:db8::1%eth0", "DATA_IPV6"));
    TALLY(Check_data_format("08:30", "DATA_TIME"));

#undef TALLY

    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
