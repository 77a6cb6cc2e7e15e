/*
 * A gateway team's program using the installed fieldaudit: the format table,
 * a format check (a GLib regular expression) and the version header. Prints
 * "<library> <version>" when all of it works.
 */
#include <stdio.h>

#include "fieldaudit.h"
#include "fieldaudit_version.h"

int main(void)
{
    if (find_data_format_index("DATA_MAC") < 0 || Check_data_format("001122AABBCC", "DATA_MAC") != 1
        || Check_data_format("00:11:22:AA:BB:CC", "DATA_MAC") != 0)
        return 1;
    printf("%s %s\n", KIT_LIBRARY, FIELDAUDIT_VERSION);
    return 0;
}
