/* A program using the installed modeflag; prints "<library> <version>". */
#include <stdio.h>

#include "fieldaudit_version.h"
#include "modeflag.h"

int main(void)
{
    if (Get_mode("run -M -S") != 2 || Get_mode(NULL) != 0)
        return 1;
    printf("%s %s\n", KIT_LIBRARY, FIELDAUDIT_VERSION);
    return 0;
}
