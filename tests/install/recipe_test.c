/* The test program of the pkg-config recipe of docs/building.md: a format
 * check (a GLib regular expression) and a mode flag; prints "recipe <version>"
 * when both work. */
#include <stdio.h>

#include "fieldaudit.h"
#include "fieldaudit_version.h"
#include "modeflag.h"

int main(void)
{
    if (Check_data_format("001122AABBCC", "DATA_MAC") != 1 || Get_mode("run -S -E") != 3)
        return 1;
    printf("recipe %s\n", FIELDAUDIT_VERSION);
    return 0;
}
