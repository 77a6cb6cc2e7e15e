/*
 * The consumer programs: each uses one installed library and prints
 * "<library> <version>" when the calls given to KIT_CONSUMER work (the
 * library's name comes from the build, the version from the installed
 * version header). The consumer program of a library, <library>.c, is:
 *
 *     #include "<the library's header>"
 *     #include "consumer.h"
 *     KIT_CONSUMER(<an expression that is true when the library works>)
 */
#ifndef CONSUMER_H
#define CONSUMER_H

#include <stdio.h>

#include "fieldaudit_version.h"

#define KIT_CONSUMER(works)                                                                        \
    int main(void)                                                                                 \
    {                                                                                              \
        if (!(works))                                                                              \
            return 1;                                                                              \
        printf("%s %s\n", KIT_LIBRARY, FIELDAUDIT_VERSION);                                        \
        return 0;                                                                                  \
    }

#endif /* CONSUMER_H */
