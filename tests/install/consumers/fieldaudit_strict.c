/* The same calls as fieldaudit.c: every one of them has the same outcome in the strict library. */
#include "fieldaudit.c"
